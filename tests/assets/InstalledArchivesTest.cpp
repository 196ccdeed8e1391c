// Checks the archives that the build installs: every entry the scene asks
// for is there, every model entry is well formed and wholly inside its entry
// (by an independent walk and by the real loader), and every image decodes
// to the RGBA form the texture upload needs.

#include "resources/ModelLoading.h"
#include "resources/PakArchive.h"
#include "resources/ResourceManager.h"
#include "support/GlTestContext.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tarnwood {
namespace {

const std::string installDir = TARNWOOD_INSTALL_DIR "/";

struct ArchiveEntries {
    std::string archive;
    std::vector<std::string> models;
};

std::vector<std::string> Numbered(const std::string& prefix, int from, int to)
{
    std::vector<std::string> names;
    for (int i = from; i <= to; ++i) {
        names.push_back(prefix + std::to_string(i));
    }
    return names;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every model entry that the scene, the clock, the calendar, the leaves and
// the frame-rate display load.
std::vector<ArchiveEntries> SceneEntries()
{
    return {
        {"main.pak", {"nebo", "tree", "tabl", "list", "nn"}},
        {"debug.pak", {"ort"}},
        {"utils.pak", Join({"fps"}, Numbered("", 0, 9))},
        {"clock.pak",
         Join({"ciferblat", "sec", "min", "chas", "podlozka", "podlozka_am", "dot", "am", "pm"}, Numbered("", 0, 9))},
        {"calendar.pak",
         Join(Join({"fon", "fon_rus", "day", "day_rus", "null", "sel"}, Numbered("m", 1, 12)), Numbered("", 1, 31))},
    };
}

std::int32_t ReadI32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
                                     | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

double ReadDouble(const std::uint8_t* p)
{
    double d;
    std::memcpy(&d, p, sizeof d);
    return d;
}

float ReadFloat(const std::uint8_t* p)
{
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

bool IsPowerOfTwo(long v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

struct WalkedMesh {
    std::string texture;
    bool alphaTested = false;
    bool transparent = false;
    float diffuseAlpha = 0.0f;
    std::int32_t triangles = 0;
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300, minZ = 1e300, maxZ = -1e300;
};

// Walks a model entry by its layout, failing the test at the first field
// that does not fit the bytes; returns the meshes found.
std::vector<WalkedMesh> WalkModel(const PakEntryView& entry, const std::string& where)
{
    std::vector<WalkedMesh> meshes;
    const std::uint8_t* p = entry.bytes;
    const std::uint8_t* const end = entry.bytes + entry.size;
    EXPECT_GE(entry.size, 5u) << where;
    if (entry.size < 5) {
        return meshes;
    }
    const std::uint8_t marker = *p++;
    if (marker == 255) {
        p += 4;
    }
    if (end - p < 4) {
        ADD_FAILURE() << where << ": no room for the mesh count";
        return meshes;
    }
    const std::int32_t count = ReadI32(p);
    p += 4;
    EXPECT_GE(count, 0) << where;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string at = where + " mesh " + std::to_string(i);
        if (end - p < 4) {
            ADD_FAILURE() << at << ": no room for the name length";
            return meshes;
        }
        const std::int32_t nameLength = ReadI32(p);
        p += 4;
        if (nameLength < 2 || end - p < nameLength) {
            ADD_FAILURE() << at << ": name length " << nameLength << " does not fit";
            return meshes;
        }
        const void* nul = std::memchr(p, 0, static_cast<std::size_t>(nameLength));
        if (nul == nullptr) {
            ADD_FAILURE() << at << ": texture name without NUL";
            return meshes;
        }
        WalkedMesh mesh;
        mesh.texture.assign(reinterpret_cast<const char*>(p), static_cast<const std::uint8_t*>(nul) - p);
        EXPECT_FALSE(mesh.texture.empty()) << at;
        p += nameLength;
        if (end - p < 80 + 60 + 4 + 1) {
            ADD_FAILURE() << at << ": header runs past the entry";
            return meshes;
        }
        p += 80;
        mesh.alphaTested = p[0] != 0;
        mesh.transparent = p[1] != 0;
        mesh.diffuseAlpha = ReadFloat(p + 20 + 12);
        for (int k = 0; k < 13; ++k) {
            EXPECT_TRUE(std::isfinite(ReadFloat(p + 4 + 4 * k))) << at << ": material value " << k;
        }
        p += 60;
        mesh.triangles = ReadI32(p);
        p += 5;
        if (mesh.triangles < 0 || (end - p) / 192 < mesh.triangles) {
            ADD_FAILURE() << at << ": " << mesh.triangles << " triangles do not fit";
            return meshes;
        }
        const std::size_t vertices = static_cast<std::size_t>(mesh.triangles) * 3;
        const std::uint8_t* positions = p;
        const std::uint8_t* normals = p + 24 * vertices;
        const std::uint8_t* texcoords = p + 48 * vertices;
        bool finite = true;
        bool unitNormals = true;
        for (std::size_t v = 0; v < vertices; ++v) {
            const double x = ReadDouble(positions + 24 * v);
            const double y = ReadDouble(positions + 24 * v + 8);
            const double z = ReadDouble(positions + 24 * v + 16);
            const double nx = ReadDouble(normals + 24 * v);
            const double ny = ReadDouble(normals + 24 * v + 8);
            const double nz = ReadDouble(normals + 24 * v + 16);
            const double s = ReadDouble(texcoords + 16 * v);
            const double t = ReadDouble(texcoords + 16 * v + 8);
            finite = finite && std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && std::isfinite(nx)
                && std::isfinite(ny) && std::isfinite(nz) && std::isfinite(s) && std::isfinite(t);
            unitNormals = unitNormals && std::fabs(nx * nx + ny * ny + nz * nz - 1.0) < 1e-6;
            mesh.minX = std::min(mesh.minX, x);
            mesh.maxX = std::max(mesh.maxX, x);
            mesh.minY = std::min(mesh.minY, y);
            mesh.maxY = std::max(mesh.maxY, y);
            mesh.minZ = std::min(mesh.minZ, z);
            mesh.maxZ = std::max(mesh.maxZ, z);
        }
        EXPECT_TRUE(finite) << at << ": a vertex value is not finite";
        EXPECT_TRUE(unitNormals) << at << ": a normal is not of unit length";
        p += 64 * vertices;
        meshes.push_back(mesh);
    }
    EXPECT_EQ(p, end) << where << ": " << (end - p) << " bytes after the last mesh record";
    return meshes;
}

// "x#Generator<w><sep><h>..." with a generator the texture registry knows
// and power-of-two sides.
void ExpectValidDescription(const std::string& text, const std::string& where)
{
    const std::size_t digit = text.find_first_of("0123456789", 2);
    ASSERT_NE(digit, std::string::npos) << where << ": " << text;
    const std::string generator = text.substr(2, digit - 2);
    EXPECT_TRUE(generator == "Plasma" || generator == "Fire") << where << ": " << text;
    char* rest = nullptr;
    const long width = std::strtol(text.c_str() + digit, &rest, 10);
    ASSERT_NE(*rest, '\0') << where << ": " << text;
    const long height = std::strtol(rest + 1, nullptr, 10);
    EXPECT_TRUE(IsPowerOfTwo(width) && IsPowerOfTwo(height)) << where << ": " << text;
    // The fire step needs at least 3 columns and 2 rows.
    EXPECT_GE(width, 4) << where;
    EXPECT_GE(height, 4) << where;
}

class InstalledArchives : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ResourceManager::Instance().SetBasePath(installDir); }
};

TEST_F(InstalledArchives, EveryModelIsWholeAndItsTexturesExist)
{
    for (const ArchiveEntries& archive : SceneEntries()) {
        std::string error;
        const std::unique_ptr<PakArchive> pak = PakArchive::Load(installDir + archive.archive, error);
        ASSERT_NE(pak, nullptr) << error;
        for (const std::string& name : archive.models) {
            const std::string where = archive.archive + " / " + name;
            const PakEntryView entry = pak->GetEntry(name);
            ASSERT_NE(entry.bytes, nullptr) << where << " is missing";
            for (const WalkedMesh& mesh : WalkModel(entry, where)) {
                if (mesh.texture.size() > 1 && mesh.texture[1] == '#') {
                    ExpectValidDescription(mesh.texture, where);
                } else {
                    EXPECT_NE(pak->GetEntry(mesh.texture).bytes, nullptr)
                        << where << " names the missing image \"" << mesh.texture << "\"";
                }
                // Lit meshes take their alpha from the diffuse alpha, and the
                // alpha test passes only above 0.9.
                if (mesh.alphaTested) {
                    EXPECT_GT(mesh.diffuseAlpha, 0.9f) << where;
                }
            }
        }
    }
}

TEST_F(InstalledArchives, ModelsHaveTheShapesTheScenePlacesThemFor)
{
    std::string error;
    const std::unique_ptr<PakArchive> debug = PakArchive::Load(installDir + "debug.pak", error);
    ASSERT_NE(debug, nullptr) << error;
    // The light sits in front of the camera: its model must draw nothing.
    EXPECT_TRUE(WalkModel(debug->GetEntry("ort"), "debug.pak / ort").empty());

    const std::unique_ptr<PakArchive> main = PakArchive::Load(installDir + "main.pak", error);
    ASSERT_NE(main, nullptr) << error;
    // The spawner scales the leaf by 0.1; it should end up 1 to 2 units long.
    const std::vector<WalkedMesh> leaf = WalkModel(main->GetEntry("list"), "main.pak / list");
    ASSERT_EQ(leaf.size(), 1u);
    const double leafLength = std::max(
        {leaf[0].maxX - leaf[0].minX, leaf[0].maxY - leaf[0].minY, leaf[0].maxZ - leaf[0].minZ});
    EXPECT_GE(leafLength, 10.0);
    EXPECT_LE(leafLength, 20.0);
    EXPECT_TRUE(leaf[0].alphaTested);

    // The table carries a flame: a transparent mesh with a fire texture.
    bool flame = false;
    for (const WalkedMesh& mesh : WalkModel(main->GetEntry("tabl"), "main.pak / tabl")) {
        flame = flame || (mesh.transparent && mesh.texture.find("#Fire") == 1);
    }
    EXPECT_TRUE(flame);
    // The delayed model carries a plasma texture.
    bool plasma = false;
    for (const WalkedMesh& mesh : WalkModel(main->GetEntry("nn"), "main.pak / nn")) {
        plasma = plasma || mesh.texture.find("#Plasma") == 1;
    }
    EXPECT_TRUE(plasma);
}

TEST_F(InstalledArchives, RealLoaderReadsEveryMeshAndGetsEveryImageTexture)
{
    ASSERT_TRUE(test::EnsureGlContext());
    for (const ArchiveEntries& archive : SceneEntries()) {
        std::string error;
        const std::unique_ptr<PakArchive> pak = PakArchive::Load(installDir + archive.archive, error);
        ASSERT_NE(pak, nullptr) << error;
        for (const std::string& name : archive.models) {
            const std::string where = archive.archive + " / " + name;
            const PakEntryView entry = pak->GetEntry(name);
            ASSERT_NE(entry.bytes, nullptr) << where;
            const std::size_t declared = WalkModel(entry, where).size();
            std::vector<std::unique_ptr<Mesh>> meshes;
            const int loaded = LoadModelMeshes(archive.archive, name, meshes);
            EXPECT_EQ(static_cast<std::size_t>(loaded), declared) << where;
            for (const std::unique_ptr<Mesh>& mesh : meshes) {
                if (!mesh->IsProcedural()) {
                    EXPECT_NE(mesh->Texture(), 0u) << where << ": image " << mesh->ReleaseKey();
                }
            }
            meshes.clear();
            ReleaseModelArchive(archive.archive);
        }
    }
}

TEST_F(InstalledArchives, EveryImageDecodesToRgbaWithPowerOfTwoSides)
{
    for (const ArchiveEntries& archive : SceneEntries()) {
        std::string error;
        const std::unique_ptr<PakArchive> pak = PakArchive::Load(installDir + archive.archive, error);
        ASSERT_NE(pak, nullptr) << error;
        const std::set<std::string> models(archive.models.begin(), archive.models.end());
        for (std::size_t i = 0; i < pak->EntryCount(); ++i) {
            const std::string& name = pak->EntryName(i);
            if (models.count(name) != 0) {
                continue;
            }
            const std::string where = archive.archive + " / " + name;
            const PakEntryView entry = pak->EntryAt(i);
            SDL_Surface* surface = IMG_Load_RW(SDL_RWFromConstMem(entry.bytes, static_cast<int>(entry.size)), 1);
            ASSERT_NE(surface, nullptr) << where << ": " << IMG_GetError();
            EXPECT_EQ(surface->format->BytesPerPixel, 4) << where;
            EXPECT_EQ(surface->format->Rmask, 0x000000FFu) << where;
            EXPECT_EQ(surface->format->Amask, 0xFF000000u) << where;
            EXPECT_EQ(surface->pitch, surface->w * 4) << where;
            EXPECT_TRUE(IsPowerOfTwo(surface->w) && IsPowerOfTwo(surface->h))
                << where << " is " << surface->w << " x " << surface->h;
            SDL_FreeSurface(surface);
        }
    }
}

TEST_F(InstalledArchives, PreviewIsA152By112TwentyFourBitPicture)
{
    SDL_Surface* preview = SDL_LoadBMP((installDir + "preview.ppk").c_str());
    ASSERT_NE(preview, nullptr) << SDL_GetError();
    EXPECT_EQ(preview->w, 152);
    EXPECT_EQ(preview->h, 112);
    EXPECT_EQ(preview->format->BitsPerPixel, 24);
    // Not a blank picture: the scene has both dark and light parts.
    int darkest = 255 * 3;
    int lightest = 0;
    SDL_LockSurface(preview);
    for (int y = 0; y < preview->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(preview->pixels) + y * preview->pitch;
        for (int x = 0; x < preview->w; ++x) {
            const int sum = row[x * 3] + row[x * 3 + 1] + row[x * 3 + 2];
            darkest = std::min(darkest, sum);
            lightest = std::max(lightest, sum);
        }
    }
    SDL_UnlockSurface(preview);
    SDL_FreeSurface(preview);
    EXPECT_GT(lightest - darkest, 200);
}

}
}
