#include "assets/Materials.h"
#include "assets/MeshBuilder.h"
#include "assets/Prng.h"
#include "assets/WorldModels.h"
#include "assets/WorldTextures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tarnwood {

namespace {

// The part of a leaf cluster's picture, in texture coordinates {s0, t0, s1,
// t1}, that can pass the alpha test: the box around every texel with any
// alpha, widened by a margin for bilinear filtering (one texel) and for a
// screen pixel's reach while one spans at most five texels (the card at
// least 52 pixels wide; it is over 100 in the full-screen scene). A card cut
// to it draws the same pixels as the whole square with about a quarter fewer
// fragments shaded and dropped; only the lighting, interpolated between
// other corners, moves by a level or two.
std::array<double, 4> OpaqueBox(const Canvas& picture)
{
    constexpr int marginTexels = 6;
    int x0 = picture.Width(), y0 = picture.Height(), x1 = 0, y1 = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (picture.At(x, y).a > 0.0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }
        }
    }
    x0 = std::max(0, x0 - marginTexels);
    y0 = std::max(0, y0 - marginTexels);
    x1 = std::min(picture.Width(), x1 + marginTexels);
    y1 = std::min(picture.Height(), y1 + marginTexels);
    return {static_cast<double>(x0) / picture.Width(), static_cast<double>(y0) / picture.Height(),
            static_cast<double>(x1) / picture.Width(), static_cast<double>(y1) / picture.Height()};
}

struct TreeBuilder {
    Prng prng{2026};
    ModelMeshSource bark;
    std::vector<Vec3> clusterCentres;
    std::vector<double> clusterSizes;

    Vec3 RandomUnit()
    {
        for (;;) {
            const Vec3 v{prng.Range(-1, 1), prng.Range(-1, 1), prng.Range(-1, 1)};
            const double d = Dot(v, v);
            if (d > 0.01 && d <= 1.0) {
                return Normalised(v);
            }
        }
    }

    // Turns `dir` away from itself by `angle` radians towards a random side.
    Vec3 Deviate(const Vec3& dir, double angle)
    {
        Vec3 u;
        Vec3 v;
        PerpendicularFrame(dir, u, v);
        const double a = prng.Range(0.0, 2.0 * M_PI);
        const Vec3 side = u * std::cos(a) + v * std::sin(a);
        return Normalised(dir * std::cos(angle) + side * std::sin(angle));
    }

    void Branch(const Vec3& start, Vec3 dir, double length, double r0, double r1, int depth)
    {
        const int rings = depth == 0 ? 7 : depth == 1 ? 5 : depth == 2 ? 4 : 3;
        std::vector<Vec3> centres;
        std::vector<double> radii;
        Vec3 p = start;
        const double step = length / (rings - 1);
        for (int i = 0; i < rings; ++i) {
            const double f = static_cast<double>(i) / (rings - 1);
            centres.push_back(p);
            double r = r0 + (r1 - r0) * std::pow(f, 0.8);
            if (depth == 0) {
                r *= 1.0 + 0.55 * std::exp(-f * 9.0);  // root flare
            }
            radii.push_back(r);
            // Gentle wander with a pull upwards, as branches reach for light.
            dir = Normalised(dir + RandomUnit() * (depth == 0 ? 0.05 : 0.14) + Vec3{0, 0, depth == 0 ? 0.0 : 0.05});
            p = p + dir * step;
        }
        const int sides = depth == 0 ? 14 : depth == 1 ? 9 : depth == 2 ? 6 : 5;
        MeshBuilder(bark).Tube(centres, radii, sides, depth == 0 ? 2.0 : 1.0, 0.07, prng.Unit(), true);

        const Vec3 end = centres.back();
        const Vec3 endDir = Normalised(centres.back() - centres[centres.size() - 2]);
        if (depth >= 4) {
            // Twig: leaf tufts along it and at its tip.
            for (int k = 0; k < 2; ++k) {
                const double f = 0.35 + 0.4 * k;
                clusterCentres.push_back(start + (end - start) * f + RandomUnit() * 1.0);
                clusterSizes.push_back(prng.Range(5.0, 7.0));
            }
            clusterCentres.push_back(end + endDir * 1.2);
            clusterSizes.push_back(prng.Range(5.5, 7.5));
            return;
        }
        if (depth == 0) {
            // The trunk divides into limbs spreading around it, plus a leader
            // that carries on upwards.
            const int limbs = 5;
            const double base = prng.Range(0.0, 2.0 * M_PI);
            for (int k = 0; k < limbs; ++k) {
                const double az = base + 2.0 * M_PI * k / limbs + prng.Range(-0.25, 0.25);
                const double tilt = prng.Range(0.75, 1.05);
                const Vec3 d = Normalised(
                    Vec3{std::cos(az) * std::sin(tilt), std::sin(az) * std::sin(tilt), std::cos(tilt)});
                const std::size_t from = centres.size() - 1 - static_cast<std::size_t>(k % 3);
                Branch(centres[from], d, prng.Range(9.0, 11.0), radii[from] * 0.62, radii[from] * 0.32, 1);
            }
            Branch(end, Deviate({0, 0, 1}, 0.1), 10.0, r1 * 0.7, r1 * 0.3, 1);
            return;
        }
        const int children = depth == 1 ? 3 : 2 + prng.Below(2);
        for (int k = 0; k < children; ++k) {
            const double f = k == 0 ? 1.0 : prng.Range(0.4, 0.85);
            const std::size_t idx = std::min(centres.size() - 1,
                                             static_cast<std::size_t>(std::lround(f * (centres.size() - 1))));
            const Vec3 d = Deviate(endDir, prng.Range(0.35, 0.8));
            // Keep children from diving towards the ground.
            const Vec3 lifted = Normalised(d + Vec3{0, 0, d.z < 0.0 ? 0.6 : 0.15});
            Branch(centres[idx], lifted, length * prng.Range(0.66, 0.78), radii[idx] * 0.8, radii[idx] * 0.45, depth + 1);
        }
    }

