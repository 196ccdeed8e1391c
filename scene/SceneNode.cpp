#include "scene/SceneNode.h"

#include "resources/ModelLoading.h"

#include <GL/gl.h>
#include <algorithm>

namespace tarnwood {

SceneNode* currentNode = nullptr;

SceneNode::SceneNode() : script(&animations)
{
}

SceneNode::~SceneNode()
{
    if (currentNode == this)
        currentNode = nullptr;
    children.clear();
    // The meshes point into the archives' bytes, so they go before the
    // references that keep those bytes loaded.
    meshes.clear();
    for (const std::string& archive : modelArchives)
        ReleaseModelArchive(archive);
}

void SceneNode::SetPosition(double x, double y, double z)
{
    transform.SetPosition(x, y, z);
}

void SceneNode::SetRotation(double x, double y, double z)
{
    transform.SetRotation(x, y, z);
}

void SceneNode::SetScale(double x, double y, double z)
{
    transform.SetScale(x, y, z);
}

void SceneNode::MoveBy(double dx, double dy, double dz)
{
    transform.MoveBy(dx, dy, dz);
}

void SceneNode::RotateBy(double dx, double dy, double dz)
{
    transform.RotateBy(dx, dy, dz);
}

void SceneNode::LoadModel(const std::string& archive, const std::string& entry)
{
    modelArchives.push_back(archive);
    meshCount += LoadModelMeshes(archive, entry, meshes);
    hasMeshes = 1;
}

SceneNode* SceneNode::AddChild(std::unique_ptr<SceneNode> child)
{
    if (!child)
        return nullptr;
    children.push_back(std::move(child));
    return children.back().get();
}

void SceneNode::AddRenderHook(RenderHookFunction function, int parameter)
{
    if (function == nullptr)
        return;
    hooks.push_back(RenderHook{function, parameter});
}

void SceneNode::Kill()
{
    dying = 1;
}

void SceneNode::CallHooks(int phase)
{
    for (std::size_t i = 0; i < hooks.size(); ++i)
        hooks[i].function(phase, hooks[i].parameter);
}

void SceneNode::Render()
{
    Traverse(true);
}

void SceneNode::Update()
{
    Traverse(false);
}

void SceneNode::Traverse(bool draw)
{
    currentNode = this;
    glPushMatrix();
    transform.Apply();

    if (!dying) {
        animations.Update();
        if (hasMeshes && draw) {
            CallHooks(1);
            if (transform.scaled) {
                glPushMatrix();
                transform.ApplyScale();
                glEnable(GL_NORMALIZE);
                for (const std::unique_ptr<Mesh>& mesh : meshes)
                    if (mesh)
                        mesh->Draw();
                glDisable(GL_NORMALIZE);
                glPopMatrix();
            } else {
                for (const std::unique_ptr<Mesh>& mesh : meshes)
                    if (mesh)
                        mesh->Draw();
            }
            CallHooks(2);
        }
    }

    // Erasing in one stable pass gives the same result as restarting the scan
    // after every deletion: all dead children go, the others keep their order.
    std::erase_if(children, [](const std::unique_ptr<SceneNode>& child) { return child->dead != 0; });

    if (dying && children.empty()) {
        dead = 1;
    } else {
        // By index: a child's behaviour may add a sibling through its parent.
        for (std::size_t i = 0; i < children.size(); ++i) {
            SceneNode* child = children[i].get();
            if (dying)
                child->dying = 1;
            if (draw)
                CallHooks(3);
            child->Traverse(draw);
            if (draw)
                CallHooks(4);
        }
    }

    glPopMatrix();
}

}
