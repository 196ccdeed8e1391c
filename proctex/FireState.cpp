#include "proctex/FireState.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

std::uint8_t StepCell(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far, int x)
{
    const unsigned sum = above[x - 1] + above[x + 1] + near[x - 1] + near[x] + near[x + 1] + far[x - 1] + far[x]
        + far[x + 1];
    const unsigned v = sum >> 3;
    return static_cast<std::uint8_t>(v - (v > 0));
}

// Cells x to w - 2 of one row of the step, one at a time, and the cold edge
// cell w - 1.
void FinishRow(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far, std::uint8_t* out, int x, int w)
{
    for (; x < w - 1; ++x)
        out[x] = StepCell(above, near, far, x);
    out[w - 1] = 0;
}

void ColourCells(const std::uint8_t* heat, int from, int w, const FireState::Colour* palette, std::uint8_t* texels)
{
    for (int x = from; x < w; ++x)
        std::memcpy(texels + static_cast<std::size_t>(x) * 4, palette[heat[x]].data(), 4);
}

// One visible row of the step and its colours: each cell becomes the average
// of the two cells beside it in `above` (its own row) and the three around its
// column in each of `near` and `far` (the next two rows), lowered by one; the
// edge cells stay cold. Then every cell of the row goes through the palette
// into `texels`, while the row is still in cache.
struct Palette {
    const FireState::Colour* entries;
    const std::array<std::uint8_t, 256>* planes;  // red, green, blue, alpha
};
using RowKernel = void (*)(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far,
                           std::uint8_t* out, int w, const Palette& palette, std::uint8_t* texels);

// Eight cells at a time through GCC and Clang vector types, which compile to
// the baseline SIMD instructions of any target.
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

void PortableRow(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far, std::uint8_t* out, int w,
                 const Palette& palette, std::uint8_t* texels)
{
    out[0] = 0;
    int x = 1;
    for (; x + kLanes <= w - 1; x += kLanes) {
        const Words8 sum = LoadWords(above + x - 1) + LoadWords(above + x + 1) + LoadWords(near + x - 1)
            + LoadWords(near + x) + LoadWords(near + x + 1) + LoadWords(far + x - 1) + LoadWords(far + x)
            + LoadWords(far + x + 1);
        Words8 v = sum >> 3;
        // A true comparison is all ones, so adding it lowers the lane by one.
        v += (v > 0);
        const Bytes8 heat = __builtin_convertvector(v, Bytes8);
        std::memcpy(out + x, &heat, sizeof heat);
    }
    FinishRow(above, near, far, out, x, w);
    ColourCells(out, 0, w, palette.entries, texels);
}

#if defined(__x86_64__) || defined(__i386__)
#define TARNWOOD_FIRE_X86 1

__attribute__((target("avx2"))) inline __m256i Load16(const std::uint8_t* cells)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cells)));
}

__attribute__((target("avx512f,avx512bw,avx2"))) inline __m512i Load32(const std::uint8_t* cells)
{
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells)));
}

// The sum of eight bytes widened to 16-bit lanes; a saturating subtraction
// lowers every lane above 0 by one and leaves 0 alone. The palette look-up
// gathers 32-bit texels by heat.
__attribute__((target("avx2"))) void Avx2Row(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far,
                                             std::uint8_t* out, int w, const Palette& palette, std::uint8_t* texels)
{
    const __m256i one = _mm256_set1_epi16(1);
    out[0] = 0;
    int x = 1;
    for (; x + 16 <= w - 1; x += 16) {
        const __m256i sum = _mm256_add_epi16(
            _mm256_add_epi16(_mm256_add_epi16(Load16(above + x - 1), Load16(above + x + 1)),
                             _mm256_add_epi16(Load16(near + x - 1), Load16(near + x))),
            _mm256_add_epi16(_mm256_add_epi16(Load16(near + x + 1), Load16(far + x - 1)),
                             _mm256_add_epi16(Load16(far + x), Load16(far + x + 1))));
        const __m256i v = _mm256_subs_epu16(_mm256_srli_epi16(sum, 3), one);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(packed));
        // The last block ends at cell w - 2, overlapping cells already done:
        // a cell depends only on the current grid, so it comes out the same.
        if (x + 16 < w - 1 && x + 32 > w - 1)
            x = w - 1 - 32;
    }
    FinishRow(above, near, far, out, x, w);
    const int* table = reinterpret_cast<const int*>(palette.entries);
    int c = 0;
    for (; c + 8 <= w; c += 8) {
        const __m256i heat = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(out + c)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(texels + static_cast<std::size_t>(c) * 4),
                            _mm256_i32gather_epi32(table, heat, 4));
    }
    ColourCells(out, c, w, palette.entries, texels);
}

