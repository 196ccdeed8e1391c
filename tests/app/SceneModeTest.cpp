#include "support/ChildProcess.h"
#include "support/Picture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
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
    void Start(const std::string& settingsBytes = {}, std::vector<std::string> arguments = {})
    {
        ASSERT_TRUE(server.Ok());
        if (!settingsBytes.empty())
            test::WriteFileBytes(config.File("velquist_Tarnwood_cfg"), settingsBytes);
        // In the sanitizer build the leak scan at exit would count against
        // the time to end; the player's own objects are leak-checked in-process.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string asanOptions = (asan != nullptr ? std::string(asan) + ":" : std::string()) + "detect_leaks=0";
        arguments.insert(arguments.begin(), TARNWOOD_INSTALL_DIR "/Tarnwood");
        player = std::make_unique<ChildProcess>(
            arguments,
            std::vector<std::pair<std::string, std::string>>{{"DISPLAY", server.Display()},
                                                             {"XDG_CONFIG_DIRS", config.Path().string()},
                                                             {"ASAN_OPTIONS", asanOptions}});
    }

    void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    int Xdotool(const std::string& args) { return RunShell("xdotool " + args, server.Display()); }

    // Presses Escape; the player's exit code, or -1 when it has not ended
    // within a bound far above any real exit (bench/escape-latency.sh
    // measures how fast it really ends).
    int Escape()
    {
        Xdotool("key Escape");
        return player->Wait(20000);
    }

    // Polls until the player has mapped a window of its own that input can reach.
    bool WaitForWindow(int timeoutMs = 30000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        do {
            if (RunShell("xwininfo -root -children | grep -q Tarnwood", server.Display()) == 0)
                return true;
            Sleep(100);
        } while (player->Running() && std::chrono::steady_clock::now() < deadline);
        return false;
    }

    // Sends pointer motion until the player ends; its exit code, or -1 when
    // it has not ended within the bound.
    int MoveUntilEnd(const std::vector<std::string>& moves)
    {
        int exitCode = -1;
        for (int attempt = 0; attempt < 60 && exitCode < 0; ++attempt) {
            Xdotool(moves[static_cast<std::size_t>(attempt) % moves.size()]);
            exitCode = player->Wait(250);
        }
        return exitCode;
    }

    // The screen as it is now; an empty picture when it cannot be read.
    test::Picture Screen()
    {
        const std::string shot = config.File("screen.ppm");
        test::Picture picture;
        if (RunShell("import -window root -depth 8 " + shot, server.Display()) == 0)
            test::ReadPpm(test::ReadFileBytes(shot), picture);
        return picture;
    }

    // Polls the screen until `test` holds for it.
    bool WaitForScreen(const std::function<bool(const test::Picture&)>& test, int timeoutMs = 30000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        do {
            if (test(Screen()))
                return true;
            Sleep(200);
        } while (player->Running() && std::chrono::steady_clock::now() < deadline);
        return false;
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

bool ShowsTheTree(const test::Picture& p)
{
    return p.Share(0.25, 0.1, 0.75, 0.6, test::Leafy) > 0.05;
}

TEST_F(ScenePlayer, IgnoresOtherInputAndEndsOnEscape)
{
    Start();
    ASSERT_TRUE(WaitForScreen(ShowsTheTree)) << player->Stderr();
    // The rule under test is about time itself: motion past the player's
    // third second ends the scene only with the setting on. Its clock
    // started before the first frame, so 3.2 s from here is past it.
    const auto firstFrame = std::chrono::steady_clock::now();
    Xdotool("key a key space key Return click 1");
    Xdotool("mousemove_relative 10 10");
    std::this_thread::sleep_until(firstFrame + std::chrono::milliseconds(3200));
    Xdotool("mousemove_relative 40 40");
    // Nothing to wait for when nothing should happen: a short window in
    // which the player must not end.
    ASSERT_EQ(player->Wait(500), -1) << "stopped by input other than Escape";
    EXPECT_EQ(Escape(), 0) << player->Stderr();
}

TEST_F(ScenePlayer, MouseMotionEndsOnlyAfterThreeSecondsWhenTheSettingIsOn)
{
    Start(SettingsFile(1, 0));
    // Early motion: as soon as the player's window can receive it.
    ASSERT_TRUE(WaitForWindow()) << player->Stderr();
    Xdotool("mousemove_relative 20 20");
    Xdotool("mousemove_relative 30 30");
    ASSERT_EQ(player->Wait(300), -1) << "early motion ended the scene";
    // The player's three seconds count from its own start, which a loaded
    // machine can delay; keep moving until it ends, within a bound.
    EXPECT_EQ(MoveUntilEnd({"mousemove_relative 40 40"}), 0) << player->Stderr();
}

TEST_F(ScenePlayer, DisplayModeOneOpensA640x480Surface)
{
    Start(SettingsFile(0, 1));
    // A slow start (a loaded machine, a sanitizer build) delays the window.
    std::string out = config.File("tree.txt");
    bool found = false;
    for (int i = 0; i < 150 && !found && player->Running(); ++i) {
        RunShell("xwininfo -root -tree > " + out, server.Display());
        found = test::ReadFileBytes(out).find("640x480") != std::string::npos;
        if (!found)
            Sleep(200);
    }
    EXPECT_TRUE(found) << test::ReadFileBytes(out) << player->Stderr();
    EXPECT_EQ(Escape(), 0);
}

// Hosts stop a screensaver with SIGTERM, a terminal with SIGINT or SIGHUP;
// each ends the scene the way Escape does.
TEST_F(ScenePlayer, StopSignalsEndTheSceneWithExitCodeZero)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        Start();
        ASSERT_TRUE(WaitForScreen(ShowsTheTree)) << player->Stderr();
        kill(player->Pid(), signal);
        EXPECT_EQ(player->Wait(10000), 0) << player->Stderr();
    }
}

