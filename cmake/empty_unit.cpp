// Placeholder unit for a room that has no sources yet.
