#pragma once

#include <string>
#include <vector>

namespace tarnwood {

// The snapshot program, which is also the look-development viewer: builds
// the scene with the scene mode's own assembly and either runs it for a
// number of simulated milliseconds at a steady 60 frames per second with the
// wall clock fixed at a chosen moment and writes the last frame (as a PNG,
// and/or shrunk to the preview picture), or keeps a window open in real time
// with keys to reload the archives and save the frame. `args` are the
// arguments after the program name. Returns the exit code: 0 written (or the
// window closed), 1 failure (message on stderr), 2 bad usage.
int RunSnapshot(const std::vector<std::string>& args);

}
