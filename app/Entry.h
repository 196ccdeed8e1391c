#pragma once

#include <string>

namespace tarnwood {

// The program's entry: selects the run mode from the command-line text (the
// arguments after the program name) and runs it. Returns the process exit code.
int TarnwoodMain(const std::string& commandLine);

}
