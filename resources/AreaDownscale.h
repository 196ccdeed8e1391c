#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwood {

// Resamples a picture of width x height pixels (`channels` bytes each, rows
// packed, either row order; the result keeps it) to newWidth x newHeight by
// area averaging: every new pixel is the mean of the source area it covers,
// source pixels cut by its edges counting with the part inside, rounded to
// the nearest byte. Exact in integers, so equal input gives equal output.
// Meant for shrinking (a supersampled render to a small picture); growing
// works but only repeats pixels. Nullopt, with `problem` set, when a size is
// not positive, the source does not hold width x height pixels, or a side is
// beyond 65535.
std::optional<std::vector<std::uint8_t>> DownscaleByAreaAverage(const std::vector<std::uint8_t>& pixels, int width,
                                                                int height, int channels, int newWidth, int newHeight,
                                                                std::string& problem);

}
