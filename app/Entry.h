#pragma once

#include <string>

namespace tarnwood {

// The program's entry: selects the run mode from the first command-line word
// (the host's switch) and runs it; the scene mode also reads the options
// among the words. Returns the process exit code.
int TarnwoodMain(int argc, const char* const* argv);

// Makes the process-wide objects in their fixed order (resource manager,
// procedural texture registry, transparent list), seeds rand() from the time
// and reads the install directory. They are destroyed in the reverse order
// at exit. Every program of the system calls it first.
void StartProcessObjects();

}
