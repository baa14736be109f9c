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

// A key as the window system reports it (SDL_KEYDOWN or SDL_KEYUP): its
// physical key and what it types without modifiers.
inline void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode key)
{
    SDL_Event event = {};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

// Text the input method delivers, at most 31 bytes.
inline void PushText(const char* text)
{
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, text, sizeof(event.text.text));
    SDL_PushEvent(&event);
}
