#include "assets/Noise.h"

#include <cmath>

namespace tarnwood {

namespace {

double Fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

int Wrap(int v, int period)
{
    int r = v % period;
    return r < 0 ? r + period : r;
}

std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}

PeriodicNoise::PeriodicNoise(int periodX, int periodY, std::uint64_t seed)
    : periodX(periodX < 1 ? 1 : periodX), periodY(periodY < 1 ? 1 : periodY), seed(seed)
{
}

double PeriodicNoise::Lattice(int x, int y, int layer) const
{
    const std::uint64_t key = seed * 0x9E3779B97F4A7C15ull
        ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) ^ static_cast<std::uint32_t>(y)
        ^ (static_cast<std::uint64_t>(layer) << 58);
    return static_cast<double>(Mix(key) >> 11) * (1.0 / 9007199254740992.0);
}

double PeriodicNoise::Layer(double x, double y, int px, int py, int layer) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int x0 = Wrap(static_cast<int>(fx), px);
    const int y0 = Wrap(static_cast<int>(fy), py);
    const int x1 = Wrap(x0 + 1, px);
    const int y1 = Wrap(y0 + 1, py);
    const double tx = Fade(x - fx);
    const double ty = Fade(y - fy);
    const double a = Lattice(x0, y0, layer) + (Lattice(x1, y0, layer) - Lattice(x0, y0, layer)) * tx;
    const double b = Lattice(x0, y1, layer) + (Lattice(x1, y1, layer) - Lattice(x0, y1, layer)) * tx;
    return a + (b - a) * ty;
}

double PeriodicNoise::Fractal(double x, double y, int octaves, double gain) const
{
    double sum = 0.0;
    double norm = 0.0;
    double amplitude = 1.0;
    int scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Layer(x * scale, y * scale, periodX * scale, periodY * scale, i);
        norm += amplitude;
        amplitude *= gain;
        scale *= 2;
    }
    return norm > 0.0 ? sum / norm : 0.0;
}

}
