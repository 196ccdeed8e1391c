#include "SceneTestFixture.h"

#include "scene/AnimationScript.h"
#include "scene/AnimationSet.h"
#include "scene/AnimationTrack.h"

#include <vector>

namespace tarnwood {
namespace {

using test::ModelView;
using test::SceneTest;

struct Call {
    int id;
    int userData;
    double time;
    double elapsed;
};

std::vector<Call> calls;

void Record(int userData)
{
    calls.push_back(Call{currentTrack->id, userData, currentTrack->time, currentTrack->elapsed});
}

// Adds paramA to the target's X position.
void AddToX(int)
{
    currentTrack->target->MoveBy(currentTrack->paramA, 0.0, 0.0);
}

AnimationTrack RecordingTrack(int id, double duration, int userData = 0)
{
    AnimationTrack track(id, 1, duration);
    track.SetBehaviour(Record, userData);
    return track;
}

std::vector<int> CalledIds()
{
    std::vector<int> ids;
    for (const Call& call : calls)
        ids.push_back(call.id);
    return ids;
}

std::vector<int> RunningIds(const AnimationSet& set)
{
    std::vector<int> ids;
    for (const AnimationTrack& track : set.tracks)
        ids.push_back(track.id);
    return ids;
}

class AnimationTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        calls.clear();
    }

    // Advances frameTick by `step` and updates the set once.
    static void Step(AnimationSet& set, std::uint32_t step)
    {
        frameTick += step;
        glLoadIdentity();
        set.Update();
    }
};

TEST_F(AnimationTest, ConstructionDecidesEndlessAndFinite)
{
    struct Case {
        double duration;
        int active;
        bool endless;
        bool active_after;
    };
    for (const Case& c : {Case{0.0, 1, true, true}, Case{-1.0, 1, false, true}, Case{1000.0, 1, false, true},
                          Case{5.0, 0, false, false}, Case{0.0, 256, true, false}}) {
        AnimationTrack track(3, c.active, c.duration);
        EXPECT_EQ(track.endless != 0, c.endless) << "duration " << c.duration;
        EXPECT_EQ(track.active != 0, c.active_after) << "active " << c.active;
        EXPECT_EQ(track.finished, 0);
        EXPECT_EQ(track.time, 0.0);
        EXPECT_EQ(track.elapsed, 0.0);
        if (!c.endless)
            EXPECT_EQ(track.duration, c.duration);
    }
}

TEST_F(AnimationTest, EndlessAndOneShotTracksOverManyFrames)
{
    AnimationSet set;
    set.Add(RecordingTrack(1, 0.0));
    set.Add(RecordingTrack(2, -1.0));
    for (int frame = 0; frame < 5; ++frame)
        Step(set, 100);

    EXPECT_EQ(CalledIds(), (std::vector<int>{1, 2, 1, 1, 1, 1}));
    EXPECT_EQ(RunningIds(set), (std::vector<int>{1}));
    EXPECT_EQ(set.tracks[0].time, 500.0);
}

TEST_F(AnimationTest, FiniteTrackRunsUpToTheStepThatReachesItsDuration)
{
    AnimationSet set;
    set.Add(RecordingTrack(1, 1000.0));
    for (int frame = 0; frame < 3; ++frame)
        Step(set, 400);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].elapsed, 400.0);
    EXPECT_EQ(calls[1].elapsed, 800.0);
    EXPECT_EQ(calls[2].elapsed, 1200.0);
    EXPECT_EQ(set.tracks.size(), 1u);
    EXPECT_EQ(set.tracks[0].finished, 1);

    Step(set, 400);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_TRUE(set.tracks.empty());
}

TEST_F(AnimationTest, TrackFinishesAtExactlyItsDuration)
{
    AnimationSet set;
    set.Add(RecordingTrack(1, 1000.0));
    Step(set, 999);
    EXPECT_EQ(set.tracks[0].finished, 0);
    Step(set, 1);
    EXPECT_EQ(set.tracks[0].finished, 1);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(AnimationTest, PausedTrackKeepsItsTimeAndResumesFromIt)
{
    AnimationSet set;
    set.Add(RecordingTrack(7, 0.0));
    Step(set, 100);
    set.PauseTrack(7);
    Step(set, 250);
    Step(set, 250);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(set.tracks[0].time, 100.0);
    EXPECT_EQ(set.tracks[0].elapsed, 100.0);

    set.ResumeTrack(7);
    Step(set, 30);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].time, 130.0);
    EXPECT_EQ(calls[1].elapsed, 130.0);
}

