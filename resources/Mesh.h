#pragma once

#include <cstdint>
#include <string>

namespace tarnwood {

// One drawable triangle list of a model entry, with its material and texture.
// The vertex arrays and the material point into the archive's entry bytes,
// which the archive keeps alive while the owning node holds its reference.
class Mesh {
public:
    Mesh();
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Reads one mesh record starting at `cursor`, never past `end`, and
    // advances `cursor` to the byte after the record. Takes the texture
    // reference that the destructor gives back. Returns false, with nothing
    // acquired, when the record does not fit between cursor and end.
    bool Parse(const std::uint8_t*& cursor, const std::uint8_t* end, const std::string& archiveName);

    // Draws with the current model-view matrix, or defers a transparent mesh.
    void Draw();
    // Draws a deferred mesh with its captured matrix and enables, blended.
    void DrawDeferred();
};

}
