#include "proctex/PlasmaGenerate.h"

#include <cmath>
#include <cstring>
#include <memory>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TARNWOOD_PLASMA_X86 1
#else
#define TARNWOOD_PLASMA_X86 0
#endif

namespace tarnwood {

namespace {

// Columns whose wave sums are computed together; the sums live on the stack so
// that a frame allocates nothing.
constexpr int kColumnBlock = 512;
constexpr int kGridSpacing = 16;
constexpr std::uint8_t kGridGreen = 127;

using Texel = std::uint32_t;

Texel PackTexel(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    const std::uint8_t bytes[4] = {r, g, b, a};
    Texel texel;
    std::memcpy(&texel, bytes, sizeof texel);
    return texel;
}

// What one row needs besides its wave values. The wave sum S maps to
// v = trunc(S * 21 + 128), which stays within [2, 254]; a texel's red, green
// and blue are the base colour plus v - 120 (wrapping), its alpha 255 for v
// in 121..126. A grid row has green 127 and alpha 255 everywhere.
struct RowContext {
    const Texel* table;  // 256 texels by v: plain or grid colours
    Texel baseColour;  // red, green, blue of the base colour; alpha 0
    bool gridRow;
};

// Writes `count` texels of one row: texel i from the column sum i and the
// row's three waves, added in this order so that the result is exactly the
// six-wave sum taken left to right.
using RowKernel = void (*)(const double* columnSum, int count, double r1, double r2, double r3,
                           const RowContext& context, std::uint8_t* out);

int WaveValue(double columnSum, double r1, double r2, double r3)
{
    const double s = ((columnSum + r1) + r2) + r3;
    return static_cast<int>(s * 21 + 128);
}

void PortableRow(const double* columnSum, int count, double r1, double r2, double r3, const RowContext& context,
                 std::uint8_t* out)
{
    for (int i = 0; i < count; ++i) {
        const int v = WaveValue(columnSum[i], r1, r2, r3);
        std::memcpy(out + static_cast<std::size_t>(i) * 4, &context.table[v], sizeof(Texel));
    }
}

#if TARNWOOD_PLASMA_X86

// The SIMD rows compute the colour arithmetically instead of through the
// table: the low byte of v - 120 copied into red, green and blue and added
// bytewise to the base colour, alpha from two comparisons. Multiplication and
// addition stay separate instructions (no fused multiply-add), so every lane
// rounds exactly as the plain expression does.
void Sse2Row(const double* columnSum, int count, double r1, double r2, double r3, const RowContext& context,
             std::uint8_t* out)
{
    const __m128d vr1 = _mm_set1_pd(r1), vr2 = _mm_set1_pd(r2), vr3 = _mm_set1_pd(r3);
    const __m128d scale = _mm_set1_pd(21.0), offset = _mm_set1_pd(128.0);
    const __m128i base = _mm_set1_epi32(static_cast<int>(context.baseColour));
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i bandLow = _mm_set1_epi32(120), bandHigh = _mm_set1_epi32(127);
    const __m128i keep = _mm_set1_epi32(context.gridRow ? 0x00FF00FF : -1);
    const __m128i alphaBits = _mm_set1_epi32(context.gridRow ? 0 : static_cast<int>(0xFF000000u));
    const __m128i forced = _mm_set1_epi32(context.gridRow ? static_cast<int>(0xFF007F00u) : 0);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128d s0 = _mm_add_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(columnSum + i), vr1), vr2), vr3);
        __m128d s1 = _mm_add_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(columnSum + i + 2), vr1), vr2), vr3);
        s0 = _mm_add_pd(_mm_mul_pd(s0, scale), offset);
        s1 = _mm_add_pd(_mm_mul_pd(s1, scale), offset);
        const __m128i v = _mm_unpacklo_epi64(_mm_cvttpd_epi32(s0), _mm_cvttpd_epi32(s1));
        const __m128i w = _mm_and_si128(_mm_sub_epi32(v, bandLow), lowByte);
        const __m128i spread = _mm_or_si128(w, _mm_or_si128(_mm_slli_epi32(w, 8), _mm_slli_epi32(w, 16)));
        const __m128i rgb = _mm_add_epi8(spread, base);
        const __m128i inBand = _mm_and_si128(_mm_cmpgt_epi32(v, bandLow), _mm_cmpgt_epi32(bandHigh, v));
        const __m128i texels = _mm_or_si128(_mm_or_si128(_mm_and_si128(rgb, keep), _mm_and_si128(inBand, alphaBits)),
                                            forced);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + static_cast<std::size_t>(i) * 4), texels);
    }
    PortableRow(columnSum + i, count - i, r1, r2, r3, context, out + static_cast<std::size_t>(i) * 4);
}

