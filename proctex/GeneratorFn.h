#pragma once

#include <cstdint>

namespace tarnwood {

// Fills a procedural texture's pixels for one frame. `time` is the frame's
// millisecond tick; `pixels` holds width x height texels of 4 bytes (red,
// green, blue, alpha), row after row from row 0 with no gap. A generator writes
// every texel and allocates nothing. `userData` is the generator's own data.
using GeneratorFn = void (*)(std::int32_t time, int width, int height, std::uint8_t* pixels, void* userData);

// Frees a generator's user data.
using FreeUserDataFn = void (*)(void* userData);

}
