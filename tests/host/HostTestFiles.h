#pragma once

#include <string>

namespace tarnwood::test {

// Writes an executable /bin/sh script with the given body.
void WriteScript(const std::string& path, const std::string& body);

// Waits up to timeoutMs for a file to exist.
bool WaitForFile(const std::string& path, int timeoutMs);

// The number of children of this process that have not been reaped.
int ChildrenOfThisProcess();

// The parent process id of `pid` as /proc tells it; -1 when it is gone.
int ParentOf(int pid);

}
