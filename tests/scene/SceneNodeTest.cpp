#include "SceneTestFixture.h"

#include "scene/SceneNode.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwood {
namespace {

using test::Matrix;
using test::ModelView;
using test::ModelViewDepth;
using test::SceneTest;

// Every hook call as "phase:parameter".
std::vector<std::string> hookCalls;

void RecordHook(int phase, int parameter)
{
    hookCalls.push_back(std::to_string(phase) + ":" + std::to_string(parameter));
}

// Per node (by userData), the times its recording track was stepped with and
// the model-view matrix and GL_NORMALIZE state it saw.
struct Step {
    int node;
    double time;
    Matrix modelView;
    bool normalize;
};
std::vector<Step> steps;

void RecordStep(int userData)
{
    steps.push_back(Step{userData, currentTrack->time, ModelView(), glIsEnabled(GL_NORMALIZE) == GL_TRUE});
}

std::vector<int> SteppedNodes()
{
    std::vector<int> nodes;
    for (const Step& step : steps)
        nodes.push_back(step.node);
    return nodes;
}

// Fires a cue holding one endless track with `behaviour` on `node`.
void RunEndless(SceneNode& node, Behaviour behaviour, int userData, double paramA = 0.0)
{
    AnimationTrack track(1, 1, 0.0);
    track.Configure(behaviour, paramA, 0.0, 0.0);
    track.userData = userData;
    node.script.AddCue();
    node.script.AddTrack(track);
    node.script.Fire(node.script.currentCue);
}

SceneNode* AddNode(SceneNode& parent)
{
    return parent.AddChild(std::make_unique<SceneNode>());
}

class SceneNodeTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        hookCalls.clear();
        steps.clear();
    }
};

TEST_F(SceneNodeTest, HookPhasesDependOnModelAndChildren)
{
    struct Case {
        bool hasMeshes;
        int children;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {false, 0, {}},
        {false, 2, {"3:10", "3:20", "4:10", "4:20", "3:10", "3:20", "4:10", "4:20"}},
        {true, 0, {"1:10", "1:20", "2:10", "2:20"}},
        {true, 1, {"1:10", "1:20", "2:10", "2:20", "3:10", "3:20", "4:10", "4:20"}},
    };
    for (const Case& c : cases) {
        hookCalls.clear();
        SceneNode root;
        root.hasMeshes = c.hasMeshes ? 1 : 0;
        root.AddRenderHook(RecordHook, 10);
        root.AddRenderHook(RecordHook, 20);
        root.AddRenderHook(nullptr, 30);
        for (int i = 0; i < c.children; ++i)
            AddNode(root);
        Frame(16, root);
        EXPECT_EQ(hookCalls, c.calls) << "hasMeshes " << c.hasMeshes << ", children " << c.children;
    }
}

TEST_F(SceneNodeTest, ChildrenArePlacedByTransformAndTracksButNotByScale)
{
    SceneNode root;
    root.hasMeshes = 1;
    root.SetPosition(1.0, 2.0, 3.0);
    root.SetScale(2.0, 3.0, 4.0);
    // The root's own track moves it 5 along X for this frame.
    RunEndless(
        root, [](int) { currentTrack->target->MoveBy(5.0, 0.0, 0.0); }, 0);
    SceneNode* child = AddNode(root);
    RunEndless(*child, RecordStep, 1);

    Frame(16, root);

    ASSERT_EQ(steps.size(), 1u);
    const Matrix expected = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 6, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(steps[0].modelView[i], expected[i]) << "element " << i;
    EXPECT_FALSE(steps[0].normalize);
    EXPECT_EQ(root.transform.position.x, 1.0);
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_EQ(ModelViewDepth(), 1);
    const Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(ModelView(), identity);
}

TEST_F(SceneNodeTest, UnitScaleStillMarksTheNodeScaled)
{
    SceneNode node;
    node.SetScale(1.0, 1.0, 1.0);
    EXPECT_EQ(node.transform.scaled, 1);
    node.transform.Reset();
    EXPECT_EQ(node.transform.scaled, 1);
    node.hasMeshes = 1;
    Frame(16, node);
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_EQ(ModelViewDepth(), 1);
}

