#include "platform/LaunchProgram.h"

#include "platform/RegistryString.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/close_range.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwood {

namespace {

// Runs in the forked child, where only async-signal-safe calls are allowed.
// A failure is written as its errno to the close-on-exec pipe, so the parent
// reads either nothing (the exec closed the pipe) or the reason it failed.
[[noreturn]] void ExecInChild(int errorPipe, const char* workDir, char* const argv[])
{
    // Only standard input, output and error are handed on to the program.
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    if (chdir(workDir) == 0)
        execv(argv[0], argv);
    const int error = errno;
    ssize_t ignored = write(errorPipe, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

}

std::string ProgramFileName(const std::string& hostName)
{
    const std::string suffix = ".exe";
    if (hostName.size() > suffix.size()
        && strcasecmp(hostName.c_str() + hostName.size() - suffix.size(), suffix.c_str()) == 0)
        return hostName.substr(0, hostName.size() - suffix.size());
    return hostName;
}

std::string LaunchProgramPath(const std::string& fileName)
{
    return InstallDirectory().Join(ProgramFileName(fileName));
}

bool LaunchProgram(const std::string& fileName, bool wait, int* error, void (*started)(pid_t))
{
    return StartProgram(LaunchProgramPath(fileName), wait, error, started);
}

bool StartProgram(const std::string& path, bool wait, int* error, void (*started)(pid_t))
{
    const std::string::size_type slash = path.rfind('/');
    const std::string workDir = slash == std::string::npos ? path
        : slash == 0                                       ? std::string(1, '/')
                                                           : path.substr(0, slash);
    std::string programName = path;
    char* const argv[] = {programName.data(), nullptr};

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        if (error != nullptr)
            *error = errno;
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        if (error != nullptr)
            *error = errno;
        close(errorPipe[0]);
        close(errorPipe[1]);
        return false;
    }
    if (child == 0) {
        close(errorPipe[0]);
        if (!wait) {
            // Without a wait the program is handed to the system's reaper:
            // this intermediate process exits at once and the program, its
            // child, is adopted, so no zombie of ours is ever left behind.
            const pid_t program = fork();
            if (program < 0) {
                const int error = errno;
                ssize_t ignored = write(errorPipe[1], &error, sizeof error);
                (void)ignored;
                _exit(127);
            }
            if (program > 0)
                _exit(0);
        }
        ExecInChild(errorPipe[1], workDir.c_str(), argv);
    }

    close(errorPipe[1]);
    if (wait && started != nullptr)
        started(child);
    int childError = 0;
    ssize_t got;
    do {
        got = read(errorPipe[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    close(errorPipe[0]);

    // With the wait flag this is the wait for the program itself; otherwise
    // it reaps the intermediate process, which has already ended.
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (got != 0 && error != nullptr)
        *error = got == static_cast<ssize_t>(sizeof childError) ? childError : EIO;
    return got == 0;
}

}
