#include "app/dialog/PreviewPlayer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarnwood {

namespace {

// Runs in the forked child, where only async-signal-safe calls are allowed.
// A failure is written as its errno to the close-on-exec pipe.
[[noreturn]] void ExecPlayer(int errorPipe, pid_t parent, char* const argv[])
{
    // Killed with us, even if we are killed: the kernel sends the signal
    // when the parent goes. A parent that went before this call was made
    // is caught by the parent check that follows.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent)
        _exit(127);
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    // Signals ignored or blocked here would be inherited by the player.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int number : {SIGTERM, SIGINT, SIGHUP, SIGPIPE})
        signal(number, SIG_DFL);
    execv(argv[0], argv);
    const int error = errno;
    ssize_t ignored = write(errorPipe, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

}

std::string DescribeExit(int status)
{
    if (WIFEXITED(status))
        return "ended with exit code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("was ended by the signal ") + strsignal(WTERMSIG(status));
    return "ended";
}

PreviewPlayer::~PreviewPlayer()
{
    Stop();
}

bool PreviewPlayer::Start(const std::vector<std::string>& argv, std::string& problem)
{
    Stop();
    std::vector<std::string> words = argv;
    std::vector<char*> pointers;
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        problem = std::strerror(errno);
        return false;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        problem = std::strerror(errno);
        close(errorPipe[0]);
        close(errorPipe[1]);
        return false;
    }
    if (child == 0) {
        close(errorPipe[0]);
        ExecPlayer(errorPipe[1], parent, pointers.data());
    }
    close(errorPipe[1]);
    int childError = 0;
    ssize_t got;
    do {
        got = read(errorPipe[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    close(errorPipe[0]);
    if (got > 0) {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
        problem = std::strerror(childError);
        return false;
    }
    pid = child;
    return true;
}

void PreviewPlayer::Stop(int timeoutMs)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid = -1;
}

bool PreviewPlayer::Running(std::string& exitDescription)
{
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == 0 || (done < 0 && errno == EINTR))
        return true;
    exitDescription = done == pid ? DescribeExit(status) : "ended";
    pid = -1;
    return false;
}

}
