#include "tests/host/HostTestFiles.h"

#include "tests/support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tarnwood::test {

void WriteScript(const std::string& path, const std::string& body)
{
    WriteFileBytes(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

bool WaitForFile(const std::string& path, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int ParentOf(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold blanks; the fields after it do not.
    const std::string::size_type close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 1));
    std::string state;
    int parent = -1;
    fields >> state >> parent;
    return parent;
}

int ChildrenOfThisProcess()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (ParentOf(std::stoi(name)) == getpid())
            ++count;
    }
    return count;
}

}