TEST_F(SceneNodeTest, ChildAddedByParentsTrackRendersInTheSameFrameFromTimeZero)
{
    SceneNode root;
    // Adds one child with a recording track at its first step.
    RunEndless(
        root,
        [](int) {
            if (currentTrack->selector != 0)
                return;
            currentTrack->selector = 1;
            auto child = std::make_unique<SceneNode>();
            RunEndless(*child, RecordStep, 2);
            currentNode->AddChild(std::move(child));
        },
        0);

    Frame(500, root);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].time, 0.0);
    EXPECT_EQ(root.children.size(), 1u);

    Frame(616, root);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].time, 116.0);
    EXPECT_EQ(root.children.size(), 1u);
}

TEST_F(SceneNodeTest, NodeMadeBeforeTheFirstFrameStepsByTheFirstTick)
{
    SceneNode root;
    RunEndless(root, RecordStep, 1);
    Frame(3210, root);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].time, 3210.0);
}

TEST_F(SceneNodeTest, KilledSubtreeIsDeletedFromTheLeavesUpOneLevelPerFrame)
{
    SceneNode root;
    root.hasMeshes = 1;
    root.AddRenderHook(RecordHook, 0);
    RunEndless(root, RecordStep, 0);
    SceneNode* child = AddNode(root);
    child->hasMeshes = 1;
    RunEndless(*child, RecordStep, 1);
    SceneNode* grandchild = AddNode(*child);
    grandchild->hasMeshes = 1;
    RunEndless(*grandchild, RecordStep, 2);

    Frame(100, root);
    EXPECT_EQ(SteppedNodes(), (std::vector<int>{0, 1, 2}));
    steps.clear();
    hookCalls.clear();

    root.Kill();
    root.Kill();
    Frame(200, root);
    // Nothing animates or draws any more; the hooks around the child still run.
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"3:0", "4:0"}));
    EXPECT_EQ(child->dying, 1);
    EXPECT_EQ(grandchild->dying, 1);
    EXPECT_EQ(grandchild->dead, 1);
    EXPECT_EQ(child->dead, 0);
    EXPECT_EQ(root.dead, 0);

    Frame(300, root);
    EXPECT_TRUE(child->children.empty());
    EXPECT_EQ(child->dead, 1);
    EXPECT_EQ(root.dead, 0);
    EXPECT_EQ(root.children.size(), 1u);

    Frame(400, root);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(root.dead, 1);
    EXPECT_TRUE(steps.empty());

    // A dead root stays dead and renders nothing.
    hookCalls.clear();
    Frame(500, root);
    EXPECT_EQ(root.dead, 1);
    EXPECT_TRUE(hookCalls.empty());
    EXPECT_EQ(ModelViewDepth(), 1);
}

TEST_F(SceneNodeTest, NodeKilledByItsOwnTrackIsDrawnOnceMoreThenDeleted)
{
    SceneNode root;
    SceneNode* node = AddNode(root);
    node->hasMeshes = 1;
    node->AddRenderHook(RecordHook, 7);
    RunEndless(
        *node,
        [](int) {
            if (currentTrack->time > currentTrack->paramA)
                currentNode->Kill();
        },
        0, 150.0);

    Frame(100, root);
    EXPECT_EQ(node->dying, 0);
    hookCalls.clear();

    Frame(200, root);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"1:7", "2:7"}));
    EXPECT_EQ(node->dying, 1);
    EXPECT_EQ(node->dead, 1);
    EXPECT_EQ(root.children.size(), 1u);
    hookCalls.clear();

    Frame(300, root);
    EXPECT_TRUE(root.children.empty());
    EXPECT_TRUE(hookCalls.empty());
    EXPECT_EQ(root.dead, 0);
    EXPECT_EQ(root.dying, 0);
}

