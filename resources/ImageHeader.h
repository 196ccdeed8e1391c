#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tarnwood {

// What the first bytes of a PNG file promise: its size in pixels and how many
// bits one pixel takes in the uncompressed image data.
struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitsPerPixel = 0;
};

// Reads the signature and the IHDR chunk that must follow it (33 bytes).
// Returns nothing when the bytes are not a PNG, the header is cut short, a
// side is 0 or above 2^31 - 1, or the bit depth and colour type are not a
// combination PNG allows. Reads nothing beyond `size`.
std::optional<PngHeader> ReadPngHeader(const std::uint8_t* bytes, std::size_t size);

// True when a PNG of `fileSize` bytes can hold the image its header claims:
// each side at most `maxSide`, and the uncompressed pixel data no larger than
// the best ratio deflate can reach (1032:1) allows from that many bytes. A
// header that promises more is refused before any decoder allocates for it.
bool PngFitsLimits(const PngHeader& header, std::size_t fileSize, std::uint32_t maxSide);

// True when the chunks after the signature follow each other within `size`
// bytes up to and including an IEND chunk, each no longer than PNG allows.
// The PNG loader reads chunk lengths as given and does not stop at the end
// of its input, so a chunk that claims more bytes than there are would have
// it read (and check) up to 2 GiB of nothing.
bool PngChunksFit(const std::uint8_t* bytes, std::size_t size);

// The layout facts of a BMP file that a reader needs before trusting it.
struct BmpHeader {
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    // Positive: rows stored bottom to top; negative: top to bottom.
    std::int32_t height = 0;
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
};

// Reads the file header ("BM") and a Windows info header of at least 40
// bytes. Returns nothing when the bytes are cut short or are not such a BMP
// (another signature, an older or unknown info header, planes other than 1).
std::optional<BmpHeader> ReadBmpHeader(const std::uint8_t* bytes, std::size_t size);

// Bytes a BMP stores per row for `width` pixels of `bitsPerPixel` bits:
// padded to a multiple of four.
std::uint64_t BmpRowBytes(std::uint32_t width, int bitsPerPixel);

}
