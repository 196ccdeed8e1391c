#include "resources/Mesh.h"
#include "resources/ModelLoading.h"
#include "resources/ResourceManager.h"
#include "resources/TransparentList.h"

#include "ResourceTestArchive.h"
#include "TestImages.h"
#include "support/GlTestContext.h"
#include "support/MultisampledFramebuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace tarnwood {
namespace {

constexpr int side = 64;
const std::string archiveName = "draw_test.pak";

using Rgb = std::array<int, 3>;

// A square of half-size `half` at z = 0, texture coordinates (0, 0) at its
// top-left corner, as two triangles wound counter-clockwise seen from +z
// (facing the viewer), or clockwise (turned away) when `turnedAway`.
ModelMeshSource Quad(const std::string& texture, const MeshMaterial& material, double half = 0.5, bool turnedAway = false)
{
    ModelMeshSource mesh;
    mesh.texture = texture;
    mesh.material = material;
    double corners[6][4] = {{-half, half, 0, 0}, {-half, -half, 0, 1}, {half, -half, 1, 1},
                            {-half, half, 0, 0}, {half, -half, 1, 1},  {half, half, 1, 0}};
    if (turnedAway) {
        std::swap(corners[1], corners[2]);
        std::swap(corners[4], corners[5]);
    }
    for (const auto& c : corners) {
        mesh.positions.insert(mesh.positions.end(), {c[0], c[1], 0.0});
        mesh.normals.insert(mesh.normals.end(), {0.0, 0.0, 1.0});
        mesh.texCoords.insert(mesh.texCoords.end(), {c[2], c[3]});
    }
    return mesh;
}

std::string SolidPng(int r, int g, int b, int a)
{
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 4; ++i)
        pixels.insert(pixels.end(),
                      {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b),
                       static_cast<std::uint8_t>(a)});
    return test::EncodePng(2, 2, 6, pixels);
}

MeshMaterial Transparent()
{
    MeshMaterial material;
    material.transparent = true;
    material.ambient = {0, 0, 0, 1};
    material.diffuse = {1, 1, 1, 0.5f};
    return material;
}

class MeshDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::EnsureGlContext(side, side));
        PakArchive archive;
        test::AddBytes(archive, "red", SolidPng(255, 0, 0, 128));
        test::AddBytes(archive, "green", SolidPng(0, 255, 0, 128));
        test::AddBytes(archive, "white", SolidPng(255, 255, 255, 255));
        // Left column opaque, right column at alpha 128: only the left passes the alpha test.
        test::AddBytes(
            archive, "halves",
            test::EncodePng(2, 2, 6, {255, 255, 255, 255, 255, 255, 255, 128, 255, 255, 255, 255, 255, 255, 255, 128}));
        MeshMaterial opaque;
        MeshMaterial alphaTested;
        alphaTested.alphaTested = true;
        test::AddBytes(archive, "red_glass", test::BuildModel({Quad("red", Transparent())}));
        test::AddBytes(archive, "green_glass", test::BuildModel({Quad("green", Transparent())}));
        test::AddBytes(archive, "lit_glass", test::BuildModel({Quad("white", Transparent())}));
        test::AddBytes(archive, "wall", test::BuildModel({Quad("white", opaque)}));
        test::AddBytes(archive, "cutout", test::BuildModel({Quad("halves", alphaTested, 1.0)}));
        MeshMaterial culled;
        culled.backFacesCulled = true;
        MeshMaterial culledGlass = Transparent();
        culledGlass.backFacesCulled = true;
        MeshMaterial singleSampled;
        singleSampled.singleSampled = true;
        test::AddBytes(archive, "single_sampled_wall", test::BuildModel({Quad("white", singleSampled)}));
        test::AddBytes(archive, "culled_facing", test::BuildModel({Quad("white", culled)}));
        test::AddBytes(archive, "culled_away", test::BuildModel({Quad("white", culled, 0.5, true)}));
        test::AddBytes(archive, "plain_away", test::BuildModel({Quad("white", opaque, 0.5, true)}));
        test::AddBytes(archive, "culled_glass_facing", test::BuildModel({Quad("white", culledGlass)}));
        test::AddBytes(archive, "culled_glass_away", test::BuildModel({Quad("white", culledGlass, 0.5, true)}));
        folder.Write(archiveName, archive);
        BaseState();
    }

    void TearDown() override
    {
        TransparentList::Instance().DrawAll();
        for (std::size_t i = 0; i < loads; ++i)
            ReleaseModelArchive(archiveName);
        meshes.clear();
        EXPECT_EQ(ResourceManager::Instance().ReferenceCount(archiveName), 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // The state the display sets up once, and the base state between meshes.
    static void BaseState()
    {
        glViewport(0, 0, side, side);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glAlphaFunc(GL_GREATER, 0.9f);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_DEPTH_TEST);
        for (GLenum cap : {GL_NORMALIZE, GL_LIGHTING, GL_ALPHA_TEST, GL_BLEND})
            glDisable(cap);
        for (int i = 0; i < 8; ++i)
            glDisable(GL_LIGHT0 + i);
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    Mesh& Load(const std::string& entry)
    {
        std::vector<std::unique_ptr<Mesh>> loaded;
        ++loads;
        EXPECT_EQ(LoadModelMeshes(archiveName, entry, loaded), 1) << entry;
        meshes.push_back(std::move(loaded.at(0)));
        return *meshes.back();
    }

    static Rgb Pixel(int x, int y)
    {
        std::uint8_t rgba[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    static float Depth(int x, int y)
    {
        float depth = 0;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    }

    static bool Enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

    // The base state holds again: what the deferred pass must leave behind.
    static void ExpectBaseState()
    {
        EXPECT_TRUE(Enabled(GL_DEPTH_TEST));
        EXPECT_TRUE(Enabled(GL_MULTISAMPLE));
        for (GLenum cap : {GL_NORMALIZE, GL_LIGHTING, GL_ALPHA_TEST, GL_BLEND, GL_CULL_FACE})
            EXPECT_FALSE(Enabled(cap)) << std::hex << cap;
        for (int i = 0; i < 8; ++i)
            EXPECT_FALSE(Enabled(GL_LIGHT0 + i)) << "light " << i;
        GLboolean depthMask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        EXPECT_EQ(depthMask, GL_TRUE);
        EXPECT_EQ(TransparentList::Instance().Size(), 0u);
    }

    static void SetLight(GLenum light, std::array<float, 4> diffuse)
    {
        const float direction[4] = {0, 0, 1, 0};
        const float black[4] = {0, 0, 0, 1};
        glLightfv(light, GL_POSITION, direction);
        glLightfv(light, GL_DIFFUSE, diffuse.data());
        glLightfv(light, GL_AMBIENT, black);
        glLightfv(light, GL_SPECULAR, black);
    }

    test::ResourceTestFolder folder;
    std::vector<std::unique_ptr<Mesh>> meshes;
    std::size_t loads = 0;
};

void ExpectNear(const Rgb& actual, const Rgb& expected, const std::string& what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_LE(std::abs(actual[i] - expected[i]), 3)
            << what << " channel " << i << ": " << actual[i] << " vs " << expected[i];
}

TEST_F(MeshDraw, OpaqueDrawsAtOnceAndTransparentWaitsForTheDeferredPass)
{
    Mesh& wall = Load("wall");
    Mesh& glass = Load("red_glass");
    glTranslated(-0.5, 0, 0);
    wall.Draw();
    ExpectNear(Pixel(16, 32), {255, 255, 255}, "opaque at once");
    EXPECT_NE(Depth(16, 32), 1.0f) << "opaque meshes write depth";

    glLoadIdentity();
    glTranslated(0.5, 0, 0);
    glass.Draw();
    ExpectNear(Pixel(48, 32), {0, 0, 0}, "transparent not yet");
    EXPECT_EQ(TransparentList::Instance().Size(), 1u);
    std::array<GLdouble, 16> current{};
    glGetDoublev(GL_MODELVIEW_MATRIX, current.data());
    EXPECT_EQ(glass.CapturedMatrix(), current);

    TransparentList::Instance().DrawAll();
    ExpectNear(Pixel(48, 32), {128, 0, 0}, "blended over black");
    EXPECT_EQ(Depth(48, 32), 1.0f) << "deferred meshes write no depth";
    ExpectBaseState();
}

TEST_F(MeshDraw, CapturedMatrixWinsOverTheOneCurrentAtTheDeferredPass)
{
    Mesh& glass = Load("red_glass");
    glTranslated(-0.5, 0, 0);
    glass.Draw();
    const std::array<GLdouble, 16> captured = glass.CapturedMatrix();
    glLoadIdentity();
    glTranslated(0.5, 0.25, 3);
    TransparentList::Instance().DrawAll();
    ExpectNear(Pixel(16, 32), {128, 0, 0}, "where it was captured");
    ExpectNear(Pixel(48, 32), {0, 0, 0}, "not where the current matrix points");
    std::array<GLdouble, 16> after{};
    glGetDoublev(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, captured) << "the pass leaves the last deferred mesh's matrix";
}

TEST_F(MeshDraw, CapturedDepthTestDecidesWhetherNearerMeshesHideIt)
{
    struct Case {
        bool depthTestAtCapture;
        Rgb expected;
    };
    for (const Case& c : {Case{false, {255, 128, 128}}, Case{true, {255, 255, 255}}}) {
        BaseState();
        Mesh& wall = Load("wall");
        Mesh& glass = Load("red_glass");
        glTranslated(0, 0, 0.5);
        wall.Draw();
        glLoadIdentity();
        glTranslated(0, 0, -0.5);
        if (!c.depthTestAtCapture)
            glDisable(GL_DEPTH_TEST);
        glass.Draw();
        glEnable(GL_DEPTH_TEST);
        EXPECT_EQ(glass.CapturedDepthTest(), c.depthTestAtCapture);

        TransparentList::Instance().DrawAll();
        ExpectNear(Pixel(32, 32), c.expected, c.depthTestAtCapture ? "behind the wall" : "over the wall");
        ExpectBaseState();
    }
}

TEST_F(MeshDraw, LightsAreCapturedFromLightOneAndRestoredOff)
{
    SetLight(GL_LIGHT0, {1, 0, 0, 1});
    SetLight(GL_LIGHT1, {0, 0, 1, 1});
    SetLight(GL_LIGHT2, {0, 1, 0, 1});
    struct Case {
        const char* what;
        bool lighting;
        std::vector<GLenum> lights;
        Rgb expected;
    };
    const std::vector<Case> cases = {
        {"light 1", true, {GL_LIGHT1}, {0, 0, 128}},
        {"light 0 is never captured", true, {GL_LIGHT0, GL_LIGHT2}, {0, 128, 0}},
        {"unlit despite the stored flags", false, {GL_LIGHT1, GL_LIGHT2}, {255, 255, 255}},
    };
    Mesh& glass = Load("lit_glass");
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (c.lighting)
            glEnable(GL_LIGHTING);
        for (GLenum light : c.lights)
            glEnable(light);
        glass.Draw();
        glDisable(GL_LIGHTING);
        for (GLenum light : c.lights)
            glDisable(light);

        EXPECT_EQ(glass.CapturedLighting(), c.lighting) << c.what;
        TransparentList::Instance().DrawAll();
        ExpectNear(Pixel(32, 32), c.expected, c.what);
        ExpectBaseState();
    }
    EXPECT_TRUE(glass.CapturedLight(1)) << "flags of an earlier capture stay stored";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "no query names a light that does not exist";
}

TEST_F(MeshDraw, ScaledMeshIsDrawnNormalizedUnderItsScaledMatrix)
{
    SetLight(GL_LIGHT1, {0, 0, 1, 1});
    struct Case {
        bool normalize;
        Rgb expected;
    };
    // Scaling by 10 shrinks the normals to a tenth unless they are normalized.
    for (const Case& c : {Case{true, {0, 0, 128}}, Case{false, {0, 0, 13}}}) {
        BaseState();
        Mesh& glass = Load("lit_glass");
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT1);
        glPushMatrix();
        glScaled(10, 10, 10);
        if (c.normalize)
            glEnable(GL_NORMALIZE);
        glass.Draw();
        glDisable(GL_NORMALIZE);
        glPopMatrix();
        glDisable(GL_LIGHT1);
        glDisable(GL_LIGHTING);

        EXPECT_EQ(glass.CapturedNormalize(), c.normalize);
        TransparentList::Instance().DrawAll();
        ExpectNear(Pixel(2, 2), c.expected, c.normalize ? "normalized, covering the corner" : "not normalized");
        ExpectBaseState();
    }
}

TEST_F(MeshDraw, DeferredMeshesBlendInTheOrderAddedNotByDistance)
{
    struct Case {
        const char* first;
        const char* second;
        Rgb expected;
    };
    // Red is nearer than green in both orders; neither writes depth.
    for (const Case& c : {Case{"red_glass", "green_glass", {64, 128, 0}}, Case{"green_glass", "red_glass", {128, 64, 0}}}) {
        BaseState();
        Mesh& first = Load(c.first);
        Mesh& second = Load(c.second);
        glTranslated(0, 0, std::string(c.first) == "red_glass" ? 0.5 : -0.5);
        first.Draw();
        glLoadIdentity();
        glTranslated(0, 0, std::string(c.second) == "red_glass" ? 0.5 : -0.5);
        second.Draw();
        TransparentList::Instance().DrawAll();
        ExpectNear(Pixel(32, 32), c.expected, std::string(c.first) + " then " + c.second);
    }
}

TEST_F(MeshDraw, AlphaTestedOpaqueMeshWritesOnlyAboveTheReference)
{
    Mesh& cutout = Load("cutout");
    cutout.Draw();
    EXPECT_FALSE(Enabled(GL_ALPHA_TEST));
    EXPECT_FALSE(Enabled(GL_BLEND));
    EXPECT_EQ(TransparentList::Instance().Size(), 0u);
    ExpectNear(Pixel(16, 32), {255, 255, 255}, "opaque texels");
    EXPECT_LT(Depth(16, 32), 1.0f);
    ExpectNear(Pixel(48, 32), {0, 0, 0}, "texels at alpha 0.5 are discarded");
    EXPECT_EQ(Depth(48, 32), 1.0f);
}

TEST_F(MeshDraw, CulledMeshDrawsOnlyTrianglesFacingTheViewer)
{
    // A white square over black: drawn or not, at once or in the deferred
    // pass (where it blends at half strength).
    struct Case {
        const char* entry;
        int expected;
    } cases[] = {
        {"culled_facing", 255}, {"culled_away", 0},           {"plain_away", 255},
        {"wall", 255},          {"culled_glass_facing", 255}, {"culled_glass_away", 0},
    };
    for (const Case& c : cases) {
        BaseState();
        Load(c.entry).Draw();
        TransparentList::Instance().DrawAll();
        ExpectNear(Pixel(32, 32), {c.expected, c.expected, c.expected}, c.entry);
        ExpectBaseState();
    }
}

TEST_F(MeshDraw, EmptyPassOnlyTogglesTheDepthMaskAndQueuedMeshesLeaveWhenDestroyed)
{
    TransparentList::Instance().DrawAll();
    ExpectBaseState();
    ExpectNear(Pixel(32, 32), {0, 0, 0}, "nothing drawn");

    Mesh& glass = Load("red_glass");
    glass.Draw();
    EXPECT_EQ(TransparentList::Instance().Size(), 1u);
    meshes.clear();
    EXPECT_EQ(TransparentList::Instance().Size(), 0u) << "no dangling pointer is left on the list";
    TransparentList::Instance().DrawAll();
    ExpectNear(Pixel(32, 32), {0, 0, 0}, "the destroyed mesh is not drawn");
}

// Draws into a framebuffer of four samples per pixel, as the display asks
// for, and reads the picture resolved to one colour per pixel.
class MultisampledMeshDraw : public MeshDraw {
protected:
    void SetUp() override
    {
        MeshDraw::SetUp();
        framebuffer = std::make_unique<test::MultisampledFramebuffer>(side, side, 4);
        ASSERT_TRUE(framebuffer->Usable());
    }

    void TearDown() override
    {
        framebuffer.reset();
        MeshDraw::TearDown();
    }

    // The resolved picture's red channel, bottom row first.
    std::vector<std::uint8_t> Resolved() const
    {
        const std::vector<std::uint8_t> rgba = framebuffer->Resolved();
        std::vector<std::uint8_t> red;
        for (std::size_t i = 0; i < rgba.size(); i += 4)
            red.push_back(rgba[i]);
        return red;
    }

    std::unique_ptr<test::MultisampledFramebuffer> framebuffer;
};

TEST_F(MultisampledMeshDraw, SingleSampledMeshLeavesItsEdgesUnsmoothedAndMultisamplingOn)
{
    for (const char* entry : {"wall", "single_sampled_wall"}) {
        BaseState();
        glRotated(30.0, 0.0, 0.0, 1.0);
        Load(entry).Draw();
        const std::vector<std::uint8_t> red = Resolved();
        // Pixels between black and white: a smoothed edge's.
        const auto partly = std::count_if(red.begin(), red.end(), [](std::uint8_t v) { return v > 8 && v < 247; });
        const auto covered = std::count(red.begin(), red.end(), 255);
        if (std::string(entry) == "wall")
            EXPECT_GT(partly, 20) << "slanted edges are smoothed by default";
        else
            EXPECT_EQ(partly, 0) << "every pixel is either covered or not";
        EXPECT_GT(covered, side * side / 5) << entry;
        ExpectBaseState();
    }
}
}
}
