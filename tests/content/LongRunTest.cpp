#include "SceneFixture.h"

#include "proctex/ProceduralTextureManager.h"

#include <cstdlib>

namespace tarnwood {
namespace {

using test::CountNodes;
using test::SceneFixture;

// Half an hour of simulated frames with uneven steps of 50 to 100 ms: the
// leaf count stays near lifetime / interval, every reference the leaves take
// is given back, and once the scene has ended nothing is left held.
TEST_F(SceneFixture, ThirtyMinutesKeepLeavesReferencesAndNodesSteady)
{
    Settings settings;
    settings.showFrameRate = 1;
    Build(settings);
    ResourceManager& resources = ResourceManager::Instance();
    // The sky, tree and table never change but take most of the drawing time
    // on a software renderer; everything that comes and goes stays.
    SceneNode& group = *World().children.at(1);
    group.children.at(0)->Kill();
    group.children.at(1)->Kill();
    Frame(1);
    Frame(2);
    ASSERT_EQ(group.children.size(), 1u);
    auto leafCount = [&group] { return static_cast<int>(group.children.at(0)->children.at(0)->children.size()); };

    std::srand(99);
    std::uint32_t tick = 2;
    int samples = 0;
    int firstNodesLessLeaves = -1;
    int firstMainRefsLessLeaves = -1;
    int mainRefsPerLeaf = -1;
    const std::uint32_t end = 30u * 60u * 1000u;
    std::uint32_t nextSample = 120000;
    // Nine frames in ten only update the scene: the leaves, their references
    // and the nodes come and go the same whether a frame is drawn or not,
    // and drawing every one of them cost about a quarter of this test's time.
    int frame = 0;
    while (tick < end) {
        tick += 50 + static_cast<std::uint32_t>(std::rand() % 51);
        if (++frame % 10 == 0)
            Frame(tick);
        else
            UpdateOnlyFrame(tick);
        if (tick < nextSample)
            continue;
        nextSample += 60000;
        ++samples;
        const int leaves = leafCount();
        EXPECT_GE(leaves, 30) << "at " << tick << " ms";
        EXPECT_LE(leaves, 50) << "at " << tick << " ms";
        const int nodesLessLeaves = CountNodes(World()) + CountNodes(Overlay()) - leaves;
        const int mainRefs = resources.ReferenceCount("main.pak");
        if (mainRefsPerLeaf < 0) {
            // One model reference and one texture reference per leaf mesh.
            const SceneNode& leaf = *group.children[0]->children[0]->children.at(0);
            mainRefsPerLeaf = 1 + static_cast<int>(leaf.meshes.size());
            firstNodesLessLeaves = nodesLessLeaves;
            firstMainRefsLessLeaves = mainRefs - leaves * mainRefsPerLeaf;
        }
        // Frame-rate digits come and go in pairs around their renewal, so
        // allow the overlay a few nodes of slack.
        EXPECT_NEAR(nodesLessLeaves, firstNodesLessLeaves, 6) << "at " << tick << " ms";
        EXPECT_EQ(mainRefs - leaves * mainRefsPerLeaf, firstMainRefsLessLeaves) << "at " << tick << " ms";
    }
    EXPECT_GE(samples, 28);

    World().Kill();
    Overlay().Kill();
    for (int frame = 0; frame < 20 && !(World().dead && Overlay().dead); ++frame)
        Frame(tick += 16);
    ASSERT_TRUE(World().dead && Overlay().dead);
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
    EXPECT_EQ(resources.ArchiveCount(), 0u) << "every archive reference was given back";
    EXPECT_EQ(ProceduralTextureManager::Instance().TextureCount(), 0u);
}

}
}
