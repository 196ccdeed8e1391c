#include "resources/EscapedName.h"

namespace tarnwood {

namespace {

void AppendHex(std::string& out, unsigned char byte)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out.push_back(digits[byte >> 4]);
    out.push_back(digits[byte & 0x0F]);
}

// Length of the valid UTF-8 sequence starting at `i`, or 0 when the bytes
// there are not one (stray continuation byte, overlong form, surrogate, a
// value above U+10FFFF, or a sequence cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i, char32_t& value)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

}

std::string EscapedName(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            char32_t value = 0;
            const std::size_t length = Utf8SequenceLength(text, i, value);
            // C1 controls (U+0080 to U+009F) act on terminals like ESC sequences.
            if (length == 0 || value <= 0x9F) {
                AppendHex(out, byte);
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (byte) {
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                AppendHex(out, byte);
            else
                out.push_back(static_cast<char>(byte));
        }
        ++i;
    }
    return out;
}

}
