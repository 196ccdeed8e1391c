#include "GlTestContext.h"

#include <SDL/SDL.h>
#include <cstdio>

namespace tarnwood::test {

namespace {
int openWidth = 0;
int openHeight = 0;
}

bool EnsureGlContext(int width, int height)
{
    if (openWidth == width && openHeight == height && SDL_GetVideoSurface() != nullptr)
        return true;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "test GL context: SDL_Init failed: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(width, height, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "test GL context: SDL_SetVideoMode failed: %s\n", SDL_GetError());
        return false;
    }
    openWidth = width;
    openHeight = height;
    return true;
}

void CloseGlContext()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_Quit();
    openWidth = openHeight = 0;
}

}
