#include "platform/os/MessageBox.h"

#include <SDL.h>

#include <cstdio>

#include "platform/os/Window.h"

void ShowMessageBox(const char* caption, const char* text, eMessageBoxIcon icon, cOsWindow* owner)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    const Uint32 flags = icon == eMessageBoxIcon::kWarning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
    SDL_ShowSimpleMessageBox(flags, caption, text, owner ? owner->GetSdlWindow() : nullptr);
}
