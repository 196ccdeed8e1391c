#include "assets/ArchiveWriter.h"

#include "assets/PngEncoder.h"
#include "resources/ModelWriter.h"
#include "resources/PakArchive.h"

#include <limits>
#include <vector>

namespace tarnwood {

namespace {

ModelMeshSource ToSource(const BakedMesh& mesh)
{
    ModelMeshSource source;
    source.texture = mesh.texture;
    source.material.alphaTested = mesh.material.alphaTested;
    source.material.transparent = mesh.material.transparent;
    source.material.ambient = mesh.material.ambient;
    source.material.diffuse = mesh.material.diffuse;
    source.material.specular = mesh.material.specular;
    source.material.shininess = mesh.material.shininess;
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        source.positions.insert(source.positions.end(), {mesh.positions[i].x, mesh.positions[i].y, mesh.positions[i].z});
        source.normals.insert(source.normals.end(), {mesh.normals[i].x, mesh.normals[i].y, mesh.normals[i].z});
        source.texCoords.insert(source.texCoords.end(), {mesh.texcoords[i][0], mesh.texcoords[i][1]});
    }
    return source;
}

bool Add(PakArchive& archive, const std::string& name, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error = "entry \"" + name + "\" is too large";
        return false;
    }
    std::string problem;
    if (!archive.AddEntry(name, bytes.data(), static_cast<std::int32_t>(bytes.size()), problem)) {
        error = "entry \"" + name + "\": " + problem;
        return false;
    }
    return true;
}

}

bool WriteArchive(const ArchiveContent& content, const std::string& directory, std::string& error)
{
    PakArchive archive;
    for (const auto& [name, model] : content.models) {
        std::vector<ModelMeshSource> sources;
        for (const BakedMesh& mesh : model.meshes) {
            sources.push_back(ToSource(mesh));
        }
        std::vector<std::uint8_t> bytes;
        std::string problem;
        if (!ModelWriter::Build(sources, bytes, &problem)) {
            error = content.fileName + ": model \"" + name + "\": " + problem;
            return false;
        }
        if (!Add(archive, name, bytes, error)) {
            error = content.fileName + ": " + error;
            return false;
        }
    }
    for (const auto& [name, image] : content.images) {
        const std::vector<std::uint8_t> png = EncodePng(image);
        if (png.empty()) {
            error = content.fileName + ": image \"" + name + "\" could not be encoded";
            return false;
        }
        if (!Add(archive, name, png, error)) {
            error = content.fileName + ": " + error;
            return false;
        }
    }
    std::string problem;
    if (!archive.Save(directory + "/" + content.fileName, problem)) {
        error = problem;
        return false;
    }
    return true;
}

}
