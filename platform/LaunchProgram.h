#pragma once

#include <string>

namespace tarnwood {

// Starts a program of the install directory: the path is InstallDirectory()
// joined with fileName, where a trailing ".exe" of the host's program names
// is dropped ("Tarnwood.exe" starts the program file "Tarnwood"). See
// StartProgram for the rest of the contract.
bool LaunchProgram(const std::string& fileName, bool wait);

// Starts the program file at `path` in a new process. The process runs in the
// folder of `path` (everything before its last '/', or the whole path when it
// holds no '/'), receives only the path as argv[0], inherits this process's
// environment and none of its descriptors above standard error.
// With `wait` set, blocks until the process has ended; without it, returns as
// soon as the program runs, and the process is never left as a zombie of ours.
// Returns true when the program was started; false at once when the process
// could not be created, the folder could not be entered or the file could not
// be executed.
bool StartProgram(const std::string& path, bool wait);

// The file name under which a program of the install directory is stored:
// the host's name without a trailing ".exe".
std::string ProgramFileName(const std::string& hostName);

}
