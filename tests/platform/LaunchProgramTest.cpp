#include "platform/LaunchProgram.h"

#include "support/HostTestFiles.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwood {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WaitForFile;
using test::WriteScript;

// With the wait flag the program has finished when StartProgram returns, and
// it saw exactly what a launched program must see: no arguments, the folder
// of its file as working directory, this process's environment and none of
// its descriptors.
TEST(StartProgram, WaitsForProgramThatSeesOnlyItsNameFolderAndEnvironment)
{
    TempDir dir;
    const std::string program = dir.File("recorder");
    const std::string record = dir.File("record");
    WriteScript(program,
                "sleep 0.2\n"
                "{ echo \"args=$#\"; echo \"name=$0\"; echo \"cwd=$(pwd)\"; echo \"mark=$TARNWOOD_LAUNCH_MARK\";\n"
                "  if [ -e /proc/$$/fd/$TARNWOOD_OPEN_FD ]; then echo fd=inherited; else echo fd=closed; fi;\n"
                "} > \""
                    + record
                    + ".tmp\"\n"
                      "mv \""
                    + record + ".tmp\" \"" + record + "\"\n");
    const int openFd = open("/dev/null", O_RDONLY);
    ASSERT_GE(openFd, 3);
    setenv("TARNWOOD_OPEN_FD", std::to_string(openFd).c_str(), 1);
    setenv("TARNWOOD_LAUNCH_MARK", "inherited", 1);

    const bool started = StartProgram(program, true);
    const std::string seen = ReadFileBytes(record);
    close(openFd);
    unsetenv("TARNWOOD_LAUNCH_MARK");
    unsetenv("TARNWOOD_OPEN_FD");

    EXPECT_TRUE(started);
    EXPECT_EQ(seen, "args=0\nname=" + program + "\ncwd=" + dir.Path().string() + "\nmark=inherited\nfd=closed\n");
    EXPECT_EQ(test::ChildrenOfThisProcess(), 0);
}

// Without the wait flag StartProgram returns while the program still runs,
// and the program is not a child of ours, so it can never become our zombie.
TEST(StartProgram, ReturnsWhileProgramRunsAndLeavesNoChild)
{
    TempDir dir;
    const std::string program = dir.File("blocker");
    const std::string release = dir.File("release");
    WriteScript(program,
                "echo $$ > pid.tmp && mv pid.tmp pid\n"
                "i=0; while [ ! -e release ] && [ $i -lt 500 ]; do sleep 0.02; i=$((i+1)); done\n"
                "echo ended > ended\n");

    ASSERT_TRUE(StartProgram(program, false));
    ASSERT_TRUE(WaitForFile(dir.File("pid"), 5000));
    const int pid = std::atoi(ReadFileBytes(dir.File("pid")).c_str());
    EXPECT_EQ(kill(pid, 0), 0) << "the program should still be running";
    EXPECT_NE(test::ParentOf(pid), getpid());
    EXPECT_EQ(test::ChildrenOfThisProcess(), 0);

    test::WriteFileBytes(release, "");
    EXPECT_TRUE(WaitForFile(dir.File("ended"), 5000));
}

class StartProgramFailure : public ::testing::TestWithParam<bool> {};

// Every way the program can fail to start reaches the caller as false, with
// the child that tried already reaped.
TEST_P(StartProgramFailure, ReportsFalseAndLeavesNoChild)
{
    TempDir dir;
    test::WriteFileBytes(dir.File("not-executable"), "#!/bin/sh\nexit 0\n");
    // Even the root user may not run a file with no execute bit at all.
    chmod(dir.File("not-executable").c_str(), 0644);
    test::WriteFileBytes(dir.File("no-format"),
                         std::string("\x7f"
                                     "ELF garbage",
                                     12));
    chmod(dir.File("no-format").c_str(), 0755);
    std::filesystem::create_directory(dir.File("a-folder"));

    for (const std::string path : {dir.File("missing"), dir.File("not-executable"), dir.File("no-format"),
                                   dir.File("a-folder"), dir.File("missing-folder/program"), std::string("program")}) {
        EXPECT_FALSE(StartProgram(path, GetParam())) << path;
    }
    EXPECT_EQ(test::ChildrenOfThisProcess(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothWaitFlags, StartProgramFailure, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Waiting" : "NotWaiting"); });

}
}
