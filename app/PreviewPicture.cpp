#include "app/PreviewPicture.h"

#include "resources/AreaDownscale.h"
#include "resources/BmpWriter.h"

#include <algorithm>

namespace tarnwood {

std::optional<std::vector<std::uint8_t>> MakePreviewPicture(const std::vector<std::uint8_t>& rgbBottomUp, int width,
                                                            int height, std::string& problem)
{
    std::optional<std::vector<std::uint8_t>> small = DownscaleByAreaAverage(
        rgbBottomUp, width, height, 3, kPreviewPictureWidth, kPreviewPictureHeight, problem);
    if (!small)
        return std::nullopt;
    // The BMP encoder takes rows top to bottom.
    constexpr std::size_t stride = static_cast<std::size_t>(kPreviewPictureWidth) * 3;
    std::vector<std::uint8_t> topDown(small->size());
    for (int y = 0; y < kPreviewPictureHeight; ++y)
        std::copy_n(small->data() + static_cast<std::size_t>(kPreviewPictureHeight - 1 - y) * stride, stride,
                    topDown.data() + static_cast<std::size_t>(y) * stride);
    return EncodeBmp24(topDown, kPreviewPictureWidth, kPreviewPictureHeight);
}

}
