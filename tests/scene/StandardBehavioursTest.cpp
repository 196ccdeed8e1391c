#include "SceneTestFixture.h"

#include "scene/StandardBehaviours.h"
#include "support/LocalTime.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace tarnwood {
namespace {

using test::Matrix;
using test::ModelView;
using test::SceneTest;

using StandardBehavioursTest = SceneTest;

constexpr double pi = std::numbers::pi;

// Runs `behaviour` once on a fresh set with the track's time already at
// `time` (a step of 0) and returns what it left in the deltaTransform.
Transform RunOnce(Behaviour behaviour, int selector, double a, double b, double c, double time)
{
    AnimationSet set;
    AnimationTrack track(1, 1, 0.0);
    track.Configure(behaviour, selector, a, b, c);
    track.time = time;
    set.Add(track);
    set.Update();
    return set.deltaTransform;
}

TEST_F(StandardBehavioursTest, TargetBehavioursFollowTheTrackTime)
{
    struct Case {
        const char* name;
        Behaviour behaviour;
        int selector;
        double a, b, c, time;
        Vec3 position;
        Vec3 rotation;
    };
    const double approach = 10.0 * (1.0 - std::exp(-1.0));
    const std::vector<Case> cases = {
        {"oscillate position", OscillatePositionBehaviour, 1, 2.0, pi, 0.0, 500.0, {0, 2, 0}, {}},
        {"oscillate position, phase", OscillatePositionBehaviour, 0, 3.0, pi, pi / 2, 1000.0, {-3, 0, 0}, {}},
        {"oscillate position, amplitude 0", OscillatePositionBehaviour, 2, 0.0, pi, 0.0, 500.0, {}, {}},
        {"oscillate position, no axis", OscillatePositionBehaviour, 3, 2.0, pi, 0.0, 500.0, {}, {}},
        {"move position", MovePositionBehaviour, 0, 3.0, 0.0, 0.0, 2000.0, {6, 0, 0}, {}},
        {"move position, no axis", MovePositionBehaviour, -1, 3.0, 0.0, 0.0, 2000.0, {}, {}},
        {"approach position", ApproachPositionBehaviour, 2, 10.0, -1.0, 0.0, 1000.0, {0, 0, approach}, {}},
        {"approach position, start", ApproachPositionBehaviour, 2, 10.0, -1.0, 0.0, 0.0, {}, {}},
        {"turn rotation", TurnRotationBehaviour, 1, 90.0, 5.0, 0.0, 2000.0, {}, {0, 185, 0}},
        {"turn rotation, no axis", TurnRotationBehaviour, 3, 90.0, 5.0, 0.0, 2000.0, {}, {}},
        {"oscillate rotation", OscillateRotationBehaviour, 2, 30.0, pi, pi / 2, 1000.0, {}, {0, 0, -30}},
        {"oscillate rotation, no axis", OscillateRotationBehaviour, 5, 30.0, pi, pi / 2, 1000.0, {}, {}},
    };
    for (const Case& c : cases) {
        const Transform t = RunOnce(c.behaviour, c.selector, c.a, c.b, c.c, c.time);
        EXPECT_NEAR(t.position.x, c.position.x, 1e-9) << c.name;
        EXPECT_NEAR(t.position.y, c.position.y, 1e-9) << c.name;
        EXPECT_NEAR(t.position.z, c.position.z, 1e-9) << c.name;
        EXPECT_NEAR(t.rotation.x, c.rotation.x, 1e-9) << c.name;
        EXPECT_NEAR(t.rotation.y, c.rotation.y, 1e-9) << c.name;
        EXPECT_NEAR(t.rotation.z, c.rotation.z, 1e-9) << c.name;
        EXPECT_EQ(t.scaled, 0) << c.name;
    }
}

TEST_F(StandardBehavioursTest, DriftAndSpinAccumulateOnTheNodeAndResetTime)
{
    struct Case {
        const char* name;
        Behaviour behaviour;
        int selector;
        double a, b;
        Vec3 position;
        Vec3 rotation;
    };
    // Steps of 1000 ms and then 500 ms.
    const std::vector<Case> cases = {
        {"drift", DriftPositionBehaviour, 1, 10.0, 0.0, {0, 15, 0}, {}},
        {"drift, no axis", DriftPositionBehaviour, 3, 10.0, 0.0, {}, {}},
        {"spin", SpinRotationBehaviour, 0, 90.0, 1.0, {}, {137, 0, 0}},
        {"spin, no axis", SpinRotationBehaviour, -1, 90.0, 1.0, {}, {}},
    };
    for (const Case& c : cases) {
        frameTick = 0;
        SceneNode node;
        AnimationTrack track(1, 1, 0.0);
        track.Configure(c.behaviour, c.selector, c.a, c.b, 0.0);
        node.animations.Add(track);
        Frame(1000, node);
        Frame(1500, node);
        const Transform& t = node.transform;
        EXPECT_DOUBLE_EQ(t.position.x, c.position.x) << c.name;
        EXPECT_DOUBLE_EQ(t.position.y, c.position.y) << c.name;
        EXPECT_DOUBLE_EQ(t.rotation.x, c.rotation.x) << c.name;
        EXPECT_DOUBLE_EQ(t.rotation.y, c.rotation.y) << c.name;
        EXPECT_EQ(node.animations.tracks[0].time, 0.0) << c.name;
        EXPECT_EQ(node.animations.deltaTransform.position.y, 0.0) << c.name;
    }
}

TEST_F(StandardBehavioursTest, KillAfterKillsOnlyOnceTimeExceedsTheLimit)
{
    SceneNode root;
    SceneNode* node = root.AddChild(std::make_unique<SceneNode>());
    AnimationTrack track(1, 1, 0.0);
    track.Configure(KillAfterBehaviour, 12000.0, 0.0, 0.0);
    node->animations.Add(track);

    Frame(11999, root);
    EXPECT_EQ(node->dying, 0);
    Frame(12000, root);
    EXPECT_EQ(node->animations.tracks[0].time, 12000.0);
    EXPECT_EQ(node->dying, 0);
    Frame(12001, root);
    EXPECT_EQ(node->dying, 1);
    EXPECT_EQ(root.dying, 0);
}

TEST_F(StandardBehavioursTest, ClockHandsSetTheAngleFromTheLocalTime)
{
    WallClock::Instance().FixLocal(test::LocalTime(2026, 12, 11, 14, 31, 7), false);

    struct Case {
        int selector;
        Vec3 rotation;
    };
    // An earlier track turned the node 10 degrees about X in this frame; a
    // hand replaces that, any other selector leaves it.
    for (const Case& c :
         {Case{1, {0, 0, -42}}, Case{2, {0, 0, -186}}, Case{3, {0, 0, -435}}, Case{0, {10, 0, 0}}, Case{4, {10, 0, 0}}}) {
        AnimationSet set;
        AnimationTrack turn(1, 1, 0.0);
        turn.Configure(TurnRotationBehaviour, 0, 0.0, 10.0, 0.0);
        set.Add(turn);
        AnimationTrack hand(2, 1, 0.0);
        hand.Configure(ClockHandBehaviour, c.selector, 0.0, 0.0, 0.0);
        set.Add(hand);
        glLoadIdentity();
        set.Update();
        EXPECT_EQ(set.deltaTransform.rotation.x, c.rotation.x) << "selector " << c.selector;
        EXPECT_EQ(set.deltaTransform.rotation.y, c.rotation.y) << "selector " << c.selector;
        EXPECT_EQ(set.deltaTransform.rotation.z, c.rotation.z) << "selector " << c.selector;
    }
}

TEST_F(StandardBehavioursTest, LightPositionPutsTheChosenLightAtTheNodeOrigin)
{
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    ASSERT_GE(maxLights, 8);
    const GLfloat marker[4] = {9.0f, 9.0f, 9.0f, 0.0f};

    for (int selector : {0, 1, 5, 6, -1}) {
        glLoadIdentity();
        for (int light = 0; light < 8; ++light)
            glLightfv(static_cast<GLenum>(GL_LIGHT0 + light), GL_POSITION, marker);

        SceneNode root;
        root.SetPosition(1.0, 2.0, 3.0);
        SceneNode* node = root.AddChild(std::make_unique<SceneNode>());
        node->SetPosition(0.0, 0.0, -10.0);
        // Applied after the light is placed, so it does not move it.
        AnimationTrack offset(1, 1, 0.0);
        offset.Configure(MovePositionBehaviour, 0, 1.0, 0.0, 0.0);
        offset.time = 50000.0;
        node->animations.Add(offset);
        AnimationTrack light(2, 1, 0.0);
        light.Configure(LightPositionBehaviour, selector, 0.0, 0.0, 0.0);
        node->animations.Add(light);
        Frame(0, root);

        for (int i = 0; i < 8; ++i) {
            GLfloat position[4];
            glGetLightfv(static_cast<GLenum>(GL_LIGHT0 + i), GL_POSITION, position);
            const bool moved = i == selector && selector >= 1 && selector <= 5;
            const GLfloat expected[4] = {1.0f, 2.0f, -7.0f, 1.0f};
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(position[k], moved ? expected[k] : marker[k])
                    << "selector " << selector << ", light " << i << ", component " << k;
        }
    }
}

}
}
