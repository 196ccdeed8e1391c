#include "scene/AnimationTrack.h"

namespace tarnwood {

AnimationTrack* currentTrack = nullptr;

AnimationTrack::AnimationTrack(int id, int active, double duration) : id(id), active(static_cast<std::uint8_t>(active))
{
    if (duration == 0.0) {
        endless = 1;
    } else {
        this->duration = duration;
        endless = 0;
    }
}

void AnimationTrack::Configure(Behaviour behaviour, double a, double b, double c)
{
    this->behaviour = behaviour;
    userData = 0;
    paramA = a;
    paramB = b;
    paramC = c;
}

void AnimationTrack::Configure(Behaviour behaviour, int selector, double a, double b, double c)
{
    Configure(behaviour, a, b, c);
    this->selector = selector;
}

void AnimationTrack::Configure(Behaviour behaviour, int selector, int selector2, double a, double b, double c)
{
    Configure(behaviour, selector, a, b, c);
    this->selector2 = selector2;
}

void AnimationTrack::SetBehaviour(Behaviour behaviour, int userData)
{
    this->behaviour = behaviour;
    this->userData = userData;
}

void AnimationTrack::Update(std::uint32_t step)
{
    if (!active)
        return;
    elapsed += step;
    if (!endless && !(duration > elapsed))
        finished = 1;
    time += step;
    currentTrack = this;
    // A track set going without a behaviour still keeps time; there is
    // nothing to call.
    if (behaviour != nullptr)
        behaviour(userData);
}

}
