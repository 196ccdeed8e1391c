#include "resources/ModelLoading.h"

#include "resources/LittleEndian.h"
#include "resources/ResourceManager.h"

namespace tarnwood {

namespace {

constexpr std::uint8_t reservedHeaderMarker = 255;

}

int LoadModelMeshes(const std::string& archive, const std::string& entry, std::vector<std::unique_ptr<Mesh>>& meshes)
{
    const PakEntryView model = ResourceManager::Instance().GetEntry(archive, entry);
    if (model.bytes == nullptr || model.size < 1)
        return 0;
    const std::uint8_t* cursor = model.bytes;
    const std::uint8_t* const end = model.bytes + model.size;
    const std::uint8_t marker = *cursor++;
    if (marker == reservedHeaderMarker) {
        if (end - cursor < 4)
            return 0;
        cursor += 4;
    }
    if (end - cursor < 4)
        return 0;
    const std::int32_t meshCount = ReadI32LE(cursor);
    cursor += 4;

    // A record that does not fit ends the load: its position says nothing
    // about where a later record would start.
    int loaded = 0;
    for (std::int32_t i = 0; i < meshCount; ++i) {
        auto mesh = std::make_unique<Mesh>();
        if (!mesh->Parse(cursor, end, archive))
            break;
        meshes.push_back(std::move(mesh));
        ++loaded;
    }
    return loaded;
}

void ReleaseModelArchive(const std::string& archive)
{
    ResourceManager::Instance().ReleaseArchive(archive);
}

}
