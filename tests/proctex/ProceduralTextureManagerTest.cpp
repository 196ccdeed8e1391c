#include "proctex/ProceduralTextureManager.h"

#include "proctex/FireState.h"
#include "proctex/PlasmaGenerate.h"
#include "proctex/TextureDescription.h"
#include "support/GlTestContext.h"
#include "support/PlasmaReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace tarnwood {
namespace {

// Reads back level 0 of a texture as tightly packed RGBA.
std::vector<std::uint8_t> TextureContents(GLuint name, int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLint LevelParameter(GLuint name, GLenum parameter)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    return value;
}

class ProceduralTextureManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::EnsureGlContext(64, 64));
        ASSERT_EQ(manager.TextureCount(), 0u) << "a previous test left textures registered";
    }

    // Gives back everything this test acquired, so that tests stay independent.
    void TearDown() override
    {
        for (const std::string& d : acquired)
            manager.Release(d);
        EXPECT_EQ(manager.TextureCount(), 0u);
    }

    GLuint Acquire(const std::string& description)
    {
        const GLuint name = manager.Acquire(description);
        if (name != 0)
            acquired.push_back(description);
        return name;
    }

    void Release(const std::string& description)
    {
        manager.Release(description);
        for (auto it = acquired.begin(); it != acquired.end(); ++it) {
            if (*it == description) {
                acquired.erase(it);
                break;
            }
        }
    }

    ProceduralTextureManager& manager = ProceduralTextureManager::Instance();
    std::vector<std::string> acquired;
};

TEST_F(ProceduralTextureManagerTest, OneDescriptionIsOneTextureSteppedOncePerFrame)
{
    const std::string fire = "a#Fire32,16";
    const GLuint first = Acquire(fire);
    const GLuint second = Acquire(fire);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(manager.TextureCount(), 1u);
    EXPECT_EQ(manager.ReferenceCount(fire), 2);

    auto expectedState = FireState::Create(32, 16);
    std::vector<std::uint8_t> expected(32 * 16 * 4);
    for (std::uint32_t tick : {16u, 33u, 50u}) {
        const unsigned seed = 500 + tick;
        std::srand(seed);
        manager.UpdateAll(tick);
        std::srand(seed);
        FireGenerate(0, 32, 16, expected.data(), expectedState.get());
        ASSERT_EQ(TextureContents(first, 32, 16), expected) << "frame at tick " << tick;
    }
}

TEST_F(ProceduralTextureManagerTest, DescriptionsDifferingInFirstCharacterAreSeparate)
{
    const GLuint a = Acquire("a#Fire32,16");
    const GLuint b = Acquire("b#Fire32,16");
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(manager.TextureCount(), 2u);
    EXPECT_EQ(manager.ReferenceCount("a#Fire32,16"), 1);
    EXPECT_EQ(manager.ReferenceCount("b#Fire32,16"), 1);

    // Each has its own heat: one step each per frame, in order of acquisition.
    auto stateA = FireState::Create(32, 16);
    auto stateB = FireState::Create(32, 16);
    std::vector<std::uint8_t> expectedA(32 * 16 * 4);
    std::vector<std::uint8_t> expectedB(32 * 16 * 4);
    for (unsigned seed : {7u, 8u, 9u}) {
        std::srand(seed);
        manager.UpdateAll(seed);
        std::srand(seed);
        FireGenerate(0, 32, 16, expectedA.data(), stateA.get());
        FireGenerate(0, 32, 16, expectedB.data(), stateB.get());
        ASSERT_EQ(TextureContents(a, 32, 16), expectedA);
        ASSERT_EQ(TextureContents(b, 32, 16), expectedB);
    }
}

TEST_F(ProceduralTextureManagerTest, LastReleaseDeletesTheTexture)
{
    const std::string plasma = "m#Plasma16,16,1,2,3";
    const GLuint name = Acquire(plasma);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(Acquire(plasma), name);
    Release(plasma);
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(manager.ReferenceCount(plasma), 1);
    manager.UpdateAll(10);
    Release(plasma);
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(manager.ReferenceCount(plasma), 0);
    EXPECT_EQ(manager.TextureCount(), 0u);

    // Releasing what is gone changes nothing; acquiring again starts afresh.
    manager.Release(plasma);
    EXPECT_EQ(manager.TextureCount(), 0u);
    const GLuint again = Acquire(plasma);
    EXPECT_NE(again, 0u);
    EXPECT_TRUE(glIsTexture(again));
    EXPECT_EQ(manager.ReferenceCount(plasma), 1);
}

