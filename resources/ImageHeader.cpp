#include "resources/ImageHeader.h"

#include "resources/LittleEndian.h"

#include <cstring>
#include <limits>

namespace tarnwood {

namespace {

constexpr std::uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Signature, IHDR length and type, then width, height, depth, colour type,
// compression, filter, interlace and the chunk's CRC.
constexpr std::size_t pngHeaderBytes = 8 + 8 + 13 + 4;
constexpr std::uint32_t pngMaxSide = 0x7FFFFFFF;
// Deflate emits at best 2 bits for 258 bytes, so a compressed stream never
// expands more than 1032-fold.
constexpr std::uint64_t deflateMaxRatio = 1032;

std::uint32_t ReadU32BE(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

// Channels of a PNG colour type at bit depth `depth`, or 0 when PNG does not
// allow that combination.
int PngChannels(int colourType, int depth)
{
    const bool eightOrSixteen = depth == 8 || depth == 16;
    const bool upToEight = depth == 1 || depth == 2 || depth == 4 || depth == 8;
    switch (colourType) {
    case 0:
        return (upToEight || depth == 16) ? 1 : 0;
    case 2:
        return eightOrSixteen ? 3 : 0;
    case 3:
        return upToEight ? 1 : 0;
    case 4:
        return eightOrSixteen ? 2 : 0;
    case 6:
        return eightOrSixteen ? 4 : 0;
    default:
        return 0;
    }
}

}

std::optional<PngHeader> ReadPngHeader(const std::uint8_t* bytes, std::size_t size)
{
    if (bytes == nullptr || size < pngHeaderBytes || std::memcmp(bytes, pngSignature, sizeof pngSignature) != 0)
        return std::nullopt;
    const std::uint8_t* chunk = bytes + sizeof pngSignature;
    if (ReadU32BE(chunk) != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0)
        return std::nullopt;
    const std::uint8_t* fields = chunk + 8;
    PngHeader header;
    header.width = ReadU32BE(fields);
    header.height = ReadU32BE(fields + 4);
    const int depth = fields[8];
    const int channels = PngChannels(fields[9], depth);
    if (header.width == 0 || header.height == 0 || header.width > pngMaxSide || header.height > pngMaxSide || channels == 0)
        return std::nullopt;
    header.bitsPerPixel = channels * depth;
    return header;
}

bool PngFitsLimits(const PngHeader& header, std::size_t fileSize, std::uint32_t maxSide)
{
    if (header.width == 0 || header.height == 0 || header.width > maxSide || header.height > maxSide)
        return false;
    // Without interlacing or filter bytes: the least the stream must inflate to.
    const std::uint64_t rowBytes = (std::uint64_t{header.width} * static_cast<std::uint64_t>(header.bitsPerPixel) + 7) / 8;
    const std::uint64_t imageBytes = rowBytes * header.height;
    return imageBytes / deflateMaxRatio <= fileSize;
}

bool PngChunksFit(const std::uint8_t* bytes, std::size_t size)
{
    if (bytes == nullptr || size < sizeof pngSignature)
        return false;
    std::size_t offset = sizeof pngSignature;
    // Length and type before the data, CRC after it.
    constexpr std::size_t chunkFrame = 12;
    while (size - offset >= chunkFrame) {
        const std::uint32_t length = ReadU32BE(bytes + offset);
        if (length > pngMaxSide || length > size - offset - chunkFrame)
            return false;
        if (std::memcmp(bytes + offset + 4, "IEND", 4) == 0)
            return true;
        offset += chunkFrame + length;
    }
    return false;
}

std::optional<BmpHeader> ReadBmpHeader(const std::uint8_t* bytes, std::size_t size)
{
    constexpr std::size_t fileHeaderBytes = 14;
    constexpr std::uint32_t minInfoBytes = 40;
    if (bytes == nullptr || size < fileHeaderBytes + minInfoBytes || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::uint8_t* info = bytes + fileHeaderBytes;
    const std::uint32_t infoBytes = ReadU32LE(info);
    // 40: BITMAPINFOHEADER, 52 and 56: its extensions with masks, 108: V4, 124: V5.
    if (infoBytes != 40 && infoBytes != 52 && infoBytes != 56 && infoBytes != 108 && infoBytes != 124)
        return std::nullopt;
    if (ReadU16LE(info + 12) != 1)
        return std::nullopt;
    BmpHeader header;
    header.pixelOffset = ReadU32LE(bytes + 10);
    header.width = ReadI32LE(info + 4);
    header.height = ReadI32LE(info + 8);
    header.bitsPerPixel = ReadU16LE(info + 14);
    header.compression = ReadU32LE(info + 16);
    return header;
}

std::uint64_t BmpRowBytes(std::uint32_t width, int bitsPerPixel)
{
    return (std::uint64_t{width} * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

}
