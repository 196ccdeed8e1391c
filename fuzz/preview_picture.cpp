// The preview picture file, painted into panes of the picture's width and
// of the first input byte's height.
#include "FuzzSupport.h"
#include "app/PreviewPixels.h"

#include <cstdlib>

using namespace tarnwood;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int paneHeight = 1 + data[0];
    const std::string path = fuzz::ScratchFolder() + "/preview.ppk";
    fuzz::WriteFile(path, data + 1, size - 1);
    const std::vector<std::uint32_t> pixels = PreviewPixels(kPreviewPictureWidth, paneHeight, path);
    if (pixels.size() != static_cast<std::size_t>(kPreviewPictureWidth * paneHeight))
        std::abort();
    for (std::uint32_t pixel : pixels) {
        if (pixel > 0xFFFFFF)
            std::abort();
    }
    return 0;
}
