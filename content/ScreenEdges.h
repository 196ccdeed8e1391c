#pragma once

#include "scene/Vec3.h"

namespace tarnwood {

// Where the screen's edges lie in eye space, for a camera at the origin
// looking down -z: kept as a point on the ray from the eye through the
// bottom-left window corner (any point but the eye itself), so that x / z and
// y / z of it give the edges at every depth.
struct ScreenEdges {
    Vec3 corner;

    // The x of the left screen edge and the y of the bottom screen edge at
    // eye-space depth d (negative: in front of the camera); their negations
    // are the right and top edges.
    double X(double d) const { return corner.x * d / corner.z; }
    double Y(double d) const { return corner.y * d / corner.z; }
};

}
