#pragma once

namespace tarnwood {

// A point or direction in model, world or eye space; angles in degrees where
// a Vec3 holds rotations.
struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

}
