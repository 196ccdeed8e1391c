#include "tests/host/HostTestFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::ReadFileBytes;
using test::TempDir;
using test::WaitForFile;
using test::WriteFileBytes;
using test::WriteScript;

const std::string kTarnwood = std::string(TARNWOOD_INSTALL_DIR) + "/Tarnwood";

// A stand-in for a program of the install directory: it records how it was
// started, then runs until the test creates the file "release" (at most 10 s).
const std::string kRecorderBody =
    "{ echo \"args=$#\"; echo \"name=$0\"; echo \"cwd=$(pwd)\";\n"
    "  echo \"allow=${SDL_VIDEO_ALLOW_SCREENSAVER-unset}\"; echo \"pid=$$\"; } > record.tmp\n"
    "mv record.tmp record\n"
    "i=0; while [ ! -e release ] && [ $i -lt 500 ]; do sleep 0.02; i=$((i+1)); done\n";

// An install directory named to Tarnwood through the machine-wide
// configuration folder, as the host modes find it.
class HostModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(config.Path() / "Velquist");
        WriteFileBytes((config.Path() / "Velquist" / "Tarnwood.conf").string(),
                       "[Settings]\nPath=" + install.Path().string() + "/\n");
    }

    ChildProcess Run(const std::string& hostSwitch)
    {
        return ChildProcess({kTarnwood, hostSwitch},
                            {{"XDG_CONFIG_DIRS", config.Path().string()},
                             {"SDL_VIDEO_ALLOW_SCREENSAVER", "\x01unset"}});
    }

    std::string Expected(const std::string& program, const std::string& allow)
    {
        return "args=0\nname=" + install.File(program) + "\ncwd=" + install.Path().string() + "\nallow=" + allow + "\n";
    }

    TempDir config;
    TempDir install;
};

// Drops the pid line, which differs from run to run.
std::string WithoutPid(const std::string& record)
{
    return record.substr(0, record.find("pid="));
}

TEST_F(HostModes, ScreensaverModeRunsScenePlayerAndEndsOnlyAfterIt)
{
    WriteScript(install.File("Tarnwood"), kRecorderBody);
    ChildProcess saver = Run("/s");

    ASSERT_TRUE(WaitForFile(install.File("record"), 5000));
    EXPECT_EQ(WithoutPid(ReadFileBytes(install.File("record"))), Expected("Tarnwood", "1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(saver.Running()) << "the screensaver mode must wait for the scene player";

    WriteFileBytes(install.File("release"), "");
    EXPECT_EQ(saver.Wait(10000), 0);
}

TEST_F(HostModes, ConfigurationModeEndsWhileConfigProgramRuns)
{
    WriteScript(install.File("config"), kRecorderBody);
    ChildProcess configure = Run("/c");

    EXPECT_EQ(configure.Wait(5000), 0);
    ASSERT_TRUE(WaitForFile(install.File("record"), 5000));
    const std::string record = ReadFileBytes(install.File("record"));
    EXPECT_EQ(WithoutPid(record), Expected("config", "unset"));
    const int pid = std::atoi(record.substr(record.find("pid=") + 4).c_str());
    EXPECT_EQ(kill(pid, 0), 0) << "config should still be running";

    WriteFileBytes(install.File("release"), "");
}

TEST_F(HostModes, MissingProgramStillEndsWithZero)
{
    for (const char* hostSwitch : {"/s", "/c"}) {
        ChildProcess mode = Run(hostSwitch);
        EXPECT_EQ(mode.Wait(5000), 0) << hostSwitch;
    }
}

// Without a configured install directory, the programs next to the running
// executable are started.
TEST(HostModesDefaultInstallDirectory, StartsTheProgramBesideTheExecutable)
{
    TempDir emptyConfig;
    TempDir install;
    std::filesystem::copy_file(kTarnwood, install.File("saver"));
    WriteScript(install.File("Tarnwood"), kRecorderBody + "echo ended > ended\n");
    WriteFileBytes(install.File("release"), "");

    ChildProcess saver({install.File("saver"), "/s"}, {{"XDG_CONFIG_DIRS", emptyConfig.Path().string()}});
    EXPECT_EQ(saver.Wait(10000), 0);
    EXPECT_EQ(ReadFileBytes(install.File("ended")), "ended\n");
}

}
}
