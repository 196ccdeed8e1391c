#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace tarnwood::test {

// The plasma written out the plain way: six sines per texel, summed left to
// right. Tests and benchmarks hold the fast generator to this.
inline int PlasmaReferenceValue(std::int32_t time, int width, int height, int x, int y)
{
    const double kx = 6.28 / width;
    const double ky = 6.28 / height;
    const double a1 = -0.00012 * time;
    const double a2 = -0.00024 * time;
    const double a3 = -0.0048 * time;
    const double s = std::sin(kx * x + a1) + std::sin(2 * kx * x + a2) + std::sin(4 * kx * x + a3)
        + std::sin(ky * y + a1) + std::sin(2 * ky * y + a2) + std::sin(4 * ky * y + a3);
    return static_cast<int>(s * 21 + 128);
}

inline void PlasmaReference(std::int32_t time, int width, int height, std::uint8_t* pixels,
                            const std::array<std::uint8_t, 3>& base)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = PlasmaReferenceValue(time, width, height, x, y);
            std::uint8_t* texel = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
            texel[0] = static_cast<std::uint8_t>(base[0] + v - 120);
            texel[1] = static_cast<std::uint8_t>(base[1] + v - 120);
            texel[2] = static_cast<std::uint8_t>(base[2] + v - 120);
            texel[3] = (v >= 121 && v <= 126) ? 255 : 0;
            if (x % 16 == 0 || y % 16 == 0 || x == width - 1 || y == height - 1) {
                texel[1] = 127;
                texel[3] = 255;
            }
        }
    }
}

}
