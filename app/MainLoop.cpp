#include "app/MainLoop.h"

#include "proctex/ProceduralTextureManager.h"
#include "resources/TransparentList.h"
#include "scene/FrameTick.h"

#include <GL/gl.h>

namespace tarnwood {

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

void RunMainLoop(SceneRoots& roots, const Settings& settings)
{
    bool quit = false;
    while (!quit || !roots.worldRoot->dead || !roots.overlayRoot->dead) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (IsEndingEvent(event, settings, SDL_GetTicks())) {
                quit = true;
                roots.worldRoot->Kill();
                roots.overlayRoot->Kill();
            }
        }
        RenderFrame(roots, SDL_GetTicks());
        SDL_GL_SwapBuffers();
    }
}

}
