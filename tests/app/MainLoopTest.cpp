#include "app/MainLoop.h"

#include <gtest/gtest.h>

namespace tarnwood {
namespace {

SDL_Event Key(SDLKey sym, Uint8 type = SDL_KEYDOWN)
{
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event Event(Uint8 type)
{
    SDL_Event e{};
    e.type = type;
    return e;
}

TEST(MainLoopEvents, OnlyEscapeAndLateMouseMotionWithTheSettingEndTheScene)
{
    Settings off;
    Settings on;
    on.exitOnMouseMove = 1;
    struct Case {
        const char* what;
        SDL_Event event;
        const Settings* settings;
        std::uint32_t ticks;
        bool ends;
    } cases[] = {
        {"escape", Key(SDLK_ESCAPE), &off, 10, true},
        {"escape released", Key(SDLK_ESCAPE, SDL_KEYUP), &off, 10, false},
        {"other key", Key(SDLK_a), &on, 10000, false},
        {"space", Key(SDLK_SPACE), &on, 10000, false},
        {"motion, setting off", Event(SDL_MOUSEMOTION), &off, 10000, false},
        {"motion at 3000 ms", Event(SDL_MOUSEMOTION), &on, 3000, false},
        {"motion at 3001 ms", Event(SDL_MOUSEMOTION), &on, 3001, true},
        {"motion early", Event(SDL_MOUSEMOTION), &on, 100, false},
        {"button", Event(SDL_MOUSEBUTTONDOWN), &on, 10000, false},
        {"quit", Event(SDL_QUIT), &on, 10000, false},
        {"focus", Event(SDL_ACTIVEEVENT), &on, 10000, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsEndingEvent(c.event, *c.settings, c.ticks), c.ends) << c.what;
}

}
}