TEST_F(AnimationTest, CommandsActOnEveryTrackWithTheId)
{
    AnimationSet set;
    set.Add(RecordingTrack(7, 0.0));
    set.Add(RecordingTrack(8, 0.0));
    set.Add(RecordingTrack(7, 0.0));

    set.PauseTrack(7);
    Step(set, 10);
    EXPECT_EQ(CalledIds(), (std::vector<int>{8}));

    calls.clear();
    set.ResumeTrack(7);
    Step(set, 10);
    EXPECT_EQ(CalledIds(), (std::vector<int>{7, 8, 7}));

    calls.clear();
    set.PauseTrack(7);
    set.FinishTrack(7);
    set.PauseTrack(99);
    Step(set, 10);
    EXPECT_EQ(CalledIds(), (std::vector<int>{8}));
    EXPECT_EQ(RunningIds(set), (std::vector<int>{8}));
}

TEST_F(AnimationTest, ErasingFinishedTracksSkipsNoFollowingTrack)
{
    AnimationSet set;
    set.Add(RecordingTrack(1, 0.0));
    set.Add(RecordingTrack(2, -1.0));
    set.Add(RecordingTrack(3, -1.0));
    set.Add(RecordingTrack(4, 0.0));
    set.Add(RecordingTrack(5, -1.0));
    Step(set, 10);
    calls.clear();

    Step(set, 10);
    EXPECT_EQ(CalledIds(), (std::vector<int>{1, 4}));
    EXPECT_EQ(RunningIds(set), (std::vector<int>{1, 4}));
}

TEST_F(AnimationTest, DeltaTransformStartsFromIdentityEveryFrameAndAddsUp)
{
    AnimationSet set;
    for (double amount : {1.5, 2.0}) {
        AnimationTrack track(1, 1, 0.0);
        track.Configure(AddToX, amount, 0.0, 0.0);
        set.Add(track);
    }
    for (int frame = 0; frame < 3; ++frame) {
        Step(set, 16);
        EXPECT_EQ(set.deltaTransform.position.x, 3.5);
        // The offset reaches the GL matrix as a translation.
        EXPECT_DOUBLE_EQ(ModelView()[12], 3.5);
    }
}

TEST_F(AnimationTest, FirstStepDependsOnWhenTheSetWasMade)
{
    struct Case {
        std::uint32_t madeAt;
        std::uint32_t firstFrame;
        double firstTime;
    };
    // Made during a frame: step 0. Made before the first frame: the whole
    // first tick. Across the wrap of the tick counter: the true difference.
    for (const Case& c : {Case{500, 500, 0.0}, Case{0, 1234, 1234.0}, Case{0xFFFFFF00u, 0x100u, 512.0}}) {
        calls.clear();
        frameTick = c.madeAt;
        AnimationSet set;
        set.Add(RecordingTrack(1, 0.0));
        frameTick = c.firstFrame;
        set.Update();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].time, c.firstTime) << "made at " << c.madeAt;
    }
}

TEST_F(AnimationTest, TimeScaleTruncatesTheScaledStep)
{
    struct Case {
        double scale;
        std::uint32_t difference;
        double step;
    };
    for (const Case& c : {Case{0.5, 333, 166.0}, Case{2.0, 100, 200.0}, Case{0.0, 100, 0.0}, Case{1e300, 100, 0.0}}) {
        calls.clear();
        frameTick = 0;
        AnimationSet set;
        set.timeScale = c.scale;
        set.Add(RecordingTrack(1, 0.0));
        Step(set, c.difference);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].time, c.step) << "scale " << c.scale;
    }
}

TEST_F(AnimationTest, ConfigureSetsOnlyTheFieldsItNames)
{
    AnimationTrack base(1, 1, 0.0);
    base.SetBehaviour(AddToX, 42);
    base.selector = 9;
    base.selector2 = 8;

    AnimationTrack three = base;
    three.Configure(Record, 1.0, 2.0, 3.0);
    EXPECT_EQ(three.behaviour, &Record);
    EXPECT_EQ(three.userData, 0);
    EXPECT_EQ(three.selector, 9);
    EXPECT_EQ(three.selector2, 8);
    EXPECT_EQ(three.paramA, 1.0);
    EXPECT_EQ(three.paramB, 2.0);
    EXPECT_EQ(three.paramC, 3.0);

    AnimationTrack four = base;
    four.Configure(Record, 2, 1.0, 2.0, 3.0);
    EXPECT_EQ(four.selector, 2);
    EXPECT_EQ(four.selector2, 8);
    EXPECT_EQ(four.userData, 0);

    AnimationTrack five = base;
    five.Configure(Record, 2, 5, 1.0, 2.0, 3.0);
    EXPECT_EQ(five.selector, 2);
    EXPECT_EQ(five.selector2, 5);
    EXPECT_EQ(five.paramC, 3.0);

    AnimationTrack set = three;
    set.SetBehaviour(AddToX, 17);
    EXPECT_EQ(set.behaviour, &AddToX);
    EXPECT_EQ(set.userData, 17);
    EXPECT_EQ(set.paramA, 1.0);
    EXPECT_EQ(set.selector, 9);
}

