#pragma once

#include "resources/MeshMaterial.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood {

// One mesh to be written into a model entry, as the content baker builds it.
// Vertices are not shared: each triangle has its own three vertices, and
// vertex k is element k of each array.
struct ModelMeshSource {
    // An image entry of the same archive, or a procedural texture description
    // (second character '#', for example "p#Plasma64x64,255,128,0").
    std::string texture;
    MeshMaterial material;
    std::vector<double> positions;  // x, y, z per vertex: 9 per triangle
    std::vector<double> normals;  // x, y, z per vertex: 9 per triangle
    std::vector<double> texCoords;  // s, t per vertex: 6 per triangle; t = 0 is the image's top row
};

// A whole model: its meshes in drawing order (none for a model that draws
// nothing).
using ModelSource = std::vector<ModelMeshSource>;

// Builds the bytes of a model entry, ready for PakArchive::AddEntry.
//
// Entry layout (little-endian, no padding): uint8 marker, 4 reserved bytes
// only when the marker is 255, int32 mesh count, then per mesh: int32 L,
// L bytes of texture name ending in NUL, 80 reserved bytes, the 60-byte
// material, int32 triangle count T, 1 reserved byte, 72*T bytes of positions,
// 72*T of normals, 48*T of texture coordinates (all 64-bit doubles).
class ModelWriter {
public:
    // Fills `bytes` with the entry holding `meshes` in order. Fails, leaving
    // `bytes` untouched, when a texture name is empty or holds a NUL byte,
    // when the arrays of a mesh do not describe the same whole number of
    // triangles, or when the entry would not fit an archive entry; `problem`
    // then names the mesh and the problem. `marker` is the entry's first byte
    // (255 adds the 4 reserved header bytes).
    static bool Build(const ModelSource& meshes, std::vector<std::uint8_t>& bytes, std::string& problem,
                      std::uint8_t marker = 0);
};

}
