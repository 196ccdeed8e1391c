#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace tarnwood::test {

// The fire step written out plainly, with its own grids. Tests and
// benchmarks hold the fast step to it.
class FireReference {
public:
    FireReference(int w, int h) : w_(w), h_(h), current_(static_cast<std::size_t>(w) * (h + 3)), next_(current_.size())
    {
    }

    // One step; returns the heat of the visible cells, row after row.
    const std::vector<std::uint8_t>& Step()
    {
        const int n = std::rand() & (w_ - 1);
        for (int i = 0; i < n; ++i) {
            const int x = std::rand() % w_;
            const int row = h_ + std::rand() % 3;
            At(current_, row, x) = static_cast<std::uint8_t>(std::rand() & 0xFF);
        }
        const int x = std::rand() % w_;
        const int row = h_ / 2 + std::rand() % (h_ / 2);
        At(current_, row, x) = static_cast<std::uint8_t>(std::rand() & 0xFF);
        for (int r = 0; r < h_; ++r) {
            At(next_, r, 0) = 0;
            for (int c = 1; c <= w_ - 2; ++c) {
                const int sum = At(current_, r, c - 1) + At(current_, r, c + 1) + At(current_, r + 1, c - 1)
                    + At(current_, r + 1, c) + At(current_, r + 1, c + 1) + At(current_, r + 2, c - 1)
                    + At(current_, r + 2, c) + At(current_, r + 2, c + 1);
                int v = sum / 8;
                if (v > 0)
                    v -= 1;
                At(next_, r, c) = static_cast<std::uint8_t>(v);
            }
            At(next_, r, w_ - 1) = 0;
        }
        std::swap(current_, next_);
        visible_.assign(current_.begin(), current_.begin() + static_cast<std::ptrdiff_t>(w_) * h_);
        return visible_;
    }

    // One step, with every visible cell's palette colour written to `pixels`.
    void StepInto(std::uint8_t* pixels, const std::array<std::array<std::uint8_t, 4>, 256>& palette)
    {
        Step();
        for (std::size_t j = 0; j < visible_.size(); ++j)
            std::memcpy(pixels + j * 4, palette[visible_[j]].data(), 4);
    }

private:
    std::uint8_t& At(std::vector<std::uint8_t>& grid, int r, int c)
    {
        return grid[static_cast<std::size_t>(r) * w_ + c];
    }

    int w_;
    int h_;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> next_;
    std::vector<std::uint8_t> visible_;
};

}
