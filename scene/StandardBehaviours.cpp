#include "scene/StandardBehaviours.h"

#include "scene/AnimationTrack.h"
#include "scene/SceneNode.h"
#include "scene/WallClock.h"

#include <GL/gl.h>
#include <cmath>

namespace tarnwood {

namespace {

// The amount as a vector along the track's axis; false for a selector that
// names no axis.
bool AlongAxis(int selector, double amount, Vec3& out)
{
    out = Vec3{};
    switch (selector) {
    case 0:
        out.x = amount;
        return true;
    case 1:
        out.y = amount;
        return true;
    case 2:
        out.z = amount;
        return true;
    default:
        return false;
    }
}

void MoveAlongAxis(Transform* transform, int selector, double amount)
{
    Vec3 delta;
    if (transform != nullptr && AlongAxis(selector, amount, delta))
        transform->MoveBy(delta.x, delta.y, delta.z);
}

void RotateAboutAxis(Transform* transform, int selector, double degrees)
{
    Vec3 delta;
    if (transform != nullptr && AlongAxis(selector, degrees, delta))
        transform->RotateBy(delta.x, delta.y, delta.z);
}

Transform* NodeTransform()
{
    return currentNode != nullptr ? &currentNode->transform : nullptr;
}

double Oscillation(const AnimationTrack& track)
{
    return std::sin(track.time * track.paramB / 1000.0 + track.paramC) * track.paramA;
}

}

void LightPositionBehaviour(int)
{
    const int light = currentTrack->selector;
    if (light < 1 || light > 5)
        return;
    const GLfloat origin[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), GL_POSITION, origin);
}

void KillAfterBehaviour(int)
{
    if (currentTrack->time > currentTrack->paramA && currentNode != nullptr)
        currentNode->Kill();
}

void OscillatePositionBehaviour(int)
{
    const AnimationTrack& track = *currentTrack;
    MoveAlongAxis(track.target, track.selector, Oscillation(track));
}

void MovePositionBehaviour(int)
{
    const AnimationTrack& track = *currentTrack;
    MoveAlongAxis(track.target, track.selector, track.time * track.paramA / 1000.0);
}

void DriftPositionBehaviour(int)
{
    AnimationTrack& track = *currentTrack;
    MoveAlongAxis(NodeTransform(), track.selector, track.time * track.paramA / 1000.0);
    track.time = 0.0;
}

void ApproachPositionBehaviour(int)
{
    const AnimationTrack& track = *currentTrack;
    MoveAlongAxis(track.target, track.selector, track.paramA * (1.0 - std::exp(track.time / 1000.0 * track.paramB)));
}

void TurnRotationBehaviour(int)
{
    const AnimationTrack& track = *currentTrack;
    RotateAboutAxis(track.target, track.selector, track.time * track.paramA / 1000.0 + track.paramB);
}

void SpinRotationBehaviour(int)
{
    AnimationTrack& track = *currentTrack;
    RotateAboutAxis(NodeTransform(), track.selector, track.time * track.paramA / 1000.0 + track.paramB);
    track.time = 0.0;
}

void OscillateRotationBehaviour(int)
{
    const AnimationTrack& track = *currentTrack;
    RotateAboutAxis(track.target, track.selector, Oscillation(track));
}

void ClockHandBehaviour(int)
{
    const AnimationTrack& track = *currentTrack;
    if (track.selector < 1 || track.selector > 3 || track.target == nullptr)
        return;
    const std::tm now = LocalNow();
    int angle = 0;
    if (track.selector == 1)
        angle = -6 * now.tm_sec;
    else if (track.selector == 2)
        angle = -6 * now.tm_min;
    else
        angle = -30 * now.tm_hour - now.tm_min / 2;
    track.target->SetRotation(0.0, 0.0, static_cast<double>(angle));
}

}
