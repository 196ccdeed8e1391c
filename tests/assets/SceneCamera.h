#pragma once

namespace tarnwood::test {

// The GL state the asset tests draw installed models under: the scene's
// depth test, texturing, the three client arrays and the scene's perspective
// (45 degrees, near 0.1, far 250) at width x height, with the model-view
// matrix current. Needs a current context.
void SetUpSceneCamera(int width, int height);

// Multiplies the current matrix by the tree group's placement as the scene
// has it (100 units in front of the eye, then the group's position and
// tilt), before the group's own turn, sway and bob.
void PlaceTreeGroup();

// Puts back what SetUpSceneCamera changed.
void TearDownSceneCamera();

}
