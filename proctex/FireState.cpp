#include "proctex/FireState.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace tarnwood {

namespace {

constexpr int kSowingRows = 3;

struct Ramp {
    int first;
    int end;
    FireState::Colour start;
    FireState::Colour finish;
};

constexpr Ramp kStandardRamps[] = {
    {0, 64, {0, 0, 0, 0}, {255, 51, 36, 140}},
    {64, 96, {255, 51, 36, 140}, {255, 189, 51, 255}},
    {96, 128, {255, 189, 51, 255}, {255, 237, 51, 255}},
    {128, 196, {255, 237, 51, 255}, {100, 100, 189, 255}},
    {196, 255, {100, 100, 189, 255}, {255, 231, 51, 255}},
};

// The step works on eight cells at a time through GCC and Clang vector types:
// they compile to SIMD instructions directly, where the automatic vectoriser
// at the usual optimisation level declines this loop.
using Bytes8 = std::uint8_t __attribute__((vector_size(8)));
// Signed lanes: SSE2 compares only signed 16-bit words, and the sum of eight
// bytes (at most 2040) fits either way.
using Words8 = std::int16_t __attribute__((vector_size(16)));
constexpr int kLanes = 8;

Words8 LoadWords(const std::uint8_t* cells)
{
    Bytes8 bytes;
    std::memcpy(&bytes, cells, sizeof bytes);
    return __builtin_convertvector(bytes, Words8);
}

std::uint8_t StepCell(const std::uint8_t* above, const std::uint8_t* near,
                      const std::uint8_t* far, int x)
{
    const unsigned sum = above[x - 1] + above[x + 1] + near[x - 1] + near[x] + near[x + 1]
                         + far[x - 1] + far[x] + far[x + 1];
    const unsigned v = sum >> 3;
    return static_cast<std::uint8_t>(v - (v > 0));
}

// One visible row of the step: each cell becomes the average of the two cells
// beside it in `above` (its own row) and the three around its column in each
// of `near` and `far` (the next two rows), lowered by one; the edge cells stay
// cold.
void StepRow(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far,
             std::uint8_t* out, int w)
{
    out[0] = 0;
    int x = 1;
    for (; x + kLanes <= w - 1; x += kLanes) {
        const Words8 sum = LoadWords(above + x - 1) + LoadWords(above + x + 1)
                           + LoadWords(near + x - 1) + LoadWords(near + x)
                           + LoadWords(near + x + 1) + LoadWords(far + x - 1)
                           + LoadWords(far + x) + LoadWords(far + x + 1);
        Words8 v = sum >> 3;
        // A true comparison is all ones, so adding it lowers the lane by one.
        v += (v > 0);
        const Bytes8 heat = __builtin_convertvector(v, Bytes8);
        std::memcpy(out + x, &heat, sizeof heat);
    }
    for (; x < w - 1; ++x)
        out[x] = StepCell(above, near, far, x);
    out[w - 1] = 0;
}

}

std::unique_ptr<FireState> FireState::Create(int width, int height)
{
    if (width < kMinWidth || height < kMinHeight
        || height > std::numeric_limits<int>::max() - kSowingRows)
        return nullptr;
    const std::size_t cells =
        static_cast<std::size_t>(width) * (static_cast<std::size_t>(height) + kSowingRows);
    std::unique_ptr<std::uint8_t[]> current(new (std::nothrow) std::uint8_t[cells]());
    std::unique_ptr<std::uint8_t[]> next(new (std::nothrow) std::uint8_t[cells]());
    if (!current || !next)
        return nullptr;
    return std::unique_ptr<FireState>(
        new FireState(width, height, std::move(current), std::move(next)));
}

FireState::FireState(int width, int height, std::unique_ptr<std::uint8_t[]> current,
                     std::unique_ptr<std::uint8_t[]> next)
    : current_(std::move(current))
    , next_(std::move(next))
    , width_(width)
    , rows_(height + kSowingRows)
{
    for (const Ramp& ramp : kStandardRamps)
        AddRamp(ramp.first, ramp.end, ramp.start, ramp.finish);
}

void FireState::AddRamp(int first, int end, const Colour& start, const Colour& finish)
{
    for (int i = first; i < end; ++i) {
        if (i < 0 || i >= static_cast<int>(palette_.size()))
            continue;
        const double f = static_cast<double>(i - first) / (end - first);
        for (std::size_t k = 0; k < start.size(); ++k)
            palette_[i][k] = static_cast<std::uint8_t>(start[k] + (finish[k] - start[k]) * f);
    }
}

void FireState::Step(std::uint8_t* pixels)
{
    const int w = width_;
    const int h = Height();
    std::uint8_t* const heat = current_.get();

    // Sow new heat into the three rows below the picture: the number of cells,
    // then column, row and value of each, in this order of rand() calls.
    const int sown = std::rand() & (w - 1);
    for (int i = 0; i < sown; ++i) {
        const int x = std::rand() % w;
        const int row = h + std::rand() % kSowingRows;
        heat[static_cast<std::size_t>(row) * w + x] = static_cast<std::uint8_t>(std::rand());
    }
    // One spark in the lower half of the picture.
    {
        const int x = std::rand() % w;
        const int row = h / 2 + std::rand() % (h / 2);
        heat[static_cast<std::size_t>(row) * w + x] = static_cast<std::uint8_t>(std::rand());
    }

    // Each row is coloured as soon as it is computed, while it is still in cache.
    const Colour* palette = palette_.data();
    for (int r = 0; r < h; ++r) {
        const std::uint8_t* above = heat + static_cast<std::size_t>(r) * w;
        std::uint8_t* out = next_.get() + static_cast<std::size_t>(r) * w;
        StepRow(above, above + w, above + 2 * static_cast<std::size_t>(w), out, w);
        std::uint8_t* texel = pixels + static_cast<std::size_t>(r) * w * 4;
        for (int x = 0; x < w; ++x)
            std::memcpy(texel + static_cast<std::size_t>(x) * 4, palette[out[x]].data(), 4);
    }

    current_.swap(next_);
}

void FireGenerate(std::int32_t, int width, int height, std::uint8_t* pixels, void* userData)
{
    auto& state = *static_cast<FireState*>(userData);
    if (state.Width() != width || state.Height() != height) {
        std::memset(pixels, 0, static_cast<std::size_t>(width) * height * 4);
        return;
    }
    state.Step(pixels);
}

void FireFreeUserData(void* userData)
{
    std::unique_ptr<FireState> reclaimed(static_cast<FireState*>(userData));
}

}
