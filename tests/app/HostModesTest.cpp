#include "support/HostTestFiles.h"
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
                            {{"XDG_CONFIG_DIRS", config.Path().string()}, {"SDL_VIDEO_ALLOW_SCREENSAVER", "\x01unset"}});
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
    // The player runs until released: a short window in which the mode must not end.
    EXPECT_EQ(saver.Wait(200), -1) << "the screensaver mode must wait for the scene player";

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

TEST_F(HostModes, MissingProgramStillEndsWithZeroAndNamesItOnStderr)
{
    struct Case {
        const char* hostSwitch;
        const char* program;
    } cases[] = {{"/s", "Tarnwood"}, {"/c", "config"}};
    for (const Case& c : cases) {
        ChildProcess mode = Run(c.hostSwitch);
        EXPECT_EQ(mode.Wait(5000), 0) << c.hostSwitch;
        EXPECT_EQ(mode.Stderr(), "Tarnwood: could not start " + install.File(c.program) + ": No such file or directory\n");
    }
}

// The pid of a child of `parent`, or -1 when it has none within the time.
int WaitForChildOf(int parent, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") == std::string::npos && test::ParentOf(std::stoi(name)) == parent)
                return std::stoi(name);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

// The real scene player under the screensaver mode: a host's stop signal
// reaches both, and neither is left behind.
TEST(ScreensaverModeWithPlayer, StopSignalEndsSaverAndPlayerWithZero)
{
    test::XvfbServer server;
    ASSERT_TRUE(server.Ok());
    TempDir emptyConfig;
    for (int signal : {SIGTERM, SIGHUP}) {
        const char* asan = std::getenv("ASAN_OPTIONS");
        ChildProcess saver(
            {kTarnwood, "/s"},
            {{"DISPLAY", server.Display()},
             {"XDG_CONFIG_DIRS", emptyConfig.Path().string()},
             {"ASAN_OPTIONS", (asan != nullptr ? std::string(asan) + ":" : std::string()) + "detect_leaks=0"}});
        const int player = WaitForChildOf(saver.Pid(), 20000);
        ASSERT_GT(player, 0) << saver.Stderr();
        // The player is up once it has opened its full-screen window.
        for (int i = 0; i < 200 && test::RunShell("xwininfo -root -children | grep -q Tarnwood", server.Display()) != 0;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(saver.Pid(), signal);
        EXPECT_EQ(saver.Wait(10000), 0) << signal << saver.Stderr();
        EXPECT_NE(kill(player, 0), 0) << "the scene player was left running after signal " << signal;
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
