#include "support/ChildProcess.h"
#include "support/Picture.h"
#include "support/StandInWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::Leafy;
using test::NotBlack;
using test::Picture;
using test::StandInWindow;
using test::TempDir;
using test::White;
using test::XvfbServer;

using Clock = std::chrono::steady_clock;

// The whole scene at the window's size: the crown's green in the upper
// middle, lettering in the bottom-right (clock) and top-right (calendar)
// corners, none in the left corners, and sky or ground up to every edge.
bool ShowsTheScene(const Picture& p, int width, int height)
{
    return p.width == width && p.height == height && p.Share(0.25, 0.1, 0.75, 0.6, Leafy) > 0.05
        && p.Share(0.75, 0.85, 0.92, 1.0, White) > 0.02 && p.Share(0.85, 0.0, 1.0, 0.3, White) > 0.02
        && p.Share(0.0, 0.85, 0.3, 1.0, White) < 0.001 && p.Share(0.0, 0.0, 0.25, 0.3, White) < 0.001
        && p.Share(0.0, 0.3, 0.02, 0.7, NotBlack) > 0.95 && p.Share(0.98, 0.3, 1.0, 0.7, NotBlack) > 0.95;
}

// The scene player drawing into a stand-in host window on a private X server.
class HostWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Ok());
        window = std::make_unique<StandInWindow>(server.Display());
        ASSERT_TRUE(window->Ok());
    }

    void Start(std::vector<std::string> arguments, std::vector<std::pair<std::string, std::string>> environment = {})
    {
        arguments.insert(arguments.begin(), TARNWOOD_INSTALL_DIR "/Tarnwood");
        // The leak scan at exit would count against the time to end; the
        // player's own objects are leak-checked in-process.
        const char* asan = std::getenv("ASAN_OPTIONS");
        environment.push_back(
            {"ASAN_OPTIONS", (asan != nullptr ? std::string(asan) + ":" : std::string()) + "detect_leaks=0"});
        environment.push_back({"DISPLAY", server.Display()});
        environment.push_back({"XDG_CONFIG_DIRS", config.Path().string()});
        player = std::make_unique<ChildProcess>(arguments, environment);
    }

    // Polls the window's pixels until `test` holds; the last picture read.
    bool WaitForPicture(const std::function<bool(const Picture&)>& test, Picture& last, int timeoutMs = 30000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        do {
            last = window->Capture();
            if (test(last))
                return true;
            if (!player->Running())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (Clock::now() < deadline);
        return false;
    }

    bool WaitForScene(int width, int height)
    {
        Picture last;
        return WaitForPicture([=](const Picture& p) { return ShowsTheScene(p, width, height); }, last);
    }

    XvfbServer server;
    TempDir config;
    std::unique_ptr<StandInWindow> window;
    std::unique_ptr<ChildProcess> player;
};

// The ways a host names its window: xscreensaver's daemon and xsecurelock
// (environment, decimal or hex, with --root), its settings dialog
// (--root --window-id), and a user (-window-id).
TEST_F(HostWindow, EachWayOfNamingTheWindowDrawsTheSceneIntoIt)
{
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        bool hexInEnvironment;
        bool decimalInEnvironment;
    };
    const Case cases[] = {
        {"XSCREENSAVER_WINDOW in hex with --root", {"--root"}, true, false},
        {"XSCREENSAVER_WINDOW in decimal, no option", {}, false, true},
        {"--window-id in hex", {"--window-id", "HEX"}, false, false},
        {"-window-id in decimal after -root", {"-root", "-window-id", "DECIMAL"}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::pair<std::string, std::string>> environment{{"XSCREENSAVER_WINDOW", "\x01unset"}};
        if (c.hexInEnvironment)
            environment = {{"XSCREENSAVER_WINDOW", window->HexId()}};
        if (c.decimalInEnvironment)
            environment = {{"XSCREENSAVER_WINDOW", window->DecimalId()}};
        std::vector<std::string> arguments = c.arguments;
        for (std::string& word : arguments)
            word = word == "HEX" ? window->HexId() : word == "DECIMAL" ? window->DecimalId() : word;
        Start(arguments, environment);
        EXPECT_TRUE(WaitForScene(400, 300)) << player->Stderr();
        EXPECT_EQ(window->MappedTopLevelWindows(), 1) << "the player opened a window of its own";
        kill(player->Pid(), SIGTERM);
        EXPECT_EQ(player->Wait(10000), 0) << player->Stderr();
        // A black window again, so the next case has to draw anew.
        window = std::make_unique<StandInWindow>(server.Display());
        ASSERT_TRUE(window->Ok());
    }
}

TEST_F(HostWindow, FollowsAResizeWithThePictureAndTheCornerOverlays)
{
    Start({"--window-id", window->HexId()});
    ASSERT_TRUE(WaitForScene(400, 300)) << player->Stderr();
    ASSERT_TRUE(window->Resize(640, 400));
    EXPECT_TRUE(WaitForScene(640, 400)) << player->Stderr();
    kill(player->Pid(), SIGTERM);
    EXPECT_EQ(player->Wait(10000), 0);
}

// How fast SIGTERM ends the player is measured by bench/host-cpu.sh; a
// timed bound here would fail on a loaded machine, so this only asks for
// an end well before a host would give up and kill it.
TEST_F(HostWindow, KeysAndPointerAreLeftToTheHostAndSigtermEndsThePlayer)
{
    Start({"--window-id", window->HexId(), "--set", "exitOnMouseMove=on"});
    ASSERT_TRUE(WaitForScene(400, 300)) << player->Stderr();
    // The rule under test is about time itself: past the player's third
    // second, motion would end a full-screen scene with this setting. Its
    // clock started before the scene showed, so 3.2 s from here is past it.
    std::this_thread::sleep_for(std::chrono::milliseconds(3200));
    test::RunShell("xdotool mousemove 100 100 mousemove 200 150 key Escape", server.Display());
    // Nothing to wait for when nothing should happen: a short window in
    // which the player must not end.
    ASSERT_EQ(player->Wait(500), -1) << "input in the host's window ended the scene";

    kill(player->Pid(), SIGTERM);
    EXPECT_EQ(player->Wait(5000), 0) << player->Stderr();
}

TEST_F(HostWindow, DrawsAgainWhenShownAfterBeingHiddenAndEndsWithZeroWhenTheWindowIsDestroyed)
{
    Start({"--window-id", window->HexId()});
    ASSERT_TRUE(WaitForScene(400, 300)) << player->Stderr();
    ASSERT_TRUE(window->Unmap());
    ASSERT_TRUE(window->Cover());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(window->Map());
    ASSERT_TRUE(window->Uncover());
    // The stand-in's background is black; only the player can paint it again.
    EXPECT_TRUE(WaitForScene(400, 300)) << player->Stderr();

    ASSERT_TRUE(window->Destroy());
    EXPECT_EQ(player->Wait(10000), 0) << player->Stderr();
}

TEST_F(HostWindow, WindowThatDoesNotExistIsReportedWithExitCodeOne)
{
    const std::string missing = window->HexId();
    ASSERT_TRUE(window->Destroy());
    Start({"--window-id", missing});
    EXPECT_EQ(player->Wait(20000), 1);
    EXPECT_NE(player->Stderr().find("there is no X window " + missing), std::string::npos) << player->Stderr();
}

}
}
