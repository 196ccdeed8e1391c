#include "content/FallingLeaf.h"

#include "content/ScenePlacement.h"
#include "scene/SceneNode.h"
#include "scene/StandardBehaviours.h"

#include <cstdlib>
#include <memory>

namespace tarnwood {

double leafRatePercent = 50.0;
double leafSpeedPercent = 50.0;

namespace {

const double kTwoPiAsWritten = 6.28318530717956;

int Random(int k)
{
    return std::rand() % k;
}

AnimationTrack EndlessTrack()
{
    return AnimationTrack(1, 1, 0.0);
}

AnimationTrack TurnTrack(int axis)
{
    AnimationTrack track = EndlessTrack();
    const double b = Random(1000) * kTwoPiAsWritten / 1000;
    const double a = Random(500) / 10;
    track.Configure(TurnRotationBehaviour, axis, a, b, 0.0);
    return track;
}

AnimationTrack SwayTrack(int axis, double phase)
{
    AnimationTrack track = EndlessTrack();
    const double b = Random(50) / 10;
    const double a = Random(20) / 10;
    track.Configure(OscillatePositionBehaviour, axis, a, b, phase);
    return track;
}

std::unique_ptr<SceneNode> BuildLeaf()
{
    auto leaf = std::make_unique<SceneNode>();
    leaf->LoadModel("main.pak", "list");
    const int z = Random(40) - 20;
    const int y = Random(40) - 20;
    const int x = Random(20) - 10;
    leaf->SetPosition(x, y, z);
    leaf->SetScale(kFallingLeafScale, kFallingLeafScale, kFallingLeafScale);
    leaf->script.AddCue();

    const AnimationTrack turnZ = TurnTrack(2);
    const AnimationTrack turnX = TurnTrack(0);
    const AnimationTrack turnY = TurnTrack(1);
    const AnimationTrack swayX = SwayTrack(0, 0.0);
    const AnimationTrack swayY = SwayTrack(1, 1.0);
    const AnimationTrack swayZ = SwayTrack(2, 1.57079632679489);
    AnimationTrack lifetime = EndlessTrack();
    lifetime.Configure(KillAfterBehaviour, LeafLifetime(), 0.0, 0.0);
    AnimationTrack fall = EndlessTrack();
    fall.Configure(MovePositionBehaviour, 0, Random(200) / 100 + LeafFallRateBase(), 0.0, 0.0);

    for (const AnimationTrack& track : {lifetime, fall, turnZ, turnY, turnX, swayX, swayY, swayZ})
        leaf->script.AddTrack(track);
    leaf->script.Fire(0);
    return leaf;
}

}

double LeafSpawnInterval()
{
    const double r = leafRatePercent;
    if (r >= 50.0)
        return (r - 50.0) * 150.0 / (-50.0) + 300.0;
    return (50.0 - r) * 300.0 / 50.0 + 300.0;
}

double LeafLifetime()
{
    return (100.0 - leafSpeedPercent) * 10000.0 / 100.0 + 7000.0;
}

double LeafFallRateBase()
{
    return leafSpeedPercent * 5.0 / (-100.0) - 3.0;
}

void FallingLeafBehaviour(int)
{
    AnimationTrack& track = *currentTrack;
    if (track.time <= 0.0)
        return;
    const double interval = LeafSpawnInterval();
    int count = 0;
    while (track.time > 0.0) {
        ++count;
        track.time -= interval;
    }
    SceneNode* spawner = currentNode;
    for (int i = 0; i < count; ++i)
        spawner->AddChild(BuildLeaf());
}

}
