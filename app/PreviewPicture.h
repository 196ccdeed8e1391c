#pragma once

#include "app/PreviewPixels.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwood {

// The height of the preview picture; its width is kPreviewPictureWidth.
inline constexpr int kPreviewPictureHeight = 112;

// Makes the preview picture from a rendered frame of width x height RGB
// pixels (rows bottom to top, as glReadPixels delivers them): the whole frame
// shrunk by area averaging to kPreviewPictureWidth x kPreviewPictureHeight,
// encoded as an uncompressed 24-bit BMP. A frame of the same proportions
// keeps its shapes; a multiple of the picture's size (say 4 or 8 times)
// averages whole blocks of pixels. Nullopt, with `problem` set, when the
// pixels do not match the size.
std::optional<std::vector<std::uint8_t>> MakePreviewPicture(const std::vector<std::uint8_t>& rgbBottomUp, int width,
                                                            int height, std::string& problem);

}
