#pragma once

#include <cstdint>

namespace tarnwood {

// A small deterministic generator (SplitMix64) so that every bake of the same
// source produces the same bytes, independent of the C library's rand().
class Prng {
public:
    explicit Prng(std::uint64_t seed) : state(seed) {}

    std::uint64_t Next()
    {
        state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [lo, hi).
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // Uniform integer in [0, n); n must be positive.
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state;
};

}
