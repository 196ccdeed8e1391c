#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarnwood {

// A decoded image ready for glTexImage2D(..., GL_RGBA, GL_UNSIGNED_BYTE):
// 4 bytes per pixel (red, green, blue, alpha), rows top to bottom, no padding.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Decodes the image entry `bytes` (`size` bytes) with the PNG loader alone:
// the entry's first bytes must be a PNG header whose sides are at most
// `maxSide`, whose pixel data the entry can possibly hold and whose chunks
// all lie within the entry up to the end chunk; anything else
// (another format, a damaged or absurd header) is refused before a decoder
// runs or allocates. Returns null on refusal and when the PNG loader fails.
// `decoderRuns`, when given, is raised by one each time the loader is called.
std::shared_ptr<const DecodedImage> DecodeImageEntry(const std::uint8_t* bytes, std::size_t size, std::uint32_t maxSide,
                                                     std::size_t* decoderRuns = nullptr);

}