TEST_F(AnimationTest, ActiveTrackWithoutBehaviourKeepsTime)
{
    AnimationSet set;
    set.Add(AnimationTrack(1, 1, 0.0));
    Step(set, 40);
    EXPECT_EQ(set.tracks[0].time, 40.0);
}

class AnimationScriptTest : public AnimationTest {};

TEST_F(AnimationScriptTest, FiringTwiceRunsTwoIndependentCopies)
{
    AnimationSet set;
    AnimationScript script(&set);
    EXPECT_EQ(script.AddCue(), 0);
    script.AddTrack(RecordingTrack(1, 0.0, 11));
    script.Fire(0);
    Step(set, 100);
    script.Fire(0);
    Step(set, 50);

    ASSERT_EQ(set.tracks.size(), 2u);
    EXPECT_EQ(set.tracks[0].time, 150.0);
    EXPECT_EQ(set.tracks[1].time, 50.0);
    EXPECT_EQ(set.tracks[0].target, &set.deltaTransform);
    EXPECT_EQ(calls.back().userData, 11);
    // The template itself never runs.
    EXPECT_EQ(script.cueTracks[0][0].time, 0.0);
}

TEST_F(AnimationScriptTest, CommandsActAfterTheCueAddsItsTracks)
{
    struct Case {
        TrackAction action;
        std::uint8_t active;
        std::uint8_t finished;
    };
    for (const Case& c : {Case{TrackAction::Pause, 0, 0}, Case{TrackAction::Resume, 1, 0}, Case{TrackAction::Finish, 1, 1},
                          Case{static_cast<TrackAction>(3), 1, 0}, Case{static_cast<TrackAction>(-1), 1, 0}}) {
        AnimationSet set;
        set.Add(RecordingTrack(5, 0.0));
        AnimationScript script(&set);
        script.AddCue();
        script.AddTrack(RecordingTrack(5, 0.0));
        script.AddCommand(5, c.action);
        script.Fire(0);
        ASSERT_EQ(set.tracks.size(), 2u);
        for (const AnimationTrack& track : set.tracks) {
            EXPECT_EQ(track.active, c.active) << "action " << static_cast<int>(c.action);
            EXPECT_EQ(track.finished, c.finished) << "action " << static_cast<int>(c.action);
        }
    }
}

TEST_F(AnimationScriptTest, ChainedCuesFireDepthFirst)
{
    AnimationSet set;
    AnimationScript a(&set);
    AnimationScript b(&set);
    b.AddCue();
    b.AddTrack(RecordingTrack(2, 0.0));
    b.AddChainedCue(&b, 1);
    b.AddCue();
    b.AddTrack(RecordingTrack(3, 0.0));

    a.AddCue();
    a.AddCue();
    a.AddTrack(RecordingTrack(4, 0.0));
    EXPECT_TRUE(a.SelectCue(0));
    a.AddTrack(RecordingTrack(1, 0.0));
    a.AddChainedCue(&b, 0);
    a.AddChainedCue(&a, 1);

    a.Fire(0);
    EXPECT_EQ(RunningIds(set), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(AnimationScriptTest, ChainCycleFiresEachCueOnce)
{
    AnimationSet set;
    AnimationScript a(&set);
    AnimationScript b(&set);
    a.AddCue();
    a.AddTrack(RecordingTrack(1, 0.0));
    a.AddChainedCue(&b, 0);
    a.AddChainedCue(&a, 0);
    b.AddCue();
    b.AddTrack(RecordingTrack(2, 0.0));
    b.AddChainedCue(&a, 0);

    a.Fire(0);
    EXPECT_EQ(RunningIds(set), (std::vector<int>{1, 2}));
    // The guard lasts only while the cue fires.
    a.Fire(0);
    EXPECT_EQ(RunningIds(set), (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(AnimationScriptTest, InvalidCuesChangeNothing)
{
    AnimationSet set;
    AnimationScript script(&set);
    script.AddTrack(RecordingTrack(1, 0.0));
    script.AddCommand(1, TrackAction::Finish);
    script.AddChainedCue(&script, 0);
    EXPECT_EQ(script.currentCue, -1);
    EXPECT_FALSE(script.SelectCue(0));

    script.AddCue();
    script.AddTrack(RecordingTrack(2, 0.0));
    for (int index : {-1, 1, 100})
        EXPECT_FALSE(script.SelectCue(index));
    EXPECT_EQ(script.currentCue, 0);
    script.Fire(-1);
    script.Fire(1);
    EXPECT_TRUE(set.tracks.empty());
    script.Fire(0);
    EXPECT_EQ(RunningIds(set), (std::vector<int>{2}));
}

}
}
