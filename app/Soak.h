#pragma once

#include "content/TreeScene.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwood {

// One frame that changes the scene exactly as a drawn frame at `tick` ms
// would, without drawing it: sets frameTick, places the camera and updates
// the world and then the overlay root (SceneNode::Update: tracks,
// behaviours, kill protocol). The procedural textures are not regenerated:
// their pixels are only ever seen in a drawn frame, which regenerates them.
// Needs the Display's GL context.
void UpdateFrame(SceneRoots& roots, std::uint32_t tick);

// What the soak measures at one moment.
struct SoakSample {
    double simulatedHours = 0;
    std::uint64_t frames = 0;
    int leaves = 0;
    int nodes = 0;
    int archivesLoaded = 0;
    int archiveReferences = 0;
    int archiveTextureUses = 0;
    int proceduralTextures = 0;
    int proceduralReferences = 0;
    long residentKiB = 0;
    // Bytes in live malloc blocks (0 under a sanitizer's allocator).
    long heapInUseKiB = 0;
    // Real and CPU (user + system, all threads) seconds since the start.
    double seconds = 0;
    double cpuSeconds = 0;
};

// CPU seconds (user + system) this process has used so far.
double CpuSeconds();

// Counts of the live scene and the process: leaves under the leaf spawner,
// every node of both roots, the resource manager's archives, references and
// texture uses, the procedural texture registry, and the resident set size.
SoakSample MeasureScene(const SceneRoots& roots);

// The resident set size of this process in KiB (0 if it cannot be read).
long ResidentKiB();

// The soak program: builds the real scene (all overlays, frame rate shown)
// in a small window, with the wall clock fixed at a start moment and
// advancing with the simulated time, then runs frames of `--step-ms`
// simulated milliseconds, drawing one frame in `--draw-every` and updating
// the scene without drawing in the others (UpdateFrame). Every simulated
// hour it prints one table row of MeasureScene to `out`; at the end it kills
// both roots, lets the kill protocol empty them, and reports whether
// anything is still held. `args` are the arguments after the program name.
// Returns 0 when, after the first hour, the resident memory never rose more
// than `--rss-slack-kib` above that hour's figure and the later figures stay
// within that slack either side of their middle, and everything was given
// back; 1 otherwise, 2 on bad usage.
int RunSoak(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}
