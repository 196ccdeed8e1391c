#include "content/FrameRate.h"

#include "content/NodeBuilding.h"
#include "content/ScenePlacement.h"
#include "scene/SceneNode.h"
#include "scene/StandardBehaviours.h"
#include "scene/StandardHooks.h"

#include <memory>

namespace tarnwood {

int framesCounted = 0;

namespace {

void AddDigit(int digit, double x)
{
    auto node = std::make_unique<SceneNode>();
    node->SetPosition(x, 0.0, 0.0);
    node->AddRenderHook(DepthTestOffHook, 0);
    node->LoadModel("utils.pak", kDigits[digit]);
    node->script.AddCue();
    AnimationTrack track(1, 1, 0.0);
    track.Configure(KillAfterBehaviour, 5000.0, 0.0, 0.0);
    node->script.AddTrack(track);
    node->script.Fire(0);
    currentNode->AddChild(std::move(node));
}

}

void FrameRateBehaviour(int)
{
    ++framesCounted;
    if (currentTrack->time <= 0.0)
        return;
    currentTrack->time -= 5000.0;
    AddDigit((framesCounted / 5) % 10, kFrameRateDigitX[2]);
    if (framesCounted > 49)
        AddDigit((framesCounted / 50) % 10, kFrameRateDigitX[1]);
    if (framesCounted > 499)
        AddDigit((framesCounted / 500) % 10, kFrameRateDigitX[0]);
    framesCounted = 0;
}

}
