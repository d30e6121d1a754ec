// Keeps the reports library non-empty while it grows.
