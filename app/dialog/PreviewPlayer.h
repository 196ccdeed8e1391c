#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace tarnwood {

// One run of the scene player drawing into a window of ours: a child process
// that ends with us. The child asks the kernel to kill it when this process
// dies, however that happens, so no player can outlive the window it draws
// into; Stop and the destructor end it politely before that.
class PreviewPlayer {
public:
    PreviewPlayer() = default;
    ~PreviewPlayer();
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    // Stops any running player, then starts the program `argv[0]` with
    // `argv`, inheriting the environment and standard streams but no other
    // descriptor. Returns false with the system's reason in `problem` when
    // the program could not be started.
    bool Start(const std::vector<std::string>& argv, std::string& problem);

    // Asks the player to end (SIGTERM), waits up to `timeoutMs` for it, then
    // kills it (SIGKILL); always reaps it. Does nothing when none runs.
    void Stop(int timeoutMs = 2000);

    // True while a started player has not ended. When it has ended on its
    // own, it is reaped here and `exitDescription` says how it ended.
    bool Running(std::string& exitDescription);

    pid_t Pid() const { return pid; }

private:
    pid_t pid = -1;
};

// How a process ended, in words, from a waitpid status.
std::string DescribeExit(int status);

}
