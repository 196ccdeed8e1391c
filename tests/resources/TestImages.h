#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood::test {

// Encodes an 8-bit PNG (colour type 2: RGB, or 6: RGBA) of `width` x
// `height` pixels, rows top to bottom, with stored (uncompressed) deflate
// blocks: a fixture for image entries, independent of any encoder library.
std::string EncodePng(int width, int height, int colourType, const std::vector<std::uint8_t>& pixels);

}
