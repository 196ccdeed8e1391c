#pragma once

#include <string>
#include <sys/types.h>

namespace tarnwood {

// Starts a program of the install directory: the path is InstallDirectory()
// joined with fileName, where a trailing ".exe" of the host's program names
// is dropped ("Tarnwood.exe" starts the program file "Tarnwood"). See
// StartProgram for the rest of the contract.
// `error` and `started` are as for StartProgram.
bool LaunchProgram(const std::string& fileName, bool wait, int* error = nullptr, void (*started)(pid_t) = nullptr);

// The path LaunchProgram starts for `fileName`.
std::string LaunchProgramPath(const std::string& fileName);

// Starts the program file at `path` in a new process. The process runs in the
// folder of `path` (everything before its last '/', or the whole path when it
// holds no '/'), receives only the path as argv[0], inherits this process's
// environment and none of its descriptors above standard error.
// With `wait` set, blocks until the process has ended; without it, returns as
// soon as the program runs, and the process is never left as a zombie of ours.
// Returns true when the program was started; false at once when the process
// could not be created, the folder could not be entered or the file could not
// be executed, with the errno of the failed step in `error` when given.
// With `wait` set, `started` (when given) is called with the new process's id
// as soon as it exists, before the wait, so that the caller can pass signals on.
bool StartProgram(const std::string& path, bool wait, int* error = nullptr, void (*started)(pid_t) = nullptr);

// The file name under which a program of the install directory is stored:
// the host's name without a trailing ".exe".
std::string ProgramFileName(const std::string& hostName);

}
