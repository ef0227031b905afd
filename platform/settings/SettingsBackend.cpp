// Settings backend.
