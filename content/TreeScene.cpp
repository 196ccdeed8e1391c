#include "content/TreeScene.h"

#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FallingLeaf.h"
#include "content/FrameRate.h"
#include "content/ScenePlacement.h"
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

AnimationTrack Endless()
{
    return AnimationTrack(1, 1, 0.0);
}
AnimationTrack OneShot()
{
    return AnimationTrack(1, 1, -1.0);
}

std::unique_ptr<SceneNode> BuildLight()
{
    auto light = std::make_unique<SceneNode>();
    light->LoadModel("debug.pak", "ort");
    light->SetPosition(kLightPosition.x, kLightPosition.y, kLightPosition.z);
    AnimationTrack track = Endless();
    track.Configure(LightPositionBehaviour, 1, 0.0, 0.0, 0.0);
    RunTrack(*light, track);
    return light;
}

std::unique_ptr<SceneNode> BuildTreeGroup()
{
    auto group = std::make_unique<SceneNode>();
    group->AddRenderHook(Light1Hook, 0);
    group->SetPosition(kTreeGroupPosition.x, kTreeGroupPosition.y, kTreeGroupPosition.z);
    group->SetRotation(kTreeGroupTilt, 0.0, 0.0);
    group->script.AddCue();
    const double r = static_cast<double>((std::rand() % 3600) / 10);
    const double p = r * 6.28318530717956 / 360;
    AnimationTrack turn = Endless();
    turn.Configure(TurnRotationBehaviour, 2, 4.0, r, 0.0);
    AnimationTrack sway = Endless();
    sway.Configure(OscillateRotationBehaviour, 0, 5.0, 0.1, p);
    AnimationTrack bob = Endless();
    bob.Configure(OscillatePositionBehaviour, 1, kTreeGroupBob, 0.1, p);
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

// The overlays' places at the screen corners, from the screen's edges at
// their depths. Builders may move a node on from there.
void PlaceCalendar(SceneNode& calendar, const ScreenEdges& edges)
{
    calendar.SetPosition(-edges.X(-211.0), edges.Y(183.0), -140.0);
}

void PlaceFrameRate(SceneNode& frameRate, const ScreenEdges& edges)
{
    frameRate.SetPosition(edges.X(-100.0) + 5.0, -2.5 - edges.Y(-100.0), 0.0);
}

void PlaceClock(SceneNode& clock, const OverlaySettings& settings, const ScreenEdges& edges)
{
    if (settings.largeClock)
        clock.SetPosition(-edges.X(-70.0), edges.Y(-70.0), 30.0);
    else
        clock.SetPosition(-edges.X(-170.0), edges.Y(-170.0), -70.0);
}

// Moves `node` by the difference between its places for the two sets of edges.
template <typename Place>
void MoveBetween(SceneNode& node, const ScreenEdges& before, const ScreenEdges& after, Place place)
{
    SceneNode was;
    SceneNode now;
    place(was, before);
    place(now, after);
    node.transform.MoveBy(now.transform.position.x - was.transform.position.x,
                          now.transform.position.y - was.transform.position.y,
                          now.transform.position.z - was.transform.position.z);
}

}

std::vector<std::string> SceneArchives(const OverlaySettings& settings)
{
    std::vector<std::string> names = {"debug.pak", "main.pak"};
    if (settings.showCalendar)
        names.push_back("calendar.pak");
    if (settings.showFrameRate)
        names.push_back("utils.pak");
    if (settings.showClock)
        names.push_back("clock.pak");
    return names;
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

SceneRoots BuildTreeScene(const OverlaySettings& settings, const ScreenEdges& edges)
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
        PlaceCalendar(*calendar, edges);
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
        PlaceFrameRate(*frameRate, edges);
        frameRate->LoadModel("utils.pak", "fps");
        AnimationTrack track = Endless();
        track.SetBehaviour(FrameRateBehaviour, 0);
        RunTrack(*frameRate, track);
        overlay.AddChild(std::move(frameRate));
    }

    if (settings.showClock) {
        auto clock = std::make_unique<SceneNode>();
        PlaceClock(*clock, settings, edges);
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

void MoveOverlays(SceneRoots& roots, const OverlaySettings& settings, const ScreenEdges& edgesBefore,
                  const ScreenEdges& edgesAfter)
{
    // The overlays are the overlay root's first children, in the order
    // BuildTreeScene adds them; the delayed model comes after them.
    std::size_t next = 0;
    auto nextChild = [&]() -> SceneNode* {
        return next < roots.overlayRoot->children.size() ? roots.overlayRoot->children[next++].get() : nullptr;
    };
    if (settings.showCalendar)
        if (SceneNode* calendar = nextChild())
            MoveBetween(*calendar, edgesBefore, edgesAfter, PlaceCalendar);
    if (settings.showFrameRate)
        if (SceneNode* frameRate = nextChild())
            MoveBetween(*frameRate, edgesBefore, edgesAfter, PlaceFrameRate);
    if (settings.showClock)
        if (SceneNode* clock = nextChild())
            MoveBetween(*clock, edgesBefore, edgesAfter,
                        [&](SceneNode& node, const ScreenEdges& edges) { PlaceClock(node, settings, edges); });
}

}
