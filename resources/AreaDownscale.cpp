#include "resources/AreaDownscale.h"

#include <algorithm>

namespace tarnwood {

namespace {

struct Span {
    int first = 0;
    // Coverage of each source pixel from `first` on, in 1/newSize pixels.
    std::vector<std::uint32_t> weights;
};

// In units of 1/newSize source pixels, new pixel i covers [i * size,
// (i + 1) * size) and source pixel j covers [j * newSize, (j + 1) * newSize);
// the weights are the overlaps, which add up to `size` for every new pixel.
std::vector<Span> Spans(int size, int newSize)
{
    std::vector<Span> spans(static_cast<std::size_t>(newSize));
    for (int i = 0; i < newSize; ++i) {
        const std::uint64_t begin = static_cast<std::uint64_t>(i) * static_cast<std::uint64_t>(size);
        const std::uint64_t end = begin + static_cast<std::uint64_t>(size);
        Span& span = spans[static_cast<std::size_t>(i)];
        span.first = static_cast<int>(begin / static_cast<std::uint64_t>(newSize));
        for (std::uint64_t j = static_cast<std::uint64_t>(span.first); j * newSize < end; ++j) {
            const std::uint64_t from = std::max(begin, j * newSize);
            const std::uint64_t to = std::min(end, (j + 1) * newSize);
            span.weights.push_back(static_cast<std::uint32_t>(to - from));
        }
    }
    return spans;
}

}

std::optional<std::vector<std::uint8_t>> DownscaleByAreaAverage(const std::vector<std::uint8_t>& pixels, int width,
                                                                int height, int channels, int newWidth, int newHeight,
                                                                std::string& problem)
{
    constexpr int kLargest = 65535;
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0 || channels <= 0 || channels > 4
        || width > kLargest || height > kLargest || newWidth > kLargest || newHeight > kLargest) {
        problem = "cannot resample " + std::to_string(width) + "x" + std::to_string(height) + " to "
            + std::to_string(newWidth) + "x" + std::to_string(newHeight);
        return std::nullopt;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    if (pixels.size() != stride * static_cast<std::size_t>(height)) {
        problem = "the picture holds " + std::to_string(pixels.size()) + " bytes, not "
            + std::to_string(stride * static_cast<std::size_t>(height));
        return std::nullopt;
    }
    const std::vector<Span> columns = Spans(width, newWidth);
    const std::vector<Span> rows = Spans(height, newHeight);
    // Every new pixel's weights add up to width x height in these units.
    const std::uint64_t total = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight)
                                  * static_cast<std::size_t>(channels));
    std::size_t at = 0;
    for (const Span& row : rows) {
        for (const Span& column : columns) {
            for (int c = 0; c < channels; ++c) {
                std::uint64_t sum = 0;
                for (std::size_t j = 0; j < row.weights.size(); ++j) {
                    const std::uint8_t* source = pixels.data() + (static_cast<std::size_t>(row.first) + j) * stride
                        + static_cast<std::size_t>(column.first) * channels + c;
                    std::uint64_t rowSum = 0;
                    for (std::size_t i = 0; i < column.weights.size(); ++i)
                        rowSum += static_cast<std::uint64_t>(source[i * channels]) * column.weights[i];
                    sum += rowSum * row.weights[j];
                }
                out[at++] = static_cast<std::uint8_t>((sum + total / 2) / total);
            }
        }
    }
    return out;
}

}
