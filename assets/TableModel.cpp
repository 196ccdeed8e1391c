#include "assets/Materials.h"
#include "assets/MeshBuilder.h"
#include "assets/WorldModels.h"

#include <array>
#include <cmath>

namespace tarnwood {

namespace {

void AppendTranslated(ModelMeshSource& to, const ModelMeshSource& from, const Vec3& offset)
{
    for (std::size_t i = 0; i + 2 < from.positions.size(); i += 3) {
        to.positions.insert(
            to.positions.end(),
            {from.positions[i] + offset.x, from.positions[i + 1] + offset.y, from.positions[i + 2] + offset.z});
    }
    to.normals.insert(to.normals.end(), from.normals.begin(), from.normals.end());
    to.texCoords.insert(to.texCoords.end(), from.texCoords.begin(), from.texCoords.end());
}

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
        auto half = [&](double f) { return width * 0.5 * std::pow(std::sin(M_PI * std::pow(f, 0.55)), 1.2); };
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
    b.Box(tableAt + Vec3{-hx + 0.5, -hy + 0.5, tableTopZ - 1.3}, tableAt + Vec3{hx - 0.5, hy - 0.5, tableTopZ - 0.55}, 6.0);
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
        MeshBuilder(wax).Tube({foot, top - Vec3{0, 0, 0.15}, top}, {c.radius, c.radius, c.radius * 0.9}, 16, 1.0, 0.3);
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

}
