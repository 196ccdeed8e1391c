#pragma once

#include "resources/ModelWriter.h"
#include "resources/PakArchive.h"
#include "support/TempDir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwood::test {

// Archives written to a private folder that the resource manager reads from:
// the base path points at the folder while the object lives and is "0" again
// afterwards.
class ResourceTestFolder {
public:
    ResourceTestFolder();
    ~ResourceTestFolder();

    // Writes `archive` as the file `name` inside the folder.
    void Write(const std::string& name, const PakArchive& archive);
    std::string File(const std::string& name) const { return dir.File(name); }

private:
    TempDir dir;
};

// A small RGBA PNG image, ready to be an image entry.
std::string SmallPng();

// One mesh of `triangles` triangles with distinct, recognisable values.
ModelMeshSource MakeMesh(const std::string& texture, int triangles, MeshMaterial material = {});

// The bytes of a model entry built by ModelWriter; fails the test if it refuses.
std::vector<std::uint8_t> BuildModel(const std::vector<ModelMeshSource>& meshes, std::uint8_t marker = 0);

void AddBytes(PakArchive& archive, const std::string& name, const std::string& bytes);
void AddBytes(PakArchive& archive, const std::string& name, const std::vector<std::uint8_t>& bytes);

}
