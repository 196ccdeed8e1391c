#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwood {

// The material of a mesh record as values. In a model entry it is a 60-byte
// block (little-endian, unaligned):
//   0 alphaTested (byte, nonzero = on), 1 transparent (byte),
//   2 backFacesCulled (byte), 3 singleSampled (byte),
//   4 ambient, 20 diffuse, 36 specular (4 floats each: red, green, blue,
//   alpha), 52 shininess (float, the specular exponent), 56..59 reserved.
// The defaults are OpenGL's initial material.
//
// Bytes 2 and 3 are drawing hints that leave the picture as it is and save
// the rasteriser work. Older archives hold zero there and draw as before.
//   backFacesCulled: the mesh is a closed surface wound counter-clockwise
//     seen from outside, so its back faces are always hidden by its front.
//   singleSampled: the mesh is a backdrop: none of its triangle edges is in
//     view and everything drawn after it lies in front of it. Multisampling
//     would smooth nothing there and costs a software rasteriser about
//     twice the work per pixel. Only a backdrop may say so: drawn
//     single-sampled into a multisampled frame, a mesh keeps its depth in
//     one sample of each pixel on llvmpipe, so what is drawn later behind
//     it would show through the other samples.
struct MeshMaterial {
    static constexpr std::size_t byteSize = 60;

    bool alphaTested = false;
    bool transparent = false;
    bool backFacesCulled = false;
    bool singleSampled = false;
    std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;

    // Decodes the block at `bytes`, which must hold byteSize bytes.
    static MeshMaterial Read(const std::uint8_t* bytes);
    // Appends the byteSize-byte block, bytes 56..59 zero.
    void AppendTo(std::vector<std::uint8_t>& out) const;
};

}