__attribute__((target("avx512f,avx512bw,avx512vbmi,avx2"))) void
Avx512Row(const std::uint8_t* above, const std::uint8_t* near, const std::uint8_t* far, std::uint8_t* out, int w,
          const Palette& palette, std::uint8_t* texels)
{
    const __m512i one = _mm512_set1_epi16(1);
    out[0] = 0;
    int x = 1;
    for (; x + 32 <= w - 1; x += 32) {
        const __m512i sum = _mm512_add_epi16(
            _mm512_add_epi16(_mm512_add_epi16(Load32(above + x - 1), Load32(above + x + 1)),
                             _mm512_add_epi16(Load32(near + x - 1), Load32(near + x))),
            _mm512_add_epi16(_mm512_add_epi16(Load32(near + x + 1), Load32(far + x - 1)),
                             _mm512_add_epi16(Load32(far + x), Load32(far + x + 1))));
        const __m512i v = _mm512_subs_epu16(_mm512_srli_epi16(sum, 3), one);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm512_maskz_cvtepi16_epi8(~__mmask32{0}, v));
        if (x + 32 < w - 1 && x + 64 > w - 1)
            x = w - 1 - 64;
    }
    FinishRow(above, near, far, out, x, w);
    // The palette look-up 64 cells at a time: each channel from its 256-byte
    // plane with two 128-byte table permutes chosen by the heat's top bit,
    // then the four channel vectors interleaved into red, green, blue, alpha
    // texels (bytes, then pairs, then 128-bit lanes into cell order).
    __m512i plane[4][4];
    for (int k = 0; k < 4; ++k) {
        for (int q = 0; q < 4; ++q)
            plane[k][q] = _mm512_loadu_si512(palette.planes[k].data() + 64 * q);
    }
    int c = 0;
    for (; c + 64 <= w; c += 64) {
        const __m512i heat = _mm512_loadu_si512(out + c);
        const __mmask64 upper = _mm512_movepi8_mask(heat);
        __m512i channel[4];
        for (int k = 0; k < 4; ++k) {
            const __m512i low = _mm512_permutex2var_epi8(plane[k][0], heat, plane[k][1]);
            const __m512i high = _mm512_permutex2var_epi8(plane[k][2], heat, plane[k][3]);
            channel[k] = _mm512_mask_blend_epi8(upper, low, high);
        }
        const __m512i rgLow = _mm512_unpacklo_epi8(channel[0], channel[1]);
        const __m512i rgHigh = _mm512_unpackhi_epi8(channel[0], channel[1]);
        const __m512i baLow = _mm512_unpacklo_epi8(channel[2], channel[3]);
        const __m512i baHigh = _mm512_unpackhi_epi8(channel[2], channel[3]);
        // Lane L of quarter j holds cells 16L + 4j to 16L + 4j + 3.
        const __m512i quarter0 = _mm512_unpacklo_epi16(rgLow, baLow);
        const __m512i quarter1 = _mm512_unpackhi_epi16(rgLow, baLow);
        const __m512i quarter2 = _mm512_unpacklo_epi16(rgHigh, baHigh);
        const __m512i quarter3 = _mm512_unpackhi_epi16(rgHigh, baHigh);
        const __m512i lanes01a = _mm512_maskz_shuffle_i32x4(0xFFFF, quarter0, quarter1, 0x44);
        const __m512i lanes01b = _mm512_maskz_shuffle_i32x4(0xFFFF, quarter2, quarter3, 0x44);
        const __m512i lanes23a = _mm512_maskz_shuffle_i32x4(0xFFFF, quarter0, quarter1, 0xEE);
        const __m512i lanes23b = _mm512_maskz_shuffle_i32x4(0xFFFF, quarter2, quarter3, 0xEE);
        std::uint8_t* block = texels + static_cast<std::size_t>(c) * 4;
        _mm512_storeu_si512(block, _mm512_maskz_shuffle_i32x4(0xFFFF, lanes01a, lanes01b, 0x88));
        _mm512_storeu_si512(block + 64, _mm512_maskz_shuffle_i32x4(0xFFFF, lanes01a, lanes01b, 0xDD));
        _mm512_storeu_si512(block + 128, _mm512_maskz_shuffle_i32x4(0xFFFF, lanes23a, lanes23b, 0x88));
        _mm512_storeu_si512(block + 192, _mm512_maskz_shuffle_i32x4(0xFFFF, lanes23a, lanes23b, 0xDD));
    }
    ColourCells(out, c, w, palette.entries, texels);
}

