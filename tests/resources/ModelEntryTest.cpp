#include "resources/LittleEndian.h"
#include "resources/Mesh.h"
#include "resources/ModelLoading.h"
#include "resources/ModelWriter.h"
#include "resources/ResourceManager.h"

#include "ResourceTestArchive.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwood {
namespace {

using test::AddBytes;
using test::BuildModel;
using test::MakeMesh;

// Description text of a procedural texture (second character '#').
const std::string plasma = "q#Plasma8x8,10,20,30";

class ModelEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::EnsureGlContext());
        archiveName = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".pak";
    }

    void TearDown() override
    {
        EXPECT_EQ(ResourceManager::Instance().ReferenceCount(archiveName), 0) << "references left over";
    }

    // Writes the test's archive: an image "img" plus the given entries.
    void WriteArchive(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries)
    {
        PakArchive archive;
        AddBytes(archive, "img", test::SmallPng());
        for (const auto& [name, bytes] : entries)
            AddBytes(archive, name, bytes);
        folder.Write(archiveName, archive);
    }

    int References() const { return ResourceManager::Instance().ReferenceCount(archiveName); }
    int ImageUses() const
    {
        const PakArchive* archive = ResourceManager::Instance().FindArchive(archiveName);
        return archive ? archive->TextureUses("img") : 0;
    }

    test::ResourceTestFolder folder;
    std::string archiveName;
};

std::vector<double> Doubles(const std::uint8_t* at, std::size_t count)
{
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(ReadF64LE(at + 8 * i));
    return values;
}

TEST_F(ModelEntry, WriterOutputParsesBackInPlaceAtTheDocumentedOffsets)
{
    WriteArchive({});
    MeshMaterial material;
    material.alphaTested = true;
    material.singleSampled = true;
    material.ambient = {0.1f, 0.2f, 0.3f, 0.4f};
    material.diffuse = {0.5f, 0.6f, 0.7f, 0.8f};
    material.specular = {0.9f, 1.0f, 0.25f, 0.75f};
    material.shininess = 42.5f;
    const ModelMeshSource big = MakeMesh("abcde", 2, material);  // L = 6, T = 2
    const std::vector<std::uint8_t> bytes = BuildModel({big, MakeMesh("img", 0), MakeMesh(plasma, 1)}, 255);

    ASSERT_EQ(bytes[0], 255);
    EXPECT_EQ(ReadI32LE(&bytes[5]), 3) << "the mesh count follows the 4 reserved bytes";
    const std::uint8_t* const first = bytes.data() + 9;
    EXPECT_EQ(ReadI32LE(first), 6);

    const std::uint8_t* cursor = first;
    const std::uint8_t* const end = bytes.data() + bytes.size();
    Mesh record;
    ASSERT_TRUE(record.Parse(cursor, end, archiveName));
    EXPECT_EQ(cursor - first, 539);
    EXPECT_EQ(record.MaterialBytes() - first, 90);
    EXPECT_EQ(record.Positions() - first, 155);
    EXPECT_EQ(record.Normals() - first, 299);
    EXPECT_EQ(record.TexCoords() - first, 443);
    EXPECT_EQ(record.TriangleCount(), 2);
    EXPECT_EQ(Doubles(record.Positions(), 18), big.positions);
    EXPECT_EQ(Doubles(record.Normals(), 18), big.normals);
    EXPECT_EQ(Doubles(record.TexCoords(), 12), big.texCoords);
    const MeshMaterial read = record.Material();
    EXPECT_TRUE(read.alphaTested);
    EXPECT_FALSE(read.transparent);
    EXPECT_FALSE(read.backFacesCulled);
    EXPECT_TRUE(read.singleSampled);
    EXPECT_EQ(record.MaterialBytes()[2], 0) << "back faces culled";
    EXPECT_EQ(record.MaterialBytes()[3], 1) << "single-sampled";
    EXPECT_EQ(read.ambient, material.ambient);
    EXPECT_EQ(read.diffuse, material.diffuse);
    EXPECT_EQ(read.specular, material.specular);
    EXPECT_EQ(read.shininess, material.shininess);
    EXPECT_EQ(record.Texture(), 0u) << "the archive has no entry \"abcde\"";
    EXPECT_EQ(record.ReleaseKey(), archiveName);
    EXPECT_FALSE(record.IsProcedural());

    const std::uint8_t* const second = cursor;
    Mesh empty;
    ASSERT_TRUE(empty.Parse(cursor, end, archiveName));
    EXPECT_EQ(cursor - second, 149 + 4) << "T = 0: no arrays";
    EXPECT_EQ(empty.TriangleCount(), 0);
    EXPECT_NE(empty.Texture(), 0u);

    Mesh described;
    ASSERT_TRUE(described.Parse(cursor, end, archiveName));
    EXPECT_EQ(cursor, end);
    EXPECT_TRUE(described.IsProcedural());
    EXPECT_EQ(described.ReleaseKey(), plasma);

    EXPECT_EQ(References(), 2) << "one per archive-textured mesh, none for the description";
    EXPECT_FALSE(described.Parse(cursor, end, archiveName)) << "a mesh is parsed once";
}

