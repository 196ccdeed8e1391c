#include "ResourceTestArchive.h"

#include "TestImages.h"
#include "resources/ResourceManager.h"

#include <gtest/gtest.h>

namespace tarnwood::test {

ResourceTestFolder::ResourceTestFolder()
{
    ResourceManager::Instance().SetBasePath(dir.Path().string() + "/");
}

ResourceTestFolder::~ResourceTestFolder()
{
    ResourceManager::Instance().SetBasePath("0");
}

void ResourceTestFolder::Write(const std::string& name, const PakArchive& archive)
{
    std::string error;
    EXPECT_TRUE(archive.Save(dir.File(name), error)) << error;
}

std::string SmallPng()
{
    return EncodePng(2, 2, 6, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
}

ModelMeshSource MakeMesh(const std::string& texture, int triangles, MeshMaterial material)
{
    ModelMeshSource mesh;
    mesh.texture = texture;
    mesh.material = material;
    for (int v = 0; v < triangles * 3; ++v) {
        for (int c = 0; c < 3; ++c) {
            mesh.positions.push_back(v * 10.0 + c + 0.25);
            mesh.normals.push_back(-(v * 10.0 + c) - 0.5);
        }
        mesh.texCoords.push_back(v / 100.0);
        mesh.texCoords.push_back(1.0 - v / 100.0);
    }
    return mesh;
}

std::vector<std::uint8_t> BuildModel(const std::vector<ModelMeshSource>& meshes, std::uint8_t marker)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ModelWriter::Build(meshes, bytes, error, marker)) << error;
    return bytes;
}

void AddBytes(PakArchive& archive, const std::string& name, const std::string& bytes)
{
    std::string problem;
    EXPECT_TRUE(archive.AddEntry(name, bytes.data(), static_cast<std::int32_t>(bytes.size()), problem)) << problem;
}

void AddBytes(PakArchive& archive, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::string problem;
    EXPECT_TRUE(archive.AddEntry(name, bytes.data(), static_cast<std::int32_t>(bytes.size()), problem)) << problem;
}

}
