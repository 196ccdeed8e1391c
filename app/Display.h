#pragma once

#include "app/DisplayHostWindow.h"
#include "content/ScreenEdges.h"

#include <memory>

namespace tarnwood {

// Where and how the Display draws.
struct DisplayOptions {
    // A screensaver host's X window to draw into; 0 opens the program's own
    // full-screen surface.
    unsigned long hostWindow = 0;
    // Try the multisampled context first; off, the plain one is opened at once.
    bool multisample = true;
    // Off, the program's own surface is an ordinary window of the requested
    // size with the pointer left visible (look development). Ignored with a
    // host window.
    bool fullScreen = true;
};

// The SDL video subsystem, the OpenGL surface (full screen, or a host's
// window) and the fixed-function GL state every drawing step assumes. One
// exists in the scene mode, from after the settings are read until after the
// scene is deleted.
class Display {
public:
    // Initialises SDL video and opens a full-screen OpenGL mode of width x
    // height pixels; (0, 0, 0) takes the desktop's current mode. Tries a
    // multisampled accelerated context first (unless the options say not to),
    // then a plain one. With a host window, draws into that window at its own
    // size instead, with no grab and the cursor left alone.
    // SDL's off-screen fallback is refused when no display can be reached and
    // the user chose no SDL_VIDEODRIVER.
    // On failure it prints "Video initialization failed: ..." or "Video mode
    // set failed: ..." to stderr and ends the process with exit code 1; it
    // never returns then.
    Display(int width, int height, int depth, const DisplayOptions& options = {});
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
    double EdgeX(double d) const { return edges.X(d); }
    double EdgeY(double d) const { return edges.Y(d); }

    int Width() const { return width; }
    int Height() const { return height; }
    int Depth() const { return depth; }
    // The screen's edges under the current projection, for placing overlays.
    const ScreenEdges& Edges() const { return edges; }
    // The host's window being drawn into; null on the own full-screen surface.
    DisplayHostWindow* HostWindow() const { return hostWindow.get(); }

private:
    void OpenVideoMode(bool fullScreen, bool multisample);
    void SetGlState();

    std::unique_ptr<DisplayHostWindow> hostWindow;

    ScreenEdges edges;
    int width = 0;
    int height = 0;
    int depth = 0;
};

}
