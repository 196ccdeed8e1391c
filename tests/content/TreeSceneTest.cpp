#include "SceneFixture.h"

#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FallingLeaf.h"
#include "content/FrameRate.h"
#include "scene/StandardBehaviours.h"
#include "scene/StandardHooks.h"

#include <GL/gl.h>

#include <algorithm>

namespace tarnwood {
namespace {

using test::EntryOf;
using test::SceneFixture;

const AnimationTrack& FirstCueTrack(const SceneNode& node, std::size_t index = 0)
{
    return node.script.cueTracks.at(0).at(index);
}

SceneNode& Child(SceneNode& node, std::size_t index)
{
    return *node.children.at(index);
}

TEST_F(SceneFixture, DefaultSettingsBuildCalendarAndTwelveHourClockAndAddTheDelayedModelOnce)
{
    Build();
    ASSERT_EQ(Overlay().children.size(), 2u);
    const AnimationTrack& calendar = FirstCueTrack(Child(Overlay(), 0));
    EXPECT_EQ(calendar.behaviour, &BuildCalendar);
    EXPECT_EQ(calendar.selector, 1);
    const AnimationTrack& clock = FirstCueTrack(Child(Overlay(), 1));
    EXPECT_EQ(clock.behaviour, &BuildDigitalClock);
    EXPECT_EQ(clock.selector, 0);
    ASSERT_EQ(Overlay().hooks.size(), 1u);
    EXPECT_EQ(Overlay().hooks[0].function, &DepthTestOffHook);

    Frame(16);
    Frame(30000);
    Frame(60000);
    EXPECT_EQ(Overlay().children.size(), 2u) << "added at exactly 60000 ms";
    Frame(60001);
    ASSERT_EQ(Overlay().children.size(), 3u);
    SceneNode& delayed = Child(Overlay(), 2);
    EXPECT_EQ(EntryOf(delayed, "main.pak"), "nn");
    EXPECT_TRUE(delayed.transform.scaled);
    EXPECT_DOUBLE_EQ(delayed.transform.scale.x, 0.5);
    Frame(61000);
    Frame(200000);
    EXPECT_EQ(Overlay().children.size(), 3u);
}

TEST_F(SceneFixture, WorldHoldsLightAndTreeGroupWithSkyTreeAndLeafSpawner)
{
    Build();
    ASSERT_EQ(World().children.size(), 2u);
    SceneNode& light = Child(World(), 0);
    EXPECT_DOUBLE_EQ(light.transform.position.z, 90.0);
    EXPECT_EQ(FirstCueTrack(light).behaviour, &LightPositionBehaviour);

    SceneNode& group = Child(World(), 1);
    EXPECT_DOUBLE_EQ(group.transform.position.y, -22.0);
    EXPECT_DOUBLE_EQ(group.transform.rotation.x, -105.0);
    ASSERT_EQ(group.script.cueTracks.at(0).size(), 3u);
    const AnimationTrack& turn = FirstCueTrack(group, 0);
    EXPECT_EQ(turn.behaviour, &TurnRotationBehaviour);
    EXPECT_GE(turn.paramB, 0.0);
    EXPECT_LE(turn.paramB, 359.0);
    EXPECT_EQ(turn.paramB, static_cast<int>(turn.paramB)) << "a whole number of degrees";
    EXPECT_DOUBLE_EQ(FirstCueTrack(group, 1).paramC, turn.paramB * 6.28318530717956 / 360);

    ASSERT_EQ(group.children.size(), 3u);
    EXPECT_EQ(EntryOf(Child(group, 0), "main.pak"), "nebo");
    EXPECT_EQ(Child(group, 0).hooks.at(0).function, &LightingOffHook);
    SceneNode& tree = Child(group, 1);
    EXPECT_EQ(tree.modelArchives.size(), 2u) << "tree and table load into one node";
    EXPECT_EQ(EntryOf(tree, "main.pak"), "tree");
    SceneNode& spawner = Child(Child(group, 2), 0);
    EXPECT_EQ(FirstCueTrack(spawner).behaviour, &FallingLeafBehaviour);

    GLfloat quadratic = 0;
    glGetLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, &quadratic);
    EXPECT_FLOAT_EQ(quadratic, 0.00007f);
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.5f);
}

TEST_F(SceneFixture, SettingsDecideTheOverlaysAndTheirCorners)
{
    Settings none;
    none.showCalendar = none.showClock = 0;
    Build(none);
    EXPECT_TRUE(Overlay().children.empty());
    roots = {};

    Settings all;
    all.showFrameRate = 1;
    all.analogClock = 1;
    all.clock24Hour = 1;
    all.calendarRus = 1;
    all.largeClock = 0;
    Build(all);
    ASSERT_EQ(Overlay().children.size(), 3u);
    EXPECT_EQ(FirstCueTrack(Child(Overlay(), 0)).selector, 0) << "Monday-first calendar";
    SceneNode& frameRate = Child(Overlay(), 1);
    EXPECT_NEAR(frameRate.transform.position.x, display->EdgeX(-100) + 5, 1e-9);
    EXPECT_NEAR(frameRate.transform.position.y, -2.5 - display->EdgeY(-100), 1e-9);
    EXPECT_EQ(EntryOf(frameRate, "utils.pak"), "fps");
    SceneNode& clock = Child(Overlay(), 2);
    EXPECT_EQ(FirstCueTrack(clock).behaviour, &BuildAnalogClock) << "24-hour has no effect on the analogue clock";
    EXPECT_NEAR(clock.transform.position.x, -display->EdgeX(-170), 1e-9);
    EXPECT_NEAR(clock.transform.position.z, -70.0, 1e-9);
}

