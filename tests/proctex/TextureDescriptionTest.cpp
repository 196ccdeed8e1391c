#include "proctex/TextureDescription.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwood {
namespace {

using Kind = TextureDescription::Kind;

struct GoodCase {
    std::string text;
    Kind kind;
    int width;
    int height;
    std::array<std::uint8_t, 3> colour;
};

class ParsesDescription : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ParsesDescription, ReadsGeneratorSizeAndColour)
{
    const GoodCase& c = GetParam();
    const std::optional<TextureDescription> d = ParseTextureDescription(c.text);
    ASSERT_TRUE(d.has_value()) << c.text;
    EXPECT_EQ(d->kind, c.kind) << c.text;
    EXPECT_EQ(d->width, c.width) << c.text;
    EXPECT_EQ(d->height, c.height) << c.text;
    EXPECT_EQ(d->colour, c.colour) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Descriptions, ParsesDescription,
                         ::testing::Values(GoodCase{"a#Plasma64,32,10,20,30", Kind::Plasma, 64, 32, {10, 20, 30}},
                                           // The first two characters are not read, whatever they are.
                                           GoodCase{"77Plasma4,4,1,2,3", Kind::Plasma, 4, 4, {1, 2, 3}},
                                           // Any single character separates; white space before a number is skipped too.
                                           GoodCase{"a#Plasma8x \t4;  1/-1|300rest", Kind::Plasma, 8, 4, {1, 255, 44}},
                                           GoodCase{"a#Plasma16,+16,+256,511,-256", Kind::Plasma, 16, 16, {0, 255, 0}},
                                           GoodCase{"a#Plasma1,1,0,0,0", Kind::Plasma, 1, 1, {0, 0, 0}},
                                           GoodCase{std::string("a#Plasma4,4,1,2,3\0junk", 22), Kind::Plasma, 4, 4, {1, 2, 3}},
                                           GoodCase{"x#Fire128x64", Kind::Fire, 128, 64, {0, 0, 0}},
                                           GoodCase{"x#Fire3,2", Kind::Fire, 3, 2, {0, 0, 0}},
                                           GoodCase{"x#Fire48,20,99,99,99", Kind::Fire, 48, 20, {0, 0, 0}}));

class RejectsDescription : public ::testing::TestWithParam<std::string> {};

TEST_P(RejectsDescription, YieldsNothing)
{
    EXPECT_FALSE(ParseTextureDescription(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Descriptions, RejectsDescription,
                         ::testing::Values("", "a", "a#", "a#Plasma", "a#Fire", "a#Noise64,64,1,2,3",
                                           "a#plasma64,64,1,2,3", "a#FIRE64,64",
                                           // White space before the width belongs to the generator name.
                                           "a#Plasma 64,64,1,2,3", "a#Fire 64,64",
                                           // Missing numbers.
                                           "a#Plasma64", "a#Plasma64,", "a#Plasma64,64", "a#Plasma64,64,1,2",
                                           "a#Plasma64,64,1,2,", "a#Plasma64,64,1,2,x", "a#Plasma64,,64,1,2,3",
                                           "a#Fire64", "a#Fire64,",
                                           // Sizes below the minimum.
                                           "a#Plasma0,4,1,2,3", "a#Plasma4,0,1,2,3", "a#Plasma4,-4,1,2,3", "a#Fire2,64",
                                           "a#Fire64,1", "a#Fire0,0",
                                           // Numbers that do not fit.
                                           "a#Plasma99999999999,4,1,2,3", "a#Plasma4,4,1,2,99999999999",
                                           "a#Fire4,-99999999999", std::string("a#Pla\0sma4,4,1,2,3", 18)));

}
}
