#pragma once

#include "scene/Transform.h"

#include <cstdint>

namespace tarnwood {

// A track behaviour: receives the track's `userData` and finds its track
// through `currentTrack` and its node through `currentNode`.
using Behaviour = void (*)(int userData);

// One animation track: a behaviour with its parameters and its timing. A
// plain record, copied by value from a cue's templates into a running set.
struct AnimationTrack {
    // The transform the behaviour writes; AnimationSet::Add points it at the
    // set's deltaTransform. Not owned.
    Transform* target = nullptr;
    // Local time in ms: advanced by every step while active; behaviours may
    // reset or lower it.
    double time = 0.0;
    int selector = 0;
    int selector2 = 0;
    double paramA = 0.0;
    double paramB = 0.0;
    double paramC = 0.0;
    Behaviour behaviour = nullptr;
    int userData = 0;
    int id = 0;
    std::uint8_t active = 0;
    std::uint8_t endless = 0;
    std::uint8_t finished = 0;
    // In ms; meaningless while `endless` is set.
    double duration = 0.0;
    // Sum of the steps taken while active, in ms.
    double elapsed = 0.0;

    // `active` is truncated to a byte. A duration of exactly 0 makes the track
    // endless; any other value, negative ones included, is the time in ms at
    // which it finishes (a negative duration finishes at the first step, so
    // the behaviour runs exactly once).
    AnimationTrack(int id, int active, double duration);

    // Each overload sets the behaviour, clears `userData` and sets only the
    // fields it names.
    void Configure(Behaviour behaviour, double a, double b, double c);
    void Configure(Behaviour behaviour, int selector, double a, double b, double c);
    void Configure(Behaviour behaviour, int selector, int selector2, double a, double b, double c);

    void SetBehaviour(Behaviour behaviour, int userData);

    // One step of `step` ms. An inactive track does nothing. Otherwise the
    // step is added to `elapsed` and `time`, the track finishes once `elapsed`
    // reaches a finite duration, and the behaviour (if any) is called with
    // `currentTrack` pointing at this track. The behaviour may add children
    // to its node, but must not add tracks to the set running it: that may
    // move this record, and `currentTrack` would no longer point at it.
    void Update(std::uint32_t step);
};

// The track whose behaviour is running; set before every behaviour call and
// not restored afterwards, so it is only meaningful inside a behaviour.
extern AnimationTrack* currentTrack;

}