TEST_F(SceneFixture, ArchivesReadAheadAreTheOnesTheSceneOpens)
{
    // Each overlay alone and all or none of them: the archives open after
    // the build and the first frame (which builds the clock and calendar)
    // are exactly the ones named for reading ahead.
    const std::vector<std::string> every = {"debug.pak", "main.pak", "calendar.pak", "utils.pak", "clock.pak"};
    for (int shown = 0; shown < 5; ++shown) {
        Settings settings;
        settings.showCalendar = shown == 1 || shown == 4;
        settings.showFrameRate = shown == 2 || shown == 4;
        settings.showClock = shown == 3 || shown == 4;
        const std::vector<std::string> named = SceneArchives(settings.Overlays());
        Build(settings);
        Frame(lastTick + 16);
        for (const std::string& archive : every) {
            const bool isNamed = std::find(named.begin(), named.end(), archive) != named.end();
            EXPECT_EQ(ResourceManager::Instance().FindArchive(archive) != nullptr, isNamed)
                << archive << " with overlays " << shown;
        }
        roots = {};
    }
}

TEST_F(SceneFixture, FirstStepOfTwoSecondsSpawnsSevenLeaves)
{
    Build();
    Frame(2000);
    SceneNode& spawner = Child(Child(Child(World(), 1), 2), 0);
    ASSERT_EQ(spawner.children.size(), 7u);
    ASSERT_EQ(spawner.animations.tracks.size(), 1u);
    EXPECT_DOUBLE_EQ(spawner.animations.tracks[0].time, -100.0);
    const SceneNode& leaf = *spawner.children[0];
    EXPECT_EQ(EntryOf(leaf, "main.pak"), "list");
    EXPECT_DOUBLE_EQ(leaf.transform.scale.x, 0.1);
    ASSERT_EQ(leaf.animations.tracks.size(), 8u);
    EXPECT_EQ(leaf.animations.tracks[0].behaviour, &KillAfterBehaviour);
    EXPECT_DOUBLE_EQ(leaf.animations.tracks[0].paramA, 12000.0);
    EXPECT_EQ(leaf.animations.tracks[1].behaviour, &MovePositionBehaviour);
    EXPECT_TRUE(leaf.animations.tracks[1].paramA == -5.5 || leaf.animations.tracks[1].paramA == -4.5);
    Frame(2000);
    EXPECT_EQ(spawner.children.size(), 7u) << "a step of 0 ms spawns nothing";
}

TEST(LeafTuning, RateAndSpeedGiveIntervalLifetimeAndFallRate)
{
    struct {
        double rate, speed, interval, lifetime, fall;
    } cases[] = {
        {50, 50, 300, 12000, -5.5},
        {100, 100, 150, 7000, -8},
        {0, 0, 600, 17000, -3},
        {75, 25, 225, 14500, -4.25},
    };
    for (const auto& c : cases) {
        leafRatePercent = c.rate;
        leafSpeedPercent = c.speed;
        EXPECT_DOUBLE_EQ(LeafSpawnInterval(), c.interval) << c.rate;
        EXPECT_DOUBLE_EQ(LeafLifetime(), c.lifetime) << c.speed;
        EXPECT_DOUBLE_EQ(LeafFallRateBase(), c.fall) << c.speed;
    }
    leafRatePercent = leafSpeedPercent = 50.0;
}

TEST_F(SceneFixture, FrameRateDigitsShowFramesPerSecond)
{
    Settings settings;
    settings.showFrameRate = 1;
    settings.showClock = settings.showCalendar = 0;
    Build(settings);
    SceneNode& node = Child(Overlay(), 0);
    struct {
        int frames;
        std::vector<std::string> digits;
    } cases[] = {{300, {"0", "6"}}, {45, {"9"}}, {600, {"0", "2", "1"}}};
    std::uint32_t tick = 1;
    for (const auto& c : cases) {
        // The renewal counts the frame it runs in, so it sees c.frames.
        framesCounted = c.frames - 1;
        Frame(tick += 5000);
        std::vector<std::string> shown;
        for (const auto& child : node.children)
            if (!child->dying)
                shown.push_back(EntryOf(*child, "utils.pak"));
        ASSERT_GE(shown.size(), c.digits.size());
        shown.erase(shown.begin(), shown.end() - static_cast<long>(c.digits.size()));
        EXPECT_EQ(shown, c.digits) << c.frames << " frames";
        EXPECT_EQ(framesCounted, 0);
    }
}

}
}
