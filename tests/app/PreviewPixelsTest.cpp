#include "app/PreviewPixels.h"

#include "support/HostTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

enum class Picture { Bmp24, Bmp32, Missing, Garbage };

struct PixelsCase {
    const char* name;
    int paneWidth;
    int paneHeight;
    Picture picture;
    int pictureWidth;
    int pictureHeight;
    bool shown;
};

void PrintTo(const PixelsCase& c, std::ostream* out)
{
    *out << c.name;
}

class PreviewPixelsCases : public ::testing::TestWithParam<PixelsCase> {};

// The pane shows the picture's top-left part where the two overlap and black
// everywhere else; without a usable picture, or in a pane of another width,
// it is black all over.
TEST_P(PreviewPixelsCases, ShowsPictureWhereItFitsAndBlackElsewhere)
{
    const PixelsCase& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.File("preview.ppk");
    switch (c.picture) {
    case Picture::Bmp24:
        test::WritePictureBmp(path, c.pictureWidth, c.pictureHeight, 24);
        break;
    case Picture::Bmp32:
        test::WritePictureBmp(path, c.pictureWidth, c.pictureHeight, 32);
        break;
    case Picture::Missing:
        break;
    case Picture::Garbage:
        test::WriteFileBytes(path, "BM this is not a picture");
        break;
    }

    const std::vector<std::uint32_t> pixels = PreviewPixels(c.paneWidth, c.paneHeight, path);

    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(c.paneWidth * c.paneHeight));
    int wrong = 0;
    for (int y = 0; y < c.paneHeight; ++y) {
        for (int x = 0; x < c.paneWidth; ++x) {
            const bool inPicture = c.shown && x < c.pictureWidth && y < c.pictureHeight;
            const std::uint32_t expected = inPicture ? test::PictureColour(x, y) : 0;
            const std::uint32_t actual = pixels[static_cast<std::size_t>(y * c.paneWidth + x)];
            if (actual != expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual << ", expected " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Panes, PreviewPixelsCases,
    ::testing::Values(PixelsCase{"PictureFillsPane", 152, 112, Picture::Bmp24, 152, 112, true},
                      // 150 * 3 bytes are padded to 452 per row: rows must be found by the pitch.
                      PixelsCase{"PaddedRowsSmallerThanPane", 152, 112, Picture::Bmp24, 150, 100, true},
                      PixelsCase{"TallPaneShowsPictureAndBlackBelow", 152, 300, Picture::Bmp24, 152, 112, true},
                      // Only a picture that fits the pane is ever loaded.
                      PixelsCase{"PictureLargerThanPaneIsBlack", 152, 112, Picture::Bmp24, 301, 240, false},
                      PixelsCase{"PictureOneRowTooTallIsBlack", 152, 112, Picture::Bmp24, 152, 113, false},
                      PixelsCase{"PictureOneColumnTooWideIsBlack", 152, 112, Picture::Bmp24, 153, 112, false},
                      PixelsCase{"OtherPaneWidthIsBlack", 200, 112, Picture::Bmp24, 152, 112, false},
                      PixelsCase{"NarrowPaneIsBlack", 151, 112, Picture::Bmp24, 152, 112, false},
                      PixelsCase{"PictureOf32BitsIsBlack", 152, 112, Picture::Bmp32, 152, 112, false},
                      PixelsCase{"MissingPictureIsBlack", 152, 112, Picture::Missing, 0, 0, false},
                      PixelsCase{"UnreadablePictureIsBlack", 152, 112, Picture::Garbage, 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

}
}
