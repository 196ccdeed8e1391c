#pragma once

#include <cstddef>
#include <vector>

namespace tarnwood {

class Mesh;

// The process-wide list of transparent meshes deferred during the scene
// traversal, drawn blended after every opaque mesh of the frame. It does not
// own the meshes; a mesh destroyed while waiting takes itself off the list.
class TransparentList {
public:
    static TransparentList& Instance();

    TransparentList(const TransparentList&) = delete;
    TransparentList& operator=(const TransparentList&) = delete;

    // Appends `mesh`, whose state Mesh::Draw has just captured.
    void Add(Mesh* mesh);
    // Takes every occurrence of `mesh` off the list.
    void Remove(const Mesh* mesh);
    // Once per frame, after all roots are drawn and before the swap: with
    // depth writes off, draws each mesh in the order added under its captured
    // matrix and enables, then turns depth writes on and empties the list.
    // Needs a current OpenGL context.
    void DrawAll();

    std::size_t Size() const { return meshes.size(); }

private:
    TransparentList();
    ~TransparentList();

    std::vector<Mesh*> meshes;
};

}
