#include "proctex/FireState.h"
#include "support/FireReference.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace tarnwood {
namespace {

using Colour = FireState::Colour;

std::vector<std::uint8_t> Pixels(int width, int height)
{
    return std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, 0xA5);
}

Colour TexelAt(const std::vector<std::uint8_t>& pixels, int width, int x, int y)
{
    const std::uint8_t* t = pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return {t[0], t[1], t[2], t[3]};
}

struct PaletteCase {
    int entry;
    Colour colour;
};

TEST(FireState, PaletteRampsStartAtTheirEntries)
{
    const auto state = FireState::Create(8, 8);
    ASSERT_NE(state, nullptr);
    for (const PaletteCase& c : {
             PaletteCase{0, {0, 0, 0, 0}},
             PaletteCase{32, {127, 25, 18, 70}},
             PaletteCase{64, {255, 51, 36, 140}},
             PaletteCase{96, {255, 189, 51, 255}},
             PaletteCase{128, {255, 237, 51, 255}},
             PaletteCase{196, {100, 100, 189, 255}},
             PaletteCase{254, {252, 228, 53, 255}},
             PaletteCase{255, {0, 0, 0, 0}},
         }) {
        EXPECT_EQ(state->PaletteEntry(c.entry), c.colour) << "entry " << c.entry;
    }
}

TEST(FireState, AddRampWritesOnlyItsHalfOpenRangeInsideThePalette)
{
    auto state = FireState::Create(8, 8);
    ASSERT_NE(state, nullptr);
    const Colour white{255, 255, 255, 255};
    state->AddRamp(250, 300, white, white);
    state->AddRamp(-10, 2, white, white);
    state->AddRamp(20, 20, white, white);
    state->AddRamp(40, 30, white, white);
    EXPECT_EQ(state->PaletteEntry(255), white);
    EXPECT_EQ(state->PaletteEntry(0), white);
    EXPECT_EQ(state->PaletteEntry(1), white);
    EXPECT_EQ(state->PaletteEntry(2), Colour({7, 1, 1, 4}));
    EXPECT_EQ(state->PaletteEntry(20), Colour({79, 15, 11, 43}));
    EXPECT_EQ(state->PaletteEntry(249), Colour({239, 217, 65, 255}));
}

TEST(FireState, RejectsSizesTheStepCannotHandle)
{
    for (const auto [w, h] : {std::pair{2, 2}, std::pair{3, 1}, std::pair{0, 5}, std::pair{-3, 4},
                              std::pair{3, std::numeric_limits<int>::max()}})
        EXPECT_EQ(FireState::Create(w, h), nullptr) << w << "x" << h;
    EXPECT_NE(FireState::Create(3, 2), nullptr);
}

// The eight cells around and beyond a visible cell (the two beside it, three
// in each of the next two rows) are averaged and lowered by one; its own heat
// does not count.
struct HeatCase {
    const char* name;
    std::uint8_t own;
    std::uint8_t neighbours[8];
    std::uint8_t expected;
};

TEST(FireState, HeatIsAverageOfEightCellsLoweredByOne)
{
    for (const HeatCase& c : {
             HeatCase{"sum 0", 0, {0, 0, 0, 0, 0, 0, 0, 0}, 0},
             HeatCase{"sum 7", 0, {7, 0, 0, 0, 0, 0, 0, 0}, 0},
             HeatCase{"sum 8", 0, {1, 1, 1, 1, 1, 1, 1, 1}, 0},
             HeatCase{"sum 15", 0, {0, 0, 0, 0, 0, 0, 0, 15}, 0},
             HeatCase{"sum 16", 0, {2, 2, 2, 2, 2, 2, 2, 2}, 1},
             HeatCase{"sum 16 in one cell", 0, {0, 0, 0, 16, 0, 0, 0, 0}, 1},
             HeatCase{"sum 100", 0, {10, 20, 0, 30, 0, 40, 0, 0}, 11},
             HeatCase{"eight 255s", 0, {255, 255, 255, 255, 255, 255, 255, 255}, 254},
             HeatCase{"own heat ignored", 255, {0, 0, 0, 0, 0, 0, 0, 0}, 0},
         }) {
        // Row 0 of a 5 x 8 fire reads rows 0 to 2 only; the spark lands in rows
        // 4 to 7 and the sowing in rows 8 to 10, so neither disturbs the case.
        const int w = 5;
        const int h = 8;
        auto state = FireState::Create(w, h);
        ASSERT_NE(state, nullptr);
        std::uint8_t* heat = state->CurrentHeat();
        const int c0 = 2;
        const std::pair<int, int> cells[8] = {{0, c0 - 1}, {0, c0 + 1}, {1, c0 - 1}, {1, c0},
                                              {1, c0 + 1}, {2, c0 - 1}, {2, c0},     {2, c0 + 1}};
        for (int i = 0; i < 8; ++i)
            heat[cells[i].first * w + cells[i].second] = c.neighbours[i];
        heat[c0] = c.own;

        auto pixels = Pixels(w, h);
        std::srand(11);
        FireGenerate(0, w, h, pixels.data(), state.get());
        EXPECT_EQ(state->CurrentHeat()[c0], c.expected) << c.name;
        EXPECT_EQ(TexelAt(pixels, w, c0, 0), state->PaletteEntry(c.expected)) << c.name;
    }
}

