#include "resources/AreaDownscale.h"
#include "resources/ImageDecoder.h"
#include "resources/LittleEndian.h"
#include "resources/PngWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace tarnwood {
namespace {

TEST(LittleEndian, WritesLowByteFirstIntoEitherBufferAndReadsItBack)
{
    std::vector<std::uint8_t> bytes;
    std::string text;
    AppendU16LE(bytes, 0x0102);
    AppendU32LE(bytes, 0xA1B2C3D4u);
    AppendI32LE(bytes, -2);
    AppendI32LE(text, -2);
    AppendU16LE(text, 24);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x02, 0x01, 0xD4, 0xC3, 0xB2, 0xA1, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(text, std::string("\xFE\xFF\xFF\xFF\x18\x00", 6));
    EXPECT_EQ(ReadU16LE(bytes.data()), 0x0102);
    EXPECT_EQ(ReadU32LE(bytes.data() + 2), 0xA1B2C3D4u);
    EXPECT_EQ(ReadI32LE(bytes.data() + 6), -2);
}

struct DownscaleCase {
    const char* what;
    int width, height, channels, newWidth, newHeight;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> expected;
};

TEST(AreaDownscale, EveryNewPixelIsTheMeanOfTheAreaItCovers)
{
    const std::vector<DownscaleCase> cases = {
        {"2x2 block, half rounds up", 2, 2, 1, 1, 1, {0, 1, 2, 3}, {2}},
        {"channels stay apart", 2, 2, 3, 1, 1, {0, 100, 200, 40, 100, 0, 80, 100, 100, 120, 100, 20}, {60, 100, 80}},
        {"blocks side by side, rows kept in order", 4, 2, 1, 2, 1, {0, 0, 255, 255, 0, 0, 255, 255}, {0, 255}},
        {"two rows from four", 1, 4, 1, 1, 2, {10, 30, 100, 200}, {20, 150}},
        // New pixel 0 covers source [0, 1.5): (0 + 90 / 2) / 1.5 = 30;
        // new pixel 1 covers [1.5, 3): (90 / 2 + 180) / 1.5 = 150.
        {"a cut pixel counts with its part inside", 3, 1, 1, 2, 1, {0, 90, 180}, {30, 150}},
        {"same size is a copy", 2, 1, 2, 2, 1, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const DownscaleCase& c : cases) {
        std::string problem;
        const std::optional<std::vector<std::uint8_t>> out = DownscaleByAreaAverage(
            c.pixels, c.width, c.height, c.channels, c.newWidth, c.newHeight, problem);
        ASSERT_TRUE(out.has_value()) << c.what << ": " << problem;
        EXPECT_EQ(*out, c.expected) << c.what;
    }
}

TEST(AreaDownscale, RefusesSizesThatDoNotFitThePixels)
{
    const std::vector<std::uint8_t> four(4, 9);
    for (const auto& [width, height, newWidth, newHeight] : std::vector<std::array<int, 4>>{
             {2, 2, 0, 1}, {2, 2, 1, -1}, {0, 4, 1, 1}, {3, 2, 1, 1}, {1, 1, 1, 1}, {2, 2, 70000, 1}}) {
        std::string problem;
        EXPECT_FALSE(DownscaleByAreaAverage(four, width, height, 1, newWidth, newHeight, problem).has_value())
            << width << "x" << height << " to " << newWidth << "x" << newHeight;
        EXPECT_FALSE(problem.empty());
    }
}

TEST(PngWriter, BottomUpRowsComeOutTopFirstAndEqualPixelsGiveEqualBytes)
{
    // 3 x 2 RGB, bottom row first in memory: red, green, blue at the bottom.
    const std::vector<std::uint8_t> rgb = {
        255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90,
    };
    PixelRows rows;
    rows.bytes = rgb.data();
    rows.width = 3;
    rows.height = 2;
    rows.channels = 3;
    rows.bottomUp = true;
    std::string problem;
    const std::optional<std::vector<std::uint8_t>> png = EncodePng(rows, problem);
    ASSERT_TRUE(png.has_value()) << problem;
    EXPECT_EQ(EncodePng(rows, problem), png);
    const std::shared_ptr<const DecodedImage> image = DecodeImageEntry(png->data(), png->size(), 16);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, 3);
    ASSERT_EQ(image->height, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* source = &rgb[static_cast<std::size_t>((1 - y) * 3 + x) * 3];
            const std::uint8_t* decoded = &image->rgba[static_cast<std::size_t>(y * 3 + x) * 4];
            EXPECT_EQ(std::vector<std::uint8_t>(decoded, decoded + 3), std::vector<std::uint8_t>(source, source + 3))
                << x << "," << y;
        }
    }
}

TEST(PngWriter, RefusesBadPixelsAndLeavesNoFileWhereItCannotWrite)
{
    const std::vector<std::uint8_t> pixels(16, 1);
    PixelRows rows;
    rows.bytes = pixels.data();
    rows.width = 2;
    rows.height = 2;
    rows.channels = 2;
    std::string problem;
    EXPECT_FALSE(EncodePng(rows, problem).has_value());
    EXPECT_NE(problem.find("2 channels"), std::string::npos) << problem;

    rows.channels = 4;
    test::TempDir dir;
    const std::string unwritable = dir.File("missing-folder/a.png");
    problem.clear();
    EXPECT_FALSE(WritePngFile(unwritable, rows, problem));
    EXPECT_NE(problem.find(unwritable), std::string::npos) << problem;
    EXPECT_FALSE(std::filesystem::exists(unwritable));
    problem.clear();
    EXPECT_TRUE(WritePngFile(dir.File("a.png"), rows, problem)) << problem;
    EXPECT_EQ(test::ReadFileBytes(dir.File("a.png")).substr(1, 3), "PNG");
}

}
}
