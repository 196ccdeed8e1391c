#pragma once

#include <functional>
#include <string>

namespace tarnwood::test {

// An 8-bit RGB picture, rows top to bottom, as read back from a screen or a window.
struct Picture {
    int width = 0;
    int height = 0;
    std::string rgb;

    // Share of the pixels inside the given fractions of the picture that pass `test`.
    double Share(double x0, double y0, double x1, double y1, const std::function<bool(int r, int g, int b)>& test) const;
};

// Reads a binary PPM (P6, maxval 255) as ImageMagick writes it; false when the
// bytes are not one.
bool ReadPpm(const std::string& bytes, Picture& picture);
// The picture as a binary PPM.
std::string WritePpm(const Picture& picture);

// Colour classes of the scene: lettering of the clock and calendar, the
// crown's green leaves, and anything that is not black.
inline bool White(int r, int g, int b)
{
    return r > 225 && g > 225 && b > 225;
}
inline bool Leafy(int r, int g, int b)
{
    return g > r + 8 && g > b + 8;
}
inline bool NotBlack(int r, int g, int b)
{
    return r + g + b > 30;
}

}
