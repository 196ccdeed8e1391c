#pragma once

#include "resources/ModelWriter.h"

namespace tarnwood {

// Texture names inside main.pak. The flame and the orb carry procedural
// descriptions instead of image entries.
inline constexpr const char* skyImage = "sky.png";
inline constexpr const char* groundImage = "ground.png";
inline constexpr const char* barkImage = "bark.png";
inline constexpr const char* leafImages[4] = {"leaves_green.png", "leaves_lime.png", "leaves_gold.png",
                                              "leaves_russet.png"};
inline constexpr const char* fallingLeafImage = "leaf.png";
inline constexpr const char* woodImage = "wood.png";
inline constexpr const char* waxImage = "wax.png";
inline constexpr const char* brassImage = "brass.png";
inline constexpr const char* ringGlowImage = "glow.png";
inline constexpr const char* haloImage = "halo.png";
inline constexpr const char* flameDescription = "f#Fire32x64";
inline constexpr const char* orbDescription = "n#Plasma128x128,240,220,120";

// The tree ("tree"): trunk and branches, leaf tufts in four autumn colours
// and fallen leaves around the trunk, in tree-group units with the ground
// at z = 0. The same every bake (a fixed seed).
ModelSource MakeTree();

// The table ("tabl") beside the trunk with a brass tray of three candles:
// opaque wood, brass and wax, then the blended glow and flames.
ModelSource MakeTable();

}
