#pragma once

#include <array>
#include <cstdint>

namespace tarnwood {

// The user data of a plasma texture: its base colour (red, green, blue).
using PlasmaColour = std::array<std::uint8_t, 3>;

// The generator of "Plasma" textures: six moving sine waves, three along the
// columns and three along the rows, of which only a narrow band of values is
// opaque, overlaid with opaque grid lines every 16 texels and along the last
// row and column. `userData` points to a PlasmaColour. The result depends only
// on time, size and colour; nothing is kept or allocated between calls. Uses
// the fastest code path the processor offers; every path gives the same bytes.
void PlasmaGenerate(std::int32_t time, int width, int height, std::uint8_t* pixels, void* userData);

// The code paths of the per-texel work, for comparing them with each other.
enum class PlasmaPath { Portable, Sse2, Avx2, Avx512 };

// Whether this build and processor can run `path`.
bool PlasmaPathAvailable(PlasmaPath path);

// PlasmaGenerate on the given path; an unavailable path falls back to Portable.
void PlasmaGenerateOn(PlasmaPath path, std::int32_t time, int width, int height, std::uint8_t* pixels,
                      const PlasmaColour& colour);

// Frees a PlasmaColour made with std::make_unique and released.
void PlasmaFreeUserData(void* userData);

}
