#include "TestImages.h"

#include <array>

namespace tarnwood::test {

namespace {

std::uint32_t Crc32(const std::string& bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> values{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
        return values;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::string& out, std::uint32_t value)
{
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

void PutChunk(std::string& out, const std::string& type, const std::string& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = type + data;
    out += typed;
    PutBigEndian(out, Crc32(typed));
}

}

std::string EncodePng(int width, int height, int colourType, const std::vector<std::uint8_t>& pixels)
{
    const int channels = colourType == 6 ? 4 : 3;
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width * channels; ++x)
            raw.push_back(static_cast<char>(pixels[static_cast<std::size_t>(y * width * channels + x)]));
    }
    std::string zlib = "\x78\x01";
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<char>(length & 0xFF));
        zlib.push_back(static_cast<char>(length >> 8));
        zlib.push_back(static_cast<char>(~length & 0xFF));
        zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
        zlib += raw.substr(offset, length);
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string{8, static_cast<char>(colourType), 0, 0, 0};

    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return png;
}

std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height)
{
    // Signature (8), IHDR length (4); the chunk's type and data start at 12.
    std::string fields;
    PutBigEndian(fields, width);
    PutBigEndian(fields, height);
    png.replace(16, 8, fields);
    std::string crc;
    PutBigEndian(crc, Crc32(png.substr(12, 4 + 13)));
    png.replace(12 + 4 + 13, 4, crc);
    return png;
}

}
