#include "SceneCamera.h"

#include "content/ScenePlacement.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace tarnwood::test {

void SetUpSceneCamera(int width, int height)
{
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / height, 0.1, 250.0);
    glMatrixMode(GL_MODELVIEW);
}

void PlaceTreeGroup()
{
    glTranslated(0.0, 0.0, -100.0);
    glTranslated(kTreeGroupPosition.x, kTreeGroupPosition.y, kTreeGroupPosition.z);
    glRotated(kTreeGroupTilt, 1.0, 0.0, 0.0);
}

void TearDownSceneCamera()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}
