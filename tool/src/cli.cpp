// Command-line definition (placeholder until it lands).
