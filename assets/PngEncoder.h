#pragma once

#include "assets/Canvas.h"

#include <cstdint>
#include <vector>

namespace tarnwood {

// Encodes the canvas as a PNG of colour type 6 (8-bit RGBA), the form that
// decodes straight into bytes ready for an RGBA texture upload. The output
// holds no time stamp or other varying chunk, so equal canvases give equal
// bytes. Returns an empty vector if libpng reports an error.
std::vector<std::uint8_t> EncodePng(const Canvas& canvas);

}
