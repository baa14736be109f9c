#pragma once

#include <SDL.h>

// Mouse events as the window system would queue them for the program's
// window, for tests that drive the real event loop.

inline void PushMouseButton(Uint32 type, Uint8 button, Uint8 clicks, Sint32 x, Sint32 y)
{
    SDL_Event event = {};
    event.type = type;
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

inline void PushMouseMove(Sint32 x, Sint32 y)
{
    SDL_Event event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}
