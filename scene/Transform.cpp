#include "scene/Transform.h"

#include <GL/gl.h>

namespace tarnwood {

void Transform::Reset()
{
    position = Vec3{};
    rotation = Vec3{};
    scale = Vec3{1.0, 1.0, 1.0};
}

void Transform::SetPosition(double x, double y, double z)
{
    position = Vec3{x, y, z};
}

void Transform::SetRotation(double x, double y, double z)
{
    rotation = Vec3{x, y, z};
}

void Transform::SetScale(double x, double y, double z)
{
    scale = Vec3{x, y, z};
    scaled = 1;
}

void Transform::MoveBy(double dx, double dy, double dz)
{
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void Transform::RotateBy(double dx, double dy, double dz)
{
    rotation.x += dx;
    rotation.y += dy;
    rotation.z += dz;
}

void Transform::Apply() const
{
    if (position.x != 0.0 || position.y != 0.0 || position.z != 0.0)
        glTranslatef(static_cast<GLfloat>(position.x), static_cast<GLfloat>(position.y), static_cast<GLfloat>(position.z));
    if (rotation.x != 0.0)
        glRotatef(static_cast<GLfloat>(rotation.x), 1.0f, 0.0f, 0.0f);
    if (rotation.y != 0.0)
        glRotatef(static_cast<GLfloat>(rotation.y), 0.0f, 1.0f, 0.0f);
    if (rotation.z != 0.0)
        glRotatef(static_cast<GLfloat>(rotation.z), 0.0f, 0.0f, 1.0f);
}

void Transform::ApplyScale() const
{
    glScaled(scale.x, scale.y, scale.z);
}

}
