#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood {

// The width of the host's preview pane for which the preview picture is made.
inline constexpr int kPreviewPictureWidth = 152;

// What the preview pane shows, as paneWidth x paneHeight colours 0x00RRGGBB,
// row by row from the top. A pane exactly kPreviewPictureWidth wide shows the
// 24-bit BMP at `picturePath` pixel for pixel from its top-left corner; the
// part of the picture beyond the pane is cut off and the part of the pane
// beyond the picture is black. Any other pane width, and a picture that
// cannot be read or is not 24 bits per pixel, gives a black pane. The file is
// read anew on every call. Empty for a pane without pixels.
std::vector<std::uint32_t> PreviewPixels(int paneWidth, int paneHeight, const std::string& picturePath);

}
