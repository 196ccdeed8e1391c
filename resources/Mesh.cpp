#include "resources/Mesh.h"

namespace tarnwood {

Mesh::Mesh() = default;
Mesh::~Mesh() = default;

bool Mesh::Parse(const std::uint8_t*&, const std::uint8_t*, const std::string&)
{
    return false;
}

void Mesh::Draw() {}
void Mesh::DrawDeferred() {}

}