TEST_F(ModelEntry, OneCharacterNameNamesThatImage)
{
    PakArchive archive;
    AddBytes(archive, "x", test::SmallPng());
    folder.Write(archiveName, archive);
    const std::vector<std::uint8_t> bytes = BuildModel({MakeMesh("x", 1)});
    ASSERT_EQ(ReadI32LE(&bytes[5]), 2) << "L = 2: the character and its NUL";
    const std::uint8_t* cursor = bytes.data() + 5;
    Mesh mesh;
    ASSERT_TRUE(mesh.Parse(cursor, bytes.data() + bytes.size(), archiveName));
    EXPECT_NE(mesh.Texture(), 0u);
    EXPECT_TRUE(glIsTexture(mesh.Texture()));
}

TEST_F(ModelEntry, WriterRefusesInconsistentMeshes)
{
    struct Case {
        const char* what;
        ModelMeshSource mesh;
    };
    std::vector<Case> cases = {{"empty name", MakeMesh("", 1)},
                               {"NUL in name", MakeMesh(std::string("a\0b", 3), 1)},
                               {"partial triangle", MakeMesh("a", 1)},
                               {"normals short", MakeMesh("a", 1)},
                               {"texture coordinates long", MakeMesh("a", 1)}};
    cases[2].mesh.positions.pop_back();
    cases[3].mesh.normals.resize(6);
    cases[4].mesh.texCoords.push_back(0.0);
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = {9};
        std::string error;
        EXPECT_FALSE(ModelWriter::Build({MakeMesh("fine", 1), c.mesh}, bytes, error)) << c.what;
        EXPECT_EQ(error.rfind("mesh 1: ", 0), 0u) << error;
        EXPECT_EQ(bytes, std::vector<std::uint8_t>{9}) << c.what;
    }
}

