// Keeps the library non-empty until the modules land.
