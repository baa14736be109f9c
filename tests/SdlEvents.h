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

// A key as the window system reports it: its physical key and what it types
// without modifiers.
inline void PushKey(bool down, SDL_Scancode scancode, SDL_Keycode keycode)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    SDL_PushEvent(&event);
}

// Text the input method delivers for a key, at most 31 bytes.
inline void PushText(const char* utf8)
{
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, utf8, sizeof(event.text.text));
    SDL_PushEvent(&event);
}
