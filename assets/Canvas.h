#pragma once

#include "assets/Colour.h"

#include <cstdint>
#include <vector>

namespace tarnwood {

// A painting surface of straight-alpha colours, row 0 at the top (which is
// texture coordinate t = 0 once the image is an archive entry).
class Canvas {
public:
    // A canvas of width x height pixels filled with `fill`.
    Canvas(int width, int height, const Colour& fill = Colour{0.0, 0.0, 0.0, 0.0});

    int Width() const { return width; }
    int Height() const { return height; }

    Colour& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Colour& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Composites `c` over the pixel with an extra coverage factor in [0, 1];
    // pixels outside the canvas are ignored.
    void Blend(int x, int y, const Colour& c, double coverage = 1.0);

    // Fills the rectangle [x0, x1) x [y0, y1) in pixel units with rounded
    // corners of `radius` pixels, anti-aliased at the edge.
    void FillRoundedRect(double x0, double y0, double x1, double y1, double radius, const Colour& c);

    // Fills an anti-aliased disc centred at (cx, cy), radius in pixels.
    void FillDisc(double cx, double cy, double radius, const Colour& c);

    // Draws an anti-aliased line segment of the given width in pixels.
    void FillSegment(double x0, double y0, double x1, double y1, double width, const Colour& c);

    // Sets the colour of every fully transparent pixel to `c` while keeping its
    // alpha at 0, so linear filtering at shape edges fades towards that colour
    // instead of towards black.
    void SetTransparentColour(const Colour& c);

    // 8-bit red, green, blue, alpha per pixel, rows top to bottom.
    std::vector<std::uint8_t> ToRgba8() const;

private:
    int width;
    int height;
    std::vector<Colour> pixels;
};

// A single-channel coverage mask, values in [0, 1].
class Mask {
public:
    Mask(int width, int height);
    // The alpha of every pixel of `shape`: a shape painted in any colour on a
    // clear canvas becomes its coverage.
    static Mask AlphaOf(const Canvas& shape);

    int Width() const { return width; }
    int Height() const { return height; }
    double& At(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    double At(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    // 0 outside the mask.
    double Sample(int x, int y) const;

    // Three box-blur passes of the given radius approximate a Gaussian.
    Mask Blurred(int radius) const;
    // The largest value within `radius` pixels (a round dilation).
    Mask Dilated(double radius) const;
    // This coverage less `other`'s, pixel by pixel, never below 0 (a ring
    // from a disc and a smaller one). Both masks have the same size.
    Mask Without(const Mask& other) const;

    // Composites `c` over `canvas` with the mask as coverage, the mask's (0, 0)
    // at canvas pixel (dx, dy).
    void Paint(Canvas& canvas, const Colour& c, int dx = 0, int dy = 0) const;

private:
    int width;
    int height;
    std::vector<double> values;
};

}
