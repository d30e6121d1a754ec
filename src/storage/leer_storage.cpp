// Keeps the storage library non-empty while it grows.
