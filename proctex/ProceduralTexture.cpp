#include "proctex/ProceduralTexture.h"

#include <new>

namespace tarnwood {

namespace {

// Uploads tightly packed RGBA rows whatever pixel-store state other code left
// behind: a larger row alignment, a row length or skips would make OpenGL read
// past the end of the buffer.
class TightUnpack {
public:
    TightUnpack()
    {
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
        glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    }
    ~TightUnpack() { glPopClientAttrib(); }
    TightUnpack(const TightUnpack&) = delete;
    TightUnpack& operator=(const TightUnpack&) = delete;
};

}

bool ProceduralTexture::SizeAccepted(int width, int height)
{
    if (width < 1 || height < 1 || width > maxSide || height > maxSide)
        return false;
    // Without a current context nothing is written and the limit stays 0.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width > maxSize || height > maxSize)
        return false;
    // The proxy target answers for the size limit and, on implementations
    // without non-power-of-two support, for odd sizes. A refused size may
    // leave the proxy untouched (only an error is raised), so it is emptied
    // first and an earlier answer cannot be read back.
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint proxyWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
    return proxyWidth == width;
}

std::unique_ptr<ProceduralTexture> ProceduralTexture::Create(GeneratorFn generator, UserData userData, int width, int height)
{
    if (!SizeAccepted(width, height))
        return nullptr;

    const std::size_t byteSize = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[byteSize]());
    if (!pixels)
        return nullptr;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    {
        TightUnpack unpack;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.get());
    }
    // The storage can still fail (out of memory); a level without it has no width.
    GLint madeWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &madeWidth);
    if (name == 0 || madeWidth != width) {
        glDeleteTextures(1, &name);
        return nullptr;
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    return std::unique_ptr<ProceduralTexture>(
        new ProceduralTexture(generator, std::move(userData), width, height, name, std::move(pixels)));
}

ProceduralTexture::ProceduralTexture(GeneratorFn generator, UserData userData, int width, int height, GLuint name,
                                     std::unique_ptr<std::uint8_t[]> pixels)
    : generator_(generator), userData_(std::move(userData)), width_(width), height_(height), name_(name),
      pixels_(std::move(pixels))
{
}

ProceduralTexture::~ProceduralTexture()
{
    glDeleteTextures(1, &name_);
}

void ProceduralTexture::Regenerate(std::int32_t time)
{
    generator_(time, width_, height_, pixels_.get(), userData_.get());
    glBindTexture(GL_TEXTURE_2D, name_);
    TightUnpack unpack;
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.get());
}

}
