#pragma once

#include "resources/Mesh.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwood {

// The node side of loading a model entry: takes one reference on `archive`
// (given back by ReleaseModelArchive with the same name, also when the entry
// is missing or corrupt), parses the entry's mesh records in place and appends
// the meshes that fit wholly inside the entry to `meshes`. Returns how many
// meshes were appended. Needs a current OpenGL context.
int LoadModelMeshes(const std::string& archive, const std::string& entry, std::vector<std::unique_ptr<Mesh>>& meshes);

// Gives back the archive reference taken by one LoadModelMeshes call.
void ReleaseModelArchive(const std::string& archive);

}
