#include "SceneTestFixture.h"

#include "resources/ModelWriter.h"
#include "resources/PakArchive.h"
#include "resources/ResourceManager.h"
#include "resources/TransparentList.h"
#include "scene/StandardHooks.h"
#include "support/TempDir.h"

#include <memory>
#include <vector>

namespace tarnwood {
namespace {

using test::Matrix;
using test::SceneTest;

// An archive "node.pak" with the model entry "pane": one transparent
// triangle whose image entry is missing (texture 0, but an archive
// reference all the same), read by the resource manager from a private
// folder.
class ModelNodeTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        ModelMeshSource mesh;
        mesh.texture = "none";
        mesh.material.transparent = true;
        mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        mesh.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
        mesh.texCoords = {0, 0, 1, 0, 0, 1};
        std::vector<std::uint8_t> bytes;
        std::string problem;
        ASSERT_TRUE(ModelWriter::Build({mesh}, bytes, problem)) << problem;
        PakArchive archive;
        ASSERT_TRUE(archive.AddEntry("pane", bytes.data(), static_cast<std::int32_t>(bytes.size()), problem)) << problem;
        ASSERT_TRUE(archive.Save(dir.File("node.pak"), problem)) << problem;
        ResourceManager::Instance().SetBasePath(dir.Path().string() + "/");
    }

    void TearDown() override
    {
        TransparentList::Instance().DrawAll();
        ResourceManager::Instance().SetBasePath("0");
        SceneTest::TearDown();
    }

    test::TempDir dir;
};

TEST_F(ModelNodeTest, MeshesAloneAreDrawnScaledWithNormalize)
{
    SceneNode root;
    root.SetPosition(1.0, 2.0, 3.0);
    root.SetScale(2.0, 3.0, 4.0);
    root.AddRenderHook(DepthTestOffHook, 0);
    root.LoadModel("node.pak", "pane");
    SceneNode* child = root.AddChild(std::make_unique<SceneNode>());
    child->LoadModel("node.pak", "pane");
    ASSERT_EQ(root.meshCount, 1);
    ASSERT_EQ(root.meshes.size(), 1u);

    Frame(10, root);

    const Mesh& own = *root.meshes[0];
    const Matrix scaled = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(own.CapturedMatrix()[i], scaled[i]) << "element " << i;
    EXPECT_TRUE(own.CapturedNormalize());
    // Phase 1 of the hook was in force while the meshes drew.
    EXPECT_FALSE(own.CapturedDepthTest());

    const Mesh& childMesh = *child->meshes[0];
    const Matrix placed = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(childMesh.CapturedMatrix()[i], placed[i]) << "element " << i;
    EXPECT_FALSE(childMesh.CapturedNormalize());
    // Phase 3 covers the child's whole render.
    EXPECT_FALSE(childMesh.CapturedDepthTest());

    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(TransparentList::Instance().Size(), 2u);
}

TEST_F(ModelNodeTest, DestroyingANodeGivesBackEveryReference)
{
    ResourceManager& resources = ResourceManager::Instance();
    auto node = std::make_unique<SceneNode>();
    node->LoadModel("node.pak", "pane");
    node->LoadModel("node.pak", "pane");
    node->LoadModel("node.pak", "missing");
    EXPECT_EQ(node->meshCount, 2);
    EXPECT_EQ(node->hasMeshes, 1);
    // One per load, one per archive-textured mesh.
    EXPECT_EQ(resources.ReferenceCount("node.pak"), 5);

    // Deferred meshes of a node that dies before the transparent pass must
    // not be drawn from freed memory.
    Frame(10, *node);
    EXPECT_EQ(TransparentList::Instance().Size(), 2u);
    node.reset();
    EXPECT_EQ(resources.ReferenceCount("node.pak"), 0);
    EXPECT_EQ(resources.FindArchive("node.pak"), nullptr);
    EXPECT_EQ(TransparentList::Instance().Size(), 0u);
}

TEST_F(ModelNodeTest, MissingEntryStillMakesAModelNode)
{
    static std::vector<int> phases;
    phases.clear();
    SceneNode node;
    node.LoadModel("node.pak", "missing");
    EXPECT_EQ(node.hasMeshes, 1);
    EXPECT_EQ(node.meshCount, 0);
    EXPECT_TRUE(node.meshes.empty());
    EXPECT_EQ(node.modelArchives, (std::vector<std::string>{"node.pak"}));
    node.AddRenderHook([](int phase, int) { phases.push_back(phase); }, 0);
    Frame(10, node);
    EXPECT_EQ(phases, (std::vector<int>{1, 2}));
}

}
}
