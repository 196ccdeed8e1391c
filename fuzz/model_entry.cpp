// Model entries loaded into a scene node through the resource manager: every
// mesh the node ends up with must lie wholly inside the entry's bytes, and
// every reference must be given back when the node goes.
#include "FuzzSupport.h"
#include "resources/PakArchive.h"
#include "resources/ResourceManager.h"
#include "scene/SceneNode.h"

#include <cstdlib>
#include <cstring>

using namespace tarnwood;

namespace {

// A 1 x 1 RGBA PNG, so that records naming "t.png" get a real texture.
const std::uint8_t onePixelPng[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
                                    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
                                    0x00, 0x1f, 0x15, 0xc4, 0x89, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x44, 0x41, 0x54, 0x78,
                                    0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0xf0, 0x1f, 0x00, 0x05, 0x00, 0x01, 0xff, 0x89, 0x99,
                                    0x3d, 0x1d, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

bool Inside(const std::uint8_t* start, std::uint64_t length, const PakEntryView& entry)
{
    return start >= entry.bytes && static_cast<std::uint64_t>(start - entry.bytes) + length <= entry.size;
}

}

// The context is made before the first input, so its cost is not counted as
// that input's.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnsureGlContext();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string problem;
    // Procedural textures (a name whose second character is '#') are sized by
    // their description, which has a harness of its own.
    if (std::memchr(data, '#', size) != nullptr)
        return 0;
    fuzz::EnsureGlContext();
    ResourceManager& manager = ResourceManager::Instance();
    manager.SetBasePath(fuzz::ScratchFolder() + "/");
    PakArchive archive;
    if (!archive.AddEntry("model", data, static_cast<std::int32_t>(size), problem)
        || !archive.AddEntry("t.png", onePixelPng, sizeof onePixelPng, problem)
        || !archive.Save(fuzz::ScratchFolder() + "/model.pak", problem))
        std::abort();
    {
        SceneNode node;
        node.LoadModel("model.pak", "model");
        PakArchive* loaded = manager.FindArchive("model.pak");
        if (loaded == nullptr)
            std::abort();
        const PakEntryView entry = loaded->GetEntry("model");
        for (const auto& mesh : node.meshes) {
            const std::uint64_t triangles = static_cast<std::uint64_t>(mesh->TriangleCount());
            if (!Inside(mesh->MaterialBytes(), 60, entry) || !Inside(mesh->Positions(), 72 * triangles, entry)
                || !Inside(mesh->Normals(), 72 * triangles, entry) || !Inside(mesh->TexCoords(), 48 * triangles, entry))
                std::abort();
        }
    }
    if (manager.ReferenceCount("model.pak") != 0)
        std::abort();
    return 0;
}
