#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood {

// The width of the host's preview pane for which the preview picture is made.
inline constexpr int kPreviewPictureWidth = 152;

// What the preview pane shows, as paneWidth x paneHeight colours 0x00RRGGBB,
// row by row from the top. A pane exactly kPreviewPictureWidth wide shows the
// uncompressed 24-bit BMP at `picturePath` pixel for pixel from its top-left
// corner; the part of the pane beyond the picture is black. The header is
// checked before anything else is read: a picture larger than the pane in
// either direction is never loaded, and gives a black pane like any other
// pane width, a picture that cannot be read, one that is not 24 bits per
// pixel or one whose file is shorter than its header says. The file is read
// anew on every call. Empty for a pane without pixels.
std::vector<std::uint32_t> PreviewPixels(int paneWidth, int paneHeight, const std::string& picturePath);

}
