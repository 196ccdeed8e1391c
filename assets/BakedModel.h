#pragma once

#include <array>
#include <string>
#include <vector>

namespace tarnwood {

struct Vec3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline Vec3d operator+(const Vec3d& a, const Vec3d& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3d operator-(const Vec3d& a, const Vec3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3d operator*(const Vec3d& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double Dot(const Vec3d& a, const Vec3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3d Cross(const Vec3d& a, const Vec3d& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3d Normalised(const Vec3d& v);

// The material block of a mesh record: colours as red, green, blue, alpha.
struct BakedMaterial {
    bool alphaTested = false;
    bool transparent = false;
    std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
};

// One mesh of a model: a plain triangle list, three vertices per triangle,
// each vertex with its own position, normal and texture coordinate.
struct BakedMesh {
    std::string texture;  // image entry name or procedural description
    BakedMaterial material;
    std::vector<Vec3d> positions;
    std::vector<Vec3d> normals;
    std::vector<std::array<double, 2>> texcoords;

    int TriangleCount() const { return static_cast<int>(positions.size() / 3); }
};

struct BakedModel {
    std::vector<BakedMesh> meshes;
};

}
