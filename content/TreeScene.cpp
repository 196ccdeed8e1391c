#include "content/TreeScene.h"

#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FallingLeaf.h"
#include "content/FrameRate.h"
#include "scene/StandardBehaviours.h"
#include "scene/StandardHooks.h"

#include <GL/gl.h>
#include <cstdlib>

namespace tarnwood {

namespace {

void ConfigureLight1()
{
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat specular[] = {0.5f, 0.5f, 0.5f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    const GLfloat constant = 0.0f;
    const GLfloat quadratic = 0.00007f;
    glLightfv(GL_LIGHT1, GL_CONSTANT_ATTENUATION, &constant);
    glLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, &quadratic);
}

// Adds a cue with one track to `node`'s script and fires it.
void RunTrack(SceneNode& node, const AnimationTrack& track)
{
    node.script.AddCue();
    node.script.AddTrack(track);
    node.script.Fire(0);
}

AnimationTrack Endless() { return AnimationTrack(1, 1, 0.0); }
AnimationTrack OneShot() { return AnimationTrack(1, 1, -1.0); }

std::unique_ptr<SceneNode> BuildLight()
{
    auto light = std::make_unique<SceneNode>();
    light->LoadModel("debug.pak", "ort");
    light->SetPosition(0.0, 5.0, 90.0);
    AnimationTrack track = Endless();
    track.Configure(LightPositionBehaviour, 1, 0.0, 0.0, 0.0);
    RunTrack(*light, track);
    return light;
}

std::unique_ptr<SceneNode> BuildTreeGroup()
{
    auto group = std::make_unique<SceneNode>();
    group->AddRenderHook(Light1Hook, 0);
    group->SetPosition(0.0, -22.0, 40.0);
    group->SetRotation(-105.0, 0.0, 0.0);
    group->script.AddCue();
    const double r = static_cast<double>((std::rand() % 3600) / 10);
    const double p = r * 6.28318530717956 / 360;
    AnimationTrack turn = Endless();
    turn.Configure(TurnRotationBehaviour, 2, 4.0, r, 0.0);
    AnimationTrack sway = Endless();
    sway.Configure(OscillateRotationBehaviour, 0, 5.0, 0.1, p);
    AnimationTrack bob = Endless();
    bob.Configure(OscillatePositionBehaviour, 1, 10.0, 0.1, p);
    group->script.AddTrack(turn);
    group->script.AddTrack(sway);
    group->script.AddTrack(bob);
    group->script.Fire(0);

    auto sky = std::make_unique<SceneNode>();
    sky->LoadModel("main.pak", "nebo");
    sky->AddRenderHook(LightingOffHook, 0);
    group->AddChild(std::move(sky));

    auto tree = std::make_unique<SceneNode>();
    tree->LoadModel("main.pak", "tree");
    tree->LoadModel("main.pak", "tabl");
    group->AddChild(std::move(tree));

    auto turnNode = std::make_unique<SceneNode>();
    turnNode->SetRotation(0.0, -90.0, 0.0);
    auto spawner = std::make_unique<SceneNode>();
    spawner->SetPosition(30.0, 0.0, 0.0);
    AnimationTrack leaves = Endless();
    leaves.SetBehaviour(FallingLeafBehaviour, 0);
    RunTrack(*spawner, leaves);
    turnNode->AddChild(std::move(spawner));
    group->AddChild(std::move(turnNode));
    return group;
}

}

void DelayedModelBehaviour(int)
{
    if (currentTrack->time <= 60000.0)
        return;
    currentTrack->finished = 1;
    auto model = std::make_unique<SceneNode>();
    model->LoadModel("main.pak", "nn");
    model->SetScale(0.5, 0.5, 0.5);
    currentNode->AddChild(std::move(model));
}

SceneRoots BuildTreeScene(const Settings& settings, const Display& display)
{
    SceneRoots roots{std::make_unique<SceneNode>(), std::make_unique<SceneNode>()};
    SceneNode& world = *roots.worldRoot;
    SceneNode& overlay = *roots.overlayRoot;
    leafRatePercent = 50.0;
    leafSpeedPercent = 50.0;
    ConfigureLight1();

    world.AddChild(BuildLight());
    world.AddChild(BuildTreeGroup());

    if (settings.showCalendar) {
        auto calendar = std::make_unique<SceneNode>();
        calendar->SetPosition(-display.EdgeX(-211.0), display.EdgeY(183.0), -140.0);
        AnimationTrack track = OneShot();
        track.Configure(BuildCalendar, settings.calendarRus ? 0 : 1, 0.0, 0.0, 0.0);
        RunTrack(*calendar, track);
        overlay.AddChild(std::move(calendar));
    }

    overlay.script.AddCue();
    overlay.SetPosition(0.0, 0.0, 0.0);
    AnimationTrack delayed = Endless();
    delayed.SetBehaviour(DelayedModelBehaviour, 0);
    overlay.script.AddTrack(delayed);
    overlay.script.Fire(0);
    overlay.AddRenderHook(DepthTestOffHook, 0);

    if (settings.showFrameRate) {
        auto frameRate = std::make_unique<SceneNode>();
        frameRate->SetPosition(display.EdgeX(-100.0) + 5.0, -2.5 - display.EdgeY(-100.0), 0.0);
        frameRate->LoadModel("utils.pak", "fps");
        AnimationTrack track = Endless();
        track.SetBehaviour(FrameRateBehaviour, 0);
        RunTrack(*frameRate, track);
        overlay.AddChild(std::move(frameRate));
    }

    if (settings.showClock) {
        auto clock = std::make_unique<SceneNode>();
        if (settings.largeClock)
            clock->SetPosition(-display.EdgeX(-70.0), display.EdgeY(-70.0), 30.0);
        else
            clock->SetPosition(-display.EdgeX(-170.0), display.EdgeY(-170.0), -70.0);
        AnimationTrack track = OneShot();
        if (settings.analogClock)
            track.SetBehaviour(BuildAnalogClock, 0);
        else
            track.Configure(BuildDigitalClock, settings.clock24Hour ? 1 : 0, 0.0, 0.0, 0.0);
        RunTrack(*clock, track);
        overlay.AddChild(std::move(clock));
    }
    return roots;
}

}
