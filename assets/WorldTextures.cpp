#include "assets/WorldTextures.h"

#include "assets/Noise.h"
#include "assets/Prng.h"

#include <cmath>

namespace tarnwood {

namespace {

// Elevation in degrees (90 zenith, 0 horizon) to the clear-sky colour of a
// calm dusk: deep indigo overhead, lavender in between, a warm band low down.
Colour SkyGradient(double e)
{
    struct Stop {
        double e;
        Colour c;
    };
    static const Stop stops[] = {
        {-90.0, Rgb(52, 46, 70)},  {-4.0, Rgb(118, 96, 112)}, {0.0, Rgb(255, 190, 132)},
        {3.0, Rgb(255, 178, 120)}, {8.0, Rgb(236, 150, 124)}, {16.0, Rgb(170, 128, 150)},
        {28.0, Rgb(98, 100, 156)}, {48.0, Rgb(46, 64, 128)},  {90.0, Rgb(14, 22, 66)},
    };
    for (std::size_t i = 1; i < std::size(stops); ++i) {
        if (e <= stops[i].e) {
            const double t = (e - stops[i - 1].e) / (stops[i].e - stops[i - 1].e);
            return Mix(stops[i - 1].c, stops[i].c, SmoothStep(0.0, 1.0, t));
        }
    }
    return stops[std::size(stops) - 1].c;
}

Colour Haze()
{
    return Rgb(140, 108, 120);
}

}

Canvas PaintSky()
{
    const int w = 512;
    const int h = 256;
    Canvas sky(w, h);
    PeriodicNoise clouds(8, 4, 11);
    PeriodicNoise detail(16, 8, 12);
    for (int y = 0; y < h; ++y) {
        const double polar = (y + 0.5) / h * 180.0;
        const double e = 90.0 - polar;
        for (int x = 0; x < w; ++x) {
            const double lon = (x + 0.5) / w;
            Colour c = SkyGradient(e);
            // The low sun's glow, on one side of the sky.
            const double dl = std::fabs(lon - 0.25);
            const double dlon = std::min(dl, 1.0 - dl) * 360.0;
            const double glow = std::exp(-dlon * dlon / (2.0 * 40.0 * 40.0)) * std::exp(-std::fabs(e - 2.0) / 10.0);
            c = Mix(c, Rgb(255, 214, 150), 0.75 * glow);
            if (e > -1.0) {
                // Clouds: flattened towards the horizon, fading out overhead
                // where the texture converges on the pole.
                const double u = lon * 8.0;
                const double v = (90.0 - e) / 180.0 * 4.0;
                double n = clouds.Fractal(u, v * 1.6, 5, 0.55);
                n += (detail.Fractal(u * 2.0, v * 3.0, 3, 0.5) - 0.5) * 0.15;
                const double band = SmoothStep(-1.0, 6.0, e) * (1.0 - SmoothStep(30.0, 62.0, e));
                const double density = SmoothStep(0.48, 0.74, n) * band;
                // Undersides catch the warm light low down; tops stay cool.
                const double warmth = (1.0 - SmoothStep(2.0, 35.0, e)) * (0.5 + 0.5 * glow);
                const Colour lit = Mix(Rgb(120, 110, 150), Rgb(255, 184, 150), warmth);
                const Colour shade = Mix(Rgb(70, 66, 104), Rgb(176, 120, 128), warmth);
                const double shading = SmoothStep(0.55, 0.9, n);
                const Colour cloud = Mix(lit, shade, shading * 0.6);
                c = Mix(c, cloud, density * 0.85);
            }
            // Below the horizon the sky meets the far rim of the ground,
            // which fades into the same haze, so no edge shows between them.
            if (e < 0.0) {
                c = Mix(c, Haze(), SmoothStep(0.0, 1.2, -e));
            }
            sky.At(x, y) = WithAlpha(c, 1.0);
        }
    }
    return sky;
}

Canvas PaintGround()
{
    const int w = 256;
    const int h = 256;
    Canvas ground(w, h);
    PeriodicNoise grass(16, 16, 21);
    PeriodicNoise patches(4, 4, 22);
    for (int y = 0; y < h; ++y) {
        const double r = (y + 0.5) / h;
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            const double fine = grass.Fractal(u * 16.0, r * 16.0, 3);
            const double coarse = patches.Fractal(u * 4.0, r * 4.0, 3);
            // Near the centre the polar texture squeezes many texels into a
            // small circle; detail there only shimmers, so it fades out.
            const double detail = SmoothStep(0.04, 0.3, r);
            Colour c = Mix(Rgb(44, 60, 34), Mix(Rgb(38, 56, 32), Rgb(66, 80, 40), coarse), detail);
            c = Mix(c, Rgb(90, 88, 50), SmoothStep(0.6, 0.8, fine) * 0.25 * detail);
            c = Scaled(c, 1.0 + (0.12 * fine - 0.06) * detail);
            // Shade where the trunk meets the ground.
            c = Scaled(c, 0.55 + 0.45 * SmoothStep(0.0, 0.05, r));
            // Distance haze towards the rim, matching the sky below the horizon.
            const double fog = 1.0 - std::exp(-std::pow(r * 2.2, 2.0));
            c = Mix(c, Haze(), fog);
            ground.At(x, y) = WithAlpha(c, 1.0);
        }
    }
    return ground;
}

