#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::RunShell;
using test::TempDir;
using test::XvfbServer;

// Under a full-screen SDL surface the pointer is held in relative mode, so
// only relative moves reach the program as motion events.

// The scene player on a private X server, with its settings file (if any)
// in a private machine-wide config folder.
class ScenePlayer : public ::testing::Test {
protected:
    void Start(const std::string& settingsBytes = {})
    {
        ASSERT_TRUE(server.Ok());
        if (!settingsBytes.empty())
            test::WriteFileBytes(config.File("velquist_Tarnwood_cfg"), settingsBytes);
        // In the sanitizer build the leak scan at exit would count against
        // the time to end; the player's own objects are leak-checked in-process.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string asanOptions = (asan != nullptr ? std::string(asan) + ":" : std::string()) + "detect_leaks=0";
        player = std::make_unique<ChildProcess>(
            std::vector<std::string>{TARNWOOD_INSTALL_DIR "/Tarnwood"},
            std::vector<std::pair<std::string, std::string>>{{"DISPLAY", server.Display()},
                                                              {"XDG_CONFIG_DIRS", config.Path().string()},
                                                              {"ASAN_OPTIONS", asanOptions}});
    }

    void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    int Xdotool(const std::string& args) { return RunShell("xdotool " + args, server.Display()); }

    // Milliseconds from an Escape key press until the player has exited; -1 if it did not.
    int EscapeAndMeasure(int& exitCode)
    {
        auto start = std::chrono::steady_clock::now();
        Xdotool("key Escape");
        exitCode = player->Wait(5000);
        if (exitCode < 0)
            return -1;
        return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
    }

    XvfbServer server;
    TempDir config;
    std::unique_ptr<ChildProcess> player;
};

std::string SettingsFile(std::uint8_t exitOnMouseMove, std::uint8_t displayMode)
{
    std::string bytes(28, '\0');
    bytes[0] = 1;
    bytes[12] = static_cast<char>(exitOnMouseMove);
    bytes[17] = static_cast<char>(displayMode);
    bytes[22] = 1;
    bytes[25] = 1;
    return bytes;
}

TEST_F(ScenePlayer, IgnoresOtherInputAndEndsWithinASecondOfEscape)
{
    Start();
    Sleep(1500);
    Xdotool("key a key space key Return click 1");
    Xdotool("mousemove_relative 10 10");
    Sleep(3600);
    Xdotool("mousemove_relative 40 40");
    Sleep(500);
    ASSERT_TRUE(player->Running()) << "stopped by input other than Escape";
    int exitCode = -1;
    int ms = EscapeAndMeasure(exitCode);
    EXPECT_EQ(exitCode, 0) << player->Stderr();
    EXPECT_GE(ms, 0);
    EXPECT_LT(ms, 1000);
}

TEST_F(ScenePlayer, MouseMotionEndsOnlyAfterThreeSecondsWhenTheSettingIsOn)
{
    Start(SettingsFile(1, 0));
    Sleep(1000);
    Xdotool("mousemove_relative 20 20");
    Sleep(300);
    Xdotool("mousemove_relative 30 30");
    Sleep(500);
    ASSERT_TRUE(player->Running()) << "early motion ended the scene";
    Sleep(2000);
    // The player's three seconds count from its own start, which a loaded
    // machine can delay; keep moving until it ends, within a bound.
    int exitCode = -1;
    for (int attempt = 0; attempt < 10 && exitCode < 0; ++attempt) {
        Xdotool("mousemove_relative 40 40");
        exitCode = player->Wait(500);
    }
    EXPECT_EQ(exitCode, 0) << player->Stderr();
}

TEST_F(ScenePlayer, DisplayModeOneOpensA640x480Surface)
{
    Start(SettingsFile(0, 1));
    Sleep(2000);
    std::string out = config.File("tree.txt");
    RunShell("xwininfo -root -tree > " + out, server.Display());
    EXPECT_NE(test::ReadFileBytes(out).find("640x480"), std::string::npos) << test::ReadFileBytes(out);
    int exitCode = -1;
    EscapeAndMeasure(exitCode);
    EXPECT_EQ(exitCode, 0);
}

}
}
