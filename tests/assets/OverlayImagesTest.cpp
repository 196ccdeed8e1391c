// Reads overlay images from the installed archives and checks what a viewer
// would see in them: the weekday headers of both calendar variants, and room
// between the analogue dial's numerals.

#include "resources/PakArchive.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarnwood {
namespace {

struct Rgba {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;  // 4 per pixel, rows top to bottom

    const std::uint8_t* At(int x, int y) const { return &bytes[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// Decodes image entry `name` of the installed archive `archive`; fails the
// test when the entry is missing or is not a 32-bit picture.
Rgba Decode(const std::string& archive, const std::string& name)
{
    Rgba image;
    std::string problem;
    const std::unique_ptr<PakArchive> pak = PakArchive::Load(TARNWOOD_INSTALL_DIR "/" + archive, problem);
    if (pak == nullptr) {
        ADD_FAILURE() << problem;
        return image;
    }
    const PakEntryView entry = pak->GetEntry(name);
    if (entry.bytes == nullptr) {
        ADD_FAILURE() << archive << " has no entry " << name;
        return image;
    }
    SDL_Surface* surface = IMG_Load_RW(SDL_RWFromConstMem(entry.bytes, static_cast<int>(entry.size)), 1);
    if (surface == nullptr || surface->format->BytesPerPixel != 4) {
        ADD_FAILURE() << name << " does not decode to RGBA: " << IMG_GetError();
        if (surface != nullptr)
            SDL_FreeSurface(surface);
        return image;
    }
    image.width = surface->w;
    image.height = surface->h;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
        image.bytes.insert(image.bytes.end(), row, row + surface->w * 4);
    }
    SDL_FreeSurface(surface);
    return image;
}

// How unlike two labels are: the alpha of a window around column centre
// `ax` of `a` against one around `bx` of `b`, at the best whole-pixel shift
// up to 2 either way; 0 for the same ink, 1 for ink with no overlap.
double Unlikeness(const Rgba& a, double ax, const Rgba& b, double bx, int halfWidth)
{
    double best = 1.0;
    for (int shift = -2; shift <= 2; ++shift) {
        double difference = 0.0;
        double total = 0.0;
        for (int y = 0; y < a.height; ++y) {
            for (int dx = -halfWidth; dx < halfWidth; ++dx) {
                const int xa = static_cast<int>(std::lround(ax)) + dx;
                const int xb = static_cast<int>(std::lround(bx)) + dx + shift;
                const double va = xa >= 0 && xa < a.width ? a.At(xa, y)[3] : 0.0;
                const double vb = xb >= 0 && xb < b.width ? b.At(xb, y)[3] : 0.0;
                difference += std::fabs(va - vb);
                total += va + vb;
            }
        }
        if (total > 0.0)
            best = std::min(best, difference / total);
    }
    return best;
}

TEST(OverlayImages, MondayFirstHeaderNamesTheSameDaysAsTheSundayFirstOneStartingOnMonday)
{
    // The month names are shared by both variants, so both headers must be
    // in their language: the Monday-first header's column i shows what the
    // Sunday-first header shows in column i + 1 (Sunday wrapping to the end).
    const Rgba sundayFirst = Decode("calendar.pak", "day.png");
    const Rgba mondayFirst = Decode("calendar.pak", "day_rus.png");
    ASSERT_EQ(sundayFirst.width, mondayFirst.width);
    ASSERT_EQ(sundayFirst.height, mondayFirst.height);
    ASSERT_GT(sundayFirst.width, 0);
    // Seven columns across the whole width, one label centred in each.
    const double column = sundayFirst.width / 7.0;
    auto centre = [&](int i) { return (i + 0.5) * column; };
    const int halfWidth = static_cast<int>(column / 2.0);
    for (int i = 0; i < 7; ++i) {
        const int expected = (i + 1) % 7;
        const double match = Unlikeness(mondayFirst, centre(i), sundayFirst, centre(expected), halfWidth);
        EXPECT_LT(match, 0.1) << "Monday-first column " << i << " against Sunday-first column " << expected;
        for (int j = 0; j < 7; ++j) {
            if (j != expected) {
                EXPECT_GT(Unlikeness(mondayFirst, centre(i), sundayFirst, centre(j), halfWidth), match)
                    << "Monday-first column " << i << " looks more like Sunday-first column " << j;
            }
        }
    }
}

TEST(OverlayImages, DialNumeralsKeepClearOfTheirNeighbours)
{
    const Rgba dial = Decode("clock.pak", "dial.png");
    ASSERT_GT(dial.width, 0);
    ASSERT_EQ(dial.width, dial.height);
    // The dial image spans 18 units; the hour ticks start 7.2 units out, so
    // bright ink nearer the centre than 7 units is numerals.
    const double unit = dial.width / 18.0;
    const double centre = dial.width / 2.0;
    struct Box {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    };
    std::map<int, Box> boxes;  // by hour, from the direction of the ink
    for (int y = 0; y < dial.height; ++y) {
        for (int x = 0; x < dial.width; ++x) {
            const std::uint8_t* p = dial.At(x, y);
            const double dx = x + 0.5 - centre;
            const double dy = centre - (y + 0.5);
            if (p[3] < 160 || p[0] < 200 || p[1] < 200 || std::hypot(dx, dy) > 7.0 * unit)
                continue;
            const double clockwiseFromTop = std::atan2(dx, dy) * 180.0 / M_PI;
            int hour = static_cast<int>(std::lround(clockwiseFromTop / 30.0));
            hour = ((hour % 12) + 12) % 12;
            Box& box = boxes[hour == 0 ? 12 : hour];
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    ASSERT_EQ(boxes.size(), 12u);
    // Neighbouring numerals are apart by at least 0.8 units one way or the
    // other (the ink boxes, halo not counted); about half a unit already
    // reads as one crowded row at the top of the dial.
    for (int h = 1; h <= 12; ++h) {
        const Box& a = boxes[h];
        const Box& b = boxes[h % 12 + 1];
        const int across = std::max(a.left - b.right, b.left - a.right) - 1;
        const int down = std::max(a.top - b.bottom, b.top - a.bottom) - 1;
        EXPECT_GE(std::max(across, down), 0.8 * unit) << "between " << h << " and " << h % 12 + 1;
    }
}

}
}
