#pragma once

#include "scene/AnimationTrack.h"
#include "scene/FrameTick.h"
#include "scene/SceneNode.h"
#include "scene/WallClock.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>

namespace tarnwood::test {

using Matrix = std::array<double, 16>;

inline Matrix ModelView()
{
    Matrix m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

inline int ModelViewDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

// A real GL context with an identity model-view matrix, and the process-wide
// animation values as they are before the first frame.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureGlContext());
        glMatrixMode(GL_MODELVIEW);
        while (ModelViewDepth() > 1)
            glPopMatrix();
        glLoadIdentity();
        frameTick = 0;
        currentNode = nullptr;
        currentTrack = nullptr;
        WallClock::Instance().Release();
    }

    void TearDown() override
    {
        frameTick = 0;
        currentNode = nullptr;
        currentTrack = nullptr;
        WallClock::Instance().Release();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // One frame as the main loop draws it: the tick, a fresh matrix, the
    // roots' renders.
    static void Frame(std::uint32_t tick, SceneNode& root)
    {
        frameTick = tick;
        glLoadIdentity();
        root.Render();
    }
};

}
