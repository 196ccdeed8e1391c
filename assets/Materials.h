#pragma once

#include "resources/MeshMaterial.h"

namespace tarnwood {

// Materials tuned for the scene's single light (ambient 0.3, diffuse 0.5,
// specular 0.5, quadratic attenuation 0.00007), which lies 36 to 76 units
// from the table as the tree group turns and bobs and so multiplies every
// term by roughly 2.5 to 11: the factors stay low so lit faces do not wash
// out, and the texture carries the colour. The specular term is added after
// the texture, so on coloured surfaces it must stay small.
inline MeshMaterial LitMaterial(float ambient, float diffuse, float specular, float shininess)
{
    MeshMaterial m;
    m.ambient = {ambient, ambient, ambient, 1.0f};
    m.diffuse = {diffuse, diffuse, diffuse, 1.0f};
    m.specular = {specular, specular, specular, 1.0f};
    m.shininess = shininess;
    return m;
}

// For meshes drawn without lighting (sky, overlays): the texture as it is.
inline MeshMaterial UnlitMaterial(bool transparent)
{
    MeshMaterial m;
    m.transparent = transparent;
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    return m;
}

// A self-lit look under lighting: the attenuated ambient term alone
// saturates, so the texture shows at full strength whatever the normal.
inline MeshMaterial GlowMaterial(bool transparent)
{
    MeshMaterial m = UnlitMaterial(transparent);
    m.specular = {0.0f, 0.0f, 0.0f, 1.0f};
    return m;
}

}
