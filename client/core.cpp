// Keeps the client library non-empty until its parts land.
