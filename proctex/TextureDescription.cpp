#include "proctex/TextureDescription.h"

#include <locale>
#include <sstream>

namespace tarnwood {

namespace {

constexpr int kMinFireWidth = 3;
constexpr int kMinFireHeight = 2;

// One separator character, skipped whatever it is, then a number.
bool ReadSeparatedInt(std::istringstream& in, int& value)
{
    if (in.get() == std::istringstream::traits_type::eof())
        return false;
    return static_cast<bool>(in >> value);
}

}

std::optional<TextureDescription> ParseTextureDescription(const std::string& text)
{
    if (text.size() < 2)
        return std::nullopt;

    std::size_t nameEnd = 2;
    while (nameEnd < text.size() && (text[nameEnd] < '0' || text[nameEnd] > '9'))
        ++nameEnd;
    const std::string name = text.substr(2, nameEnd - 2);

    TextureDescription result;
    if (name == "Plasma")
        result.kind = TextureDescription::Kind::Plasma;
    else if (name == "Fire")
        result.kind = TextureDescription::Kind::Fire;
    else
        return std::nullopt;

    std::istringstream in(text.substr(nameEnd));
    in.imbue(std::locale::classic());
    if (!(in >> result.width) || !ReadSeparatedInt(in, result.height))
        return std::nullopt;

    if (result.kind == TextureDescription::Kind::Plasma) {
        for (std::uint8_t& channel : result.colour) {
            int value = 0;
            if (!ReadSeparatedInt(in, value))
                return std::nullopt;
            channel = static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu);
        }
    }

    if (result.width < 1 || result.height < 1)
        return std::nullopt;
    if (result.kind == TextureDescription::Kind::Fire && (result.width < kMinFireWidth || result.height < kMinFireHeight))
        return std::nullopt;
    return result;
}

}
