#include "app/PreviewPicture.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

TEST(PreviewPicture, AveragesBlocksOfTheFrameAndKeepsItsTopAtTheTop)
{
    // A frame four times the picture's size, rows bottom to top: the bottom
    // half red, the top half a black and white checkerboard of single
    // pixels, whose 4 x 4 blocks average to grey.
    constexpr int width = kPreviewPictureWidth * 4;
    constexpr int height = kPreviewPictureHeight * 4;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * width + x) * 3];
            if (y < height / 2) {
                p[0] = 255;
            } else {
                const std::uint8_t v = (x + y) % 2 == 0 ? 255 : 0;
                p[0] = p[1] = p[2] = v;
            }
        }
    }
    std::string problem;
    const std::optional<std::vector<std::uint8_t>> bmp = MakePreviewPicture(frame, width, height, problem);
    ASSERT_TRUE(bmp.has_value()) << problem;

    test::TempDir dir;
    const std::string path = dir.File("preview.ppk");
    test::WriteFileBytes(path, std::string(bmp->begin(), bmp->end()));
    // Read back as the preview pane does; half of 255 rounds up to 128.
    const std::vector<std::uint32_t> pane = PreviewPixels(kPreviewPictureWidth, kPreviewPictureHeight, path);
    ASSERT_EQ(pane.size(), static_cast<std::size_t>(kPreviewPictureWidth * kPreviewPictureHeight));
    EXPECT_EQ(pane[0], 0x808080u);
    EXPECT_EQ(pane[static_cast<std::size_t>(kPreviewPictureHeight / 2 - 1) * kPreviewPictureWidth + 75], 0x808080u);
    EXPECT_EQ(pane[static_cast<std::size_t>(kPreviewPictureHeight / 2) * kPreviewPictureWidth + 75], 0xFF0000u);
    EXPECT_EQ(pane.back(), 0xFF0000u);

    EXPECT_FALSE(MakePreviewPicture(frame, width, height + 1, problem).has_value());
}

// The install folder's preview picture must be the render of the archives
// beside it, made the way the build makes it, not the committed stand-in
// (unless the two agree because the stand-in is up to date).
TEST(PreviewPicture, TheBuiltPictureIsARenderOfTheBakedArchives)
{
    const std::string built = test::ReadFileBytes(TARNWOOD_INSTALL_DIR "/preview.ppk");
    ASSERT_EQ(built.size(), 54u + 152u * 3u * 112u);
    ASSERT_EQ(built.substr(0, 2), "BM");
    EXPECT_EQ(built[28], 24);

    test::TempDir dir;
    const std::string fresh = dir.File("preview.ppk");
    test::ChildProcess render({TARNWOOD_CMAKE_COMMAND, "-DSNAPSHOT=" TARNWOOD_INSTALL_DIR "/tarnwood-snapshot",
                               "-DOUTPUT=" + fresh, "-DFALLBACK=" TARNWOOD_SOURCE_DIR "/assets/preview.bmp",
                               "-DWORK=" + dir.File("work"), "-P", TARNWOOD_SOURCE_DIR "/assets/MakePreview.cmake"},
                              {{"DISPLAY", "\x01unset"}});
    ASSERT_EQ(render.Wait(300000), 0) << render.Stderr();
    // Without any X display the offscreen driver renders; a fallback says so.
    EXPECT_EQ(render.Stderr().find("no render"), std::string::npos) << render.Stderr();
    EXPECT_TRUE(test::ReadFileBytes(fresh) == built) << "the install folder's preview.ppk is not the current render";
}

}
}
