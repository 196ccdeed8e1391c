#include "proctex/PlasmaGenerate.h"
#include "support/PlasmaReference.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace tarnwood {
namespace {

using test::PlasmaReference;
using test::PlasmaReferenceValue;

std::vector<std::uint8_t> Generate(std::int32_t time, int width, int height, PlasmaColour colour)
{
    // Filled with a marker so that a texel left unwritten shows.
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 0xA5);
    PlasmaGenerate(time, width, height, pixels.data(), &colour);
    return pixels;
}

const std::uint8_t* Texel(const std::vector<std::uint8_t>& pixels, int width, int x, int y)
{
    return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
}

bool OnGrid(int width, int height, int x, int y)
{
    return x % 16 == 0 || y % 16 == 0 || x == width - 1 || y == height - 1;
}

struct SizeCase {
    int width;
    int height;
};

// Every code path of the generator (the portable loop and the SIMD ones the
// processor offers) must give the plain formula's bytes.
class PlasmaMatchesPlainFormula : public ::testing::TestWithParam<std::tuple<PlasmaPath, SizeCase>> {};

TEST_P(PlasmaMatchesPlainFormula, BitForBitAtManyTimes)
{
    const auto [path, size] = GetParam();
    const auto [width, height] = size;
    if (!PlasmaPathAvailable(path))
        GTEST_SKIP() << "this processor lacks the path";
    const PlasmaColour colour{250, 7, 131};
    for (std::int32_t time : {0, 1, 999, 123456, -77777, 86400000, INT32_MAX, INT32_MIN}) {
        std::vector<std::uint8_t> expected(static_cast<std::size_t>(width) * height * 4);
        PlasmaReference(time, width, height, expected.data(), colour);
        std::vector<std::uint8_t> pixels(expected.size(), 0xA5);
        PlasmaGenerateOn(path, time, width, height, pixels.data(), colour);
        EXPECT_EQ(pixels, expected) << width << "x" << height << " at t = " << time;
    }
}

// Sizes around the grid spacing, the SIMD widths and the generator's internal
// block of 512 columns, square and not.
INSTANTIATE_TEST_SUITE_P(Sizes, PlasmaMatchesPlainFormula,
                         ::testing::Combine(::testing::Values(PlasmaPath::Portable, PlasmaPath::Sse2, PlasmaPath::Avx2,
                                                              PlasmaPath::Avx512),
                                            ::testing::Values(SizeCase{1, 1}, SizeCase{2, 3}, SizeCase{16, 16},
                                                              SizeCase{17, 33}, SizeCase{64, 64}, SizeCase{256, 256},
                                                              SizeCase{600, 5}, SizeCase{1030, 3}, SizeCase{523, 523})));

TEST(PlasmaGenerate, DefaultPathMatchesPlainFormula)
{
    const PlasmaColour colour{3, 200, 99};
    std::vector<std::uint8_t> expected(256 * 256 * 4);
    PlasmaReference(4567, 256, 256, expected.data(), colour);
    EXPECT_EQ(Generate(4567, 256, 256, colour), expected);
}

TEST(PlasmaGenerate, OriginAtTimeZeroIsMiddleValueOnTheGrid)
{
    const auto pixels = Generate(0, 64, 64, {10, 20, 30});
    ASSERT_EQ(PlasmaReferenceValue(0, 64, 64, 0, 0), 128);
    const std::uint8_t* origin = Texel(pixels, 64, 0, 0);
    EXPECT_EQ(origin[0], 10 + 8);
    EXPECT_EQ(origin[1], 127);
    EXPECT_EQ(origin[2], 30 + 8);
    EXPECT_EQ(origin[3], 255);
}

// Off the grid only v in 121..126 is opaque, and the colour is base + v - 120
// wrapped to 8 bits (base 250 with v = 130 gives red 4).
TEST(PlasmaGenerate, OpaqueBandAndColourWrapOffTheGrid)
{
    const PlasmaColour colour{250, 0, 200};
    const int size = 64;
    bool seen[256] = {};
    for (std::int32_t time : {0, 700, 5000, 31000, 250000}) {
        const auto pixels = Generate(time, size, size, colour);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (OnGrid(size, size, x, y))
                    continue;
                const int v = PlasmaReferenceValue(time, size, size, x, y);
                seen[v] = true;
                const std::uint8_t* texel = Texel(pixels, size, x, y);
                ASSERT_EQ(texel[3], (v >= 121 && v <= 126) ? 255 : 0) << "v = " << v;
                ASSERT_EQ(texel[0], (250 + v - 120) % 256) << "v = " << v;
                ASSERT_EQ(texel[1], static_cast<std::uint8_t>(v - 120)) << "v = " << v;
                ASSERT_EQ(texel[2], (200 + v - 120) % 256) << "v = " << v;
                if (v == 130)
                    ASSERT_EQ(texel[0], 4);
            }
        }
    }
    for (int v : {120, 121, 126, 127, 130})
        EXPECT_TRUE(seen[v]) << "no texel with v = " << v << " was checked";
}

TEST(PlasmaGenerate, GridLinesAreOpaqueWithGreen127)
{
    const PlasmaColour colour{3, 200, 99};
    for (const auto [width, height] : {SizeCase{40, 20}, SizeCase{33, 17}, SizeCase{5, 1}}) {
        const std::int32_t time = 4321;
        const auto pixels = Generate(time, width, height, colour);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (!OnGrid(width, height, x, y))
                    continue;
                const int v = PlasmaReferenceValue(time, width, height, x, y);
                const std::uint8_t* texel = Texel(pixels, width, x, y);
                EXPECT_EQ(texel[1], 127) << width << "x" << height << " (" << x << ", " << y << ")";
                EXPECT_EQ(texel[3], 255) << width << "x" << height << " (" << x << ", " << y << ")";
                EXPECT_EQ(texel[0], static_cast<std::uint8_t>(3 + v - 120));
                EXPECT_EQ(texel[2], static_cast<std::uint8_t>(99 + v - 120));
            }
        }
    }
}

}
}
