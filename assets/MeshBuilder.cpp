#include "assets/MeshBuilder.h"

#include <algorithm>
#include <cmath>

namespace tarnwood {

void PerpendicularFrame(const Vec3& axis, Vec3& u, Vec3& v)
{
    const Vec3 a = Normalised(axis);
    const Vec3 helper = std::fabs(a.z) < 0.9 ? Vec3{0.0, 0.0, 1.0} : Vec3{1.0, 0.0, 0.0};
    u = Normalised(Cross(helper, a));
    v = Cross(a, u);
}

void MeshBuilder::Vertex(const Vec3& p, const Vec3& n, double s, double t)
{
    const Vec3 unit = Normalised(n);
    mesh.positions.insert(mesh.positions.end(), {p.x, p.y, p.z});
    mesh.normals.insert(mesh.normals.end(), {unit.x, unit.y, unit.z});
    mesh.texCoords.insert(mesh.texCoords.end(), {s, t});
}

void MeshBuilder::Triangle(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& na, const Vec3& nb, const Vec3& nc,
                           std::array<double, 2> ta, std::array<double, 2> tb, std::array<double, 2> tc)
{
    Vertex(a, na, ta[0], ta[1]);
    Vertex(b, nb, tb[0], tb[1]);
    Vertex(c, nc, tc[0], tc[1]);
}

void MeshBuilder::Quad(const Vec3& corner, const Vec3& u, const Vec3& v, double s0, double t0, double s1, double t1)
{
    QuadWithNormal(corner, u, v, Cross(u, v), s0, t0, s1, t1);
}

void MeshBuilder::QuadWithNormal(const Vec3& corner, const Vec3& u, const Vec3& v, const Vec3& n, double s0, double t0,
                                 double s1, double t1)
{
    const Vec3 p00 = corner;
    const Vec3 p10 = corner + u;
    const Vec3 p11 = corner + u + v;
    const Vec3 p01 = corner + v;
    Triangle(p00, p10, p11, n, n, n, {s0, t0}, {s1, t0}, {s1, t1});
    Triangle(p00, p11, p01, n, n, n, {s0, t0}, {s1, t1}, {s0, t1});
}

void MeshBuilder::Box(const Vec3& lo, const Vec3& hi, double texScale)
{
    const double dx = hi.x - lo.x;
    const double dy = hi.y - lo.y;
    const double dz = hi.z - lo.z;
    const double k = 1.0 / texScale;
    // Each face: corner, u, v such that u x v points outwards. The texture's
    // s axis follows the face's longer side, so grain runs along boards.
    auto face = [&](const Vec3& corner, const Vec3& u, const Vec3& v) {
        const double lu = std::sqrt(Dot(u, u)) * k;
        const double lv = std::sqrt(Dot(v, v)) * k;
        const Vec3 n = Cross(u, v);
        const Vec3 p00 = corner;
        const Vec3 p10 = corner + u;
        const Vec3 p11 = corner + u + v;
        const Vec3 p01 = corner + v;
        std::array<double, 2> t00{0.0, 0.0};
        std::array<double, 2> t10{lu, 0.0};
        std::array<double, 2> t11{lu, lv};
        std::array<double, 2> t01{0.0, lv};
        if (lv > lu) {
            t10 = {0.0, lu};
            t11 = {lv, lu};
            t01 = {lv, 0.0};
        }
        Triangle(p00, p10, p11, n, n, n, t00, t10, t11);
        Triangle(p00, p11, p01, n, n, n, t00, t11, t01);
    };
    face({lo.x, lo.y, hi.z}, {dx, 0, 0}, {0, dy, 0});  // top
    face({lo.x, hi.y, lo.z}, {dx, 0, 0}, {0, -dy, 0});  // bottom
    face({lo.x, lo.y, hi.z}, {0, 0, -dz}, {dx, 0, 0});  // front (-y)
    face({hi.x, hi.y, hi.z}, {0, 0, -dz}, {-dx, 0, 0});  // back (+y)
    face({lo.x, hi.y, hi.z}, {0, 0, -dz}, {0, -dy, 0});  // left (-x)
    face({hi.x, lo.y, hi.z}, {0, 0, -dz}, {0, dy, 0});  // right (+x)
}

void MeshBuilder::Tube(const std::vector<Vec3>& centres, const std::vector<double>& radii, int sides, double sRepeat,
                       double tPerUnit, double tStart, bool closed)
{
    const std::size_t n = centres.size();
    if (n < 2 || radii.size() != n || sides < 3) {
        return;
    }
    // Rings are oriented by a frame carried along the path (parallel
    // transport), so the tube does not twist where the path bends.
    std::vector<Vec3> us(n);
    std::vector<Vec3> vs(n);
    std::vector<double> ts(n);
    Vec3 u;
    Vec3 v;
    PerpendicularFrame(centres[1] - centres[0], u, v);
    double t = tStart;
    for (std::size_t i = 0; i < n; ++i) {
        Vec3 dir;
        if (i == 0) {
            dir = centres[1] - centres[0];
        } else if (i == n - 1) {
            dir = centres[i] - centres[i - 1];
        } else {
            dir = Normalised(centres[i + 1] - centres[i]) + Normalised(centres[i] - centres[i - 1]);
        }
        dir = Normalised(dir);
        u = Normalised(u - dir * Dot(u, dir));
        v = Cross(dir, u);
        us[i] = u;
        vs[i] = v;
        if (i > 0) {
            const Vec3 d = centres[i] - centres[i - 1];
            t += std::sqrt(Dot(d, d)) * tPerUnit;
        }
        ts[i] = t;
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (int k = 0; k < sides; ++k) {
            const double a0 = 2.0 * M_PI * k / sides;
            const double a1 = 2.0 * M_PI * (k + 1) / sides;
            const Vec3 n00 = us[i] * std::cos(a0) + vs[i] * std::sin(a0);
            const Vec3 n01 = us[i] * std::cos(a1) + vs[i] * std::sin(a1);
            const Vec3 n10 = us[i + 1] * std::cos(a0) + vs[i + 1] * std::sin(a0);
            const Vec3 n11 = us[i + 1] * std::cos(a1) + vs[i + 1] * std::sin(a1);
            const Vec3 p00 = centres[i] + n00 * radii[i];
            const Vec3 p01 = centres[i] + n01 * radii[i];
            const Vec3 p10 = centres[i + 1] + n10 * radii[i + 1];
            const Vec3 p11 = centres[i + 1] + n11 * radii[i + 1];
            const double s0 = sRepeat * k / sides;
            const double s1 = sRepeat * (k + 1) / sides;
            Triangle(p00, p01, p11, n00, n01, n11, {s0, ts[i]}, {s1, ts[i]}, {s1, ts[i + 1]});
            Triangle(p00, p11, p10, n00, n11, n10, {s0, ts[i]}, {s1, ts[i + 1]}, {s0, ts[i + 1]});
        }
    }
    if (!closed)
        return;
    // A fan over ring i, facing along `outward`: the ring runs
    // counter-clockwise about the path's direction, so the start's fan
    // takes its points the other way round.
    const auto cap = [&](std::size_t i, const Vec3& outward, bool reversed) {
        const double tCentre = ts[i] + radii[i] * tPerUnit;
        for (int k = 0; k < sides; ++k) {
            const double a0 = 2.0 * M_PI * k / sides;
            const double a1 = 2.0 * M_PI * (k + 1) / sides;
            const Vec3 p0 = centres[i] + (us[i] * std::cos(a0) + vs[i] * std::sin(a0)) * radii[i];
            const Vec3 p1 = centres[i] + (us[i] * std::cos(a1) + vs[i] * std::sin(a1)) * radii[i];
            const double s0 = sRepeat * k / sides;
            const double s1 = sRepeat * (k + 1) / sides;
            const std::array<double, 2> middle{(s0 + s1) * 0.5, tCentre};
            if (reversed)
                Triangle(centres[i], p1, p0, outward, outward, outward, middle, {s1, ts[i]}, {s0, ts[i]});
            else
                Triangle(centres[i], p0, p1, outward, outward, outward, middle, {s0, ts[i]}, {s1, ts[i]});
        }
    };
    cap(0, Normalised(centres[0] - centres[1]), true);
    cap(n - 1, Normalised(centres[n - 1] - centres[n - 2]), false);
}

void MeshBuilder::Sphere(double radius, int slices, int stacks, bool inward,
                         const std::function<Vec3(const Vec3&)>& orient, int stacksBuilt)
{
    const int builtStacks = stacksBuilt < 0 ? stacks : std::min(stacksBuilt, stacks);
    auto point = [&](int i, int j) {
        const double lon = 2.0 * M_PI * i / slices;
        const double polar = M_PI * j / stacks;
        return orient(Vec3{std::sin(polar) * std::cos(lon), std::sin(polar) * std::sin(lon), std::cos(polar)});
    };
    for (int j = 0; j < builtStacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            const Vec3 p00 = point(i, j);
            const Vec3 p10 = point(i + 1, j);
            const Vec3 p01 = point(i, j + 1);
            const Vec3 p11 = point(i + 1, j + 1);
            const double s0 = static_cast<double>(i) / slices;
            const double s1 = static_cast<double>(i + 1) / slices;
            const double t0 = static_cast<double>(j) / stacks;
            const double t1 = static_cast<double>(j + 1) / stacks;
            if (inward) {
                Triangle(p00 * radius, p01 * radius, p11 * radius, p00 * -1.0, p01 * -1.0, p11 * -1.0, {s0, t0},
                         {s0, t1}, {s1, t1});
                Triangle(p00 * radius, p11 * radius, p10 * radius, p00 * -1.0, p11 * -1.0, p10 * -1.0, {s0, t0},
                         {s1, t1}, {s1, t0});
            } else {
                Triangle(p00 * radius, p10 * radius, p11 * radius, p00, p10, p11, {s0, t0}, {s1, t0}, {s1, t1});
                Triangle(p00 * radius, p11 * radius, p01 * radius, p00, p11, p01, {s0, t0}, {s1, t1}, {s0, t1});
            }
        }
    }
}

