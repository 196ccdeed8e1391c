#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <thread>

namespace tarnwood {
namespace {

using test::ChildProcess;
using test::RunShell;
using test::TempDir;
using test::XvfbServer;

struct Picture {
    int width = 0;
    int height = 0;
    std::string rgb;

    // Share of the pixels inside the given fractions of the picture that pass `test`.
    double Share(double x0, double y0, double x1, double y1,
                 const std::function<bool(int r, int g, int b)>& test) const
    {
        int hits = 0;
        int total = 0;
        for (int y = static_cast<int>(y0 * height); y < static_cast<int>(y1 * height); ++y) {
            for (int x = static_cast<int>(x0 * width); x < static_cast<int>(x1 * width); ++x) {
                const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
                hits += test(static_cast<unsigned char>(rgb[at]), static_cast<unsigned char>(rgb[at + 1]),
                             static_cast<unsigned char>(rgb[at + 2]))
                            ? 1
                            : 0;
                ++total;
            }
        }
        return total == 0 ? 0.0 : static_cast<double>(hits) / total;
    }
};

// Reads a binary PPM (P6, maxval 255) as ImageMagick writes it.
bool ReadPpm(const std::string& bytes, Picture& picture)
{
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    in >> magic >> picture.width >> picture.height >> maxval;
    if (magic != "P6" || maxval != 255 || picture.width <= 0 || picture.height <= 0)
        return false;
    in.get();
    const std::size_t size = static_cast<std::size_t>(picture.width) * picture.height * 3;
    picture.rgb.resize(size);
    in.read(picture.rgb.data(), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

bool White(int r, int g, int b) { return r > 225 && g > 225 && b > 225; }
bool Leafy(int r, int g, int b) { return g > r + 8 && g > b + 8; }

// The real program with the real archives on a private X server, with the
// default settings: the whole picture, then Escape.
TEST(EndToEnd, SceneShowsTreeClockAndCalendarInTheirPlacesAndEndsWithEscape)
{
    XvfbServer server;
    ASSERT_TRUE(server.Ok());
    TempDir config;
    ChildProcess player({TARNWOOD_INSTALL_DIR "/Tarnwood"},
                        {{"DISPLAY", server.Display()}, {"XDG_CONFIG_DIRS", config.Path().string()}});
    std::this_thread::sleep_for(std::chrono::seconds(5));
    ASSERT_TRUE(player.Running()) << player.Stderr();
    const std::string shot = config.File("shot.ppm");
    ASSERT_EQ(RunShell("import -window root -depth 8 " + shot, server.Display()), 0);
    ASSERT_EQ(RunShell("xdotool key Escape", server.Display()), 0);
    EXPECT_EQ(player.Wait(10000), 0) << player.Stderr();

    Picture picture;
    ASSERT_TRUE(ReadPpm(test::ReadFileBytes(shot), picture));
    ASSERT_EQ(picture.width, 1024);
    ASSERT_EQ(picture.height, 768);
    // The tree's crown fills the upper middle; the sky is never green. The
    // crown's mix of green and autumn leaves differs from run to run (seen
    // between 15% and 30% green here), so any clear share of green proves it.
    EXPECT_GT(picture.Share(0.25, 0.15, 0.75, 0.6, Leafy), 0.05);
    // Lettering: the clock's digits in the bottom-right corner, the
    // calendar's numbers in the top-right one, nothing white in the others.
    EXPECT_GT(picture.Share(0.7, 0.85, 1.0, 1.0, White), 0.02);
    EXPECT_GT(picture.Share(0.75, 0.0, 1.0, 0.35, White), 0.02);
    EXPECT_LT(picture.Share(0.0, 0.85, 0.3, 1.0, White), 0.001);
    EXPECT_LT(picture.Share(0.0, 0.0, 0.25, 0.35, White), 0.001);
}

}
}
