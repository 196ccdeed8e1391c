#include "SceneTestFixture.h"

#include "scene/StandardHooks.h"

#include <vector>

namespace tarnwood {
namespace {

using test::Matrix;
using test::ModelView;
using test::ModelViewDepth;
using test::SceneTest;

struct Enables {
    bool lighting;
    bool light1;
    bool depthTest;
    bool operator==(const Enables&) const = default;
};

void SetEnables(const Enables& e)
{
    e.lighting ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
    e.light1 ? glEnable(GL_LIGHT1) : glDisable(GL_LIGHT1);
    e.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
}

Enables ReadEnables()
{
    return Enables{glIsEnabled(GL_LIGHTING) == GL_TRUE, glIsEnabled(GL_LIGHT1) == GL_TRUE,
                   glIsEnabled(GL_DEPTH_TEST) == GL_TRUE};
}

using StandardHooksTest = SceneTest;

TEST_F(StandardHooksTest, EnableHooksPerPhase)
{
    struct Case {
        const char* name;
        RenderHookFunction hook;
        int phase;
        Enables before;
        Enables after;
    };
    const Enables none{false, false, false};
    const Enables all{true, true, true};
    const std::vector<Case> cases = {
        {"Light1Hook", Light1Hook, 1, none, {true, true, false}},
        {"Light1Hook", Light1Hook, 3, none, {true, true, false}},
        {"Light1Hook", Light1Hook, 2, all, {false, false, true}},
        {"Light1Hook", Light1Hook, 4, all, {false, false, true}},
        {"Light1Hook", Light1Hook, 5, none, none},
        {"DepthTestOffHook", DepthTestOffHook, 1, all, {true, true, false}},
        {"DepthTestOffHook", DepthTestOffHook, 3, all, {true, true, false}},
        {"DepthTestOffHook", DepthTestOffHook, 2, none, {false, false, true}},
        {"DepthTestOffHook", DepthTestOffHook, 4, none, {false, false, true}},
        {"LightingOffHook", LightingOffHook, 1, all, {false, true, true}},
        {"LightingOffHook", LightingOffHook, 2, none, {true, false, false}},
        {"LightingOffHook", LightingOffHook, 3, all, all},
        {"LightingOffHook", LightingOffHook, 4, none, none},
    };
    for (const Case& c : cases) {
        SetEnables(c.before);
        c.hook(c.phase, 0);
        EXPECT_EQ(ReadEnables(), c.after) << c.name << " phase " << c.phase;
    }
    SetEnables(Enables{false, false, true});
}

TEST_F(StandardHooksTest, BillboardKeepsOnlyTheTranslationForTheMeshes)
{
    glTranslated(1.0, 2.0, 3.0);
    glRotated(30.0, 1.0, 1.0, 0.0);
    glScaled(2.0, 2.0, 2.0);
    const Matrix placed = ModelView();

    BillboardHook(1, 0);
    EXPECT_EQ(ModelViewDepth(), 2);
    const Matrix facing = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, placed[12], placed[13], placed[14], placed[15]};
    EXPECT_EQ(ModelView(), facing);

    BillboardHook(3, 0);
    BillboardHook(4, 0);
    EXPECT_EQ(ModelViewDepth(), 2);
    BillboardHook(2, 0);
    EXPECT_EQ(ModelViewDepth(), 1);
    EXPECT_EQ(ModelView(), placed);
}

TEST_F(StandardHooksTest, HooksOnANodeWithoutModelOnlyWrapChildren)
{
    static std::vector<Enables> seen;
    seen.clear();
    SceneNode root;
    root.AddRenderHook(LightingOffHook, 0);
    root.AddRenderHook(DepthTestOffHook, 0);
    SceneNode* child = root.AddChild(std::make_unique<SceneNode>());
    AnimationTrack look(1, 1, 0.0);
    look.SetBehaviour([](int) { seen.push_back(ReadEnables()); }, 0);
    child->animations.Add(look);

    SetEnables(Enables{true, false, true});
    Frame(10, root);
    ASSERT_EQ(seen.size(), 1u);
    // Lighting is untouched (LightingOffHook has no child phases); the depth
    // test is off for the child's whole render and back on afterwards.
    EXPECT_EQ(seen[0], (Enables{true, false, false}));
    EXPECT_EQ(ReadEnables(), (Enables{true, false, true}));
    SetEnables(Enables{false, false, true});
}

}
}
