#pragma once

#include "scene/Vec3.h"

#include <cstdint>

namespace tarnwood {

// The placement of a node relative to its parent: a translation, rotations
// in degrees about X, Y and Z, and a scale that only the node's own meshes
// receive. Also the per-frame offset that track behaviours write into.
struct Transform {
    // Set by SetScale and never cleared: the node's meshes are then drawn
    // scaled and with GL_NORMALIZE.
    std::uint8_t scaled = 0;
    Vec3 position;
    // Degrees about X, Y and Z.
    Vec3 rotation;
    Vec3 scale{1.0, 1.0, 1.0};

    Transform() = default;

    // Position and rotation to zero, scale to one; `scaled` is left as it is.
    void Reset();

    void SetPosition(double x, double y, double z);
    // Angles in degrees.
    void SetRotation(double x, double y, double z);
    // Replaces the scale factors and marks the transform as scaled, even for
    // (1, 1, 1).
    void SetScale(double x, double y, double z);
    void MoveBy(double dx, double dy, double dz);
    // Angles in degrees.
    void RotateBy(double dx, double dy, double dz);

    // Multiplies the current GL matrix by the translation, then the rotations
    // about X, Y and Z, in that order, so a vertex turns about Z first. A zero
    // translation or a zero angle issues no GL call at all. Never scales.
    void Apply() const;

    // Multiplies the current GL matrix by the scale (glScaled).
    void ApplyScale() const;
};

}
