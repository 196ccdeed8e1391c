#include "support/ChildProcess.h"
#include "support/Picture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::Leafy;
using test::Picture;
using test::ReadPpm;
using test::RunShell;
using test::TempDir;
using test::White;
using test::XvfbServer;

// The real program with the real archives on a private X server, with the
// default settings: the whole picture, then Escape.
TEST(EndToEnd, SceneShowsTreeClockAndCalendarInTheirPlacesAndEndsWithEscape)
{
    XvfbServer server;
    ASSERT_TRUE(server.Ok());
    TempDir config;
    ChildProcess player({TARNWOOD_INSTALL_DIR "/Tarnwood"},
                        {{"DISPLAY", server.Display()}, {"XDG_CONFIG_DIRS", config.Path().string()}});
    // The first frames can come late on a loaded machine: read the screen
    // until the crown shows, then check the whole picture.
    // The tree's crown fills the upper middle; the sky is never green. The
    // crown's mix of green and autumn leaves differs from run to run (seen
    // between 15% and 30% green here), so any clear share of green proves it.
    const std::string shot = config.File("shot.ppm");
    Picture picture;
    bool crown = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!crown && player.Running() && std::chrono::steady_clock::now() < deadline) {
        if (RunShell("import -window root -depth 8 " + shot, server.Display()) == 0
            && ReadPpm(test::ReadFileBytes(shot), picture))
            crown = picture.Share(0.25, 0.15, 0.75, 0.6, Leafy) > 0.05;
        if (!crown)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(crown) << player.Stderr();
    ASSERT_EQ(RunShell("xdotool key Escape", server.Display()), 0);
    EXPECT_EQ(player.Wait(20000), 0) << player.Stderr();

    ASSERT_EQ(picture.width, 1024);
    ASSERT_EQ(picture.height, 768);
    // Lettering: the clock's digits in the bottom-right corner, the
    // calendar's numbers in the top-right one, nothing white in the others.
    EXPECT_GT(picture.Share(0.7, 0.85, 1.0, 1.0, White), 0.02);
    EXPECT_GT(picture.Share(0.75, 0.0, 1.0, 0.35, White), 0.02);
    EXPECT_LT(picture.Share(0.0, 0.85, 0.3, 1.0, White), 0.001);
    EXPECT_LT(picture.Share(0.0, 0.0, 0.25, 0.35, White), 0.001);
}

}
}
