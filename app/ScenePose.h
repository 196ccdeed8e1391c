#pragma once

#include "scene/SceneNode.h"

#include <optional>
#include <string>

namespace tarnwood {

// A pose to hold the tree group in, for pictures that must not depend on how
// long the scene has run: each value given replaces one of the group's
// endless motions by a fixed value.
struct ScenePose {
    // The turn about the group's vertical axis, in degrees.
    std::optional<double> turnDegrees;
    // The bob along that axis, in world units (the motion's own range is -10
    // to 10).
    std::optional<double> bobUnits;
};

// Changes the running turn and bob tracks of the tree group under
// `worldRoot` (the world root of BuildTreeScene) so they hold the pose's
// values from the next frame on; motions the pose leaves out, and the
// leaves' own motions, run on. Returns false, with `problem` set, when the
// world root has no turning child.
bool HoldPose(SceneNode& worldRoot, const ScenePose& pose, std::string& problem);

}