TEST_F(ProceduralTextureManagerTest, TextureHasRequestedStorageAndFiltering)
{
    // 48 x 20 is not a power of two; this implementation accepts it.
    const GLuint name = Acquire("q#Plasma48x20x0x0x0");
    ASSERT_NE(name, 0u);
    EXPECT_EQ(LevelParameter(name, GL_TEXTURE_WIDTH), 48);
    EXPECT_EQ(LevelParameter(name, GL_TEXTURE_HEIGHT), 20);
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    // Every frame uploads the whole buffer, here under a hostile unpack state.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 100);
    const PlasmaColour colour{0, 0, 0};
    std::vector<std::uint8_t> expected(48 * 20 * 4);
    for (std::uint32_t tick : {0u, 40000u, 4000000000u}) {
        manager.UpdateAll(tick);
        test::PlasmaReference(static_cast<std::int32_t>(tick), 48, 20, expected.data(), colour);
        EXPECT_EQ(TextureContents(name, 48, 20), expected) << "tick " << tick;
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8) << "the caller's pixel-store state is restored";
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

TEST_F(ProceduralTextureManagerTest, UnusableDescriptionsRegisterNothing)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ASSERT_GT(maxSize, 0);
    const std::string tooWide = "a#Plasma" + std::to_string(maxSize + 1) + ",1,0,0,0";
    const std::string tooHigh = "a#Fire4," + std::to_string(maxSize + 1);
    // Within the implementation's limit but beyond the cap: a fire of the GL
    // maximum would take gigabytes, and every frame would regenerate it.
    const std::string glMaximumFire = "a#Fire" + std::to_string(maxSize) + "x" + std::to_string(maxSize);
    const int cap = ProceduralTexture::maxSide;
    const std::string aboveCap = "a#Plasma" + std::to_string(cap + 1) + ",4,0,0,0";

    const std::string kept = "k#Plasma16,16,1,2,3";
    ASSERT_NE(Acquire(kept), 0u);
    for (const std::string& bad :
         {std::string("a#Noise64,64"), std::string("a#Plasma64,64,1,2"), std::string("a#Plasma0,64,1,2,3"),
          std::string("a#Fire2,64"), std::string("a#Fire64,1"), std::string("k#Plasma16"), tooWide, tooHigh,
          glMaximumFire, aboveCap, std::string("a#Fire2147483647,2147483647"), std::string(""), std::string("#")}) {
        EXPECT_EQ(manager.Acquire(bad), 0u) << bad;
        EXPECT_EQ(manager.ReferenceCount(bad), 0) << bad;
        manager.Release(bad);
        EXPECT_EQ(manager.TextureCount(), 1u) << bad;
        EXPECT_EQ(manager.ReferenceCount(kept), 1) << bad;
    }

    // The largest size allowed is used as it stands, square fires included.
    const int largest = std::min(maxSize, cap);
    const std::string widest = "w#Plasma" + std::to_string(largest) + ",1,0,0,0";
    const GLuint name = Acquire(widest);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(LevelParameter(name, GL_TEXTURE_WIDTH), largest);
    const GLuint fire = Acquire("f#Fire" + std::to_string(largest) + "x" + std::to_string(largest));
    ASSERT_NE(fire, 0u);
    EXPECT_EQ(LevelParameter(fire, GL_TEXTURE_WIDTH), largest);
    EXPECT_EQ(LevelParameter(fire, GL_TEXTURE_HEIGHT), largest);
}

// Descriptions come from archives users may replace: texts built from the
// pieces a description is made of, in any order and amount, either register a
// texture of exactly the parsed size or nothing at all.
TEST_F(ProceduralTextureManagerTest, ArbitraryTextsRegisterParsedTexturesOrNothing)
{
    const std::string numbers[] = {"0", "1", "7", "16", "33", "255", "300", "-3", "+4", "999999999999"};
    const std::string others[] = {"Plasma", "Fire", "#", ",", "x", " ", "\t", "-", "+", std::string(1, '\0'),
                                  "\xff",   "e"};
    std::mt19937 random(20240611);
    int registered = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string text = (i % 3 == 0) ? "" : (i % 3 == 1 ? "a#Plasma" : "a#Fire");
        const int count = static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k) {
            // Mostly numbers and separators in turn, as in a description.
            if ((k % 2 == 0) == (random() % 5 != 0))
                text += numbers[random() % std::size(numbers)];
            else
                text += others[random() % std::size(others)];
        }
        const std::optional<TextureDescription> parsed = ParseTextureDescription(text);
        // Numbers glued together can ask for sizes that are valid but slow.
        if (parsed && static_cast<long long>(parsed->width) * parsed->height > 512 * 512)
            continue;
        const GLuint name = manager.Acquire(text);
        if (name == 0) {
            EXPECT_EQ(manager.TextureCount(), 0u) << text;
            continue;
        }
        ++registered;
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(LevelParameter(name, GL_TEXTURE_WIDTH), parsed->width) << text;
        EXPECT_EQ(LevelParameter(name, GL_TEXTURE_HEIGHT), parsed->height) << text;
        manager.UpdateAll(static_cast<std::uint32_t>(i));
        manager.Release(text);
        EXPECT_FALSE(glIsTexture(name)) << text;
        ASSERT_EQ(manager.TextureCount(), 0u) << text;
    }
    EXPECT_GT(registered, 50) << "too few texts were valid to show anything";
}

TEST_F(ProceduralTextureManagerTest, TexturedQuadShowsThePlasma)
{
    // 300, -20 and 1000 keep their low 8 bits: 44, 236, 232.
    const GLuint name = Acquire("z#Plasma64,64,300,-20,1000");
    ASSERT_NE(name, 0u);
    const std::uint32_t tick = 12345;
    manager.UpdateAll(tick);

    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glColor4f(1, 1, 1, 1);
    // Texel centres fall on pixel centres, so linear filtering returns texels.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(64, 0);
    glTexCoord2f(1, 1);
    glVertex2f(64, 64);
    glTexCoord2f(0, 1);
    glVertex2f(0, 64);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    std::vector<std::uint8_t> screen(64 * 64 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, screen.data());
    std::vector<std::uint8_t> expected(64 * 64 * 4);
    test::PlasmaReference(static_cast<std::int32_t>(tick), 64, 64, expected.data(), {44, 236, 232});
    int wrong = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * 64 + x) * 4;
            for (int k = 0; k < 3; ++k) {
                if (screen[i + k] != expected[i + k] && ++wrong <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << k << ": " << int(screen[i + k])
                                  << " != " << int(expected[i + k]);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

}
}