void MeshBuilder::Disc(double radius, double height, int rings, int sides,
                       const std::function<std::array<double, 2>(double, double)>& texcoord)
{
    const Vec3 up{0.0, 0.0, 1.0};
    auto point = [&](int ring, int side) {
        const double rf = static_cast<double>(ring) / rings;
        const double af = static_cast<double>(side) / sides;
        const double a = 2.0 * M_PI * af;
        return Vec3{std::cos(a) * radius * rf, std::sin(a) * radius * rf, height};
    };
    auto tc = [&](int ring, int side) {
        return texcoord(static_cast<double>(side) / sides, static_cast<double>(ring) / rings);
    };
    for (int r = 0; r < rings; ++r) {
        for (int k = 0; k < sides; ++k) {
            if (r == 0) {
                Triangle(point(0, k), point(1, k), point(1, k + 1), up, up, up, tc(0, k), tc(1, k), tc(1, k + 1));
                continue;
            }
            Triangle(point(r, k), point(r + 1, k), point(r + 1, k + 1), up, up, up, tc(r, k), tc(r + 1, k),
                     tc(r + 1, k + 1));
            Triangle(point(r, k), point(r + 1, k + 1), point(r, k + 1), up, up, up, tc(r, k), tc(r + 1, k + 1),
                     tc(r, k + 1));
        }
    }
}

}