__attribute__((target("avx2"))) void Avx2Row(const double* columnSum, int count, double r1, double r2, double r3,
                                             const RowContext& context, std::uint8_t* out)
{
    const __m256d vr1 = _mm256_set1_pd(r1), vr2 = _mm256_set1_pd(r2), vr3 = _mm256_set1_pd(r3);
    const __m256d scale = _mm256_set1_pd(21.0), offset = _mm256_set1_pd(128.0);
    const __m256i base = _mm256_set1_epi32(static_cast<int>(context.baseColour));
    // Byte 0 of each lane into bytes 0 to 2, zero into byte 3.
    const __m256i spreadLowByte = _mm256_setr_epi8(0, 0, 0, -128, 4, 4, 4, -128, 8, 8, 8, -128, 12, 12, 12, -128, 0, 0,
                                                   0, -128, 4, 4, 4, -128, 8, 8, 8, -128, 12, 12, 12, -128);
    const __m256i bandLow = _mm256_set1_epi32(120), bandHigh = _mm256_set1_epi32(127);
    const __m256i keep = _mm256_set1_epi32(context.gridRow ? 0x00FF00FF : -1);
    const __m256i alphaBits = _mm256_set1_epi32(context.gridRow ? 0 : static_cast<int>(0xFF000000u));
    const __m256i forced = _mm256_set1_epi32(context.gridRow ? static_cast<int>(0xFF007F00u) : 0);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256d s0 = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(columnSum + i), vr1), vr2), vr3);
        __m256d s1 = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(columnSum + i + 4), vr1), vr2), vr3);
        s0 = _mm256_add_pd(_mm256_mul_pd(s0, scale), offset);
        s1 = _mm256_add_pd(_mm256_mul_pd(s1, scale), offset);
        const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm256_cvttpd_epi32(s0)),
                                                  _mm256_cvttpd_epi32(s1), 1);
        const __m256i spread = _mm256_shuffle_epi8(_mm256_sub_epi32(v, bandLow), spreadLowByte);
        const __m256i rgb = _mm256_add_epi8(spread, base);
        const __m256i inBand = _mm256_and_si256(_mm256_cmpgt_epi32(v, bandLow), _mm256_cmpgt_epi32(bandHigh, v));
        const __m256i texels = _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(rgb, keep), _mm256_and_si256(inBand, alphaBits)), forced);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + static_cast<std::size_t>(i) * 4), texels);
    }
    Sse2Row(columnSum + i, count - i, r1, r2, r3, context, out + static_cast<std::size_t>(i) * 4);
}

// As Avx2Row, with the doubles eight at a time; the colour arithmetic stays
// at 256 bits, with a mask register for the opaque band.
__attribute__((target("avx512f,avx512vl,avx512bw,avx2"))) void Avx512Row(const double* columnSum, int count, double r1,
                                                                         double r2, double r3,
                                                                         const RowContext& context, std::uint8_t* out)
{
    const __m512d vr1 = _mm512_set1_pd(r1), vr2 = _mm512_set1_pd(r2), vr3 = _mm512_set1_pd(r3);
    const __m512d scale = _mm512_set1_pd(21.0), offset = _mm512_set1_pd(128.0);
    const __m256i base = _mm256_set1_epi32(static_cast<int>(context.baseColour));
    const __m256i spreadLowByte = _mm256_setr_epi8(0, 0, 0, -128, 4, 4, 4, -128, 8, 8, 8, -128, 12, 12, 12, -128, 0, 0,
                                                   0, -128, 4, 4, 4, -128, 8, 8, 8, -128, 12, 12, 12, -128);
    const __m256i colourShift = _mm256_set1_epi32(120), bandStart = _mm256_set1_epi32(121);
    const __m256i bandWidth = _mm256_set1_epi32(6);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i gridKeep = _mm256_set1_epi32(0x00FF00FF);
    const __m256i gridForced = _mm256_set1_epi32(static_cast<int>(0xFF007F00u));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m512d s = _mm512_add_pd(_mm512_add_pd(_mm512_add_pd(_mm512_loadu_pd(columnSum + i), vr1), vr2), vr3);
        s = _mm512_add_pd(_mm512_mul_pd(s, scale), offset);
        const __m256i v = _mm512_maskz_cvttpd_epi32(0xFF, s);
        const __m256i rgb = _mm256_add_epi8(_mm256_shuffle_epi8(_mm256_sub_epi32(v, colourShift), spreadLowByte), base);
        __m256i texels;
        if (context.gridRow) {
            // (rgb AND gridKeep) OR gridForced
            texels = _mm256_ternarylogic_epi32(rgb, gridKeep, gridForced, 0xEA);
        } else {
            const __mmask8 inBand = _mm256_cmplt_epu32_mask(_mm256_sub_epi32(v, bandStart), bandWidth);
            texels = _mm256_mask_or_epi32(rgb, inBand, rgb, opaque);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + static_cast<std::size_t>(i) * 4), texels);
    }
    Sse2Row(columnSum + i, count - i, r1, r2, r3, context, out + static_cast<std::size_t>(i) * 4);
}

#endif

RowKernel KernelFor(PlasmaPath path)
{
#if TARNWOOD_PLASMA_X86
    if (PlasmaPathAvailable(path)) {
        if (path == PlasmaPath::Avx512)
            return Avx512Row;
        if (path == PlasmaPath::Avx2)
            return Avx2Row;
        if (path == PlasmaPath::Sse2)
            return Sse2Row;
    }
#else
    (void)path;
#endif
    return PortableRow;
}

