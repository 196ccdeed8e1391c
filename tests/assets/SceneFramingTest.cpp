// Draws installed models with the real mesh code under the scene's camera and
// the tree group's placement, and checks what reaches the picture.

#include "SceneCamera.h"
#include "content/ScenePlacement.h"
#include "resources/Mesh.h"
#include "resources/ModelLoading.h"
#include "resources/ResourceManager.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarnwood {
namespace {

constexpr int width = 160;
constexpr int height = 120;

struct Pose {
    double turn;  // degrees about the group's Z axis
    double sway;  // degrees about its X axis
    double bob;  // units along its Y axis
};

class SceneFraming : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceManager::Instance().SetBasePath(TARNWOOD_INSTALL_DIR "/");
        ASSERT_TRUE(test::EnsureGlContext(width, height));
        test::SetUpSceneCamera(width, height);
    }

    void TearDown() override { test::TearDownSceneCamera(); }

    // Clears to pure magenta, which no content uses, draws the opaque meshes
    // of one main.pak model under the tree group's transform, and returns a
    // mask of the pixels it covered (row 0 at the bottom).
    std::vector<bool> Covered(const std::string& model, const Pose& pose)
    {
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        test::PlaceTreeGroup();
        glRotatef(static_cast<float>(pose.turn), 0.0f, 0.0f, 1.0f);
        glRotatef(static_cast<float>(pose.sway), 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, static_cast<float>(pose.bob), 0.0f);
        std::vector<std::unique_ptr<Mesh>> meshes;
        LoadModelMeshes("main.pak", model, meshes);
        for (const std::unique_ptr<Mesh>& mesh : meshes) {
            if (!mesh->Material().transparent) {
                mesh->Draw();
            }
        }
        glFinish();
        std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        meshes.clear();
        ReleaseModelArchive("main.pak");
        std::vector<bool> covered(static_cast<std::size_t>(width) * height);
        for (std::size_t i = 0; i < covered.size(); ++i) {
            covered[i] = !(rgb[i * 3] == 255 && rgb[i * 3 + 1] == 0 && rgb[i * 3 + 2] == 255);
        }
        return covered;
    }
};

// The scene's light (GL_LIGHT1 as the scene configures it, 10 units in front
// of the eye and 5 up) on the table's wood alone, posed as the tree group
// poses it: bob along the group's Y, then sway and turn. Returns the mean
// colour of the pixels the wood covers, 0 to 255 per channel.
struct MeanColour {
    double r = 0.0, g = 0.0, b = 0.0;
    std::size_t pixels = 0;
};

class LitTable : public SceneFraming {
protected:
    MeanColour Wood(const Pose& pose)
    {
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
        const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
        const GLfloat specular[] = {0.5f, 0.5f, 0.5f, 1.0f};
        const GLfloat position[] = {0.0f, 5.0f, -10.0f, 1.0f};
        glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
        glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 0.0f);
        glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.00007f);
        glLightfv(GL_LIGHT1, GL_POSITION, position);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT1);
        test::PlaceTreeGroup();
        glTranslated(0.0, pose.bob, 0.0);
        glRotated(pose.sway, 1.0, 0.0, 0.0);
        glRotated(pose.turn, 0.0, 0.0, 1.0);
        std::vector<std::unique_ptr<Mesh>> meshes;
        LoadModelMeshes("main.pak", "tabl", meshes);
        // The wood is the table's first mesh; tray and candles follow.
        if (!meshes.empty()) {
            meshes.front()->Draw();
        }
        glFinish();
        glDisable(GL_LIGHT1);
        glDisable(GL_LIGHTING);
        std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        meshes.clear();
        ReleaseModelArchive("main.pak");
        MeanColour mean;
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            if (rgb[i] == 255 && rgb[i + 1] == 0 && rgb[i + 2] == 255) {
                continue;
            }
            mean.r += rgb[i];
            mean.g += rgb[i + 1];
            mean.b += rgb[i + 2];
            ++mean.pixels;
        }
        if (mean.pixels > 0) {
            mean.r /= mean.pixels;
            mean.g /= mean.pixels;
            mean.b /= mean.pixels;
        }
        return mean;
    }
};

TEST_F(LitTable, WoodKeepsItsColourFromTheNearestToTheFarthestBob)
{
    // Nearest, the light is attenuated least; there the wood must not bleach
    // towards white, and farthest it must not sink into black.
    for (double bob : {-kTreeGroupBob, 0.0, kTreeGroupBob}) {
        for (double turn : {0.0, 90.0, 180.0, 270.0}) {
            const MeanColour wood = Wood({turn, 0.0, bob});
            ASSERT_GT(wood.pixels, 50u) << "turn " << turn << " bob " << bob;
            EXPECT_LT(wood.b, 0.6 * wood.r)
                << "turn " << turn << " bob " << bob << ": " << wood.r << " " << wood.g << " " << wood.b;
            EXPECT_GT(wood.r, 60.0) << "turn " << turn << " bob " << bob;
        }
    }
}

TEST_F(SceneFraming, SkyFillsTheWholeViewInEveryPoseOfTheGroup)
{
    // The group turns all the way round, sways 5 degrees and bobs its full
    // amplitude each way; the sky must cover every pixel, never clipped by the far plane.
    for (double turn : {0.0, 90.0, 180.0, 270.0}) {
        for (double sway : {-5.0, 5.0}) {
            for (double bob : {-kTreeGroupBob, kTreeGroupBob}) {
                const std::vector<bool> covered = Covered("nebo", {turn, sway, bob});
                std::size_t holes = 0;
                for (bool c : covered) {
                    holes += c ? 0 : 1;
                }
                EXPECT_EQ(holes, 0u) << "turn " << turn << " sway " << sway << " bob " << bob;
            }
        }
    }
}

TEST_F(SceneFraming, TreeStandsInTheFrameAndFillsMuchOfIt)
{
    for (double turn : {0.0, 120.0, 240.0}) {
        const std::vector<bool> covered = Covered("tree", {turn, 0.0, 0.0});
        int top = -1;
        int left = width;
        int right = -1;
        std::size_t count = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (covered[static_cast<std::size_t>(y) * width + x]) {
                    top = std::max(top, y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                    ++count;
                }
            }
        }
        // Crown below the top edge and clear of the sides; a big part of the
        // picture is tree.
        EXPECT_LT(top, height - 1) << "turn " << turn;
        EXPECT_GT(top, height * 3 / 4) << "turn " << turn;
        EXPECT_GT(left, 0) << "turn " << turn;
        EXPECT_LT(right, width - 1) << "turn " << turn;
        EXPECT_GT(count, static_cast<std::size_t>(width * height / 5)) << "turn " << turn;
    }
}

}
}
