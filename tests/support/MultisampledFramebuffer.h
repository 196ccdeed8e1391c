#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace tarnwood::test {

// An off-screen framebuffer of `samples` samples per pixel with a 24-bit
// depth buffer, bound for drawing and reading while it lives, so tests can
// draw multisampled without depending on the window's visual. Needs a
// current context (EnsureGlContext); binds the window's framebuffer again
// when destroyed.
class MultisampledFramebuffer {
public:
    MultisampledFramebuffer(int width, int height, int samples);
    ~MultisampledFramebuffer();
    MultisampledFramebuffer(const MultisampledFramebuffer&) = delete;
    MultisampledFramebuffer& operator=(const MultisampledFramebuffer&) = delete;

    // Complete, with the sample count asked for.
    bool Usable() const { return usable; }
    // The picture resolved to one colour per pixel: RGBA bytes, bottom row
    // first. The multisampled framebuffer stays bound.
    std::vector<std::uint8_t> Resolved() const;

private:
    int width;
    int height;
    bool usable = false;
    GLuint framebuffers[2] = {};
    GLuint renderbuffers[3] = {};
};

}
