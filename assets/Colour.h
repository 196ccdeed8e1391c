#pragma once

#include <algorithm>

namespace tarnwood {

// A straight (not premultiplied) colour with channels in [0, 1].
struct Colour {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 1.0;
};

inline Colour Rgb(int r, int g, int b, double a = 1.0)
{
    return Colour{r / 255.0, g / 255.0, b / 255.0, a};
}

inline Colour Mix(const Colour& x, const Colour& y, double t)
{
    return Colour{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

inline Colour Scaled(const Colour& c, double k)
{
    return Colour{c.r * k, c.g * k, c.b * k, c.a};
}

inline Colour WithAlpha(const Colour& c, double a)
{
    return Colour{c.r, c.g, c.b, a};
}

inline double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

inline double SmoothStep(double e0, double e1, double x)
{
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

}
