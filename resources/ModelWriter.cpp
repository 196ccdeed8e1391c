#include "resources/ModelWriter.h"

#include "resources/LittleEndian.h"

#include <limits>

namespace tarnwood {

namespace {

constexpr std::size_t reservedBlockBytes = 80;
constexpr std::uint8_t reservedHeaderMarker = 255;
// Model entries are added to archives with a signed 32-bit length.
constexpr std::uint64_t maxEntryBytes = std::numeric_limits<std::int32_t>::max();

bool CheckMesh(const ModelMeshSource& mesh, std::string& problem)
{
    if (mesh.texture.empty())
        problem = "the texture name is empty";
    else if (mesh.texture.find('\0') != std::string::npos)
        problem = "the texture name holds a NUL byte";
    else if (mesh.positions.size() % 9 != 0)
        problem = "the positions are not a whole number of triangles (9 doubles each)";
    else if (mesh.normals.size() != mesh.positions.size())
        problem = "there are not as many normals as positions";
    else if (mesh.texCoords.size() != mesh.positions.size() / 3 * 2)
        problem = "there is not one texture coordinate pair per vertex";
    else
        return true;
    return false;
}

}

bool ModelWriter::Build(const ModelSource& meshes, std::vector<std::uint8_t>& bytes, std::string& problem,
                        std::uint8_t marker)
{
    std::uint64_t total = 1 + (marker == reservedHeaderMarker ? 4 : 0) + 4;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        std::string meshProblem;
        if (!CheckMesh(meshes[i], meshProblem)) {
            problem = "mesh " + std::to_string(i) + ": " + meshProblem;
            return false;
        }
        total += 4 + meshes[i].texture.size() + 1 + reservedBlockBytes + MeshMaterial::byteSize + 4 + 1
            + 8 * (meshes[i].positions.size() + meshes[i].normals.size() + meshes[i].texCoords.size());
        if (total > maxEntryBytes) {
            problem = "the model entry would be larger than an archive entry can hold";
            return false;
        }
    }

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    out.push_back(marker);
    if (marker == reservedHeaderMarker)
        AppendU32LE(out, 0);
    AppendU32LE(out, static_cast<std::uint32_t>(meshes.size()));
    for (const ModelMeshSource& mesh : meshes) {
        AppendU32LE(out, static_cast<std::uint32_t>(mesh.texture.size() + 1));
        out.insert(out.end(), mesh.texture.begin(), mesh.texture.end());
        out.push_back(0);
        out.insert(out.end(), reservedBlockBytes, 0);
        mesh.material.AppendTo(out);
        AppendU32LE(out, static_cast<std::uint32_t>(mesh.positions.size() / 9));
        out.push_back(0);
        for (double value : mesh.positions)
            AppendF64LE(out, value);
        for (double value : mesh.normals)
            AppendF64LE(out, value);
        for (double value : mesh.texCoords)
            AppendF64LE(out, value);
    }
    bytes = std::move(out);
    return true;
}

}