Canvas PaintBark()
{
    const int w = 128;
    const int h = 256;
    Canvas bark(w, h);
    PeriodicNoise ridges(8, 4, 31);
    PeriodicNoise grain(4, 16, 32);
    PeriodicNoise lichen(4, 8, 33);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            const double v = (y + 0.5) / h;
            // Wobbly vertical fissures.
            const double warp = ridges.Fractal(u * 2.0, v * 4.0, 4) * 1.6;
            const double f = std::sin((u * 6.0 + warp) * 2.0 * M_PI);
            const double g = grain.Fractal(u * 4.0, v * 16.0, 4);
            const double fissure = SmoothStep(0.2, 0.95, f) * SmoothStep(0.3, 0.6, g);
            Colour c = Mix(Rgb(98, 84, 70), Rgb(138, 122, 104), g);
            c = Mix(c, Rgb(52, 40, 32), fissure * 0.7);
            const double moss = SmoothStep(0.62, 0.8, lichen.Fractal(u * 4.0, v * 8.0, 4));
            c = Mix(c, Rgb(96, 112, 70), moss * 0.5);
            bark.At(x, y) = WithAlpha(c, 1.0);
        }
    }
    return bark;
}

namespace {

// Paints one leaf: base at (bx, by), pointing along angle `a` (radians),
// `length` and `width` in pixels. Alpha is 1 inside so alpha testing keeps
// the whole blade; edges are left hard on purpose.
void PaintLeaf(Canvas& canvas, double bx, double by, double a, double length, double width, const Colour& base,
               Prng& prng, bool stalk)
{
    const double ca = std::cos(a);
    const double sa = std::sin(a);
    const Colour vein = Mix(base, Rgb(250, 240, 170), 0.35);
    const Colour shade = Scaled(base, 0.72);
    const double tint = prng.Range(-0.08, 0.08);
    const int x0 = static_cast<int>(std::floor(std::min(bx, bx + ca * length) - width));
    const int x1 = static_cast<int>(std::ceil(std::max(bx, bx + ca * length) + width));
    const int y0 = static_cast<int>(std::floor(std::min(by, by + sa * length) - width));
    const int y1 = static_cast<int>(std::ceil(std::max(by, by + sa * length) + width));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - bx;
            const double dy = y + 0.5 - by;
            const double u = (dx * ca + dy * sa) / length;  // 0 at the base, 1 at the tip
            const double v = (-dx * sa + dy * ca);
            if (u < 0.0 || u > 1.0) {
                continue;
            }
            // A pointed blade, widest a little below the middle.
            const double profile = std::pow(std::sin(M_PI * std::pow(u, 0.8)), 0.9) * width * 0.5;
            if (std::fabs(v) > profile) {
                continue;
            }
            const double across = profile > 0.0 ? v / profile : 0.0;
            Colour c = Mix(base, shade, 0.5 + 0.5 * across);
            c = Scaled(c, 1.0 + tint);
            if (std::fabs(v) < 0.6) {
                c = Mix(c, vein, 0.6);
            }
            // Side veins angled towards the tip.
            const double sidePhase = u * 7.0 - std::fabs(across) * 0.9;
            if (std::fabs(sidePhase - std::round(sidePhase)) < 0.07 && std::fabs(across) < 0.85) {
                c = Mix(c, vein, 0.3);
            }
            canvas.Blend(x, y, WithAlpha(c, 1.0));
        }
    }
    if (stalk) {
        canvas.FillSegment(bx - ca * length * 0.12, by - sa * length * 0.12, bx, by, std::max(1.0, width * 0.08),
                           Scaled(base, 0.6));
    }
}

}

