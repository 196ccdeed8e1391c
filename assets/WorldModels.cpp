#include "assets/ArchiveContent.h"
#include "assets/Materials.h"
#include "assets/MeshBuilder.h"
#include "assets/Prng.h"
#include "assets/WorldTextures.h"
#include "content/ScenePlacement.h"

#include <array>
#include <cmath>

namespace tarnwood {

namespace {

void AppendTranslated(ModelMeshSource& to, const ModelMeshSource& from, const Vec3& offset)
{
    for (std::size_t i = 0; i + 2 < from.positions.size(); i += 3) {
        to.positions.insert(to.positions.end(),
                            {from.positions[i] + offset.x, from.positions[i + 1] + offset.y,
                             from.positions[i + 2] + offset.z});
    }
    to.normals.insert(to.normals.end(), from.normals.begin(), from.normals.end());
    to.texCoords.insert(to.texCoords.end(), from.texCoords.begin(), from.texCoords.end());
}

// Texture names inside main.pak. The flame and the orb carry procedural
// descriptions instead of image entries.
const char* const skyImage = "sky.png";
const char* const groundImage = "ground.png";
const char* const barkImage = "bark.png";
const char* const leafImages[4] = {"leaves_green.png", "leaves_lime.png", "leaves_gold.png", "leaves_russet.png"};
const char* const fallingLeafImage = "leaf.png";
const char* const woodImage = "wood.png";
const char* const waxImage = "wax.png";
const char* const brassImage = "brass.png";
const char* const ringGlowImage = "glow.png";
const char* const haloImage = "halo.png";
const char* const flameDescription = "f#Fire32x64";
const char* const orbDescription = "n#Plasma128x128,240,220,120";

// The sky sits around the tree group's origin, which is 60 units in front of
// the eye at z = 100 (up to 70 while the group bobs); 150 keeps its far side
// inside the far plane at 250.
constexpr double skyRadius = 150.0;
constexpr double groundRadius = 146.0;
static_assert(100.0 - kTreeGroupPosition.z + kTreeGroupBob + skyRadius <= 250.0);

ModelSource MakeSky()
{
    ModelSource model;
    // The ground comes first: drawn before the dome, it hides the dome's
    // lower band by depth before that band is shaded.
    ModelMeshSource ground = NewMesh(groundImage, UnlitMaterial(false));
    MeshBuilder g(ground);
    g.Disc(groundRadius, -0.02, 8, 48, [](double around, double out) {
        return std::array<double, 2>{around * 4.0, out};
    });
    model.push_back(std::move(ground));

    ModelMeshSource dome = NewMesh(skyImage, UnlitMaterial(false));
    MeshBuilder b(dome);
    // Normals face the centre, where the viewer is. Stacks from the tenth
    // down lie below the ground and within its radius (150 sin 112.5 degrees
    // is under 139), so from anywhere above the ground they are never seen
    // and are left out.
    b.Sphere(skyRadius, 32, 16, true, [](const Vec3& p) { return p; }, 10);
    model.push_back(std::move(dome));
    return model;
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
        MeshBuilder(bark).Tube(centres, radii, sides, depth == 0 ? 2.0 : 1.0, 0.07, prng.Unit());

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
                const Vec3 d = Normalised(Vec3{std::cos(az) * std::sin(tilt), std::sin(az) * std::sin(tilt),
                                                 std::cos(tilt)});
                const std::size_t from = centres.size() - 1 - static_cast<std::size_t>(k % 3);
                Branch(centres[from], d, prng.Range(9.0, 11.0), radii[from] * 0.62, radii[from] * 0.32, 1);
            }
            Branch(end, Deviate({0, 0, 1}, 0.1), 10.0, r1 * 0.7, r1 * 0.3, 1);
            return;
        }
        const int children = depth == 1 ? 3 : 2 + prng.Below(2);
        for (int k = 0; k < children; ++k) {
            const double f = k == 0 ? 1.0 : prng.Range(0.4, 0.85);
            const std::size_t idx = std::min(centres.size() - 1, static_cast<std::size_t>(std::lround(f * (centres.size() - 1))));
            const Vec3 d = Deviate(endDir, prng.Range(0.35, 0.8));
            // Keep children from diving towards the ground.
            const Vec3 lifted = Normalised(d + Vec3{0, 0, d.z < 0.0 ? 0.6 : 0.15});
            Branch(centres[idx], lifted, length * prng.Range(0.66, 0.78), radii[idx] * 0.8, radii[idx] * 0.45,
                   depth + 1);
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
        for (int v = 0; v < 4; ++v) {
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
                b.QuadWithNormal(corner, u * size, w * size, normal, 0.0, 0.0, 1.0, 1.0);
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

// A flame of two crossing teardrop cards, base at `base`, drawn blended in the
// deferred pass. `s0`..`s1` picks a window of the fire texture's columns so
// that flames sharing the texture flicker differently.
void AddFlame(MeshBuilder& b, const Vec3& base, double width, double height, double s0, double s1)
{
    const int steps = 8;
    for (int card = 0; card < 2; ++card) {
        const double a = card * M_PI * 0.5 + 0.4;
        const Vec3 across{std::cos(a), std::sin(a), 0.0};
        const Vec3 normal = Cross(across, Vec3{0, 0, 1});
        // Half-width along the height: round at the bottom, pointed on top.
        auto half = [&](double f) {
            return width * 0.5 * std::pow(std::sin(M_PI * std::pow(f, 0.55)), 1.2);
        };
        for (int i = 0; i < steps; ++i) {
            const double f0 = static_cast<double>(i) / steps;
            const double f1 = static_cast<double>(i + 1) / steps;
            const double h0 = half(f0);
            const double h1 = half(f1);
            const Vec3 l0 = base + across * -h0 + Vec3{0, 0, f0 * height};
            const Vec3 r0 = base + across * h0 + Vec3{0, 0, f0 * height};
            const Vec3 l1 = base + across * -h1 + Vec3{0, 0, f1 * height};
            const Vec3 r1 = base + across * h1 + Vec3{0, 0, f1 * height};
            const double mid = (s0 + s1) * 0.5;
            const double span = (s1 - s0) * 0.5 / (width * 0.5);
            // The texture's fire rises towards t = 0.
            const double t0 = 1.0 - f0 * 0.92;
            const double t1 = 1.0 - f1 * 0.92;
            b.Triangle(l0, r0, r1, normal, normal, normal, {mid - h0 * span, t0}, {mid + h0 * span, t0},
                       {mid + h1 * span, t1});
            b.Triangle(l0, r1, l1, normal, normal, normal, {mid - h0 * span, t0}, {mid + h1 * span, t1},
                       {mid - h1 * span, t1});
        }
    }
}

// The table stands beside the trunk, towards the viewer's side, with a brass
// tray of three pillar candles on it.
const Vec3 tableAt{7.5, -7.0, 0.0};
constexpr double tableTopZ = 4.6;
const Vec3 trayAt = tableAt + Vec3{0.6, -0.4, tableTopZ};

struct Candle {
    Vec3 offset;  // from the tray's centre
    double radius;
    double height;
    double s0;  // the start of its window of the fire texture
};

const Candle candles[3] = {
    {{-0.9, 0.5, 0.0}, 0.72, 3.2, 0.08},
    {{1.0, 0.7, 0.0}, 0.62, 2.4, 0.38},
    {{0.1, -1.1, 0.0}, 0.55, 1.7, 0.66},
};

Vec3 CandleFoot(const Candle& c)
{
    return trayAt + c.offset + Vec3{0, 0, 0.12};
}

Vec3 CandleTop(const Candle& c)
{
    return CandleFoot(c) + Vec3{0, 0, c.height};
}

// The top, the apron under it and four legs.
ModelMeshSource TableWood()
{
    // Nearly matte: at the nearest bob the light's attenuation factor rises
    // to about 11, and a stronger highlight, added after the texture, would
    // bleach the wood towards white.
    ModelMeshSource wood = NewMesh(woodImage, LitMaterial(0.26f, 0.34f, 0.02f, 18.0f));
    MeshBuilder b(wood);
    const double hx = 5.2;
    const double hy = 3.4;
    b.Box(tableAt + Vec3{-hx, -hy, tableTopZ - 0.55}, tableAt + Vec3{hx, hy, tableTopZ}, 6.0);
    b.Box(tableAt + Vec3{-hx + 0.5, -hy + 0.5, tableTopZ - 1.3}, tableAt + Vec3{hx - 0.5, hy - 0.5, tableTopZ - 0.55},
          6.0);
    for (int i = 0; i < 4; ++i) {
        const double sx = (i & 1) ? 1.0 : -1.0;
        const double sy = (i & 2) ? 1.0 : -1.0;
        const Vec3 c = tableAt + Vec3{sx * (hx - 0.9), sy * (hy - 0.9), 0.0};
        b.Box(c + Vec3{-0.35, -0.35, -0.3}, c + Vec3{0.35, 0.35, tableTopZ - 0.55}, 6.0);
    }
    return wood;
}

// The tray's rim and floor.
ModelMeshSource TrayBrass()
{
    ModelMeshSource brass = NewMesh(brassImage, LitMaterial(0.30f, 0.36f, 0.45f, 40.0f));
    MeshBuilder(brass).Tube({trayAt, trayAt + Vec3{0, 0, 0.35}}, {2.4, 2.7}, 24, 2.0, 0.5);
    ModelMeshSource floor;
    MeshBuilder(floor).Disc(2.65, trayAt.z + 0.12, 2, 24, [](double around, double out) {
        return std::array<double, 2>{around * 2.0, out};
    });
    AppendTranslated(brass, floor, {trayAt.x, trayAt.y, 0.0});
    return brass;
}

// The candles' sides and tops.
ModelMeshSource CandleWax()
{
    ModelMeshSource wax = NewMesh(waxImage, LitMaterial(0.26f, 0.28f, 0.06f, 20.0f));
    for (const Candle& c : candles) {
        const Vec3 foot = CandleFoot(c);
        const Vec3 top = CandleTop(c);
        MeshBuilder(wax).Tube({foot, top - Vec3{0, 0, 0.15}, top}, {c.radius, c.radius, c.radius * 0.9}, 16, 1.0,
                              0.3);
        ModelMeshSource cap;
        MeshBuilder(cap).Disc(c.radius * 0.9, top.z, 1, 16, [](double around, double out) {
            return std::array<double, 2>{around, out * 0.3};
        });
        AppendTranslated(wax, cap, {top.x, top.y, 0.0});
    }
    return wax;
}

// A soft warm glow around each flame: three cards about the vertical, so one
// always faces the viewer well enough.
ModelMeshSource CandleHalos()
{
    ModelMeshSource halos = NewMesh(haloImage, GlowMaterial(true));
    MeshBuilder h(halos);
    for (const Candle& c : candles) {
        const Vec3 glowCentre = CandleTop(c) + Vec3{0, 0, 0.9};
        const double r = 2.6;
        for (int k = 0; k < 3; ++k) {
            const double a = k * M_PI / 3.0;
            const Vec3 across{std::cos(a) * r, std::sin(a) * r, 0.0};
            const Vec3 up{0.0, 0.0, r};
            h.QuadWithNormal(glowCentre - across - up, across * 2.0, up * 2.0, Cross(across, up), 0.0, 1.0, 1.0, 0.0);
        }
    }
    return halos;
}

ModelMeshSource CandleFlames()
{
    ModelMeshSource flames = NewMesh(flameDescription, GlowMaterial(true));
    MeshBuilder f(flames);
    for (const Candle& c : candles) {
        AddFlame(f, CandleTop(c) + Vec3{0, 0, 0.05}, 1.0, 2.3, c.s0, c.s0 + 0.28);
    }
    return flames;
}

ModelSource MakeTable()
{
    ModelSource model;
    model.push_back(TableWood());
    model.push_back(TrayBrass());
    model.push_back(CandleWax());
    // Deferred meshes are blended in this order: the glow under the flames.
    model.push_back(CandleHalos());
    model.push_back(CandleFlames());
    return model;
}

// One leaf for the spawner, which scales it by kFallingLeafScale (0.1): 14
// units long becomes 1.4. Folded a little along the midrib so it catches the light as it turns.
ModelSource MakeFallingLeaf()
{
    ModelMeshSource leaf = NewMesh(fallingLeafImage, LitMaterial(0.30f, 0.38f, 0.06f, 10.0f));
    leaf.material.alphaTested = true;
    MeshBuilder b(leaf);
    const double length = 14.0;
    const double half = 3.6;
    const double fold = 1.3;
    const Vec3 stalk{-length * 0.5, 0.0, 0.0};
    const Vec3 along{length, 0.0, 0.0};
    // Texture: s along the leaf, t across it (0 one edge, 1 the other).
    const Vec3 leftEdge{0.0, -half, fold};
    const Vec3 rightEdge{0.0, half, fold};
    const Vec3 nl = Normalised(Cross(along, leftEdge * -1.0));
    const Vec3 nr = Normalised(Cross(rightEdge, along));
    const Vec3 nLeft = Dot(nl, {0, 0, 1}) < 0 ? nl * -1.0 : nl;
    const Vec3 nRight = Dot(nr, {0, 0, 1}) < 0 ? nr * -1.0 : nr;
    const Vec3 a = stalk;
    const Vec3 bb = stalk + along;
    b.Triangle(a + leftEdge, a, bb, nLeft, nLeft, nLeft, {0.0, 0.0}, {0.0, 0.5}, {1.0, 0.5});
    b.Triangle(a + leftEdge, bb, bb + leftEdge, nLeft, nLeft, nLeft, {0.0, 0.0}, {1.0, 0.5}, {1.0, 0.0});
    b.Triangle(a, a + rightEdge, bb + rightEdge, nRight, nRight, nRight, {0.0, 0.5}, {0.0, 1.0}, {1.0, 1.0});
    b.Triangle(a, bb + rightEdge, bb, nRight, nRight, nRight, {0.0, 0.5}, {1.0, 1.0}, {1.0, 0.5});
    ModelSource model;
    model.push_back(std::move(leaf));
    return model;
}

// The delayed model: an armillary of three tilted rings around a small globe.
// The plasma texture is open-work (only a narrow band of values and a grid are
// opaque), so the rings show drifting threads of light between the grid's
// studs, and the tree stays visible through it at the centre of the screen.
ModelSource MakeOrb()
{
    ModelMeshSource glow = NewMesh(ringGlowImage, UnlitMaterial(true));
    MeshBuilder g(glow);
    ModelMeshSource orb = NewMesh(orbDescription, UnlitMaterial(true));
    MeshBuilder b(orb);
    // Texture rows 16 apart are grid lines; each ring samples the inside of
    // one row of cells so that only the column lines cross it, as studs.
    const double texel = 1.0 / 128.0;
    struct Ring {
        double tiltX;
        double tiltY;
        double radius;
        double width;
        int cellRow;
    };
    const Ring rings[3] = {
        {72.0, 0.0, 30.0, 5.0, 1},
        {20.0, 58.0, 27.0, 4.2, 3},
        {-24.0, -58.0, 24.0, 3.6, 5},
    };
    auto rotate = [](const Vec3& p, double ax, double ay) {
        const double cx = std::cos(ax * M_PI / 180.0);
        const double sx = std::sin(ax * M_PI / 180.0);
        const double cy = std::cos(ay * M_PI / 180.0);
        const double sy = std::sin(ay * M_PI / 180.0);
        const Vec3 r1{p.x, p.y * cx - p.z * sx, p.y * sx + p.z * cx};
        return Vec3{r1.x * cy + r1.z * sy, r1.y, -r1.x * sy + r1.z * cy};
    };
    const int segments = 96;
    for (const Ring& ring : rings) {
        const double t0 = (ring.cellRow * 16 + 2) * texel;
        const double t1 = (ring.cellRow * 16 + 14) * texel;
        for (int i = 0; i < segments; ++i) {
            const double a0 = 2.0 * M_PI * i / segments;
            const double a1 = 2.0 * M_PI * (i + 1) / segments;
            const Vec3 n0{std::cos(a0), std::sin(a0), 0.0};
            const Vec3 n1{std::cos(a1), std::sin(a1), 0.0};
            const Vec3 up{0.0, 0.0, ring.width * 0.5};
            const Vec3 p00 = rotate(n0 * ring.radius - up, ring.tiltX, ring.tiltY);
            const Vec3 p01 = rotate(n0 * ring.radius + up, ring.tiltX, ring.tiltY);
            const Vec3 p10 = rotate(n1 * ring.radius - up, ring.tiltX, ring.tiltY);
            const Vec3 p11 = rotate(n1 * ring.radius + up, ring.tiltX, ring.tiltY);
            const Vec3 m0 = rotate(n0, ring.tiltX, ring.tiltY);
            const Vec3 m1 = rotate(n1, ring.tiltX, ring.tiltY);
            const double s0 = static_cast<double>(i) / segments;
            const double s1 = static_cast<double>(i + 1) / segments;
            b.Triangle(p00, p10, p11, m0, m1, m1, {s0, t1}, {s1, t1}, {s1, t0});
            b.Triangle(p00, p11, p01, m0, m1, m0, {s0, t1}, {s1, t0}, {s0, t0});
            // A soft hoop of light under the threads, a little wider.
            const Vec3 wide{0.0, 0.0, ring.width * 0.8};
            const Vec3 q00 = rotate(n0 * ring.radius - wide, ring.tiltX, ring.tiltY);
            const Vec3 q01 = rotate(n0 * ring.radius + wide, ring.tiltX, ring.tiltY);
            const Vec3 q10 = rotate(n1 * ring.radius - wide, ring.tiltX, ring.tiltY);
            const Vec3 q11 = rotate(n1 * ring.radius + wide, ring.tiltX, ring.tiltY);
            g.Triangle(q00, q10, q11, m0, m1, m1, {s0 * 8.0, 1.0}, {s1 * 8.0, 1.0}, {s1 * 8.0, 0.0});
            g.Triangle(q00, q11, q01, m0, m1, m0, {s0 * 8.0, 1.0}, {s1 * 8.0, 0.0}, {s0 * 8.0, 0.0});
        }
    }
    // The globe: the whole texture once round, its grid as a graticule.
    const double radius = 9.0;
    b.Sphere(radius, 24, 12, false, [&rotate](const Vec3& p) { return rotate(p, -70.0, 0.0); });
    ModelSource model;
    model.push_back(std::move(glow));
    model.push_back(std::move(orb));
    return model;
}

}

ArchiveContent BuildMainArchive()
{
    ArchiveContent content;
    content.fileName = "main.pak";
    content.AddModel("nebo", MakeSky());
    content.AddModel("tree", TreeBuilder{}.Build());
    content.AddModel("tabl", MakeTable());
    content.AddModel("list", MakeFallingLeaf());
    content.AddModel("nn", MakeOrb());
    content.AddImage(skyImage, PaintSky());
    content.AddImage(groundImage, PaintGround());
    content.AddImage(barkImage, PaintBark());
    for (int v = 0; v < 4; ++v) {
        content.AddImage(leafImages[v], PaintLeafCluster(v));
    }
    content.AddImage(fallingLeafImage, PaintSingleLeaf());
    content.AddImage(woodImage, PaintWood());
    content.AddImage(waxImage, PaintWax());
    content.AddImage(brassImage, PaintBrass());
    content.AddImage(ringGlowImage, PaintRingGlow());
    content.AddImage(haloImage, PaintHalo());
    return content;
}

ArchiveContent BuildDebugArchive()
{
    ArchiveContent content;
    content.fileName = "debug.pak";
    // The light sits 10 units in front of the eye; any mesh there would
    // cover the picture, so its model has none.
    content.AddModel("ort", ModelSource{});
    return content;
}

}
