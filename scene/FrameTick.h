#pragma once

#include <cstdint>

namespace tarnwood {

// Milliseconds since SDL initialisation of the frame being drawn, as
// SDL_GetTicks returned it at the frame's start; 0 before the first frame.
// Written once per frame by the main loop; every animation step and every
// procedural texture reads it.
extern std::uint32_t frameTick;

}
