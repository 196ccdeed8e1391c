#pragma once

#include "resources/Mesh.h"
#include "scene/AnimationScript.h"
#include "scene/AnimationSet.h"
#include "scene/RenderHook.h"
#include "scene/Transform.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnwood {

// A node of the scene tree: its placement, its running tracks and cues, its
// meshes, its render hooks and its children. Nodes live on the heap, owned by
// their parent (roots by the main loop), and are never copied or moved: the
// script points into the node itself.
//
// Nodes leave the scene only through the kill protocol: Kill marks a node
// dying, the next Render stops animating and drawing it and marks its whole
// subtree dying, and from then on the traversal deletes the subtree from the
// leaves up, one level per frame. A root is never deleted by the traversal;
// its owner waits for its `dead` flag.
class SceneNode {
public:
    Transform transform;
    AnimationSet animations;
    // Bound to `animations`.
    AnimationScript script;
    // Set by Kill, or by the parent's render while the parent is dying.
    std::uint8_t dying = 0;
    // Set by the node's own render once it is dying and has no children left.
    std::uint8_t dead = 0;
    // Called in the order added, for every phase.
    std::vector<RenderHook> hooks;
    std::vector<std::unique_ptr<Mesh>> meshes;
    // One archive name per LoadModel call; each holds one archive reference
    // that the destructor gives back.
    std::vector<std::string> modelArchives;
    int meshCount = 0;
    // Set by LoadModel: meshes are drawn and hook phases 1 and 2 run only
    // when it is set.
    std::uint8_t hasMeshes = 0;
    std::vector<std::unique_ptr<SceneNode>> children;

    // An empty node whose tracks take their first step from the current
    // frameTick.
    SceneNode();
    // Gives back the meshes and then the archive references; deletes any
    // children still attached (the kill protocol normally leaves none).
    ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    void SetPosition(double x, double y, double z);
    // Angles in degrees.
    void SetRotation(double x, double y, double z);
    // Scales the node's own meshes, never its children; any call, even with
    // (1, 1, 1), makes the meshes draw scaled with GL_NORMALIZE.
    void SetScale(double x, double y, double z);
    void MoveBy(double dx, double dy, double dz);
    // Angles in degrees.
    void RotateBy(double dx, double dy, double dz);

    // Appends the meshes of model entry `entry` of archive `archive` and
    // keeps one reference on the archive until the node is destroyed. Marks
    // the node as a model node even when the entry yields no mesh (a missing
    // archive or entry leaves it without meshes). Needs a current GL context.
    void LoadModel(const std::string& archive, const std::string& entry);

    // Takes ownership of `child` and appends it; returns the child, or null
    // (changing nothing) for a null pointer. A child added while this node's
    // tracks are running is rendered in the same frame.
    SceneNode* AddChild(std::unique_ptr<SceneNode> child);

    // Appends a hook; a null function is ignored.
    void AddRenderHook(RenderHookFunction function, int parameter);

    // Marks the node dying; the rest happens in the following renders.
    // Killing a dying node changes nothing.
    void Kill();

    // The per-frame traversal of this subtree, with the GL model-view matrix
    // current: places the node, advances its tracks and draws its meshes
    // between hook phases 1 and 2 unless it is dying, deletes dead children,
    // and renders the others between hook phases 3 and 4. Leaves the matrix
    // stack as it found it.
    void Render();

    // The same traversal without drawing: places the node, advances its
    // tracks, runs the kill protocol and visits the children in the same
    // order, but draws or defers no mesh and calls no render hook (hooks only
    // set drawing state). A frame made of Update instead of Render changes
    // the scene exactly as a drawn one would. Needs a current OpenGL context
    // for the matrix stack and the behaviours that set GL state.
    void Update();

private:
    void Traverse(bool draw);
    void CallHooks(int phase);
};

// The node whose Render is running; set at the start of every node's render
// and not restored when a child's render returns. Behaviours use it to reach
// their node; hooks must not. Null before the first render and after the node
// it points to is destroyed.
extern SceneNode* currentNode;

}
