#pragma once

#include "scene/Vec3.h"

namespace tarnwood {

// The SDL video subsystem, the full-screen OpenGL surface and the
// fixed-function GL state every drawing step assumes. One exists in the scene
// mode, from after the settings are read until after the scene is deleted.
class Display {
public:
    // Initialises SDL video and opens a full-screen OpenGL mode of width x
    // height pixels; (0, 0, 0) takes the desktop's current mode. Tries a
    // multisampled accelerated context first, then a plain one. On failure it
    // prints "Video initialization failed: ..." or "Video mode set failed: ..."
    // to stderr and ends the process with exit code 1; it never returns then.
    Display(int width, int height, int depth);
    // Closes SDL (SDL_Quit).
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Sets the viewport and a 45-degree perspective (near 0.1, far 250) for a
    // surface of w x h pixels (h 0 counts as 1) and recomputes the eye-space
    // ray through the bottom-left window corner. Leaves GL_MODELVIEW current.
    void Resize(int w, int h);

    // The x of the left screen edge and the y of the bottom screen edge at
    // eye-space depth d (negative: in front of the camera); their negations
    // are the right and top edges.
    double EdgeX(double d) const { return corner.x * d / corner.z; }
    double EdgeY(double d) const { return corner.y * d / corner.z; }

    int Width() const { return width; }
    int Height() const { return height; }
    int Depth() const { return depth; }
    const Vec3& Corner() const { return corner; }
    // Whether the multisampled first attempt opened the mode.
    bool Multisampled() const { return multisampled; }

private:
    void OpenVideoMode();
    void SetGlState();

    Vec3 corner;
    int width = 0;
    int height = 0;
    int depth = 0;
    bool multisampled = false;
};

}
