// The installed models' drawing hints (back faces culled, single-sampled)
// must save work without changing the picture: drawn through a four-sample
// framebuffer under the scene's camera, with and without the hints.

#include "SceneCamera.h"
#include "resources/LittleEndian.h"
#include "resources/Mesh.h"
#include "resources/ModelLoading.h"
#include "resources/ResourceManager.h"
#include "scene/Vec3.h"
#include "support/GlTestContext.h"
#include "support/MultisampledFramebuffer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tarnwood {
namespace {

constexpr int width = 320;
constexpr int height = 240;

Vec3 ReadVec3(const std::uint8_t* doubles, std::size_t vertex)
{
    const std::uint8_t* at = doubles + vertex * 24;
    return {ReadF64LE(at), ReadF64LE(at + 8), ReadF64LE(at + 16)};
}

class DrawingHints : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceManager::Instance().SetBasePath(TARNWOOD_INSTALL_DIR "/");
        ASSERT_TRUE(test::EnsureGlContext(64, 64));
        framebuffer = std::make_unique<test::MultisampledFramebuffer>(width, height, 4);
        ASSERT_TRUE(framebuffer->Usable());
        glViewport(0, 0, width, height);
        glAlphaFunc(GL_GREATER, 0.9f);
        test::SetUpSceneCamera(width, height);
    }

    void TearDown() override
    {
        meshes.clear();
        for (int i = 0; i < loads; ++i)
            ReleaseModelArchive("main.pak");
        framebuffer.reset();
        test::TearDownSceneCamera();
        glViewport(0, 0, 64, 64);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::vector<std::unique_ptr<Mesh>> Load(const std::string& model)
    {
        std::vector<std::unique_ptr<Mesh>> loaded;
        LoadModelMeshes("main.pak", model, loaded);
        ++loads;
        return loaded;
    }

    // The same arrays, texture and alpha test as the mesh's own draw, without
    // its hints: every face drawn, every edge multisampled.
    static void DrawWithoutHints(const Mesh& mesh)
    {
        const MeshMaterial material = mesh.Material();
        glBindTexture(GL_TEXTURE_2D, mesh.Texture());
        if (material.alphaTested)
            glEnable(GL_ALPHA_TEST);
        glVertexPointer(3, GL_DOUBLE, 0, mesh.Positions());
        glNormalPointer(GL_DOUBLE, 0, mesh.Normals());
        glTexCoordPointer(2, GL_DOUBLE, 0, mesh.TexCoords());
        glDrawArrays(GL_TRIANGLES, 0, 3 * mesh.TriangleCount());
        glDisable(GL_ALPHA_TEST);
    }

    static bool Culled(const Mesh& mesh) { return mesh.Material().backFacesCulled; }
    static bool Opaque(const Mesh& mesh) { return !mesh.Material().transparent; }

    // The meshes of `model` that `which` picks (the opaque ones by default)
    // under the tree group's placement turned by `turn` degrees, resolved.
    std::vector<std::uint8_t> Picture(const std::string& model, double turn, bool hinted, bool (*which)(const Mesh&) = Opaque)
    {
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        test::PlaceTreeGroup();
        glRotated(turn, 0.0, 0.0, 1.0);
        meshes = Load(model);
        for (const std::unique_ptr<Mesh>& mesh : meshes) {
            if (!which(*mesh))
                continue;
            if (hinted)
                mesh->Draw();
            else
                DrawWithoutHints(*mesh);
        }
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
        return framebuffer->Resolved();
    }

    std::unique_ptr<test::MultisampledFramebuffer> framebuffer;
    std::vector<std::unique_ptr<Mesh>> meshes;
    int loads = 0;
};

struct Difference {
    int pixels = 0;  // differing by more than 8 levels in some channel
    int largest = 0;
};

Difference Compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    Difference d;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        int most = 0;
        for (std::size_t c = 0; c < 3; ++c)
            most = std::max(most, std::abs(a[i + c] - b[i + c]));
        d.pixels += most > 8;
        d.largest = std::max(d.largest, most);
    }
    return d;
}

TEST_F(DrawingHints, CulledMeshesFaceOutwardsWhereverTheirNormalsPoint)
{
    int culled = 0;
    for (const char* model : {"nebo", "tree", "tabl", "list", "nn"}) {
        meshes = Load(model);
        for (const std::unique_ptr<Mesh>& mesh : meshes) {
            if (!mesh->Material().backFacesCulled)
                continue;
            ++culled;
            for (std::int32_t t = 0; t < mesh->TriangleCount(); ++t) {
                const Vec3 a = ReadVec3(mesh->Positions(), 3 * t);
                const Vec3 b = ReadVec3(mesh->Positions(), 3 * t + 1);
                const Vec3 c = ReadVec3(mesh->Positions(), 3 * t + 2);
                const Vec3 normals = ReadVec3(mesh->Normals(), 3 * t) + ReadVec3(mesh->Normals(), 3 * t + 1)
                    + ReadVec3(mesh->Normals(), 3 * t + 2);
                ASSERT_GT(Dot(Cross(b - a, c - a), normals), 0.0)
                    << model << " triangle " << t << " is wound against its normals";
            }
        }
    }
    EXPECT_GE(culled, 1) << "the bark is culled";
}

TEST_F(DrawingHints, CullingTheBarkLeavesItsShapeAsItWas)
{
    // The branches are shut tubes, so no back face shows through; what
    // remains is a sample here and there on the outline of the thinnest
    // twigs, where a back face's edge takes a sample that the front face's
    // edge beside it does not.
    for (double turn : {0.0, 72.0, 144.0, 216.0, 288.0}) {
        const std::vector<std::uint8_t> plain = Picture("tree", turn, false, Culled);
        const std::vector<std::uint8_t> hinted = Picture("tree", turn, true, Culled);
        const Difference d = Compare(plain, hinted);
        EXPECT_LT(d.pixels, width * height / 2000) << "turn " << turn << ", largest difference " << d.largest;
    }
}

TEST_F(DrawingHints, TheWorldLooksTheSameWithItsHints)
{
    // The sky and the ground draw the same picture; the tree differs only
    // where its culled bark does (above).
    for (double turn : {0.0, 120.0, 240.0}) {
        const Difference sky = Compare(Picture("nebo", turn, false), Picture("nebo", turn, true));
        EXPECT_EQ(sky.pixels, 0) << "turn " << turn << ", largest difference " << sky.largest;
        const Difference tree = Compare(Picture("tree", turn, false), Picture("tree", turn, true));
        EXPECT_LT(tree.pixels, width * height / 2000) << "turn " << turn;
    }
}

TEST_F(DrawingHints, OnlyTheBackdropIsSingleSampled)
{
    // A single-sampled mesh keeps its depth in one sample per pixel, so
    // whatever is drawn behind it later would show through: only the sky's
    // dome, drawn first and behind everything, may be single-sampled.
    for (const char* model : {"nebo", "tree", "tabl", "list", "nn"}) {
        meshes = Load(model);
        for (std::size_t i = 0; i < meshes.size(); ++i) {
            const bool backdrop = std::string(model) == "nebo" && i == 0;
            EXPECT_EQ(meshes[i]->Material().singleSampled, backdrop) << model << " mesh " << i;
        }
    }
}

}
}
