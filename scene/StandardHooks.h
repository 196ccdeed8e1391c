#pragma once

namespace tarnwood {

// Ready-made render hooks; none reads its parameter, and every phase other
// than those named does nothing. Phases 1 and 2 wrap the node's own meshes,
// 3 and 4 every child's whole render.

// Lighting and light 1 on for the node's meshes and its whole subtree:
// phases 1 and 3 enable GL_LIGHTING then GL_LIGHT1; 2 and 4 disable GL_LIGHT1
// then GL_LIGHTING.
void Light1Hook(int phase, int parameter);

// Depth test off for the node's meshes and its whole subtree: phases 1 and 3
// disable GL_DEPTH_TEST, 2 and 4 enable it again.
void DepthTestOffHook(int phase, int parameter);

// Lighting off for the node's own meshes only: phase 1 disables
// GL_LIGHTING, phase 2 enables it again.
void LightingOffHook(int phase, int parameter);

// Draws the node's own meshes facing the viewer: phase 1 pushes the
// model-view matrix and replaces its rotation and scale block with the
// identity, keeping the translation; phase 2 pops it.
void BillboardHook(int phase, int parameter);

}
