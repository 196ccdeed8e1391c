#pragma once

#include "resources/MeshMaterial.h"

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <string>

namespace tarnwood {

// One drawable triangle list of a model entry, with its material and texture.
// The vertex arrays and the material point into the archive's entry bytes,
// which the archive keeps alive while the owning node holds its reference.
//
// Mesh record layout (little-endian, unaligned), L the name length and T the
// triangle count: int32 L, L bytes of texture name ended by a NUL inside
// them, 80 reserved bytes, 60-byte material, int32 T, 1 reserved byte, then
// 72*T bytes of positions, 72*T of normals and 48*T of texture coordinates,
// all doubles; 149 + L + 192*T bytes in all.
class Mesh {
public:
    Mesh();
    // Gives back the texture reference taken by Parse: to the procedural
    // texture registry for a description, otherwise to the resource manager
    // (texture use and archive reference). Frees nothing the pointers reach.
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Reads one mesh record starting at `cursor`, never past `end`, and
    // advances `cursor` to the byte after the record. Takes the texture
    // reference that the destructor gives back. Returns false, with nothing
    // acquired, when the record does not fit between cursor and end (or its
    // name has no NUL inside L, or L or T is negative), and when this mesh
    // has already been parsed.
    bool Parse(const std::uint8_t*& cursor, const std::uint8_t* end, const std::string& archiveName);

    // Draws with the current model-view matrix, or defers a transparent mesh.
    // Both draws apply the material's drawing hints around the draw call
    // alone and leave the base state behind: face culling off,
    // multisampling on.
    void Draw();
    // Draws a deferred mesh with its captured matrix and enables, blended.
    void DrawDeferred();

    // Read-only inspection. The array pointers address unaligned
    // little-endian doubles inside the archive; null before Parse.
    bool IsParsed() const { return material != nullptr; }
    MeshMaterial Material() const;
    const std::uint8_t* MaterialBytes() const { return material; }
    std::int32_t TriangleCount() const { return triangleCount; }
    const std::uint8_t* Positions() const { return positions; }
    const std::uint8_t* Normals() const { return normals; }
    const std::uint8_t* TexCoords() const { return texCoords; }
    GLuint Texture() const { return texture; }
    const std::string& ReleaseKey() const { return releaseKey; }
    bool IsProcedural() const { return procedural; }
    // State captured by the last Draw of a transparent mesh.
    const std::array<GLdouble, 16>& CapturedMatrix() const { return capturedMatrix; }
    bool CapturedDepthTest() const { return capturedDepthTest; }
    bool CapturedNormalize() const { return capturedNormalize; }
    bool CapturedLighting() const { return capturedLighting; }
    // Captured flag of GL_LIGHT1 + index, index 0 to 7.
    bool CapturedLight(int index) const { return capturedLights[index]; }

private:
    friend class TransparentList;

    void Capture();
    void DrawArrays(const MeshMaterial& values) const;

    const std::uint8_t* material = nullptr;
    bool capturedDepthTest = false;
    bool capturedNormalize = false;
    bool capturedLighting = false;
    std::array<bool, 8> capturedLights{};
    std::int32_t triangleCount = 0;
    const std::uint8_t* positions = nullptr;
    const std::uint8_t* normals = nullptr;
    const std::uint8_t* texCoords = nullptr;
    std::string releaseKey;
    GLuint texture = 0;
    bool procedural = false;
    std::array<GLdouble, 16> capturedMatrix{};
    // A reference is held that the destructor must give back.
    bool holdsReference = false;
    // On the transparent list, waiting for its deferred draw.
    bool queued = false;
};

}
