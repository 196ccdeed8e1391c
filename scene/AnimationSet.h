#pragma once

#include "scene/AnimationTrack.h"
#include "scene/Transform.h"

#include <cstdint>
#include <vector>

namespace tarnwood {

// The tracks running on one node, with the per-frame offset they write and
// the tick bookkeeping that measures each frame's step. Not copyable or
// movable: every running track points at this set's deltaTransform.
struct AnimationSet {
    // frameTick at construction, then at every update (ms).
    std::uint32_t tick;
    std::uint32_t previousTick = 0;
    // Multiplies every step; 1.0 unless a caller changes it.
    double timeScale = 1.0;
    // Reset to the identity at the start of every update and applied to the
    // GL matrix at its end; the target of every running track.
    Transform deltaTransform;
    // Running tracks, in the order added.
    std::vector<AnimationTrack> tracks;

    // Takes its tick from the current frameTick, so a set made during a frame
    // takes a first step of 0.
    AnimationSet();
    AnimationSet(const AnimationSet&) = delete;
    AnimationSet& operator=(const AnimationSet&) = delete;

    // Appends a copy of `track` aimed at this set's deltaTransform.
    void Add(AnimationTrack track);

    // One frame: measures the step since the last update from frameTick
    // (wrap-safe, scaled by timeScale), resets deltaTransform, drops finished
    // tracks, steps the others in order and applies deltaTransform's
    // translation and rotations to the current GL matrix.
    void Update();

    // Pause, resume or finish every running track with this id.
    void PauseTrack(int id);
    void ResumeTrack(int id);
    void FinishTrack(int id);
};

}
