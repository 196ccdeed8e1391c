#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwood {

// Pixels in memory, 8 bits per channel, rows packed without padding.
struct PixelRows {
    // width x height x channels bytes; not owned.
    const std::uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
    // 3: red, green, blue; 4: red, green, blue, alpha.
    int channels = 3;
    // True when the first row in memory is the bottom one, as glReadPixels
    // delivers them; the file always holds rows top to bottom.
    bool bottomUp = false;
};

// Encodes the pixels as a PNG of colour type 2 (3 channels) or 6 (4
// channels), at the highest compression level. The output holds no time
// stamp or other varying chunk, so equal pixels give equal bytes. Nullopt,
// with `problem` set, for a size or channel count it cannot encode or when
// libpng reports an error.
std::optional<std::vector<std::uint8_t>> EncodePng(const PixelRows& pixels, std::string& problem);

// EncodePng, then writes the bytes to `path`, replacing the file. Returns
// false with `problem` set, leaving no partial file, when the pixels cannot
// be encoded or the file cannot be written.
bool WritePngFile(const std::string& path, const PixelRows& pixels, std::string& problem);

}
