#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwood {

// The material of a mesh record as values. In a model entry it is a 60-byte
// block (little-endian, unaligned):
//   0 alphaTested (byte, nonzero = on), 1 transparent (byte), 2..3 reserved,
//   4 ambient, 20 diffuse, 36 specular (4 floats each: red, green, blue,
//   alpha), 52 shininess (float, the specular exponent), 56..59 reserved.
// The defaults are OpenGL's initial material.
struct MeshMaterial {
    static constexpr std::size_t byteSize = 60;

    bool alphaTested = false;
    bool transparent = false;
    std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;

    // Decodes the block at `bytes`, which must hold byteSize bytes.
    static MeshMaterial Read(const std::uint8_t* bytes);
    // Appends the byteSize-byte block, reserved bytes zero.
    void AppendTo(std::vector<std::uint8_t>& out) const;
};

}