TEST_F(ModelEntry, RecordsThatDoNotFitAcquireNothing)
{
    WriteArchive({});
    const std::vector<std::uint8_t> model = BuildModel({MakeMesh("img", 2)});
    const std::vector<std::uint8_t> record(model.begin() + 5, model.end());
    ASSERT_EQ(record.size(), 149u + 4u + 384u);

    const auto tryParse = [&](const std::vector<std::uint8_t>& source, const std::string& what) {
        // An exact-size heap copy, so that any read past the end is caught by the sanitizer build.
        auto copy = std::make_unique<std::uint8_t[]>(source.size());
        std::copy(source.begin(), source.end(), copy.get());
        const std::uint8_t* cursor = copy.get();
        Mesh mesh;
        EXPECT_FALSE(mesh.Parse(cursor, copy.get() + source.size(), archiveName)) << what;
        EXPECT_EQ(cursor, copy.get()) << what;
        EXPECT_FALSE(mesh.IsParsed()) << what;
        EXPECT_EQ(References(), 0) << what;
    };
    for (std::size_t cut : {0ul, 3ul, 4ul, 7ul, 8ul, 100ul, 152ul, 153ul, record.size() - 1}) {
        tryParse(std::vector<std::uint8_t>(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(cut)),
                 "cut at " + std::to_string(cut));
    }
    const auto patched = [&](std::size_t offset, std::int32_t value) {
        std::vector<std::uint8_t> bytes = record;
        WriteU32LE(&bytes[offset], static_cast<std::uint32_t>(value));
        return bytes;
    };
    const std::size_t triangleOffset = 144 + 4;
    tryParse(patched(0, -1), "negative name length");
    tryParse(patched(0, 0), "zero name length");
    tryParse(patched(0, 0x7FFFFFFF), "huge name length");
    tryParse(patched(triangleOffset, -1), "negative triangle count");
    tryParse(patched(triangleOffset, 3), "one triangle too many");
    tryParse(patched(triangleOffset, 0x7FFFFFFF), "huge triangle count");
    std::vector<std::uint8_t> unterminated = record;
    unterminated[4 + 3] = 'X';  // the NUL of "img"
    tryParse(unterminated, "name without NUL");
}

TEST_F(ModelEntry, MarkerDecidesWhereTheMeshCountLies)
{
    const std::vector<std::uint8_t> built = BuildModel({MakeMesh("img", 1)});
    const std::vector<std::uint8_t> record(built.begin() + 5, built.end());
    std::vector<std::uint8_t> withReserved = {255, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0};
    withReserved.insert(withReserved.end(), record.begin(), record.end());
    std::vector<std::uint8_t> plain = {7, 1, 0, 0, 0};
    plain.insert(plain.end(), record.begin(), record.end());
    WriteArchive({{"reserved", withReserved}, {"plain", plain}});

    for (const char* entry : {"reserved", "plain"}) {
        std::vector<std::unique_ptr<Mesh>> meshes;
        EXPECT_EQ(LoadModelMeshes(archiveName, entry, meshes), 1) << entry;
        ASSERT_EQ(meshes.size(), 1u) << entry;
        EXPECT_EQ(meshes[0]->TriangleCount(), 1) << entry;
        ReleaseModelArchive(archiveName);
    }
}

TEST_F(ModelEntry, ReferencesBalanceForArchiveAndProceduralTextures)
{
    WriteArchive(
        {{"model", BuildModel({MakeMesh("img", 1), MakeMesh("img", 1), MakeMesh("nope", 1), MakeMesh(plasma, 1)})}});

    std::vector<std::unique_ptr<Mesh>> first;
    ASSERT_EQ(LoadModelMeshes(archiveName, "model", first), 4);
    EXPECT_EQ(References(), 1 + 3) << "the entry, plus each archive-textured mesh";
    EXPECT_EQ(ImageUses(), 2);
    const GLuint image = first[0]->Texture();
    EXPECT_NE(image, 0u);
    EXPECT_EQ(first[1]->Texture(), image) << "one texture shared";
    EXPECT_EQ(first[2]->Texture(), 0u) << "a missing image draws untextured";
    EXPECT_TRUE(first[3]->IsProcedural());
    const GLuint procedural = first[3]->Texture();

    std::vector<std::unique_ptr<Mesh>> second;
    ASSERT_EQ(LoadModelMeshes(archiveName, "model", second), 4);
    EXPECT_EQ(References(), 8);
    EXPECT_EQ(second[0]->Texture(), image);
    EXPECT_EQ(ImageUses(), 4);

    // Node teardown order: the model references first, then the meshes.
    ReleaseModelArchive(archiveName);
    first.clear();
    EXPECT_EQ(References(), 4) << "as before the first node's load";
    EXPECT_EQ(ImageUses(), 2);
    EXPECT_TRUE(glIsTexture(image)) << "the other node still uses it";

    ReleaseModelArchive(archiveName);
    second.clear();
    EXPECT_EQ(References(), 0);
    EXPECT_EQ(ResourceManager::Instance().FindArchive(archiveName), nullptr) << "unloaded at count 0";
    EXPECT_FALSE(glIsTexture(image));
    if (procedural != 0)
        EXPECT_FALSE(glIsTexture(procedural)) << "the description's texture is given back";
}

