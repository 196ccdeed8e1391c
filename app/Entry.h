#pragma once

#include <string>

namespace tarnwood {

// The program's entry: selects the run mode from the command-line text (the
// arguments after the program name) and runs it. Returns the process exit code.
int TarnwoodMain(const std::string& commandLine);

// Makes the process-wide objects in their fixed order (resource manager,
// procedural texture registry, transparent list), seeds rand() from the time
// and reads the install directory. They are destroyed in the reverse order
// at exit. Every program of the system calls it first.
void StartProcessObjects();

}
