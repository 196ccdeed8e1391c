#include "proctex/PlasmaGenerate.h"

#include <cmath>
#include <cstring>
#include <memory>

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

}

void PlasmaGenerate(std::int32_t time, int width, int height, std::uint8_t* pixels,
                    void* userData)
{
    const PlasmaColour& base = *static_cast<const PlasmaColour*>(userData);

    // The wave sum S maps to v = trunc(S * 21 + 128), which stays within
    // [2, 254]; every texel is one of 256 plain or 256 grid colours.
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
    // summing all six per texel.
    double columnSum[kColumnBlock];
    for (int x0 = 0; x0 < width; x0 += kColumnBlock) {
        const int count = (width - x0 < kColumnBlock) ? width - x0 : kColumnBlock;
        for (int i = 0; i < count; ++i) {
            const int x = x0 + i;
            columnSum[i] = std::sin(kx * x + a1) + std::sin(2 * kx * x + a2)
                           + std::sin(4 * kx * x + a3);
        }
        for (int y = 0; y < height; ++y) {
            const double r1 = std::sin(ky * y + a1);
            const double r2 = std::sin(2 * ky * y + a2);
            const double r3 = std::sin(4 * ky * y + a3);
            const bool gridRow = (y % kGridSpacing == 0) || y == height - 1;
            const Texel* table = gridRow ? grid : plain;
            std::uint8_t* row = pixels + (static_cast<std::size_t>(y) * width + x0) * 4;
            for (int i = 0; i < count; ++i) {
                const double s = ((columnSum[i] + r1) + r2) + r3;
                const int v = static_cast<int>(s * 21 + 128);
                std::memcpy(row + static_cast<std::size_t>(i) * 4, &table[v], sizeof(Texel));
            }
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

void PlasmaFreeUserData(void* userData)
{
    std::unique_ptr<PlasmaColour> reclaimed(static_cast<PlasmaColour*>(userData));
}

}
