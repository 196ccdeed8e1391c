#pragma once

#include "proctex/GeneratorFn.h"

#include <GL/gl.h>
#include <cstdint>
#include <memory>

namespace tarnwood {

// One computed texture: its pixel buffer, its OpenGL texture object and the
// generator (with its user data) that refills the buffer every frame.
class ProceduralTexture {
public:
    using UserData = std::unique_ptr<void, FreeUserDataFn>;

    // Largest width or height in texels. Every texture is regenerated and
    // uploaded whole every frame, and its size comes from archives that users
    // may replace: the implementation's own limit (16384 on Mesa) would let
    // one description take gigabytes and seconds per frame. 2048 x 2048 is
    // 16 MiB of pixels, eight times the largest the scene's content uses.
    static constexpr int maxSide = 2048;

    // Makes a width x height RGBA texture whose storage is set up once with
    // glTexImage2D (linear filtering, GL_MODULATE, no mipmaps) and left bound.
    // The generator is not run: the texture gets its first content at the
    // first Regenerate. Takes ownership of `userData`. Needs a current OpenGL
    // context. Returns null, with no texture object left behind, when the
    // size is refused (see SizeAccepted) or the pixel buffer cannot be
    // allocated.
    static std::unique_ptr<ProceduralTexture> Create(GeneratorFn generator, UserData userData, int width, int height);

    // Whether a width x height RGBA texture is accepted: both sides from 1 to
    // maxSide, and the current OpenGL implementation can hold it (within its
    // size limit and, where it needs them, powers of two). Larger requests
    // are refused rather than shrunk, like any other unusable size.
    static bool SizeAccepted(int width, int height);

    // Deletes the OpenGL texture and frees the pixels and the user data.
    ~ProceduralTexture();

    ProceduralTexture(const ProceduralTexture&) = delete;
    ProceduralTexture& operator=(const ProceduralTexture&) = delete;

    // Runs the generator for `time` (the frame's millisecond tick) and uploads
    // the whole buffer into the existing storage with glTexSubImage2D. The
    // texture stays bound afterwards. Allocates nothing.
    void Regenerate(std::int32_t time);

    GLuint Name() const { return name_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixels last generated: Width() x Height() texels of 4 bytes.
    const std::uint8_t* Pixels() const { return pixels_.get(); }

private:
    ProceduralTexture(GeneratorFn generator, UserData userData, int width, int height, GLuint name,
                      std::unique_ptr<std::uint8_t[]> pixels);

    GeneratorFn generator_;
    UserData userData_;
    int width_;
    int height_;
    GLuint name_;
    std::unique_ptr<std::uint8_t[]> pixels_;
};

}