TEST_F(ModelEntry, DamagedOrMissingEntriesKeepWhatFitsAndStayBalanced)
{
    const std::vector<std::uint8_t> three = BuildModel({MakeMesh("img", 1), MakeMesh("img", 2), MakeMesh("img", 1)});
    const std::size_t firstRecord = 5 + 149 + 4 + 192;
    std::vector<std::uint8_t> overcounted = BuildModel({MakeMesh("img", 1), MakeMesh("img", 1)});
    WriteU32LE(&overcounted[1], 5);
    std::vector<std::uint8_t> negative = three;
    WriteU32LE(&negative[1], static_cast<std::uint32_t>(-3));
    const std::vector<std::uint8_t> zero = BuildModel({});
    struct Case {
        const char* entry;
        std::vector<std::uint8_t> bytes;
        int meshes;
    };
    const std::vector<Case> cases = {
        {"cut in second record", std::vector<std::uint8_t>(three.begin(), three.begin() + firstRecord + 200), 1},
        {"cut after second record", std::vector<std::uint8_t>(three.begin(), three.end() - 1), 2},
        {"count beyond the records", overcounted, 2},
        {"negative count", negative, 0},
        {"zero count", zero, 0},
        {"marker only", {255}, 0},
        {"reserved cut", {255, 0, 0}, 0},
        {"count cut", {0, 1, 0}, 0},
        {"empty", {}, 0},
    };
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries;
    for (const Case& c : cases)
        entries.emplace_back(c.entry, c.bytes);
    WriteArchive(entries);

    for (const Case& c : cases) {
        std::vector<std::unique_ptr<Mesh>> meshes;
        EXPECT_EQ(LoadModelMeshes(archiveName, c.entry, meshes), c.meshes) << c.entry;
        EXPECT_EQ(meshes.size(), static_cast<std::size_t>(c.meshes)) << c.entry;
        EXPECT_EQ(References(), 1 + c.meshes) << c.entry;
        ReleaseModelArchive(archiveName);
        meshes.clear();
        EXPECT_EQ(References(), 0) << c.entry;
    }

    std::vector<std::unique_ptr<Mesh>> meshes;
    EXPECT_EQ(LoadModelMeshes(archiveName, "no such entry", meshes), 0);
    EXPECT_TRUE(meshes.empty());
    EXPECT_EQ(References(), 1) << "the archive reference is taken all the same";
    ReleaseModelArchive(archiveName);
}

TEST_F(ModelEntry, EveryTruncationKeepsExactlyTheWholeRecords)
{
    const std::vector<ModelMeshSource> sources = {MakeMesh("none", 1), MakeMesh("nada", 0), MakeMesh("zip", 2)};
    const std::vector<std::uint8_t> model = BuildModel(sources, 255);
    // Ends of the records: header of 9 bytes, then 149 + L + 192 T each.
    const std::vector<std::size_t> recordEnds = {9 + 154 + 192, 9 + 154 + 192 + 154, model.size()};
    ASSERT_EQ(recordEnds.back(), 9u + 154 + 192 + 154 + 153 + 384);

    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries;
    for (std::size_t length = 0; length <= model.size(); ++length)
        entries.emplace_back("cut" + std::to_string(length),
                             std::vector<std::uint8_t>(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(length)));
    WriteArchive(entries);

    for (std::size_t length = 0; length <= model.size(); ++length) {
        const int whole = static_cast<int>(
            std::count_if(recordEnds.begin(), recordEnds.end(), [&](std::size_t end) { return end <= length; }));
        std::vector<std::unique_ptr<Mesh>> meshes;
        ASSERT_EQ(LoadModelMeshes(archiveName, "cut" + std::to_string(length), meshes), whole) << length;
        ReleaseModelArchive(archiveName);
        meshes.clear();
        ASSERT_EQ(References(), 0) << length;
    }
}

}
}