// Every code path of the step must follow the plain step, cell for cell and
// frame after frame; the widths leave remainders after each SIMD width.
TEST(FireGenerate, FollowsThePlainStepFrameAfterFrame)
{
    for (FirePath path : {FirePath::Portable, FirePath::Avx2, FirePath::Avx512}) {
        if (!FireState::PathAvailable(path))
            continue;
        for (const auto [w, h] : {std::pair{3, 2}, std::pair{5, 3}, std::pair{32, 32}, std::pair{48, 20},
                                  std::pair{100, 7}, std::pair{256, 16}}) {
            const unsigned seed = 1234u + static_cast<unsigned>(w * 100 + h);
            std::srand(seed);
            test::FireReference reference(w, h);
            std::vector<std::vector<std::uint8_t>> expected;
            for (int step = 0; step < 40; ++step)
                expected.push_back(reference.Step());

            auto state = FireState::Create(w, h);
            ASSERT_NE(state, nullptr);
            auto pixels = Pixels(w, h);
            std::srand(seed);
            for (int step = 0; step < 40; ++step) {
                state->StepOn(path, pixels.data());
                for (int j = 0; j < w * h; ++j) {
                    ASSERT_EQ(TexelAt(pixels, w, j % w, j / w), state->PaletteEntry(expected[step][j]))
                        << "path " << static_cast<int>(path) << ", " << w << "x" << h << " step " << step << " cell "
                        << j;
                }
            }
        }
    }
}

// The generator as the texture calls it takes the processor's fastest path.
TEST(FireGenerate, DefaultPathFollowsThePlainStep)
{
    const int w = 64;
    const int h = 64;
    std::srand(99);
    test::FireReference reference(w, h);
    auto state = FireState::Create(w, h);
    ASSERT_NE(state, nullptr);
    std::vector<std::vector<std::uint8_t>> expected;
    for (int step = 0; step < 30; ++step)
        expected.push_back(reference.Step());
    std::srand(99);
    auto pixels = Pixels(w, h);
    for (int step = 0; step < 30; ++step)
        FireGenerate(step, w, h, pixels.data(), state.get());
    for (int j = 0; j < w * h; ++j)
        ASSERT_EQ(TexelAt(pixels, w, j % w, j / w), state->PaletteEntry(expected.back()[j])) << "cell " << j;
}

TEST(FireGenerate, FirstStepLightsOnlyLastRowsAndAroundTheSpark)
{
    const int w = 32;
    const int h = 32;
    bool litLastRows = false;
    bool litNearSpark = false;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        // Replay the random numbers to find the spark.
        std::srand(seed);
        const int sown = std::rand() & (w - 1);
        for (int i = 0; i < 3 * sown; ++i)
            std::rand();
        const int sparkX = std::rand() % w;
        const int sparkRow = h / 2 + std::rand() % (h / 2);

        std::set<std::pair<int, int>> allowed = {{sparkRow, sparkX - 1}, {sparkRow, sparkX + 1}};
        for (int r : {sparkRow - 1, sparkRow - 2})
            for (int c : {sparkX - 1, sparkX, sparkX + 1})
                allowed.insert({r, c});

        auto state = FireState::Create(w, h);
        ASSERT_NE(state, nullptr);
        auto pixels = Pixels(w, h);
        std::srand(seed);
        FireGenerate(0, w, h, pixels.data(), state.get());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool dark = TexelAt(pixels, w, x, y) == Colour{0, 0, 0, 0};
                if (dark)
                    continue;
                if (y >= h - 2) {
                    litLastRows = true;
                    continue;
                }
                ASSERT_TRUE(allowed.count({y, x})) << "seed " << seed << " lit (" << x << ", " << y << "), spark at ("
                                                   << sparkX << ", " << sparkRow << ")";
                litNearSpark = true;
            }
        }
    }
    EXPECT_TRUE(litLastRows);
    EXPECT_TRUE(litNearSpark);
}

TEST(FireGenerate, EdgeColumnsStayTransparentBlack)
{
    for (const auto [w, h] : {std::pair{16, 16}, std::pair{3, 2}, std::pair{20, 7}}) {
        auto state = FireState::Create(w, h);
        ASSERT_NE(state, nullptr);
        auto pixels = Pixels(w, h);
        std::srand(99);
        bool litInside = false;
        for (int step = 0; step < 60; ++step) {
            FireGenerate(0, w, h, pixels.data(), state.get());
            for (int y = 0; y < h; ++y) {
                ASSERT_EQ(TexelAt(pixels, w, 0, y), Colour({0, 0, 0, 0})) << w << "x" << h;
                ASSERT_EQ(TexelAt(pixels, w, w - 1, y), Colour({0, 0, 0, 0})) << w << "x" << h;
                for (int x = 1; x < w - 1; ++x)
                    litInside = litInside || TexelAt(pixels, w, x, y)[3] != 0;
            }
        }
        EXPECT_TRUE(litInside) << w << "x" << h;
    }
}

}
}
