#pragma once

#include "app/Settings.h"

#include <SDL/SDL.h>
#include <cstdint>

namespace tarnwood {

// Whether an event ends the scene: an Escape key press always; mouse motion
// only when `exitOnMouseMove` is set and more than 3000 ms have passed since
// SDL initialisation (`ticks`). Every other event, SDL_QUIT included, is ignored.
bool IsEndingEvent(const SDL_Event& event, const Settings& settings, std::uint32_t ticks);

// Drains events and renders frames until an ending event has been seen and
// the scene has finished dying. Needs the Display's GL context.
void RunMainLoop(const Settings& settings);

// One frame: reads the tick counter into frameTick, clears, places the camera
// 100 units back along +z, draws, and swaps the buffers. No pacing.
void RenderFrame();

}
