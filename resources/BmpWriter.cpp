#include "resources/BmpWriter.h"

#include "resources/LittleEndian.h"

namespace tarnwood {

std::vector<std::uint8_t> EncodeBmp24(const std::vector<std::uint8_t>& rgb, int width, int height)
{
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535
        || rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        return {};
    }
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    constexpr std::uint32_t headerBytes = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(headerBytes + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    AppendU32LE(out, headerBytes + pixelBytes);
    AppendU32LE(out, 0);
    AppendU32LE(out, headerBytes);
    AppendU32LE(out, 40);
    AppendI32LE(out, width);
    AppendI32LE(out, height);
    AppendU16LE(out, 1);
    AppendU16LE(out, 24);
    AppendU32LE(out, 0);
    AppendU32LE(out, pixelBytes);
    // 72 pixels per inch.
    AppendU32LE(out, 2835);
    AppendU32LE(out, 2835);
    AppendU32LE(out, 0);
    AppendU32LE(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
        for (int x = 0; x < width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        out.resize(out.size() + rowBytes - static_cast<std::uint32_t>(width) * 3, 0);
    }
    return out;
}

}
