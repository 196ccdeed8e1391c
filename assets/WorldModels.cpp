#include "assets/WorldModels.h"
#include "assets/ArchiveContent.h"
#include "assets/Materials.h"
#include "assets/MeshBuilder.h"
#include "assets/WorldTextures.h"
#include "content/ScenePlacement.h"

#include <array>
#include <cmath>

namespace tarnwood {

namespace {

// The sky sits around the tree group's origin, which is 60 units in front of
// the eye at z = 100 (up to 70 while the group bobs); 150 keeps its far side
// inside the far plane at 250.
constexpr double skyRadius = 150.0;
constexpr double groundRadius = 146.0;
static_assert(100.0 - kTreeGroupPosition.z + kTreeGroupBob + skyRadius <= 250.0);

ModelSource MakeSky()
{
    ModelSource model;
    // The dome comes first and single-sampled: none of its edges is in view,
    // and everything drawn after it lies in front of it.
    // Normals face the centre, where the viewer is. Stacks from the tenth
    // down lie below the ground and within its radius (150 sin 112.5 degrees
    // is under 139), so from anywhere above the ground they are never seen
    // and are left out.
    ModelMeshSource dome = NewMesh(skyImage, UnlitMaterial(false));
    dome.material.singleSampled = true;
    MeshBuilder(dome).Sphere(
        skyRadius, 32, 16, true, [](const Vec3& p) { return p; }, 10);
    model.push_back(std::move(dome));

    // The ground over the dome's lower band. Its far edge against the dome
    // is the horizon, smoothed by multisampling. Drawn single-sampled, even
    // in part, it would open seams: a pixel whose centre lies outside a
    // single-sampled part leaves its samples inside that part unwritten.
    ModelMeshSource ground = NewMesh(groundImage, UnlitMaterial(false));
    MeshBuilder(ground).Disc(groundRadius, -0.02, 8, 48, [](double around, double out) {
        return std::array<double, 2>{around * 4.0, out};
    });
    model.push_back(std::move(ground));
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
    content.AddModel("tree", MakeTree());
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
