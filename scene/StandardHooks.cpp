#include "scene/StandardHooks.h"

#include <GL/gl.h>

namespace tarnwood {

void Light1Hook(int phase, int)
{
    if (phase == 1 || phase == 3) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT1);
    } else if (phase == 2 || phase == 4) {
        glDisable(GL_LIGHT1);
        glDisable(GL_LIGHTING);
    }
}

void DepthTestOffHook(int phase, int)
{
    if (phase == 1 || phase == 3)
        glDisable(GL_DEPTH_TEST);
    else if (phase == 2 || phase == 4)
        glEnable(GL_DEPTH_TEST);
}

void LightingOffHook(int phase, int)
{
    if (phase == 1)
        glDisable(GL_LIGHTING);
    else if (phase == 2)
        glEnable(GL_LIGHTING);
}

void BillboardHook(int phase, int)
{
    if (phase == 1) {
        glPushMatrix();
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        m[0] = m[5] = m[10] = 1.0;
        m[1] = m[2] = m[4] = m[6] = m[8] = m[9] = 0.0;
        glLoadMatrixd(m);
    } else if (phase == 2) {
        glPopMatrix();
    }
}

}