PlasmaPath FastestPath()
{
    static const PlasmaPath fastest = PlasmaPathAvailable(PlasmaPath::Avx512) ? PlasmaPath::Avx512
        : PlasmaPathAvailable(PlasmaPath::Avx2)                               ? PlasmaPath::Avx2
        : PlasmaPathAvailable(PlasmaPath::Sse2)                               ? PlasmaPath::Sse2
                                                                              : PlasmaPath::Portable;
    return fastest;
}

void Generate(RowKernel kernel, std::int32_t time, int width, int height, std::uint8_t* pixels, const PlasmaColour& base)
{
    Texel plain[256];
    Texel grid[256];
    for (int v = 0; v < 256; ++v) {
        const auto r = static_cast<std::uint8_t>(base[0] + v - 120);
        const auto g = static_cast<std::uint8_t>(base[1] + v - 120);
        const auto b = static_cast<std::uint8_t>(base[2] + v - 120);
        const std::uint8_t a = (v >= 121 && v <= 126) ? 255 : 0;
        plain[v] = PackTexel(r, g, b, a);
        grid[v] = PackTexel(r, kGridGreen, b, 255);
    }
    const Texel baseColour = PackTexel(base[0], base[1], base[2], 0);

    const double kx = 6.28 / width;
    const double ky = 6.28 / height;
    const double t = time;
    const double a1 = -0.00012 * t;
    const double a2 = -0.00024 * t;
    const double a3 = -0.0048 * t;

    // S adds the three column waves first and the three row waves after them,
    // left to right. The column part does not depend on the row, so it is
    // computed once per column; adding the row waves one at a time afterwards
    // keeps the order of the additions and therefore the exact result of
    // summing all six per texel. In a square texture row y's waves are column
    // y's, the very same expressions, so their sines are taken once.
    double columnSum[kColumnBlock];
    double columnWave[3][kColumnBlock];
    const bool square = width == height;
    for (int x0 = 0; x0 < width; x0 += kColumnBlock) {
        const int count = (width - x0 < kColumnBlock) ? width - x0 : kColumnBlock;
        for (int i = 0; i < count; ++i) {
            const int x = x0 + i;
            columnWave[0][i] = std::sin(kx * x + a1);
            columnWave[1][i] = std::sin(2 * kx * x + a2);
            columnWave[2][i] = std::sin(4 * kx * x + a3);
            columnSum[i] = columnWave[0][i] + columnWave[1][i] + columnWave[2][i];
        }
        for (int y = 0; y < height; ++y) {
            double r1, r2, r3;
            if (square && y >= x0 && y < x0 + count) {
                r1 = columnWave[0][y - x0];
                r2 = columnWave[1][y - x0];
                r3 = columnWave[2][y - x0];
            } else {
                r1 = std::sin(ky * y + a1);
                r2 = std::sin(2 * ky * y + a2);
                r3 = std::sin(4 * ky * y + a3);
            }
            const bool gridRow = (y % kGridSpacing == 0) || y == height - 1;
            const RowContext context{gridRow ? grid : plain, baseColour, gridRow};
            std::uint8_t* row = pixels + (static_cast<std::size_t>(y) * width + x0) * 4;
            kernel(columnSum, count, r1, r2, r3, context, row);
            if (gridRow)
                continue;
            // Grid columns: every 16th from column 0, and the last column.
            const int firstGrid = (x0 + kGridSpacing - 1) / kGridSpacing * kGridSpacing;
            for (int x = firstGrid; x < x0 + count; x += kGridSpacing) {
                std::uint8_t* texel = row + static_cast<std::size_t>(x - x0) * 4;
                texel[1] = kGridGreen;
                texel[3] = 255;
            }
            if (x0 + count == width) {
                std::uint8_t* texel = row + static_cast<std::size_t>(count - 1) * 4;
                texel[1] = kGridGreen;
                texel[3] = 255;
            }
        }
    }
}

}

bool PlasmaPathAvailable(PlasmaPath path)
{
    switch (path) {
    case PlasmaPath::Portable:
        return true;
#if TARNWOOD_PLASMA_X86
    case PlasmaPath::Sse2:
        return __builtin_cpu_supports("sse2");
    case PlasmaPath::Avx2:
        return __builtin_cpu_supports("avx2");
    case PlasmaPath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")
            && __builtin_cpu_supports("avx512bw");
#endif
    default:
        return false;
    }
}

void PlasmaGenerateOn(PlasmaPath path, std::int32_t time, int width, int height, std::uint8_t* pixels,
                      const PlasmaColour& colour)
{
    Generate(KernelFor(path), time, width, height, pixels, colour);
}

void PlasmaGenerate(std::int32_t time, int width, int height, std::uint8_t* pixels, void* userData)
{
    const PlasmaColour& base = *static_cast<const PlasmaColour*>(userData);
    Generate(KernelFor(FastestPath()), time, width, height, pixels, base);
}

void PlasmaFreeUserData(void* userData)
{
    std::unique_ptr<PlasmaColour> reclaimed(static_cast<PlasmaColour*>(userData));
}

}
