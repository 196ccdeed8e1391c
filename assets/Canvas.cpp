#include "assets/Canvas.h"

#include <algorithm>
#include <cmath>

namespace tarnwood {

Canvas::Canvas(int width, int height, const Colour& fill)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, fill)
{
}

void Canvas::Blend(int x, int y, const Colour& c, double coverage)
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    const double sa = Clamp01(c.a * coverage);
    if (sa <= 0.0) {
        return;
    }
    Colour& d = At(x, y);
    const double da = d.a * (1.0 - sa);
    const double oa = sa + da;
    d.r = (c.r * sa + d.r * da) / oa;
    d.g = (c.g * sa + d.g * da) / oa;
    d.b = (c.b * sa + d.b * da) / oa;
    d.a = oa;
}

void Canvas::FillRoundedRect(double x0, double y0, double x1, double y1, double radius, const Colour& c)
{
    const double cx = (x0 + x1) * 0.5;
    const double cy = (y0 + y1) * 0.5;
    const double hx = (x1 - x0) * 0.5;
    const double hy = (y1 - y0) * 0.5;
    const double r = std::min({radius, hx, hy});
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(width, static_cast<int>(std::ceil(x1)) + 1);
    const int iy1 = std::min(height, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            // Signed distance to the rounded box, sampled at the pixel centre.
            const double qx = std::fabs(x + 0.5 - cx) - (hx - r);
            const double qy = std::fabs(y + 0.5 - cy) - (hy - r);
            const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
            const double inside = std::min(std::max(qx, qy), 0.0);
            const double dist = outside + inside - r;
            Blend(x, y, c, Clamp01(0.5 - dist));
        }
    }
}

void Canvas::FillDisc(double cx, double cy, double radius, const Colour& c)
{
    FillRoundedRect(cx - radius, cy - radius, cx + radius, cy + radius, radius, c);
}

void Canvas::FillSegment(double x0, double y0, double x1, double y1, double w, const Colour& c)
{
    const double half = w * 0.5;
    const int ix0 = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) - half)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) - half)) - 1);
    const int ix1 = std::min(width, static_cast<int>(std::ceil(std::max(x0, x1) + half)) + 1);
    const int iy1 = std::min(height, static_cast<int>(std::ceil(std::max(y0, y1) + half)) + 1);
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            const double px = x + 0.5 - x0;
            const double py = y + 0.5 - y0;
            const double t = len2 > 0.0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0.0;
            const double dist = std::hypot(px - t * dx, py - t * dy) - half;
            Blend(x, y, c, Clamp01(0.5 - dist));
        }
    }
}

void Canvas::SetTransparentColour(const Colour& c)
{
    for (Colour& p : pixels) {
        if (p.a <= 0.0) {
            p = Colour{c.r, c.g, c.b, 0.0};
        }
    }
}

std::vector<std::uint8_t> Canvas::ToRgba8() const
{
    std::vector<std::uint8_t> out;
    out.reserve(pixels.size() * 4);
    auto byte = [](double v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0)); };
    for (const Colour& p : pixels) {
        out.push_back(byte(p.r));
        out.push_back(byte(p.g));
        out.push_back(byte(p.b));
        out.push_back(byte(p.a));
    }
    return out;
}

Mask::Mask(int width, int height) : width(width), height(height), values(static_cast<std::size_t>(width) * height, 0.0)
{
}

double Mask::Sample(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0.0;
    }
    return At(x, y);
}

Mask Mask::AlphaOf(const Canvas& shape)
{
    Mask mask(shape.Width(), shape.Height());
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            mask.At(x, y) = shape.At(x, y).a;
        }
    }
    return mask;
}

Mask Mask::Without(const Mask& other) const
{
    Mask result(width, height);
    for (std::size_t i = 0; i < values.size(); ++i) {
        result.values[i] = std::max(0.0, values[i] - other.values[i]);
    }
    return result;
}

Mask Mask::Blurred(int radius) const
{
    if (radius <= 0) {
        return *this;
    }
    Mask a = *this;
    Mask b(width, height);
    const double k = 1.0 / (2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                double s = 0.0;
                for (int i = -radius; i <= radius; ++i) {
                    s += a.Sample(x + i, y);
                }
                b.At(x, y) = s * k;
            }
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                double s = 0.0;
                for (int i = -radius; i <= radius; ++i) {
                    s += b.Sample(x, y + i);
                }
                a.At(x, y) = s * k;
            }
        }
    }
    return a;
}

Mask Mask::Dilated(double radius) const
{
    Mask out(width, height);
    const int r = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double best = 0.0;
            for (int j = -r; j <= r; ++j) {
                for (int i = -r; i <= r; ++i) {
                    const double d = std::hypot(i, j);
                    if (d > radius + 0.5) {
                        continue;
                    }
                    const double weight = Clamp01(radius + 0.5 - d);
                    best = std::max(best, Sample(x + i, y + j) * weight);
                }
            }
            out.At(x, y) = best;
        }
    }
    return out;
}

void Mask::Paint(Canvas& canvas, const Colour& c, int dx, int dy) const
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double v = At(x, y);
            if (v > 0.0) {
                canvas.Blend(x + dx, y + dy, c, v);
            }
        }
    }
}

}
