#pragma once

#include <cstdint>

// Receives the window system's events, in the order they happened.
class cOsEventHandler
{
public:
    enum eMouseButton
    {
        kMouseLeft = 0,
        kMouseRight = 1,
    };

    virtual void OnMouseMove(float x, float y) = 0;
    // clicks counts a click series: 2 (or any even count) is a double-click.
    virtual void OnMouseButton(eMouseButton button, bool down, int clicks, float x, float y) = 0;
    // layoutKey is what the key types without modifiers in the current layout.
    virtual void OnKey(bool down, int physicalKey, int32_t layoutKey) = 0;
    virtual void OnText(const char* utf8) = 0;
    virtual void OnClientSizeChanged(int width, int height) = 0;
    virtual void OnFocusLost() = 0;
    // The window's content must be shown again: it was exposed, shown,
    // restored, resized or focused.
    virtual void OnContentLost() = 0;
    // The window's close button, or SIGINT / SIGTERM.
    virtual void OnCloseRequested() = 0;

protected:
    ~cOsEventHandler() = default;
};
