#include "assets/PngEncoder.h"

#include "resources/PngWriter.h"

namespace tarnwood {

std::vector<std::uint8_t> EncodePng(const Canvas& canvas)
{
    const std::vector<std::uint8_t> rgba = canvas.ToRgba8();
    PixelRows pixels;
    pixels.bytes = rgba.data();
    pixels.width = canvas.Width();
    pixels.height = canvas.Height();
    pixels.channels = 4;
    std::string problem;
    std::optional<std::vector<std::uint8_t>> png = EncodePng(pixels, problem);
    return png ? std::move(*png) : std::vector<std::uint8_t>();
}

}
