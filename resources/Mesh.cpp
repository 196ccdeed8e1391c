#include "resources/Mesh.h"

#include "proctex/ProceduralTextureManager.h"
#include "resources/LittleEndian.h"
#include "resources/ResourceManager.h"
#include "resources/TransparentList.h"

#include <cstring>

namespace tarnwood {

namespace {

// Bytes of a record besides its name and arrays: L, reserved block,
// material, T and the reserved byte.
constexpr std::uint64_t recordFixedBytes = 4 + 80 + MeshMaterial::byteSize + 4 + 1;
constexpr std::uint64_t bytesPerTriangle = 72 + 72 + 48;
constexpr std::uint64_t materialOffset = 4 + 80;
constexpr std::uint64_t triangleCountOffset = materialOffset + MeshMaterial::byteSize;

// Lights the implementation has; asking about a light beyond them is an
// OpenGL error, so those read as disabled without a query.
GLint MaxLights()
{
    static const GLint maxLights = [] {
        GLint value = 8;
        glGetIntegerv(GL_MAX_LIGHTS, &value);
        return value;
    }();
    return maxLights;
}

}

Mesh::Mesh() = default;

Mesh::~Mesh()
{
    if (queued)
        TransparentList::Instance().Remove(this);
    if (!holdsReference)
        return;
    if (procedural)
        ProceduralTextureManager::Instance().Release(releaseKey);
    else
        ResourceManager::Instance().ReleaseTexture(releaseKey, texture);
}

bool Mesh::Parse(const std::uint8_t*& cursor, const std::uint8_t* end, const std::string& archiveName)
{
    if (IsParsed() || cursor == nullptr || end == nullptr || end < cursor)
        return false;
    const auto available = static_cast<std::uint64_t>(end - cursor);
    if (available < 4)
        return false;
    const std::int32_t nameLength = ReadI32LE(cursor);
    if (nameLength < 1 || recordFixedBytes + static_cast<std::uint64_t>(nameLength) > available)
        return false;
    const std::uint8_t* name = cursor + 4;
    const void* nul = std::memchr(name, 0, static_cast<std::size_t>(nameLength));
    if (nul == nullptr)
        return false;
    const std::int32_t triangles = ReadI32LE(cursor + triangleCountOffset + nameLength);
    if (triangles < 0)
        return false;
    const std::uint64_t recordBytes = recordFixedBytes + static_cast<std::uint64_t>(nameLength)
        + bytesPerTriangle * static_cast<std::uint64_t>(triangles);
    if (recordBytes > available)
        return false;

    const std::string textureName(reinterpret_cast<const char*>(name), static_cast<const std::uint8_t*>(nul) - name);
    material = cursor + materialOffset + nameLength;
    triangleCount = triangles;
    positions = cursor + recordFixedBytes + nameLength;
    normals = positions + 72 * static_cast<std::uint64_t>(triangles);
    texCoords = normals + 72 * static_cast<std::uint64_t>(triangles);
    if (textureName.size() >= 2 && textureName[1] == '#') {
        texture = ProceduralTextureManager::Instance().Acquire(textureName);
        releaseKey = textureName;
        procedural = true;
        // A description that does not parse gives 0 and counts nothing.
        holdsReference = texture != 0;
    } else {
        texture = ResourceManager::Instance().GetTexture(archiveName, textureName);
        releaseKey = archiveName;
        procedural = false;
        holdsReference = true;
    }
    cursor += recordBytes;
    return true;
}

MeshMaterial Mesh::Material() const
{
    return material ? MeshMaterial::Read(material) : MeshMaterial{};
}

void Mesh::DrawArrays(const MeshMaterial& values) const
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, values.shininess);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, values.specular.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, values.diffuse.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, values.ambient.data());
    glVertexPointer(3, GL_DOUBLE, 0, positions);
    glNormalPointer(GL_DOUBLE, 0, normals);
    glTexCoordPointer(2, GL_DOUBLE, 0, texCoords);
    if (values.backFacesCulled)
        glEnable(GL_CULL_FACE);
    if (values.singleSampled)
        glDisable(GL_MULTISAMPLE);
    glDrawArrays(GL_TRIANGLES, 0, 3 * triangleCount);
    if (values.backFacesCulled)
        glDisable(GL_CULL_FACE);
    if (values.singleSampled)
        glEnable(GL_MULTISAMPLE);
}

void Mesh::Capture()
{
    glGetDoublev(GL_MODELVIEW_MATRIX, capturedMatrix.data());
    capturedDepthTest = glIsEnabled(GL_DEPTH_TEST);
    capturedNormalize = glIsEnabled(GL_NORMALIZE);
    capturedLighting = glIsEnabled(GL_LIGHTING);
    if (!capturedLighting)
        return;
    for (int i = 0; i < 8; ++i) {
        const GLenum light = GL_LIGHT1 + i;
        capturedLights[i] = static_cast<GLint>(light - GL_LIGHT0) < MaxLights() && glIsEnabled(light);
    }
}

void Mesh::Draw()
{
    if (!IsParsed())
        return;
    const MeshMaterial values = MeshMaterial::Read(material);
    if (values.transparent) {
        Capture();
        TransparentList::Instance().Add(this);
        queued = true;
        return;
    }
    if (values.alphaTested)
        glEnable(GL_ALPHA_TEST);
    DrawArrays(values);
    if (values.alphaTested)
        glDisable(GL_ALPHA_TEST);
}

void Mesh::DrawDeferred()
{
    if (!IsParsed())
        return;
    const MeshMaterial values = MeshMaterial::Read(material);
    if (!capturedDepthTest)
        glDisable(GL_DEPTH_TEST);
    if (capturedNormalize)
        glEnable(GL_NORMALIZE);
    if (capturedLighting) {
        glEnable(GL_LIGHTING);
        for (int i = 0; i < 8; ++i) {
            if (capturedLights[i])
                glEnable(GL_LIGHT1 + i);
        }
    }
    if (values.alphaTested)
        glEnable(GL_ALPHA_TEST);
    glLoadMatrixd(capturedMatrix.data());
    glEnable(GL_BLEND);

    DrawArrays(values);

    if (!capturedDepthTest)
        glEnable(GL_DEPTH_TEST);
    if (capturedNormalize)
        glDisable(GL_NORMALIZE);
    if (capturedLighting) {
        glDisable(GL_LIGHTING);
        for (int i = 0; i < 8; ++i) {
            if (capturedLights[i])
                glDisable(GL_LIGHT1 + i);
        }
    }
    if (values.alphaTested)
        glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}

}
