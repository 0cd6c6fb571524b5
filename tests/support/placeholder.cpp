// placeholder, filled by its owner
