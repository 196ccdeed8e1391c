#include "resources/ModelWriter.h"

#include "resources/LittleEndian.h"

#include <limits>

namespace tarnwood {

namespace {

constexpr std::size_t reservedBlockBytes = 80;
constexpr std::uint8_t reservedHeaderMarker = 255;
// Model entries are added to archives with a signed 32-bit length.
constexpr std::uint64_t maxEntryBytes = std::numeric_limits<std::int32_t>::max();

std::string CheckMesh(const ModelMeshSource& mesh)
{
    if (mesh.texture.empty())
        return "the texture name is empty";
    if (mesh.texture.find('\0') != std::string::npos)
        return "the texture name holds a NUL byte";
    if (mesh.positions.size() % 9 != 0)
        return "the positions are not a whole number of triangles (9 doubles each)";
    if (mesh.normals.size() != mesh.positions.size())
        return "there are not as many normals as positions";
    if (mesh.texCoords.size() != mesh.positions.size() / 3 * 2)
        return "there is not one texture coordinate pair per vertex";
    return {};
}

}

bool ModelWriter::Build(const std::vector<ModelMeshSource>& meshes, std::vector<std::uint8_t>& bytes,
                        std::string* error, std::uint8_t marker)
{
    std::uint64_t total = 1 + (marker == reservedHeaderMarker ? 4 : 0) + 4;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        const std::string problem = CheckMesh(meshes[i]);
        if (!problem.empty()) {
            if (error)
                *error = "mesh " + std::to_string(i) + ": " + problem;
            return false;
        }
        total += 4 + meshes[i].texture.size() + 1 + reservedBlockBytes + MeshMaterial::byteSize + 4 + 1
            + 8 * (meshes[i].positions.size() + meshes[i].normals.size() + meshes[i].texCoords.size());
        if (total > maxEntryBytes) {
            if (error)
                *error = "the model entry would be larger than an archive entry can hold";
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
