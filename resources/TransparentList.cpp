#include "resources/TransparentList.h"

#include "resources/Mesh.h"

#include <GL/gl.h>
#include <algorithm>

namespace tarnwood {

TransparentList& TransparentList::Instance()
{
    static TransparentList instance;
    return instance;
}

TransparentList::TransparentList() = default;
TransparentList::~TransparentList() = default;

void TransparentList::Add(Mesh* mesh)
{
    meshes.push_back(mesh);
}

void TransparentList::Remove(const Mesh* mesh)
{
    std::erase(meshes, mesh);
}

void TransparentList::DrawAll()
{
    glDepthMask(GL_FALSE);
    for (Mesh* mesh : meshes)
        mesh->DrawDeferred();
    glDepthMask(GL_TRUE);
    for (Mesh* mesh : meshes)
        mesh->queued = false;
    meshes.clear();
}

}