#else
#define TARNWOOD_FIRE_X86 0
#endif

RowKernel KernelFor(FirePath path)
{
#if TARNWOOD_FIRE_X86
    if (FireState::PathAvailable(path)) {
        if (path == FirePath::Avx512)
            return Avx512Row;
        if (path == FirePath::Avx2)
            return Avx2Row;
    }
#else
    (void)path;
#endif
    return PortableRow;
}

FirePath FastestPath()
{
    static const FirePath fastest = FireState::PathAvailable(FirePath::Avx512) ? FirePath::Avx512
        : FireState::PathAvailable(FirePath::Avx2)                             ? FirePath::Avx2
                                                                               : FirePath::Portable;
    return fastest;
}

}

std::unique_ptr<FireState> FireState::Create(int width, int height)
{
    if (width < kMinWidth || height < kMinHeight || height > std::numeric_limits<int>::max() - kSowingRows)
        return nullptr;
    const std::size_t cells = static_cast<std::size_t>(width) * (static_cast<std::size_t>(height) + kSowingRows);
    std::unique_ptr<std::uint8_t[]> current(new (std::nothrow) std::uint8_t[cells]());
    std::unique_ptr<std::uint8_t[]> next(new (std::nothrow) std::uint8_t[cells]());
    if (!current || !next)
        return nullptr;
    return std::unique_ptr<FireState>(new FireState(width, height, std::move(current), std::move(next)));
}

FireState::FireState(int width, int height, std::unique_ptr<std::uint8_t[]> current, std::unique_ptr<std::uint8_t[]> next)
    : current_(std::move(current)), next_(std::move(next)), width_(width), rows_(height + kSowingRows)
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
        for (std::size_t k = 0; k < start.size(); ++k) {
            palette_[i][k] = static_cast<std::uint8_t>(start[k] + (finish[k] - start[k]) * f);
            planes_[k][i] = palette_[i][k];
        }
    }
}

bool FireState::PathAvailable(FirePath path)
{
    switch (path) {
    case FirePath::Portable:
        return true;
#if TARNWOOD_FIRE_X86
    case FirePath::Avx2:
        return __builtin_cpu_supports("avx2");
    case FirePath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
            && __builtin_cpu_supports("avx512vbmi");
#endif
    default:
        return false;
    }
}

void FireState::Step(std::uint8_t* pixels)
{
    StepOn(FastestPath(), pixels);
}

void FireState::StepOn(FirePath path, std::uint8_t* pixels)
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

    const RowKernel kernel = KernelFor(path);
    const Palette palette{palette_.data(), planes_.data()};
    for (int r = 0; r < h; ++r) {
        const std::uint8_t* above = heat + static_cast<std::size_t>(r) * w;
        std::uint8_t* out = next_.get() + static_cast<std::size_t>(r) * w;
        kernel(above, above + w, above + 2 * static_cast<std::size_t>(w), out, w, palette,
               pixels + static_cast<std::size_t>(r) * w * 4);
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
