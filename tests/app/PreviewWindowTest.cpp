#include "support/HostTestFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

// Xlib defines macros such as None and Bool that clash with names in GoogleTest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::TempDir;
using test::WriteFileBytes;

const std::string kTarnwood = std::string(TARNWOOD_INSTALL_DIR) + "/Tarnwood";

unsigned ChannelOf(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0)
        ++shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

// A private X server, a connection to it, and an install directory with a
// preview picture of 152 x 112 pixels, as Tarnwood finds it.
class PreviewWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<test::XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(server->Ok());
        display = XOpenDisplay(server->Display().c_str());
        ASSERT_NE(display, nullptr);
        std::filesystem::create_directories(config.Path() / "Velquist");
        WriteFileBytes((config.Path() / "Velquist" / "Tarnwood.conf").string(),
                       "[Settings]\nPath=" + install.Path().string() + "/\n");
        test::WritePictureBmp(install.File("preview.ppk"), 152, 112);
    }

    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }

    // A white top-level window standing in for the host's preview pane.
    Window MakePane(int width, int height)
    {
        const int screen = DefaultScreen(display);
        Window pane = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                          static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                          WhitePixel(display, screen));
        XMapWindow(display, pane);
        XSync(display, False);
        return pane;
    }

    ChildProcess RunPreview(unsigned long window, const std::string& displayName = {})
    {
        return ChildProcess({kTarnwood, "/p", std::to_string(window)},
                            {{"DISPLAY", displayName.empty() ? server->Display() : displayName},
                             {"XDG_CONFIG_DIRS", config.Path().string()}});
    }

    // The pane's pixels as 0x00RRGGBB, row by row.
    std::vector<std::uint32_t> ReadBack(Window pane, int width, int height)
    {
        std::vector<std::uint32_t> pixels;
        XImage* image = XGetImage(display, pane, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (!image)
            return pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                pixels.push_back((ChannelOf(p, image->red_mask) << 16) | (ChannelOf(p, image->green_mask) << 8)
                                 | ChannelOf(p, image->blue_mask));
            }
        }
        XDestroyImage(image);
        return pixels;
    }

    // Reads the pane back until it shows `expected` or 10 s have passed.
    bool PaneShows(Window pane, int width, int height, const std::function<std::uint32_t(int, int)>& expected)
    {
        std::vector<std::uint32_t> want;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                want.push_back(expected(x, y));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (ReadBack(pane, width, height) == want)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    static std::unique_ptr<test::XvfbServer> server;
    ::Display* display = nullptr;
    TempDir config;
    TempDir install;
};

std::unique_ptr<test::XvfbServer> PreviewWindow::server;

TEST_F(PreviewWindow, PaneOf152PixelsShowsPictureExactlyAndEndsWhenPaneIsDestroyed)
{
    const Window pane = MakePane(152, 112);
    ChildProcess preview = RunPreview(pane);

    EXPECT_TRUE(PaneShows(pane, 152, 112, test::PictureColour));
    EXPECT_TRUE(preview.Running());

    XDestroyWindow(display, pane);
    XSync(display, False);
    EXPECT_EQ(preview.Wait(10000), 0);
}

// A host may stop the preview with a signal instead of destroying its pane.
TEST_F(PreviewWindow, StopSignalsEndThePreviewWithZero)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const Window pane = MakePane(152, 112);
        ChildProcess preview = RunPreview(pane);
        ASSERT_TRUE(PaneShows(pane, 152, 112, test::PictureColour)) << signal;
        kill(preview.Pid(), signal);
        EXPECT_EQ(preview.Wait(10000), 0) << signal;
        XDestroyWindow(display, pane);
        XSync(display, False);
    }
}

TEST_F(PreviewWindow, PaneOfOtherWidthIsBlack)
{
    const Window pane = MakePane(200, 112);
    ChildProcess preview = RunPreview(pane);

    EXPECT_TRUE(PaneShows(pane, 200, 112, [](int, int) { return 0u; }));
    XDestroyWindow(display, pane);
    XSync(display, False);
    EXPECT_EQ(preview.Wait(10000), 0);
}

// A picture that was covered and uncovered is painted again.
TEST_F(PreviewWindow, PaintsAgainAfterExposure)
{
    const Window pane = MakePane(152, 112);
    ChildProcess preview = RunPreview(pane);
    ASSERT_TRUE(PaneShows(pane, 152, 112, test::PictureColour));

    const Window cover = MakePane(152, 112);
    XDestroyWindow(display, cover);
    XSync(display, False);
    EXPECT_TRUE(PaneShows(pane, 152, 112, test::PictureColour));
    XDestroyWindow(display, pane);
    XSync(display, False);
    EXPECT_EQ(preview.Wait(10000), 0);
}

TEST_F(PreviewWindow, WithoutPaneOrDisplayEndsAtOnceWithNothingDrawn)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned before = 0;
    unsigned after = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &before);
    XFree(children);

    // A fresh window's id, freed again, names no window.
    const Window gone = MakePane(10, 10);
    XDestroyWindow(display, gone);
    XSync(display, False);
    for (unsigned long id : {static_cast<unsigned long>(gone), 0UL}) {
        ChildProcess preview = RunPreview(id);
        EXPECT_EQ(preview.Wait(10000), 0) << id;
    }

    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &after);
    XFree(children);
    EXPECT_EQ(after, before);

    ChildProcess noDisplay({kTarnwood, "/p", "1234"},
                           {{"DISPLAY", "\x01unset"}, {"XDG_CONFIG_DIRS", config.Path().string()}});
    EXPECT_EQ(noDisplay.Wait(10000), 0);
}

TEST_F(PreviewWindow, EndsWithZeroWhenTheXServerGoesAway)
{
    auto ownServer = std::make_unique<test::XvfbServer>();
    ASSERT_TRUE(ownServer->Ok());
    ::Display* own = XOpenDisplay(ownServer->Display().c_str());
    ASSERT_NE(own, nullptr);
    const Window pane = XCreateSimpleWindow(own, DefaultRootWindow(own), 0, 0, 152, 112, 0, 0, 0);
    XMapWindow(own, pane);
    XSync(own, False);
    ChildProcess preview = RunPreview(pane, ownServer->Display());
    // The preview's window appearing in the pane shows that it is running.
    unsigned count = 0;
    for (int i = 0; i < 500 && count == 0; ++i) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        XQueryTree(own, pane, &root, &parent, &children, &count);
        XFree(children);
        if (count == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(count, 1u);

    // Our own connection breaks too; Xlib must not see that.
    XSetIOErrorHandler([](::Display*) -> int { return 0; });
    ownServer.reset();
    EXPECT_EQ(preview.Wait(10000), 0);
}

}
}
