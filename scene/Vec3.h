#pragma once

#include <cmath>

namespace tarnwood {

// A point or direction in model, world or eye space; angles in degrees where
// a Vec3 holds rotations.
struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, double k)
{
    return {a.x * k, a.y * k, a.z * k};
}
inline double Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// `v` scaled to unit length; +z for the zero vector, which has no direction.
inline Vec3 Normalised(const Vec3& v)
{
    const double length = std::sqrt(Dot(v, v));
    if (length <= 0.0)
        return {0.0, 0.0, 1.0};
    return v * (1.0 / length);
}

}
