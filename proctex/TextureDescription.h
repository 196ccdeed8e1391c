#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwood {

// What a procedural texture description asks for, after parsing.
struct TextureDescription {
    enum class Kind { Plasma, Fire };

    Kind kind = Kind::Plasma;
    // Texture size in texels.
    int width = 0;
    int height = 0;
    // Base colour (red, green, blue) of a plasma; each value keeps the low
    // 8 bits of the number written. Zero for a fire.
    std::array<std::uint8_t, 3> colour{};
};

// Parses a description such as "x#Plasma64,64,10,20,30" or "x#Fire128x64":
// two leading characters that are not read, the generator name (everything up
// to the first decimal digit), the width, one separator character of any kind,
// the height and, for a plasma, three more numbers each after one separator
// character. Numbers are read like formatted stream extraction (leading white
// space skipped, optional sign) and must fit in an int. Anything after the last
// needed number is ignored.
//
// Returns nothing for an unknown generator name (compared exactly), a missing
// or unreadable number, a width or height below 1, or a fire smaller than
// 3 x 2 texels (its step needs a column on each side and its spark half a
// picture of rows). Limits of the OpenGL implementation are not checked here.
std::optional<TextureDescription> ParseTextureDescription(const std::string& text);

}