// Tablets, remote desktops, virtual machines and XTest move the pointer to
// absolute places; that ends the scene too once three seconds have passed.
TEST_F(ScenePlayer, AbsolutePointerMotionEndsTheSceneWithTheSetting)
{
    Start(SettingsFile(1, 0));
    ASSERT_TRUE(WaitForWindow()) << player->Stderr();
    Xdotool("mousemove 100 100");
    Xdotool("mousemove 300 300");
    ASSERT_EQ(player->Wait(300), -1) << "early motion ended the scene";
    EXPECT_EQ(MoveUntilEnd({"mousemove 500 400", "mousemove 200 100"}), 0) << player->Stderr();
}

// With no window manager, a mode smaller than the desktop is a centred
// window of the mode's size; the whole scene must show in it.
TEST_F(ScenePlayer, SmallerModeShowsClockAndCalendarWholeInTheirCorners)
{
    Start(SettingsFile(0, 2), {"--set", "showCalendar=on"});
    // 800 x 600 centred on 1024 x 768: from (112, 84) to (912, 684).
    const double left = 112.0 / 1024;
    const double right = 912.0 / 1024;
    const double top = 84.0 / 768;
    const double bottom = 684.0 / 768;
    auto x = [&](double f) { return left + f * (right - left); };
    auto y = [&](double f) { return top + f * (bottom - top); };
    EXPECT_TRUE(WaitForScreen([&](const test::Picture& p) {
        return p.Share(x(0.75), y(0.85), x(0.92), y(1.0), test::White) > 0.02
            && p.Share(x(0.8), y(0.0), x(0.97), y(0.3), test::White) > 0.02
            && p.Share(x(0.25), y(0.1), x(0.75), y(0.6), test::Leafy) > 0.05;
    })) << player->Stderr();
    // Nothing is drawn outside the mode's window.
    const test::Picture screen = Screen();
    EXPECT_LT(screen.Share(0.0, 0.0, 1.0, top * 0.9, test::NotBlack), 0.001);
    EXPECT_LT(screen.Share(right * 1.01, 0.0, 1.0, 1.0, test::NotBlack), 0.001);
    kill(player->Pid(), SIGTERM);
    EXPECT_EQ(player->Wait(10000), 0);
}

TEST_F(ScenePlayer, SetAndFpsOverrideTheFileForOneRunAndWriteNothing)
{
    // The file shows the clock and no calendar.
    const std::string file = SettingsFile(0, 0);
    Start(file, {"--set", "showClock=off", "--set", "showCalendar=on", "--fps"});
    EXPECT_TRUE(WaitForScreen([](const test::Picture& p) {
        return p.Share(0.8, 0.0, 0.97, 0.3, test::White) > 0.02 && p.Share(0.0, 0.0, 0.25, 0.1, test::White) > 0.001
            && p.Share(0.6, 0.85, 1.0, 1.0, test::White) < 0.001;
    })) << player->Stderr();
    kill(player->Pid(), SIGTERM);
    EXPECT_EQ(player->Wait(10000), 0);
    EXPECT_EQ(test::ReadFileBytes(config.File("velquist_Tarnwood_cfg")), file);
}

TEST(SceneCommandLine, HelpVersionAndBadOptionsEndAtOnceWithTheirCodes)
{
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        const char* out;
        const char* err;
    } cases[] = {
        {{"--help"}, 0, "--window-id ID", ""},
        {{"--fps", "--help"}, 0, "Usage: Tarnwood", ""},
        {{"--version"}, 0, "Tarnwood ", ""},
        {{"--bogus"}, 2, "", "Tarnwood: unknown option '--bogus' (see --help).\n"},
        {{"/x", "--delay", "soon"}, 2, "", "Tarnwood: 'soon' is not a delay"},
        {{"--set", "clock=on"}, 2, "", "Tarnwood: there is no setting called 'clock'"},
    };
    for (Case& c : cases) {
        c.arguments.insert(c.arguments.begin(), TARNWOOD_INSTALL_DIR "/Tarnwood");
        // No display: none of these may get as far as opening one.
        ChildProcess run(c.arguments, {{"DISPLAY", "\x01unset"}});
        EXPECT_EQ(run.Wait(20000), c.exitCode) << c.arguments[1];
        const std::string out = run.Stdout();
        const std::string err = run.Stderr();
        EXPECT_NE(out.find(c.out), std::string::npos) << out;
        EXPECT_EQ(err.rfind(c.err, 0), 0u) << err;
        if (c.exitCode == 2)
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

// SDL would fall back to an invisible off-screen driver; the player refuses.
TEST(SceneCommandLine, NoDisplayEndsWithTheVideoMessageAndExitCodeOne)
{
    for (const char* hostWindow : {"\x01unset", "0x400001"}) {
        ChildProcess run({TARNWOOD_INSTALL_DIR "/Tarnwood"},
                         {{"DISPLAY", "\x01unset"}, {"SDL_VIDEODRIVER", "\x01unset"}, {"XSCREENSAVER_WINDOW", hostWindow}});
        EXPECT_EQ(run.Wait(20000), 1) << hostWindow;
        EXPECT_NE(run.Stderr().find("Video initialization failed: "), std::string::npos) << run.Stderr();
    }
}

}
}
