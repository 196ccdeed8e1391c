#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood {

// Encodes `rgb` (3 bytes per pixel, red first, rows top to bottom) as an
// uncompressed 24-bit BMP file image, stored bottom-up as BMP readers expect,
// rows padded to 4 bytes. Returns an empty vector when the sizes do not match
// or a side is 0 or beyond 65535.
std::vector<std::uint8_t> EncodeBmp24(const std::vector<std::uint8_t>& rgb, int width, int height);

}