// Frames made of Update instead of Render must leave the scene exactly as
// drawn frames do (tracks, matrices the behaviours see, kill protocol), only
// without hooks; a run mixing both matches a run of drawn frames.
TEST_F(SceneNodeTest, UpdateAdvancesTheSceneAsRenderDoesWithoutHooks)
{
    struct Run {
        std::vector<std::string> frames;
        std::vector<Step> steps;
        std::vector<std::string> hooks;
    };
    const auto run = [](const std::string& pattern) {
        steps.clear();
        hookCalls.clear();
        frameTick = 0;
        SceneNode root;
        root.hasMeshes = 1;
        root.SetPosition(1, 2, 3);
        root.AddRenderHook(RecordHook, 0);
        RunEndless(root, RecordStep, 0);
        SceneNode* mover = AddNode(root);
        mover->SetRotation(0, 30, 0);
        mover->SetScale(2, 2, 2);
        AnimationTrack turn(1, 1, 0.0);
        turn.Configure(RecordStep, 0.0, 0.0, 0.0);
        turn.userData = 1;
        mover->script.AddCue();
        mover->script.AddTrack(turn);
        mover->script.Fire(0);
        SceneNode* doomed = AddNode(*mover);
        RunEndless(
            *doomed,
            [](int) {
                RecordStep(2);
                if (currentTrack->time > 250.0)
                    currentNode->Kill();
            },
            2);
        Run result;
        std::uint32_t tick = 0;
        for (char kind : pattern) {
            tick += 70;
            if (tick == 420)
                root.Kill();
            frameTick = tick;
            glLoadIdentity();
            if (kind == 'R')
                root.Render();
            else
                root.Update();
            EXPECT_EQ(ModelViewDepth(), 1);
            // The mover is deleted by the kill protocol, so it is reached through the root.
            const std::size_t below = root.children.empty() ? 0 : root.children[0]->children.size();
            result.frames.push_back(std::to_string(root.children.size()) + "/" + std::to_string(below) + " dying "
                                    + std::to_string(root.dying) + " dead " + std::to_string(root.dead));
        }
        result.steps = steps;
        result.hooks = hookCalls;
        return result;
    };
    const Run drawn = run("RRRRRRRRRR");
    const Run mixed = run("UURUURUUUU");
    EXPECT_EQ(mixed.frames, drawn.frames);
    ASSERT_EQ(mixed.steps.size(), drawn.steps.size());
    for (std::size_t i = 0; i < drawn.steps.size(); ++i) {
        EXPECT_EQ(mixed.steps[i].node, drawn.steps[i].node) << i;
        EXPECT_EQ(mixed.steps[i].time, drawn.steps[i].time) << i;
        EXPECT_EQ(mixed.steps[i].modelView, drawn.steps[i].modelView) << i;
    }
    EXPECT_EQ(drawn.frames.back(), "0/0 dying 1 dead 1") << "the run reaches the end of the kill protocol";
    // Hooks run only in the two drawn frames; in the second the root is dying.
    EXPECT_EQ(mixed.hooks, (std::vector<std::string>{"1:0", "2:0", "3:0", "4:0", "3:0", "4:0"}));
    EXPECT_EQ(drawn.hooks.size(), 5u * 4u + 2u);
}

TEST_F(SceneNodeTest, SweepDeletesAdjacentDeadChildrenAndKeepsTheOrder)
{
    SceneNode root;
    std::vector<SceneNode*> nodes;
    for (int i = 0; i < 6; ++i)
        nodes.push_back(AddNode(root));
    for (int i : {1, 2, 4, 5})
        nodes[i]->Kill();

    Frame(10, root);
    EXPECT_EQ(root.children.size(), 6u);
    Frame(20, root);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].get(), nodes[0]);
    EXPECT_EQ(root.children[1].get(), nodes[3]);
}

TEST_F(SceneNodeTest, ChildOfADyingParentIsMarkedBeforeItRenders)
{
    // A child added to a node that is already dying never animates.
    SceneNode root;
    root.Kill();
    SceneNode* child = AddNode(root);
    RunEndless(*child, RecordStep, 1);
    Frame(10, root);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(child->dead, 1);
    Frame(20, root);
    EXPECT_EQ(root.dead, 1);
}

TEST_F(SceneNodeTest, CurrentNodeIsTheNodeWhoseTracksRun)
{
    static std::vector<SceneNode*> seen;
    seen.clear();
    auto root = std::make_unique<SceneNode>();
    SceneNode* a = AddNode(*root);
    SceneNode* b = AddNode(*a);
    SceneNode* c = AddNode(*root);
    for (SceneNode* node : {root.get(), a, b, c})
        RunEndless(
            *node, [](int) { seen.push_back(currentNode); }, 0);
    Frame(10, *root);
    EXPECT_EQ(seen, (std::vector<SceneNode*>{root.get(), a, b, c}));
    // Not restored after the children's renders.
    EXPECT_EQ(currentNode, c);

    root->children.pop_back();
    Frame(20, *root);
    EXPECT_EQ(currentNode, b);
    Frame(30, *root);
    root->Kill();
    Frame(40, *root);
    Frame(50, *root);
    Frame(60, *root);
    ASSERT_EQ(root->dead, 1);
    EXPECT_EQ(currentNode, root.get());
    // The owner deleting the root leaves no pointer to it behind.
    root.reset();
    EXPECT_EQ(currentNode, nullptr);
}

}
}