Canvas PaintLeafCluster(int variant)
{
    const int size = 256;
    Canvas cluster(size, size);
    static const Colour palettes[4][3] = {
        {Rgb(70, 112, 44), Rgb(92, 134, 52), Rgb(58, 96, 40)},
        {Rgb(132, 146, 50), Rgb(160, 156, 56), Rgb(110, 130, 46)},
        {Rgb(214, 160, 48), Rgb(230, 184, 70), Rgb(196, 132, 40)},
        {Rgb(196, 92, 40), Rgb(214, 120, 50), Rgb(166, 70, 36)},
    };
    Prng prng(100 + static_cast<std::uint64_t>(variant));
    // Leaves radiate from twigs near the middle, so the cluster reads as a
    // rounded tuft with a ragged outline.
    const int leaves = 72;
    for (int i = 0; i < leaves; ++i) {
        const double a = prng.Range(0.0, 2.0 * M_PI);
        const double r = prng.Range(8.0, 62.0);
        const double bx = size * 0.5 + std::cos(a) * r;
        const double by = size * 0.5 + std::sin(a) * r;
        const double dir = a + prng.Range(-0.6, 0.6);
        const double length = prng.Range(40.0, 58.0);
        const double width = length * prng.Range(0.42, 0.55);
        const Colour& base = palettes[variant & 3][prng.Below(3)];
        PaintLeaf(cluster, bx, by, dir, length, width, base, prng, false);
    }
    cluster.SetTransparentColour(palettes[variant & 3][0]);
    return cluster;
}

Canvas PaintSingleLeaf()
{
    const int w = 128;
    const int h = 64;
    Canvas leaf(w, h);
    Prng prng(200);
    PaintLeaf(leaf, 10.0, h * 0.5, 0.0, 112.0, 56.0, Rgb(222, 146, 46), prng, true);
    leaf.SetTransparentColour(Rgb(222, 146, 46));
    return leaf;
}

Canvas PaintWood()
{
    const int w = 256;
    const int h = 128;
    Canvas wood(w, h);
    PeriodicNoise grain(4, 16, 41);
    PeriodicNoise knots(2, 4, 42);
    const int planks = 4;
    for (int y = 0; y < h; ++y) {
        const int plank = y * planks / h;
        const double inPlank = (y * planks % h + 0.5) / (static_cast<double>(h) / planks);
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            const double v = (y + 0.5) / h;
            const double warp = knots.Fractal(u * 2.0, v * 4.0, 3) * 1.5;
            const double rings = std::sin((v * 16.0 + warp + plank * 0.37) * 2.0 * M_PI);
            const double g = grain.Fractal(u * 4.0, v * 16.0, 4);
            Colour c = Mix(Rgb(128, 80, 46), Rgb(164, 108, 64), 0.5 + 0.25 * rings + (g - 0.5) * 0.5);
            c = Scaled(c, 0.92 + 0.08 * std::sin(plank * 2.1));
            // Dark seams between planks.
            const double seam = std::min(inPlank, 1.0 - inPlank);
            c = Scaled(c, 0.6 + 0.4 * SmoothStep(0.0, 0.05, seam));
            wood.At(x, y) = WithAlpha(c, 1.0);
        }
    }
    return wood;
}

namespace {

// A 64 x 64 tile mottled between two colours by seamless noise with the given
// number of cells across and down.
Canvas PaintMottled(int cellsAcross, int cellsDown, std::uint64_t seed, Colour low, Colour high)
{
    const int w = 64;
    const int h = 64;
    Canvas tile(w, h);
    PeriodicNoise n(cellsAcross, cellsDown, seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w;
            const double v = (y + 0.5) / h;
            tile.At(x, y) = WithAlpha(Mix(low, high, n.Fractal(u * cellsAcross, v * cellsDown, 3)), 1.0);
        }
    }
    return tile;
}

}

Canvas PaintWax()
{
    return PaintMottled(4, 4, 51, Rgb(236, 218, 186), Rgb(218, 192, 150));
}

Canvas PaintBrass()
{
    return PaintMottled(2, 16, 61, Rgb(150, 112, 50), Rgb(214, 176, 92));
}

Canvas PaintRingGlow()
{
    const int w = 16;
    const int h = 32;
    Canvas glow(w, h, WithAlpha(Rgb(255, 226, 160), 0.0));
    for (int y = 0; y < h; ++y) {
        const double across = ((y + 0.5) / h) * 2.0 - 1.0;
        const double core = std::exp(-across * across * 9.0);
        const double a = 0.1 + 0.45 * core;
        for (int x = 0; x < w; ++x) {
            glow.At(x, y) = WithAlpha(Mix(Rgb(255, 200, 130), Rgb(255, 246, 220), core),
                                      a * SmoothStep(1.0, 0.8, std::fabs(across)));
        }
    }
    return glow;
}

Canvas PaintHalo()
{
    const int size = 64;
    Canvas halo(size, size, WithAlpha(Rgb(255, 190, 110), 0.0));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5) / size * 2.0 - 1.0;
            const double dy = (y + 0.5) / size * 2.0 - 1.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double a = 0.32 * std::exp(-r * r * 5.0) * SmoothStep(1.0, 0.85, r);
            halo.At(x, y) = WithAlpha(Mix(Rgb(255, 170, 90), Rgb(255, 226, 170), std::exp(-r * r * 8.0)), a);
        }
    }
    return halo;
}

}
