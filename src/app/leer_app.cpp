// Keeps the app library non-empty while it grows.
