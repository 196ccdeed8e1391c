#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarnwood {

// The code paths of the fire step, for comparing them with each other.
enum class FirePath { Portable, Avx2, Avx512 };

// The heat of one fire texture between frames, and its palette.
//
// The heat grid is width x (height + 3) byte cells, row after row: rows 0 to
// height - 1 are the visible picture, the last three are where new heat is
// sown. The cell (row r, column c) is byte r * width + c. Two grids are kept;
// each step reads the current one, writes the next one, and then the two
// exchange roles.
class FireState {
public:
    using Colour = std::array<std::uint8_t, 4>;  // red, green, blue, alpha

    static constexpr int kMinWidth = 3;
    static constexpr int kMinHeight = 2;

    // Makes a dark fire of width x height visible cells with the standard
    // palette. Returns null for a size below kMinWidth x kMinHeight, a height
    // whose row count does not fit in an int, or when the heat grids cannot be
    // allocated.
    static std::unique_ptr<FireState> Create(int width, int height);

    // Fills palette entries first to end - 1 with a linear ramp from `start`
    // (at entry first) towards `finish` (reached at entry end, which is not
    // written); each channel is truncated towards zero. Entries outside 0 to
    // 255 are not written.
    void AddRamp(int first, int end, const Colour& start, const Colour& finish);

    // Advances the fire by one step and writes its visible rows, through the
    // palette, to `pixels` (width x height texels of 4 bytes). Random numbers
    // come from the C library's rand(). Uses the fastest code path the
    // processor offers; every path gives the same heat and texels.
    void Step(std::uint8_t* pixels);
    // Step on the given path; an unavailable path falls back to Portable.
    void StepOn(FirePath path, std::uint8_t* pixels);
    // Whether this build and processor can run `path`.
    static bool PathAvailable(FirePath path);

    const Colour& PaletteEntry(int index) const { return palette_[index & 0xFF]; }
    int Width() const { return width_; }
    int Height() const { return rows_ - 3; }
    // The current heat grid (the one the next step reads), width x (height + 3)
    // bytes. After a step it holds the heat that step computed.
    std::uint8_t* CurrentHeat() { return current_.get(); }

private:
    FireState(int width, int height, std::unique_ptr<std::uint8_t[]> current, std::unique_ptr<std::uint8_t[]> next);

    std::array<Colour, 256> palette_{};
    // The palette by channel (red, green, blue, alpha planes of 256 bytes),
    // kept with it for table look-ups in SIMD registers.
    alignas(64) std::array<std::array<std::uint8_t, 256>, 4> planes_{};
    std::unique_ptr<std::uint8_t[]> current_;
    std::unique_ptr<std::uint8_t[]> next_;
    int width_;
    int rows_;
};

// The generator of "Fire" textures: one step of `userData`, a FireState of the
// same width and height, per call; the time is not used. A state of another
// size is not stepped and the pixels are cleared to transparent black.
void FireGenerate(std::int32_t time, int width, int height, std::uint8_t* pixels, void* userData);

// Destroys a FireState made with FireState::Create and released.
void FireFreeUserData(void* userData);

}
