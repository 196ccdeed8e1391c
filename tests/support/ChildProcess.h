#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace tarnwood::test {

// A program started by a test: argv[0] is the path. The child inherits the
// test's environment with `setEnv` applied on top (a value of "\x01unset"
// removes the variable) and runs in `workDir` when that is not empty.
// Standard output and error go to files inside the object, readable after Wait.
class ChildProcess {
public:
    ChildProcess(std::vector<std::string> argv, std::vector<std::pair<std::string, std::string>> setEnv = {},
                 std::string workDir = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid; }
    // True while the child has not been reaped.
    bool Running();
    // Waits up to timeoutMs; returns the exit code, 128 + signal for a signal,
    // or -1 when it is still running at the deadline.
    int Wait(int timeoutMs);
    void Kill();
    std::string Stdout() const;
    std::string Stderr() const;

private:
    pid_t pid = -1;
    int status = -1;
    bool reaped = false;
    std::string outPath;
    std::string errPath;
};

// A private X server (Xvfb) for tests that need their own screen, so that
// keyboard focus and full-screen grabs never cross between tests.
class XvfbServer {
public:
    // With `anyClient`, clients of other users may connect too (-ac).
    explicit XvfbServer(int width = 1024, int height = 768, bool anyClient = false);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Ok() const { return !display.empty(); }
    // The DISPLAY value, such as ":57".
    const std::string& Display() const { return display; }

private:
    pid_t pid = -1;
    std::string display;
};

// Runs a command line through /bin/sh with DISPLAY set; returns its exit code.
int RunShell(const std::string& command, const std::string& display = {});

}
