#pragma once

#include "scene/AnimationSet.h"
#include "scene/AnimationTrack.h"
#include "scene/TrackAction.h"

#include <cstdint>
#include <vector>

namespace tarnwood {

// A node's numbered cues: each holds track templates to copy into the node's
// running set, commands for tracks already running, and cues of other
// scripts to fire along with it.
struct AnimationScript {
    struct Command {
        int trackId;
        TrackAction action;
    };
    struct Chain {
        // Not owned; must outlive every firing of the cue that names it.
        AnimationScript* script;
        int cue;
    };

    // The cue the adders fill; -1 until the first AddCue.
    int currentCue = -1;
    // Per cue, 1 when it may be fired and selected.
    std::vector<int> cueEnabled;
    std::vector<std::vector<AnimationTrack>> cueTracks;
    std::vector<std::vector<Command>> cueCommands;
    std::vector<std::vector<Chain>> cueChains;
    // The node's own set, which Fire adds tracks to. Not owned.
    AnimationSet* runningSet;

    explicit AnimationScript(AnimationSet* runningSet);
    AnimationScript(const AnimationScript&) = delete;
    AnimationScript& operator=(const AnimationScript&) = delete;

    // Appends an empty, enabled cue, makes it current and returns its index.
    int AddCue();

    // Makes cue `index` current if it exists and is enabled; otherwise
    // returns false and changes nothing.
    bool SelectCue(int index);

    // Append to the current cue; ignored while there is no cue yet.
    void AddTrack(AnimationTrack track);
    void AddCommand(int trackId, TrackAction action);
    void AddChainedCue(AnimationScript* script, int cue);

    // Copies the cue's tracks into the running set (fresh copies at every
    // firing), then carries out its commands on every running track with the
    // named id (including the copies just added), then fires its chained cues
    // depth first. Does nothing for an index that is not an enabled cue. A
    // chain that leads back to a cue still being fired is not followed, so a
    // cycle of chains fires each of its cues once.
    void Fire(int index);

private:
    bool IsEnabledCue(int index) const;

    // Per cue, set while that cue is being fired.
    std::vector<std::uint8_t> cueFiring;
};

}
