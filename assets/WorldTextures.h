#pragma once

#include "assets/Canvas.h"

namespace tarnwood {

// The images of the world models. Each is deterministic and tiles where its
// model repeats it.

// Sky sphere, longitude along s (wrapping), zenith at the top row, nadir at
// the bottom row.
Canvas PaintSky();
// Ground disc in polar form: s around (wrapping, four repeats), t from the
// centre (top) to the rim (bottom), fading into the horizon haze.
Canvas PaintGround();
// Bark, tiling both ways; fissures run along t.
Canvas PaintBark();
// A cluster of leaves on transparent ground, alpha 1 inside leaves and 0
// outside (for alpha testing at 0.9). `variant` 0 green, 1 yellow-green,
// 2 golden, 3 russet.
Canvas PaintLeafCluster(int variant);
// One leaf along s (stalk at s = 0, tip at s = 1), centred across t.
Canvas PaintSingleLeaf();
// Planks of warm wood, tiling both ways; grain runs along s.
Canvas PaintWood();
// Candle wax, pale cream with a soft vertical gradient; tiles along s.
Canvas PaintWax();
// Brushed brass, tiling.
Canvas PaintBrass();
// A soft band of warm light across t (clear at both edges), even along s.
Canvas PaintRingGlow();
// A round, soft glow of candle light, clear at the rim.
Canvas PaintHalo();

}
