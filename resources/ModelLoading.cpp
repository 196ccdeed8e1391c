#include "resources/ModelLoading.h"

namespace tarnwood {

int LoadModelMeshes(const std::string&, const std::string&, std::vector<std::unique_ptr<Mesh>>&)
{
    return 0;
}

void ReleaseModelArchive(const std::string&) {}

}
