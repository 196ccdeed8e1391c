#include "proctex/ProceduralTextureManager.h"

namespace tarnwood {

ProceduralTextureManager& ProceduralTextureManager::Instance()
{
    static ProceduralTextureManager instance;
    return instance;
}

GLuint ProceduralTextureManager::Acquire(const std::string&)
{
    return 0;
}

void ProceduralTextureManager::Release(const std::string&) {}

void ProceduralTextureManager::UpdateAll(std::uint32_t) {}

}
