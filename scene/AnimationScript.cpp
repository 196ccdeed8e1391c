#include "scene/AnimationScript.h"

namespace tarnwood {

AnimationScript::AnimationScript(AnimationSet* runningSet) : runningSet(runningSet)
{
}

int AnimationScript::AddCue()
{
    cueEnabled.push_back(1);
    cueTracks.emplace_back();
    cueCommands.emplace_back();
    cueChains.emplace_back();
    cueFiring.push_back(0);
    currentCue = static_cast<int>(cueEnabled.size()) - 1;
    return currentCue;
}

bool AnimationScript::IsEnabledCue(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < cueEnabled.size() && cueEnabled[index] == 1;
}

bool AnimationScript::SelectCue(int index)
{
    if (!IsEnabledCue(index))
        return false;
    currentCue = index;
    return true;
}

void AnimationScript::AddTrack(AnimationTrack track)
{
    if (currentCue < 0)
        return;
    cueTracks[currentCue].push_back(track);
}

void AnimationScript::AddCommand(int trackId, TrackAction action)
{
    if (currentCue < 0)
        return;
    cueCommands[currentCue].push_back(Command{trackId, action});
}

void AnimationScript::AddChainedCue(AnimationScript* script, int cue)
{
    if (currentCue < 0)
        return;
    cueChains[currentCue].push_back(Chain{script, cue});
}

void AnimationScript::Fire(int index)
{
    if (!IsEnabledCue(index) || cueFiring[index])
        return;
    cueFiring[index] = 1;
    if (runningSet != nullptr) {
        for (const AnimationTrack& track : cueTracks[index])
            runningSet->Add(track);
        for (const Command& command : cueCommands[index]) {
            switch (command.action) {
            case TrackAction::Pause:
                runningSet->PauseTrack(command.trackId);
                break;
            case TrackAction::Resume:
                runningSet->ResumeTrack(command.trackId);
                break;
            case TrackAction::Finish:
                runningSet->FinishTrack(command.trackId);
                break;
            }
        }
    }
    for (const Chain& chain : cueChains[index])
        if (chain.script != nullptr)
            chain.script->Fire(chain.cue);
    cueFiring[index] = 0;
}

}
