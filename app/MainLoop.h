#pragma once

#include "app/Display.h"
#include "app/Settings.h"
#include "content/TreeScene.h"

#include <SDL/SDL.h>
#include <cstdint>

namespace tarnwood {

// Whether an event ends the scene: an Escape key press always; mouse motion
// only when `exitOnMouseMove` is set and more than 3000 ms have passed since
// SDL initialisation (`ticks`). Every other event, SDL_QUIT included, is ignored.
bool IsEndingEvent(const SDL_Event& event, const Settings& settings, std::uint32_t ticks);

// Drains events and renders frames until an ending event has been seen and
// both roots are dead. An ending event kills both roots; the frames after it
// let the kill protocol empty the trees. Needs the Display's GL context.
// A stop signal (SIGTERM, SIGINT, SIGHUP, see RunModeSignals.h) ends the
// scene like Escape. In a host's window no key or mouse event ends it; the
// scene follows the window's size, draws nothing and sleeps while the window
// cannot be seen, and returns at once, with the roots still alive, when the
// window is destroyed. A positive `delayMicroseconds` is the least time from
// one frame's start to the next; waits for it end early on a stop signal.
void RunMainLoop(SceneRoots& roots, const Settings& settings, Display& display, long delayMicroseconds = 0);

// One frame at `tick` ms: sets frameTick, regenerates the procedural
// textures, clears, places the camera 100 units back along +z, renders the
// world and then the overlay root, and draws the deferred transparent meshes.
// The caller swaps the buffers.
void RenderFrame(SceneRoots& roots, std::uint32_t tick);

}
