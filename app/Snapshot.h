#pragma once

#include <string>
#include <vector>

namespace tarnwood {

// The snapshot program: builds the scene with the scene mode's own assembly,
// runs it for a number of simulated milliseconds at a steady 60 frames per
// second with the wall clock fixed at a chosen moment, and writes the last
// frame as a PNG. `args` are the arguments after the program name. Returns
// the exit code: 0 written, 1 failure (message on stderr), 2 bad usage.
int RunSnapshot(const std::vector<std::string>& args);

// Writes RGB pixels (rows bottom to top, as glReadPixels delivers them) to a
// PNG file with rows top to bottom. Returns false, leaving no partial file,
// when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgbBottomUp);

}
