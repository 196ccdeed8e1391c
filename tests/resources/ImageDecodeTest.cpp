#include "resources/DecodedImageCache.h"
#include "resources/ImageHeader.h"
#include "resources/PakArchive.h"

#include "TestImages.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwood {
namespace {

std::vector<std::uint8_t> RgbaPattern()
{
    return {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 64, 10, 20, 30, 0};
}

std::string SmallPng()
{
    return test::EncodePng(2, 2, 6, RgbaPattern());
}

// A GIF whose logical screen is 1 x 1 but whose only image claims
// 65535 x 65535 pixels, with a few bytes of LZW data.
std::string OversizedGif()
{
    std::string gif = "GIF89a";
    gif += std::string("\x01\x00\x01\x00\x80\x00\x00", 7);  // screen 1 x 1, 2-colour table
    gif += std::string("\x00\x00\x00\xff\xff\xff", 6);  // the table
    gif += std::string("\x2c\x00\x00\x00\x00\xff\xff\xff\xff\x00", 10);  // image 65535 x 65535
    gif += std::string("\x02\x02\x44\x01\x00\x3b", 6);  // LZW data, end
    return gif;
}

// A 2 x 2 BMP: a format the archives do not use for images.
std::string SmallBmp()
{
    std::string bmp = "BM";
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp.push_back(static_cast<char>(value >> (8 * i)));
    };
    put(14 + 40 + 16, 4), put(0, 4), put(54, 4), put(40, 4), put(2, 4), put(2, 4), put(1, 2), put(24, 2);
    put(0, 4), put(16, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    bmp += std::string(16, '\x7f');
    return bmp;
}

// `png` with the length field of its data chunk (the one after IHDR) set.
std::string DataChunkClaiming(std::string png, std::uint32_t length)
{
    const std::size_t field = 8 + 12 + 13;
    for (int i = 0; i < 4; ++i)
        png[field + static_cast<std::size_t>(i)] = static_cast<char>(length >> (24 - 8 * i));
    return png;
}

GLint MaxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

class ImageEntries : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::EnsureGlContext()); }

    void Add(const std::string& name, const std::string& bytes)
    {
        std::string problem;
        ASSERT_TRUE(archive.AddEntry(name, bytes.data(), static_cast<std::int32_t>(bytes.size()), problem)) << problem;
    }

    static std::vector<std::uint8_t> TexturePixels(GLuint texture, int width, int height)
    {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 4));
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    PakArchive archive;
};

