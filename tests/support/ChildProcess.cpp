#include "ChildProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarnwood::test {

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string TempFileName(const char* tag)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string("tarnwood-") + tag + "-XXXXXX")).string();
    int fd = mkstemp(pattern.data());
    if (fd >= 0)
        close(fd);
    return pattern;
}

}

ChildProcess::ChildProcess(std::vector<std::string> argv, std::vector<std::pair<std::string, std::string>> setEnv,
                           std::string workDir)
    : outPath(TempFileName("out")), errPath(TempFileName("err"))
{
    pid = fork();
    if (pid != 0)
        return;
    // SDL unloads the X11 libraries it opened when it quits, so leaks inside
    // them show up in sanitizer builds with no module to suppress them by. A
    // program started by a test still prints its leak report, but it does not
    // turn the exit code the test checks into a failure; our own objects are
    // leak-checked by the in-process tests.
    const char* lsan = std::getenv("LSAN_OPTIONS");
    std::string lsanOptions = lsan != nullptr ? std::string(lsan) + ":exitcode=0" : "exitcode=0";
    setenv("LSAN_OPTIONS", lsanOptions.c_str(), 1);
    for (auto& [name, value] : setEnv) {
        if (value == "\x01unset")
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
    if (!workDir.empty() && chdir(workDir.c_str()) != 0)
        _exit(126);
    int out = open(outPath.c_str(), O_WRONLY | O_TRUNC);
    int err = open(errPath.c_str(), O_WRONLY | O_TRUNC);
    int in = open("/dev/null", O_RDONLY);
    dup2(out, 1);
    dup2(err, 2);
    dup2(in, 0);
    std::vector<char*> args;
    for (auto& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        Kill();
    }
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
}

bool ChildProcess::Running()
{
    if (pid <= 0 || reaped)
        return false;
    int st = 0;
    pid_t r = waitpid(pid, &st, WNOHANG);
    if (r == pid) {
        reaped = true;
        status = st;
        return false;
    }
    return r == 0;
}

int ChildProcess::Wait(int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!reaped)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

void ChildProcess::Kill()
{
    if (Running()) {
        ::kill(pid, SIGKILL);
        int st = 0;
        waitpid(pid, &st, 0);
        reaped = true;
        status = st;
    }
}

std::string ChildProcess::Stdout() const
{
    return Slurp(outPath);
}
std::string ChildProcess::Stderr() const
{
    return Slurp(errPath);
}

XvfbServer::XvfbServer(int width, int height, bool anyClient)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        if (anyClient)
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   "-noreset", "-ac", static_cast<char*>(nullptr));
        else
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.empty())
        display = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        int st = 0;
        waitpid(pid, &st, 0);
    }
}

int RunShell(const std::string& command, const std::string& display)
{
    std::string full = display.empty() ? command : "DISPLAY=" + display + " " + command;
    int st = std::system(full.c_str());
    if (st == -1 || !WIFEXITED(st))
        return -1;
    return WEXITSTATUS(st);
}

}
