#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood::test {

// Encodes an 8-bit PNG (colour type 2: RGB, or 6: RGBA) of `width` x
// `height` pixels, rows top to bottom, with stored (uncompressed) deflate
// blocks: a fixture for image entries, independent of any encoder library.
std::string EncodePng(int width, int height, int colourType, const std::vector<std::uint8_t>& pixels);

// `png` with the size in its IHDR chunk replaced by width x height and the
// chunk's CRC made valid again: a header that claims more than the data holds.
std::string WithPngSize(std::string png, std::uint32_t width, std::uint32_t height);

}
