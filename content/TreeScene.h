#pragma once

#include "content/OverlaySettings.h"
#include "content/ScreenEdges.h"
#include "scene/SceneNode.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwood {

// The two roots of the scene: the world (light, tree group with sky, tree,
// table and leaves) and the overlay (calendar, frame rate, clock and the
// model added after a minute), rendered in this order every frame.
struct SceneRoots {
    std::unique_ptr<SceneNode> worldRoot;
    std::unique_ptr<SceneNode> overlayRoot;
};

// Builds the whole scene once, before the first frame: configures GL_LIGHT1,
// sets the leaf tuning values, and places the overlays `settings` enable at
// the corners given by `edges` (those of the display's current projection).
// Needs a current GL context and the resource manager's base path; archives
// are opened from there (a missing one ends the process). Draws one rand()
// for the tree group's start angle.
SceneRoots BuildTreeScene(const OverlaySettings& settings, const ScreenEdges& edges);

// The archives that BuildTreeScene and the scene's first frame open with
// `settings`, for reading them ahead while the display opens. Needs nothing.
std::vector<std::string> SceneArchives(const OverlaySettings& settings);

// After the display's size has changed: moves the overlays that
// BuildTreeScene made with the same settings from the corners given by
// `edgesBefore` to those of `edgesAfter` (the screen's edges before and after
// the resize), keeping any offset their builders added.
void MoveOverlays(SceneRoots& roots, const OverlaySettings& settings, const ScreenEdges& edgesBefore,
                  const ScreenEdges& edgesAfter);

// On the overlay root's endless track: once its time passes 60000 ms, adds the
// "nn" model at half size to currentNode and finishes the track.
void DelayedModelBehaviour(int userData);

}
