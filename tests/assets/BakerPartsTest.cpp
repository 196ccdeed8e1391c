#include "assets/Canvas.h"
#include "assets/Noise.h"
#include "assets/PngEncoder.h"
#include "resources/BmpWriter.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tarnwood {
namespace {

TEST(BakerParts, PngKeepsEveryRgbaByteThroughTheImageDecoder)
{
    Canvas canvas(8, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            canvas.At(x, y) = Rgb(x * 30, y * 60, 255 - x * 10, (x + y) / 10.0);
        }
    }
    const std::vector<std::uint8_t> expected = canvas.ToRgba8();
    const std::vector<std::uint8_t> png = EncodePng(canvas);
    ASSERT_FALSE(png.empty());
    SDL_Surface* surface = IMG_Load_RW(SDL_RWFromConstMem(png.data(), static_cast<int>(png.size())), 1);
    ASSERT_NE(surface, nullptr) << IMG_GetError();
    ASSERT_EQ(surface->w, 8);
    ASSERT_EQ(surface->h, 4);
    ASSERT_EQ(surface->pitch, 32);
    EXPECT_EQ(std::memcmp(surface->pixels, expected.data(), expected.size()), 0);
    SDL_FreeSurface(surface);
}

TEST(BakerParts, BmpReadsBackTopRowFirstAsBlueGreenRed)
{
    // 3 x 2 pixels: rows need padding to 4 bytes, which the reader skips.
    const std::vector<std::uint8_t> rgb = {
        255, 0,  0,  0,  255, 0,  0,  0,  255,  // top row: red, green, blue
        10,  20, 30, 40, 50,  60, 70, 80, 90,
    };
    const std::vector<std::uint8_t> bmp = EncodeBmp24(rgb, 3, 2);
    ASSERT_FALSE(bmp.empty());
    SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromConstMem(bmp.data(), static_cast<int>(bmp.size())), 1);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    ASSERT_EQ(surface->format->BitsPerPixel, 24);
    for (int y = 0; y < 2; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* source = &rgb[static_cast<std::size_t>(y * 3 + x) * 3];
            EXPECT_EQ(row[x * 3 + 0], source[2]) << x << "," << y;
            EXPECT_EQ(row[x * 3 + 1], source[1]) << x << "," << y;
            EXPECT_EQ(row[x * 3 + 2], source[0]) << x << "," << y;
        }
    }
    SDL_FreeSurface(surface);
    EXPECT_TRUE(EncodeBmp24(rgb, 4, 2).empty());
}

TEST(BakerParts, NoiseRepeatsAfterItsPeriodAtEveryOctave)
{
    const PeriodicNoise noise(4, 8, 99);
    for (double x : {0.0, 0.3, 1.7, 3.9}) {
        for (double y : {0.0, 2.2, 7.5}) {
            EXPECT_DOUBLE_EQ(noise.At(x, y), noise.At(x + 4.0, y));
            EXPECT_DOUBLE_EQ(noise.At(x, y), noise.At(x, y - 8.0));
            EXPECT_NEAR(noise.Fractal(x, y, 5), noise.Fractal(x + 4.0, y + 8.0, 5), 1e-12);
            const double v = noise.Fractal(x, y, 5);
            EXPECT_GE(v, 0.0);
            EXPECT_LE(v, 1.0);
        }
    }
}

TEST(BakerParts, BakeIsRepeatableByteForByte)
{
    // A second bake into a fresh folder gives exactly the installed archives.
    test::TempDir dir;
    test::ChildProcess baker({TARNWOOD_BAKER, dir.Path().string()});
    ASSERT_EQ(baker.Wait(120000), 0) << baker.Stderr();
    for (const char* name : {"main.pak", "debug.pak", "utils.pak", "clock.pak", "calendar.pak"}) {
        const std::string fresh = test::ReadFileBytes(dir.File(name));
        const std::string installed = test::ReadFileBytes(std::string(TARNWOOD_INSTALL_DIR "/") + name);
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == installed) << name << " differs from the installed archive";
    }
}

TEST(BakerParts, BakerReportsAFolderItCannotWrite)
{
    test::TempDir dir;
    test::ChildProcess baker({TARNWOOD_BAKER, dir.File("missing/folder")});
    EXPECT_EQ(baker.Wait(120000), 1);
    EXPECT_NE(baker.Stderr().find("tarnwood-bake:"), std::string::npos) << baker.Stderr();
}

}
}
