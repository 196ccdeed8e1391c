#pragma once

#include <GL/gl.h>
#include <cstdint>
#include <string>

namespace tarnwood {

// The process-wide registry of procedural textures, shared by exact
// description text with reference counts.
class ProceduralTextureManager {
public:
    static ProceduralTextureManager& Instance();

    // Returns the GL texture for `description`, creating it on first use and
    // counting one reference; 0 (and nothing counted) for a description that
    // does not parse. Needs a current OpenGL context.
    GLuint Acquire(const std::string& description);
    // Gives back one reference; the texture is deleted when the count reaches 0.
    void Release(const std::string& description);
    // Regenerates and uploads every registered texture for the frame tick (ms).
    void UpdateAll(std::uint32_t tick);
};

}
