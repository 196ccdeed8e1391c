#include "resources/MeshMaterial.h"

#include "resources/LittleEndian.h"

namespace tarnwood {

namespace {

std::array<float, 4> ReadColour(const std::uint8_t* bytes)
{
    return {ReadF32LE(bytes), ReadF32LE(bytes + 4), ReadF32LE(bytes + 8), ReadF32LE(bytes + 12)};
}

void AppendColour(std::vector<std::uint8_t>& out, const std::array<float, 4>& colour)
{
    for (float component : colour)
        AppendF32LE(out, component);
}

}

MeshMaterial MeshMaterial::Read(const std::uint8_t* bytes)
{
    MeshMaterial material;
    material.alphaTested = bytes[0] != 0;
    material.transparent = bytes[1] != 0;
    material.backFacesCulled = bytes[2] != 0;
    material.singleSampled = bytes[3] != 0;
    material.ambient = ReadColour(bytes + 4);
    material.diffuse = ReadColour(bytes + 20);
    material.specular = ReadColour(bytes + 36);
    material.shininess = ReadF32LE(bytes + 52);
    return material;
}

void MeshMaterial::AppendTo(std::vector<std::uint8_t>& out) const
{
    out.push_back(alphaTested ? 1 : 0);
    out.push_back(transparent ? 1 : 0);
    out.push_back(backFacesCulled ? 1 : 0);
    out.push_back(singleSampled ? 1 : 0);
    AppendColour(out, ambient);
    AppendColour(out, diffuse);
    AppendColour(out, specular);
    AppendF32LE(out, shininess);
    AppendU32LE(out, 0);
}

}
