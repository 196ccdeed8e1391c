#pragma once

#include <cstdint>

namespace tarnwood {

// Smooth value noise on a lattice that wraps around, so textures made from it
// tile without seams. Coordinates are in lattice cells; the pattern repeats
// every `periodX` cells along x and `periodY` along y.
class PeriodicNoise {
public:
    PeriodicNoise(int periodX, int periodY, std::uint64_t seed);

    // Noise in [0, 1] at (x, y), smoothly interpolated between lattice values.
    double At(double x, double y) const { return Layer(x, y, periodX, periodY, 0); }

    // Sum of `octaves` layers, each at twice the frequency and `gain` times the
    // amplitude of the one before, normalised back to [0, 1]. Each layer's
    // lattice wraps at its own doubled period, so the sum tiles like one layer.
    double Fractal(double x, double y, int octaves, double gain = 0.5) const;

private:
    double Layer(double x, double y, int px, int py, int layer) const;
    double Lattice(int x, int y, int layer) const;

    int periodX;
    int periodY;
    std::uint64_t seed;
};

}
