#include "app/MainLoop.h"

#include "app/RunModeSignals.h"
#include "proctex/ProceduralTextureManager.h"
#include "resources/TransparentList.h"
#include "scene/FrameTick.h"

#include <GL/gl.h>
#include <cerrno>
#include <chrono>
#include <poll.h>

namespace tarnwood {

namespace {

using Clock = std::chrono::steady_clock;

// More events than any person or host sends in one frame.
constexpr int kEventsPerFrame = 256;

// Sleeps until `deadline` (none: without limit), a stop signal, or an event
// on the host window's connection (`hostDescriptor`, -1 for none).
void WaitForWork(int hostDescriptor, const Clock::time_point* deadline)
{
    pollfd ready[2] = {{StopSignalDescriptor(), POLLIN, 0}, {hostDescriptor, POLLIN, 0}};
    timespec timeout{};
    if (deadline != nullptr) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*deadline - Clock::now()).count();
        if (left <= 0)
            return;
        timeout.tv_sec = static_cast<time_t>(left / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(left % 1'000'000'000);
    }
    ppoll(ready, hostDescriptor >= 0 ? 2 : 1, deadline != nullptr ? &timeout : nullptr, nullptr);
}

}

bool IsEndingEvent(const SDL_Event& event, const Settings& settings, std::uint32_t ticks)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        return event.key.keysym.sym == SDLK_ESCAPE;
    case SDL_MOUSEMOTION:
        return ticks > 3000 && settings.exitOnMouseMove != 0;
    default:
        return false;
    }
}

void RenderFrame(SceneRoots& roots, std::uint32_t tick)
{
    frameTick = tick;
    ProceduralTextureManager::Instance().UpdateAll(frameTick);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -100.0f);
    roots.worldRoot->Render();
    roots.overlayRoot->Render();
    TransparentList::Instance().DrawAll();
}

void RunMainLoop(SceneRoots& roots, const Settings& settings, Display& display, long delayMicroseconds)
{
    DisplayHostWindow* host = display.HostWindow();
    const auto delay = std::chrono::microseconds(delayMicroseconds);
    Clock::time_point nextFrame = Clock::now();
    bool quit = false;
    auto end = [&]() {
        quit = true;
        roots.worldRoot->Kill();
        roots.overlayRoot->Kill();
    };
    while (!quit || !roots.worldRoot->dead || !roots.overlayRoot->dead) {
        if (host != nullptr) {
            if (host->Update()) {
                const ScreenEdges before = display.Edges();
                display.Resize(host->Width(), host->Height());
                MoveOverlays(roots, settings.Overlays(), before, display.Edges());
            }
            // Nothing is left to draw into; the teardown deletes what lives.
            if (host->Gone())
                return;
        }
        // A bounded drain: a source that posts events as fast as they are
        // read (pointer warping, a flooding client) must not stop the frames.
        SDL_Event event;
        for (int drained = 0; drained < kEventsPerFrame && SDL_PollEvent(&event); ++drained) {
            // The host owns the keyboard and the pointer of its window.
            if (host == nullptr && IsEndingEvent(event, settings, SDL_GetTicks()))
                end();
        }
        if (StopSignalReceived() && !quit)
            end();
        if (!quit && host != nullptr && !host->Visible()) {
            WaitForWork(host->Descriptor(), nullptr);
            continue;
        }
        if (!quit && delayMicroseconds > 0 && Clock::now() < nextFrame) {
            WaitForWork(host != nullptr ? host->Descriptor() : -1, &nextFrame);
            continue;
        }
        nextFrame = Clock::now() + delay;
        RenderFrame(roots, SDL_GetTicks());
        SDL_GL_SwapBuffers();
    }
}

}