    // The leaf tufts: the twigs' own, and a few more that round off the top
    // of the crown, which the spreading limbs leave thin.
    void AddCrownTufts()
    {
        for (int i = 0; i < 22; ++i) {
            const double a = prng.Range(0.0, 2.0 * M_PI);
            const double r = 11.0 * std::sqrt(prng.Unit());
            clusterCentres.push_back({std::cos(a) * r, std::sin(a) * r, prng.Range(27.0, 38.0) - r * 0.35});
            clusterSizes.push_back(prng.Range(6.0, 8.0));
        }
    }

    // Each tuft a few crossing cards in one of four autumn colours. Normals
    // point away from the crown's centre, so the crown shades as one rounded
    // mass.
    std::array<ModelMeshSource, 4> Leaves()
    {
        Vec3 centre{0, 0, 0};
        for (const Vec3& c : clusterCentres) {
            centre = centre + c;
        }
        centre = centre * (1.0 / std::max<std::size_t>(1, clusterCentres.size()));
        centre.z -= 4.0;
        std::array<ModelMeshSource, 4> leaves;
        std::array<std::array<double, 4>, 4> boxes;
        for (int v = 0; v < 4; ++v) {
            boxes[v] = OpaqueBox(PaintLeafCluster(v));
            leaves[v].texture = leafImages[v];
            leaves[v].material = LitMaterial(0.34f, 0.36f, 0.06f, 10.0f);
            leaves[v].material.alphaTested = true;
        }
        for (std::size_t i = 0; i < clusterCentres.size(); ++i) {
            const Vec3 c = clusterCentres[i];
            const double size = clusterSizes[i];
            // Higher and outer tufts have turned further into autumn.
            const double height = (c.z - 14.0) / 28.0;
            const double outer = std::hypot(c.x, c.y) / 20.0;
            const double warmth = height * 0.6 + outer * 0.4 + prng.Range(-0.45, 0.45);
            const int variant = warmth < 0.25 ? 0 : warmth < 0.5 ? 1 : warmth < 0.8 ? 2 : 3;
            MeshBuilder b(leaves[variant]);
            const Vec3 outward = Normalised(c - centre);
            // Two cards crossing at right angles about a random axis.
            const Vec3 axis = RandomUnit();
            Vec3 side;
            Vec3 other;
            PerpendicularFrame(axis, side, other);
            for (int k = 0; k < 2; ++k) {
                const Vec3 n = k == 0 ? side : other;
                const Vec3 u = axis;
                const Vec3 w = Cross(n, u);
                const Vec3 corner = c - u * (size * 0.5) - w * (size * 0.5);
                const Vec3 normal = Normalised(outward * 0.7 + Vec3{0, 0, 0.3} + (Dot(n, outward) < 0 ? n * -1.0 : n) * 0.2);
                // The card cut to its picture's box; each point keeps the
                // texture coordinate it had on the whole square.
                const auto [s0, t0, s1, t1] = boxes[variant];
                b.QuadWithNormal(corner + u * (size * s0) + w * (size * t0), u * (size * (s1 - s0)),
                                 w * (size * (t1 - t0)), normal, s0, t0, s1, t1);
            }
        }
        return leaves;
    }

    // Fallen leaves on the ground around the trunk.
    ModelMeshSource Litter()
    {
        ModelMeshSource litter = NewMesh(fallingLeafImage, LitMaterial(0.34f, 0.36f, 0.02f, 4.0f));
        litter.material.alphaTested = true;
        MeshBuilder l(litter);
        for (int i = 0; i < 70; ++i) {
            const double a = prng.Range(0.0, 2.0 * M_PI);
            const double r = 2.6 + 12.0 * prng.Unit() * prng.Unit();
            const double turn = prng.Range(0.0, 2.0 * M_PI);
            const double length = prng.Range(1.2, 1.7);
            const Vec3 along{std::cos(turn) * length, std::sin(turn) * length, 0.0};
            const Vec3 across{-std::sin(turn) * length * 0.5, std::cos(turn) * length * 0.5, 0.0};
            // Each leaf a little higher than the last, so overlaps never
            // fight over depth.
            const Vec3 centre{std::cos(a) * r, std::sin(a) * r, 0.03 + 0.01 * (i % 8)};
            l.QuadWithNormal(centre - along * 0.5 - across * 0.5, along, across, {0, 0, 1}, 0.0, 0.0, 1.0, 1.0);
        }
        return litter;
    }

    ModelSource Build()
    {
        bark.texture = barkImage;
        bark.material = LitMaterial(0.26f, 0.34f, 0.04f, 12.0f);
        // Every branch is a tube shut at both ends, so its back faces never
        // show.
        bark.material.backFacesCulled = true;
        Branch({0.0, 0.0, -0.6}, Normalised({0.04, 0.02, 1.0}), 13.5, 2.5, 1.7, 0);
        AddCrownTufts();
        std::array<ModelMeshSource, 4> leaves = Leaves();
        ModelSource model;
        model.push_back(std::move(bark));
        model.push_back(Litter());
        for (ModelMeshSource& m : leaves) {
            if (!m.positions.empty()) {
                model.push_back(std::move(m));
            }
        }
        return model;
    }
};

}

ModelSource MakeTree()
{
    return TreeBuilder{}.Build();
}

}
