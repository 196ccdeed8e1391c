#include "scene/AnimationSet.h"

#include "scene/FrameTick.h"

#include <cmath>

namespace tarnwood {

namespace {

// The whole milliseconds of a tick difference scaled by `timeScale`: truncated
// toward zero to 64 bits, of which the low 32 bits are the step.
std::uint32_t ScaledStep(std::uint32_t tickDifference, double timeScale)
{
    const double scaled = std::trunc(static_cast<double>(tickDifference) * timeScale);
    // Outside the 64-bit range (or NaN) the conversion would be undefined;
    // such a scale makes no step at all.
    constexpr double limit = 9223372036854775808.0;
    if (!(scaled > -limit && scaled < limit))
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled)));
}

}

AnimationSet::AnimationSet() : tick(frameTick)
{
}

void AnimationSet::Add(AnimationTrack track)
{
    track.target = &deltaTransform;
    tracks.push_back(track);
}

void AnimationSet::Update()
{
    previousTick = tick;
    tick = frameTick;
    deltaTransform.Reset();
    const std::uint32_t step = ScaledStep(tick - previousTick, timeScale);
    for (std::size_t i = 0; i < tracks.size();) {
        if (tracks[i].finished) {
            tracks.erase(tracks.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        tracks[i].Update(step);
        ++i;
    }
    deltaTransform.Apply();
}

void AnimationSet::PauseTrack(int id)
{
    for (AnimationTrack& track : tracks)
        if (track.id == id)
            track.active = 0;
}

void AnimationSet::ResumeTrack(int id)
{
    for (AnimationTrack& track : tracks)
        if (track.id == id)
            track.active = 1;
}

void AnimationSet::FinishTrack(int id)
{
    for (AnimationTrack& track : tracks)
        if (track.id == id)
            track.finished = 1;
}

}
