#include "app/Display.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef GL_MULTISAMPLE
#define GL_MULTISAMPLE 0x809D
#endif
#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#endif
#ifndef GL_SEPARATE_SPECULAR_COLOR
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif

namespace tarnwood {

namespace {

void QuitVideoAtExit()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_Quit();
}

[[noreturn]] void Fail(const char* what, const std::string& reason)
{
    std::fprintf(stderr, "%s: %s\n", what, reason.c_str());
    SDL_Quit();
    std::exit(1);
}

// SDL falls back to drivers that show nothing when no display can be
// reached; a screensaver that nobody can see or stop is worse than none.
bool ShowsNothing(const char* driver)
{
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

}

Display::Display(int w, int h, int d, const DisplayOptions& options)
{
    const bool driverChosen = std::getenv("SDL_VIDEODRIVER") != nullptr && *std::getenv("SDL_VIDEODRIVER") != '\0';
    if (options.hostWindow != 0) {
        std::string problem;
        hostWindow = DisplayHostWindow::Open(options.hostWindow, problem);
        if (!hostWindow)
            Fail(problem.rfind("cannot open", 0) == 0 ? "Video initialization failed" : "Video mode set failed", problem);
        // SDL adopts the window instead of making its own; GL renders
        // straight into it, so a resize only needs a new viewport.
        setenv("SDL_WINDOWID", std::to_string(options.hostWindow).c_str(), 1);
        setenv("SDL_VIDEO_FOREIGN_WINDOW_OPENGL", "1", 1);
        setenv("SDL12COMPAT_OPENGL_SCALING", "0", 1);
    } else {
        // The cursor is hidden on the full-screen surface, which puts the
        // pointer into relative mode; by default that reads raw motion only,
        // and absolute pointers (tablets, remote desktops, virtual machines)
        // would never move the "mouse". Warping works with both kinds.
        setenv("SDL_MOUSE_RELATIVE_MODE_WARP", "1", 0);
        // A mode other than the desktop's becomes a window of the desktop's
        // size that SDL scales the picture into, but only where a window
        // manager makes it full screen; with none (kiosks, bare sessions)
        // the window keeps the mode's size and shows just a corner of the
        // scaled picture. Drawn unscaled instead, the whole scene shows.
        if ((w != 0 || h != 0 || d != 0) && !DisplayHostWindow::DesktopHasWindowManager())
            setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        Fail("Video initialization failed", SDL_GetError());
    char driver[32] = {};
    if (!driverChosen && ShowsNothing(SDL_VideoDriverName(driver, sizeof driver))) {
        const char* name = std::getenv("DISPLAY");
        Fail("Video initialization failed",
             std::string("no display to draw on (DISPLAY is ")
                 + (name != nullptr ? "'" + std::string(name) + "'" : "not set")
                 + "; set SDL_VIDEODRIVER to choose a video driver yourself)");
    }
    if (hostWindow) {
        width = hostWindow->Width();
        height = hostWindow->Height();
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        depth = info != nullptr && info->vfmt != nullptr ? info->vfmt->BitsPerPixel : 32;
    } else if (w == 0 && h == 0 && d == 0) {
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        width = info->current_w;
        height = info->current_h;
        depth = info->vfmt != nullptr ? info->vfmt->BitsPerPixel : 32;
    } else {
        width = w;
        height = h;
        depth = d;
    }
    OpenVideoMode(!hostWindow && options.fullScreen, options.multisample);
    // The host owns its window's pointer and keyboard.
    if (!hostWindow && options.fullScreen)
        SDL_ShowCursor(SDL_DISABLE);
    // A fatal error later on (a missing archive) ends the process with exit()
    // while the full-screen mode is up; SDL_Quit at exit gives the desktop
    // back. It does nothing once the destructor has already closed SDL.
    static const int quitAtExit = std::atexit(QuitVideoAtExit);
    (void)quitAtExit;
}

Display::~Display()
{
    SDL_Quit();
}

void Display::OpenVideoMode(bool fullScreen, bool multisample)
{
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    Uint32 flags = SDL_OPENGL | (fullScreen ? SDL_FULLSCREEN : 0);
    if (info != nullptr && info->hw_available)
        flags |= SDL_HWSURFACE;
    if (info != nullptr && info->blit_hw)
        flags |= SDL_HWACCEL;

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);

    if (multisample && SDL_SetVideoMode(width, height, 32, flags) != nullptr) {
        glEnable(GL_MULTISAMPLE);
    } else {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
        SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 0);
        if (SDL_SetVideoMode(width, height, 32, flags) == nullptr) {
            std::fprintf(stderr, "Video mode set failed: %s\n", SDL_GetError());
            SDL_Quit();
            std::exit(1);
        }
    }
    SetGlState();
    Resize(width, height);
}

void Display::SetGlState()
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.9f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    const std::string copy = extensions != nullptr ? reinterpret_cast<const char*>(extensions) : "";
    if (copy.find("GL_EXT_separate_specular_color") != std::string::npos)
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

void Display::Resize(int w, int h)
{
    if (h == 0)
        h = 1;
    const float aspect = static_cast<float>(w) / static_cast<float>(h);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 250.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluUnProject(0.0, 0.0, -1.0, modelview, projection, viewport, &edges.corner.x, &edges.corner.y, &edges.corner.z);
}

}
