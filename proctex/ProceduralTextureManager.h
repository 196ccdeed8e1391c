#pragma once

#include "proctex/ProceduralTexture.h"

#include <GL/gl.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnwood {

// The process-wide registry of procedural textures, shared by exact
// description text with reference counts.
class ProceduralTextureManager {
public:
    static ProceduralTextureManager& Instance();

    // Returns the GL texture for `description`, creating it on first use and
    // counting one reference; 0 (and nothing counted) for a description that
    // does not parse. Needs a current OpenGL context.
    //
    // Descriptions are compared byte by byte, both leading characters
    // included. A new texture is made from the parsed description (see
    // ParseTextureDescription); its first content comes with the next
    // UpdateAll. A description naming an unknown generator, lacking a number,
    // or giving a size that is refused (a side above
    // ProceduralTexture::maxSide, or one the implementation cannot hold)
    // registers nothing, allocates nothing and yields 0, so the mesh draws
    // untextured.
    GLuint Acquire(const std::string& description);
    // Gives back one reference; the texture is deleted when the count reaches
    // 0. A description that is not registered changes nothing.
    void Release(const std::string& description);
    // Regenerates and uploads every registered texture for the frame tick (ms),
    // in order of first acquisition, once each however many meshes share it.
    // Allocates nothing. Leaves the last texture bound.
    void UpdateAll(std::uint32_t tick);

    // Number of registered textures (distinct descriptions).
    std::size_t TextureCount() const { return entries_.size(); }
    // Outstanding acquisitions of `description`; 0 when it is not registered.
    int ReferenceCount(const std::string& description) const;
    // Outstanding acquisitions of all descriptions together.
    int TotalReferenceCount() const;

private:
    struct Entry {
        std::unique_ptr<ProceduralTexture> texture;
        std::string description;
        int count;
    };

    ProceduralTextureManager() = default;
    std::vector<Entry>::iterator Find(const std::string& description);
    std::vector<Entry>::const_iterator Find(const std::string& description) const;

    std::vector<Entry> entries_;
};

}
