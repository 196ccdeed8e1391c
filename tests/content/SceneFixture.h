#pragma once

#include "app/Display.h"
#include "app/MainLoop.h"
#include "content/TreeScene.h"
#include "resources/ResourceManager.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace tarnwood::test {

// The real scene on a small full-screen surface, with the archives of the
// build's install directory, the wall clock fixed where a test says, and
// frames driven at simulated ticks.
class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the scene with `settings` (the display must exist first).
    void Build(const Settings& settings = Settings());
    // One frame at `tick` ms.
    void Frame(std::uint32_t tick);
    // One frame at `tick` ms that runs every track and behaviour but draws
    // nothing, as the soak's frames between drawn ones.
    void UpdateOnlyFrame(std::uint32_t tick);
    // Frames every `step` ms from the last tick up to and including `until`.
    void FramesUntil(std::uint32_t until, std::uint32_t step = 100);
    // Fixes the local time at the given moment; with `advance` it follows frameTick.
    void FixTime(int year, int month, int day, int hour, int minute, int second, bool advance);

    SceneNode& World() { return *roots.worldRoot; }
    SceneNode& Overlay() { return *roots.overlayRoot; }

    std::unique_ptr<Display> display;
    SceneRoots roots;
    std::uint32_t lastTick = 0;
};

// The name of the entry of `archive` whose bytes the node's first mesh points
// into; "" for a node without meshes, "?" when no entry matches.
std::string EntryOf(const SceneNode& node, const std::string& archive);

// All nodes of a subtree, the root included.
int CountNodes(const SceneNode& node);

}
