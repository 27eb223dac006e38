#pragma once

// Writes minimal beside-files (a blank logo, scrambled main.txt and about.txt) and
// an empty library/ folder into the current directory, so the windows can be built.
void WriteBenchBesideFiles();
