#include "app/Display.h"
#include "support/ChildProcess.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cmath>

namespace tarnwood {
namespace {

// These open the real full-screen surface on a private 1024x768 X screen.
class DisplayOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Ok());
        setenv("DISPLAY", server.Display().c_str(), 1);
    }
    test::XvfbServer server{1024, 768};
};

TEST_F(DisplayOnScreen, DesktopModeOpensTheScreenSizeWithTheBaseGlState)
{
    Display display(0, 0, 0);
    EXPECT_EQ(display.Width(), 1024);
    EXPECT_EQ(display.Height(), 768);
    EXPECT_EQ(display.Depth(), 32);
    ASSERT_NE(SDL_GetVideoSurface(), nullptr);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 1024);

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_FLOAT_EQ(ref, 0.9f);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    // Mesa offers separate specular colour, so it must be switched on.
    glGetIntegerv(0x81F8 /* GL_LIGHT_MODEL_COLOR_CONTROL */, &value);
    EXPECT_EQ(value, 0x81FA /* GL_SEPARATE_SPECULAR_COLOR */);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
}

TEST_F(DisplayOnScreen, EdgesFollowTheAspectRatio)
{
    Display display(0, 0, 0);
    EXPECT_NEAR(display.EdgeX(-100), -55.23, 0.01);
    EXPECT_NEAR(display.EdgeY(-100), -41.42, 0.01);
    EXPECT_NEAR(display.EdgeX(-60), -55.23 * 0.6, 0.01);

    display.Resize(1280, 800);
    EXPECT_NEAR(display.EdgeX(-100), -66.27, 0.01);
    EXPECT_NEAR(display.EdgeY(-100), -41.42, 0.01);
}

TEST_F(DisplayOnScreen, ZeroHeightCountsAsOne)
{
    Display display(0, 0, 0);
    display.Resize(300, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_NEAR(display.EdgeX(-100) / display.EdgeY(-100), 300.0, 0.01);
}

TEST_F(DisplayOnScreen, TableModeOpensThatSize)
{
    Display display(640, 480, 32);
    ASSERT_NE(SDL_GetVideoSurface(), nullptr);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 640);
    EXPECT_EQ(SDL_GetVideoSurface()->h, 480);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

TEST_F(DisplayOnScreen, VideoInitialisationFailurePrintsTheMessageAndExitsWithOne)
{
    test::ChildProcess tarnwood({TARNWOOD_INSTALL_DIR "/Tarnwood"}, {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", "\x01unset"}});
    EXPECT_EQ(tarnwood.Wait(20000), 1);
    EXPECT_EQ(tarnwood.Stderr().rfind("Video initialization failed: ", 0), 0u) << tarnwood.Stderr();
    EXPECT_EQ(tarnwood.Stderr().back(), '\n');
}

}
}
