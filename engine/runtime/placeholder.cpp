// Keeps the library non-empty until the Parts land.
