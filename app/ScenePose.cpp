#include "app/ScenePose.h"

#include "scene/StandardBehaviours.h"

namespace tarnwood {

namespace {

bool HasTurn(const SceneNode& node)
{
    for (const AnimationTrack& track : node.animations.tracks) {
        if (track.behaviour == TurnRotationBehaviour)
            return true;
    }
    return false;
}

}

bool HoldPose(SceneNode& worldRoot, const ScenePose& pose, std::string& problem)
{
    // The tree group is the world root's child that turns; the leaves below
    // it turn and bob on tracks of their own, which stay as they are.
    for (const std::unique_ptr<SceneNode>& child : worldRoot.children) {
        if (!HasTurn(*child))
            continue;
        for (AnimationTrack& track : child->animations.tracks) {
            if (track.behaviour == TurnRotationBehaviour && pose.turnDegrees) {
                // The angle is time x paramA / 1000 + paramB.
                track.paramA = 0.0;
                track.paramB = *pose.turnDegrees;
            } else if (track.behaviour == OscillatePositionBehaviour && pose.bobUnits) {
                // The offset is sin(time x paramB / 1000 + paramC) x paramA.
                track.paramA = *pose.bobUnits;
                track.paramB = 0.0;
                track.paramC = 1.5707963267948966;
            }
        }
        return true;
    }
    problem = "the scene has no turning tree group to hold still";
    return false;
}

}
