#pragma once

#include "resources/ModelWriter.h"
#include "scene/Vec3.h"

#include <array>
#include <functional>
#include <string>

namespace tarnwood {

// Appends shapes to one mesh; normals are stored at unit length. Coordinates are model units; texture coordinate
// t = 0 is the top row of the image. Triangles are wound counter-clockwise
// seen from the side their normals point to.
class MeshBuilder {
public:
    explicit MeshBuilder(ModelMeshSource& mesh) : mesh(mesh) {}

    void Vertex(const Vec3& p, const Vec3& n, double s, double t);
    void Triangle(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& na, const Vec3& nb, const Vec3& nc,
                  std::array<double, 2> ta, std::array<double, 2> tb, std::array<double, 2> tc);

    // A flat quad from `corner` spanning `u` (s from s0 to s1) and `v` (t from
    // t0 to t1); its normal is u x v unless `normal` is given.
    void Quad(const Vec3& corner, const Vec3& u, const Vec3& v, double s0, double t0, double s1, double t1);
    void QuadWithNormal(const Vec3& corner, const Vec3& u, const Vec3& v, const Vec3& normal, double s0, double t0,
                        double s1, double t1);

    // A box with faces facing outwards; texture repeats every `texScale` units.
    void Box(const Vec3& min, const Vec3& max, double texScale);

    // A tube along a path of rings: ring i is centred at centres[i] with radius
    // radii[i], lying in the plane perpendicular to the path. `sides` segments
    // around; s runs around from 0 to `sRepeat`, t along the path at
    // `tPerUnit` per unit of length. Smooth normals face outwards, and every
    // triangle is wound counter-clockwise seen from outside. `closed` shuts
    // the first and the last ring with flat fans facing away from the tube,
    // so that its inside never shows.
    void Tube(const std::vector<Vec3>& centres, const std::vector<double>& radii, int sides, double sRepeat,
              double tPerUnit, double tStart = 0.0, bool closed = false);

    // A disc in the plane z = height, centred on the z axis, facing +z, made of
    // `rings` rings and `sides` segments; texcoord(s) from the function of
    // (angle fraction, radius fraction).
    void Disc(double radius, double height, int rings, int sides,
              const std::function<std::array<double, 2>(double, double)>& texcoord);

    // A sphere of `radius` about the origin: `slices` segments around (s from 0
    // to 1) and `stacks` from the +z pole (t 0) to the -z pole (t 1). `orient`
    // turns each unit point before it is scaled. Normals and winding face
    // outwards, or inwards with `inward` (a dome seen from inside). With
    // `stacksBuilt` at 0 or more only the first that many stacks from the +z
    // pole are built (the rest would be hidden).
    void Sphere(double radius, int slices, int stacks, bool inward, const std::function<Vec3(const Vec3&)>& orient,
                int stacksBuilt = -1);

private:
    ModelMeshSource& mesh;
};

// An empty mesh showing `texture` (an image entry name or a procedural
// description) with `material`.
inline ModelMeshSource NewMesh(const std::string& texture, const MeshMaterial& material)
{
    ModelMeshSource mesh;
    mesh.texture = texture;
    mesh.material = material;
    return mesh;
}

// A frame of two unit vectors perpendicular to `axis` (and to each other).
void PerpendicularFrame(const Vec3& axis, Vec3& u, Vec3& v);

}
