#include "app/PreviewPixels.h"

#include "support/HostTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwood {
namespace {

constexpr int paneWidth = kPreviewPictureWidth;
constexpr int paneHeight = 112;

void PutLe32(std::string& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// Field offsets in a BMP with a 40-byte info header.
constexpr std::size_t pixelOffsetField = 10, widthField = 18, heightField = 22, compressionField = 30;

struct HeaderCase {
    const char* name;
    std::function<void(std::string&)> damage;
    bool shown;
};

void PrintTo(const HeaderCase& c, std::ostream* out)
{
    *out << c.name;
}

class PreviewPictureHeader : public ::testing::TestWithParam<HeaderCase> {};

// A picture file of the right kind whose header was altered: whatever the
// header claims, the pane is either the picture or black, and a claimed size
// never turns into an allocation (the sanitizer build fails on a request of
// terabytes).
TEST_P(PreviewPictureHeader, DamagedHeadersPaintBlack)
{
    const HeaderCase& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.File("preview.ppk");
    test::WritePictureBmp(path, paneWidth, paneHeight, 24);
    std::string bytes = test::ReadFileBytes(path);
    c.damage(bytes);
    test::WriteFileBytes(path, bytes);

    const std::vector<std::uint32_t> pixels = PreviewPixels(paneWidth, paneHeight, path);

    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(paneWidth * paneHeight));
    int wrong = 0;
    for (int y = 0; y < paneHeight; ++y) {
        for (int x = 0; x < paneWidth; ++x) {
            const std::uint32_t expected = c.shown ? test::PictureColour(x, y) : 0;
            if (pixels[static_cast<std::size_t>(y * paneWidth + x)] != expected)
                ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Stores the rows top to bottom, as a negative height says.
void MakeTopDown(std::string& bytes)
{
    const std::size_t rowBytes = paneWidth * 3;
    std::string flipped = bytes.substr(0, 54);
    for (int row = paneHeight - 1; row >= 0; --row)
        flipped += bytes.substr(54 + static_cast<std::size_t>(row) * rowBytes, rowBytes);
    bytes = flipped;
    PutLe32(bytes, heightField, static_cast<std::uint32_t>(-paneHeight));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, PreviewPictureHeader,
    ::testing::Values(
        HeaderCase{"Unaltered", [](std::string&) {}, true}, HeaderCase{"TopDownRows", MakeTopDown, true},
        HeaderCase{"HugeSides",
                   [](std::string& b) {
                       PutLe32(b, widthField, 100000);
                       PutLe32(b, heightField, 100000);
                   },
                   false},
        HeaderCase{"HugeWidthOnly", [](std::string& b) { PutLe32(b, widthField, 0x7FFFFFFF); }, false},
        HeaderCase{"MostNegativeHeight", [](std::string& b) { PutLe32(b, heightField, 0x80000000u); }, false},
        HeaderCase{"ZeroHeight", [](std::string& b) { PutLe32(b, heightField, 0); }, false},
        HeaderCase{"NegativeWidth", [](std::string& b) { PutLe32(b, widthField, static_cast<std::uint32_t>(-152)); }, false},
        HeaderCase{"Compressed", [](std::string& b) { PutLe32(b, compressionField, 1); }, false},
        HeaderCase{"PixelsBeyondTheEnd", [](std::string& b) { PutLe32(b, pixelOffsetField, 0x7FFFFFF0); }, false},
        HeaderCase{"PixelsInsideTheHeader", [](std::string& b) { PutLe32(b, pixelOffsetField, 20); }, false},
        HeaderCase{"LastByteMissing", [](std::string& b) { b.pop_back(); }, false},
        HeaderCase{"CutInsideTheHeader", [](std::string& b) { b.resize(30); }, false},
        HeaderCase{"NotABitmap", [](std::string& b) { b[0] = 'P'; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

}
}