// Entries that are not PNG images, or whose header claims what no texture
// can be or the entry cannot hold, are refused before any decoder runs: no
// texture, the use still counted.
TEST_F(ImageEntries, ForeignFormatsAndAbsurdSizesNeverReachADecoder)
{
    const auto side = static_cast<std::uint32_t>(MaxTextureSide());
    ASSERT_GT(side, 0u);
    const std::string png = SmallPng();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"gif with an oversized image", OversizedGif()},
        {"bmp", SmallBmp()},
        {"png claiming 100000 x 100000", test::WithPngSize(png, 100000, 100000)},
        {"png one texel wider than GL allows", test::WithPngSize(png, side + 1, 1)},
        {"png one texel taller than GL allows", test::WithPngSize(png, 1, side + 1)},
        {"png claiming the largest texture in a few bytes", test::WithPngSize(png, side, side)},
        {"png claiming width 0", test::WithPngSize(png, 0, 2)},
        {"png header cut short", png.substr(0, 30)},
        {"png signature only", png.substr(0, 8)},
        {"png cut inside its data", png.substr(0, 45)},
        {"png without its end chunk", png.substr(0, png.size() - 12)},
        // Found by fuzzing: the loader read a gigabyte of nothing for this.
        {"png whose data chunk claims a gigabyte", DataChunkClaiming(png, 0x4000001C)},
        {"empty entry", ""},
    };
    for (const auto& [name, bytes] : cases)
        Add(name, bytes);
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(archive.GetTexture(name), 0u) << name;
        EXPECT_EQ(archive.TextureUses(name), 1) << name;
        archive.ReleaseTexture(0);
    }
    EXPECT_EQ(archive.DecoderRuns(), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A PNG whose header is sound but whose data is damaged fails in the
// decoder once; later requests remember the failure instead of printing the
// decoder's complaint again. The uses are counted as for any entry.
TEST_F(ImageEntries, ACorruptImageIsDecodedOnceAndItsFailureRemembered)
{
    std::string badCrc = SmallPng();
    badCrc[badCrc.size() - 20] ^= 0x5A;  // inside the IDAT chunk, whose CRC no longer matches
    const std::string tooShort = test::WithPngSize(SmallPng(), 64, 64);  // less data than the size needs
    Add("bad crc", badCrc);
    Add("too short", tooShort);

    for (const std::string name : {"bad crc", "too short"}) {
        const std::size_t runsBefore = archive.DecoderRuns();
        testing::internal::CaptureStderr();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(archive.GetTexture(name), 0u) << name;
        const std::string complaints = testing::internal::GetCapturedStderr();
        EXPECT_EQ(archive.DecoderRuns(), runsBefore + 1) << name;
        EXPECT_EQ(archive.TextureUses(name), 4) << name;
        std::size_t lines = 0;
        for (std::size_t at = complaints.find("libpng"); at != std::string::npos; at = complaints.find("libpng", at + 1))
            ++lines;
        EXPECT_LE(lines, 1u) << name << ": " << complaints;
    }
}

// A texture whose last use was given back is deleted as before; asked for
// again, it is uploaded from the kept pixels without decoding.
TEST_F(ImageEntries, ATextureCreatedAgainIsNotDecodedAgain)
{
    Add("digit", SmallPng());
    const GLuint first = archive.GetTexture("digit");
    ASSERT_NE(first, 0u);
    archive.ReleaseTexture(first);
    EXPECT_FALSE(glIsTexture(first)) << "the GL texture still goes with its last use";
    EXPECT_EQ(archive.TextureUses("digit"), 0);

    const GLuint again = archive.GetTexture("digit");
    ASSERT_NE(again, 0u);
    EXPECT_EQ(archive.DecoderRuns(), 1u);
    EXPECT_EQ(archive.TextureUses("digit"), 1);
    EXPECT_EQ(TexturePixels(again, 2, 2), RgbaPattern());
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
    archive.ReleaseTexture(again);
    EXPECT_FALSE(glIsTexture(again));
}

// The kept pixels are bounded: after more distinct images than the cache
// holds, the least recently used one is decoded again, a recent one is not.
TEST_F(ImageEntries, KeptPixelsAreBoundedByImageCount)
{
    const int images = static_cast<int>(DecodedImageCache::defaultMaxImages) + 6;
    for (int i = 0; i < images; ++i) {
        std::vector<std::uint8_t> pixels = RgbaPattern();
        pixels[0] = static_cast<std::uint8_t>(i);
        Add("img" + std::to_string(i), test::EncodePng(2, 2, 6, pixels));
    }
    for (int i = 0; i < images; ++i)
        archive.ReleaseTexture(archive.GetTexture("img" + std::to_string(i)));
    ASSERT_EQ(archive.DecoderRuns(), static_cast<std::size_t>(images));

    archive.ReleaseTexture(archive.GetTexture("img" + std::to_string(images - 1)));
    EXPECT_EQ(archive.DecoderRuns(), static_cast<std::size_t>(images));
    const GLuint oldest = archive.GetTexture("img0");
    EXPECT_EQ(archive.DecoderRuns(), static_cast<std::size_t>(images) + 1);
    EXPECT_EQ(TexturePixels(oldest, 2, 2)[0], 0);
    archive.ReleaseTexture(oldest);
}

std::shared_ptr<const DecodedImage> ImageOfBytes(std::size_t bytes)
{
    auto image = std::make_shared<DecodedImage>();
    image->width = static_cast<int>(bytes / 4);
    image->height = 1;
    image->rgba.assign(bytes, 0);
    return image;
}

TEST(DecodedImageCache, KeepsTheMostRecentlyUsedWithinItsBytes)
{
    DecodedImageCache cache(1000, 10);
    cache.Keep(1, ImageOfBytes(400));
    cache.Keep(2, ImageOfBytes(400));
    ASSERT_NE(cache.Find(1), nullptr);  // now more recent than 2
    cache.Keep(3, ImageOfBytes(400));
    EXPECT_EQ(cache.Find(2), nullptr) << "the least recently used goes first";
    EXPECT_NE(cache.Find(1), nullptr);
    EXPECT_NE(cache.Find(3), nullptr);
    EXPECT_EQ(cache.KeptBytes(), 800u);

    cache.Keep(4, ImageOfBytes(1001));
    EXPECT_EQ(cache.Find(4), nullptr) << "an image larger than the whole budget is not kept";
    EXPECT_EQ(cache.KeptImages(), 2u);

    cache.Keep(1, ImageOfBytes(100));
    EXPECT_EQ(cache.KeptBytes(), 500u) << "keeping an index again replaces its pixels";
    EXPECT_EQ(cache.Find(1)->rgba.size(), 100u);

    EXPECT_FALSE(cache.HasFailed(7));
    cache.MarkFailed(7);
    EXPECT_TRUE(cache.HasFailed(7));
}

struct PngHeaderCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    std::size_t fileSize;
    bool fits;
};

// The deflate bound: an 8-bit RGBA image of w x h needs at least
// w * h * 4 / 1032 bytes of compressed data.
TEST(ImageHeader, PngLimitsFollowTheTextureSideAndTheDataAtHand)
{
    const std::string png = SmallPng();
    const std::vector<PngHeaderCase> cases = {
        {"largest side", 4096, 1, 100, true},
        {"one above the largest side", 4097, 1, 100, false},
        {"data enough for the pixels", 1032, 1032, 4128, true},
        {"one byte short of the pixels", 1032, 1032, 4127, false},
    };
    for (const PngHeaderCase& c : cases) {
        const std::string bytes = test::WithPngSize(png, c.width, c.height);
        const auto header = ReadPngHeader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ASSERT_TRUE(header) << c.name;
        EXPECT_EQ(header->width, c.width);
        EXPECT_EQ(header->bitsPerPixel, 32);
        EXPECT_EQ(PngFitsLimits(*header, c.fileSize, 4096), c.fits) << c.name;
    }
    std::string badDepth = png;
    badDepth[24] = 4;  // RGBA at 4 bits is not a PNG
    EXPECT_FALSE(ReadPngHeader(reinterpret_cast<const std::uint8_t*>(badDepth.data()), badDepth.size()));
    const std::string huge = test::WithPngSize(png, 0x80000000u, 1);
    EXPECT_FALSE(ReadPngHeader(reinterpret_cast<const std::uint8_t*>(huge.data()), huge.size()));
}

}
}
