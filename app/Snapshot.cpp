// The framebuffer-object entry points, for reading a multisampled frame.
#define GL_GLEXT_PROTOTYPES

#include "app/Snapshot.h"

#include "app/Display.h"
#include "app/Entry.h"
#include "app/MainLoop.h"
#include "app/PreviewPicture.h"
#include "app/Settings.h"
#include "app/SnapshotOptions.h"
#include "content/TreeScene.h"
#include "platform/RegistryString.h"
#include "resources/PngWriter.h"
#include "resources/ResourceManager.h"
#include "resources/WholeFile.h"
#include "scene/WallClock.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>

namespace tarnwood {

namespace {

// The scene with the options' settings and pose. The start angle is drawn
// from rand(), seeded anew so that every build of the same options matches.
bool BuildScene(const SnapshotOptions& options, const Settings& settings, const Display& display, SceneRoots& roots,
                std::string& problem)
{
    std::srand(options.seed);
    roots = BuildTreeScene(settings.Overlays(), display.Edges());
    return HoldPose(*roots.worldRoot, options.pose, problem);
}

void DeleteScene(SceneRoots& roots)
{
    roots.worldRoot.reset();
    roots.overlayRoot.reset();
}

// The frame as the screen shows it. Read straight from a multisampled
// window, the back buffer gives one sample of each pixel, unsmoothed, so its
// samples are first averaged into a single-sampled framebuffer.
std::vector<std::uint8_t> ReadFrame(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    GLuint resolved = 0;
    GLuint colour = 0;
    if (sampleBuffers > 0) {
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glGenFramebuffers(1, &resolved);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    if (resolved != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &resolved);
        glDeleteRenderbuffers(1, &colour);
    }
    return pixels;
}

bool WriteFrame(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels, std::string& problem)
{
    PixelRows rows;
    rows.bytes = pixels.data();
    rows.width = width;
    rows.height = height;
    rows.channels = 3;
    rows.bottomUp = true;
    return WritePngFile(path, rows, problem);
}

bool WriteStill(const SnapshotOptions& options, const std::vector<std::uint8_t>& pixels, std::string& problem)
{
    if (!options.out.empty() && !WriteFrame(options.out, options.width, options.height, pixels, problem))
        return false;
    if (options.preview.empty())
        return true;
    const std::optional<std::vector<std::uint8_t>> picture = MakePreviewPicture(pixels, options.width, options.height,
                                                                                problem);
    return picture && WriteWholeFile(options.preview, *picture, problem);
}

int RunStill(const SnapshotOptions& options, const Settings& settings)
{
    // Render straight into a window of the requested size: the default
    // scaling path draws into a multisampled framebuffer of SDL's own, which
    // glReadPixels cannot read.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    auto display = std::make_unique<Display>(options.width, options.height, 32);
    SceneRoots roots;
    std::string problem;
    if (!BuildScene(options, settings, *display, roots, problem)) {
        std::fprintf(stderr, "tarnwood-snapshot: %s\n", problem.c_str());
        return 1;
    }
    const long frames = options.ms * 60 / 1000;
    for (long i = 1; i <= frames || i == 1; ++i)
        RenderFrame(roots, static_cast<std::uint32_t>((i * 1000 + 30) / 60));
    const std::vector<std::uint8_t> pixels = ReadFrame(options.width, options.height);
    DeleteScene(roots);
    display.reset();
    if (!WriteStill(options, pixels, problem)) {
        std::fprintf(stderr, "tarnwood-snapshot: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}

// The look-development window: the scene in real time until Escape or the
// window closes. R deletes the scene, which gives back every archive, and
// builds it again, so the archives are read anew from the install directory;
// S saves the frame on screen.
int RunWindow(const SnapshotOptions& options, const Settings& settings)
{
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    DisplayOptions windowed;
    windowed.fullScreen = false;
    auto display = std::make_unique<Display>(options.width, options.height, 32, windowed);
    SDL_WM_SetCaption("Tarnwood look development: R reloads, S saves, Escape ends", nullptr);
    SceneRoots roots;
    std::string problem;
    if (!BuildScene(options, settings, *display, roots, problem)) {
        std::fprintf(stderr, "tarnwood-snapshot: %s\n", problem.c_str());
        return 1;
    }
    std::printf("tarnwood-snapshot: showing the archives of %s\n", ResourceManager::Instance().BasePath().c_str());
    std::fflush(stdout);
    const std::uint32_t start = SDL_GetTicks();
    for (;;) {
        SDL_Event event;
        bool reload = false;
        bool save = false;
        bool quit = false;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT)
                quit = true;
            if (event.type != SDL_KEYDOWN)
                continue;
            if (event.key.keysym.sym == SDLK_ESCAPE)
                quit = true;
            else if (event.key.keysym.sym == SDLK_r)
                reload = true;
            else if (event.key.keysym.sym == SDLK_s)
                save = true;
        }
        if (quit)
            break;
        if (reload) {
            DeleteScene(roots);
            if (!BuildScene(options, settings, *display, roots, problem)) {
                std::fprintf(stderr, "tarnwood-snapshot: %s\n", problem.c_str());
                return 1;
            }
            std::printf("tarnwood-snapshot: reloaded the archives\n");
            std::fflush(stdout);
        }
        const std::uint32_t frameStart = SDL_GetTicks();
        RenderFrame(roots, frameStart - start + 1);
        if (save) {
            if (options.out.empty()) {
                std::printf("tarnwood-snapshot: no --out file to save to\n");
            } else if (WriteFrame(options.out, display->Width(), display->Height(),
                                  ReadFrame(display->Width(), display->Height()), problem)) {
                std::printf("tarnwood-snapshot: saved %s\n", options.out.c_str());
            } else {
                std::printf("tarnwood-snapshot: %s\n", problem.c_str());
            }
            std::fflush(stdout);
        }
        SDL_GL_SwapBuffers();
        // About 60 frames per second; the software renderer needs no more.
        const std::uint32_t spent = SDL_GetTicks() - frameStart;
        if (spent < 16)
            SDL_Delay(16 - spent);
    }
    DeleteScene(roots);
    return 0;
}

}

int RunSnapshot(const std::vector<std::string>& args)
{
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kSnapshotUsage, stdout);
            return 0;
        }
    }
    std::string problem;
    const std::optional<SnapshotOptions> options = ParseSnapshotOptions(args, problem);
    if (!options) {
        std::fprintf(stderr, "tarnwood-snapshot: %s\n%s", problem.c_str(), kSnapshotUsage);
        return 2;
    }
    Settings settings;
    if (!options->settingsPath.empty()) {
        std::ifstream in(options->settingsPath, std::ios::binary);
        if (!in.is_open()) {
            std::fprintf(stderr, "tarnwood-snapshot: cannot open settings file %s\n", options->settingsPath.c_str());
            return 1;
        }
        settings = Settings(in);
    }
    if (options->worldOnly) {
        settings.showCalendar = 0;
        settings.showClock = 0;
        settings.showFrameRate = 0;
    }

    StartProcessObjects();
    ResourceManager::Instance().SetBasePath(InstallDirectory().Text());
    if (options->haveTime)
        WallClock::Instance().FixLocal(options->time, true);
    else
        WallClock::Instance().Fix(std::time(nullptr), true);
    return options->window ? RunWindow(*options, settings) : RunStill(*options, settings);
}

}
