#pragma once

#include <cstdint>

struct SDL_Window;
class cOsEventHandler;

// The program's one window with its OpenGL context: double-buffered RGBA
// with 24 colour and 16 depth bits, no vertical sync (the frame loop paces
// itself).
class cOsWindow
{
public:
    cOsWindow() = default;
    ~cOsWindow();
    cOsWindow(const cOsWindow&) = delete;
    cOsWindow& operator=(const cOsWindow&) = delete;

    // Creates the window hidden, with a client area of the given size.
    bool Create(const char* title, int clientWidth, int clientHeight, bool resizable);
    // Creates the context and makes it current; on failure a warning box
    // says why.
    bool CreateGLContext();
    void Destroy();

    void Show();
    // Sets the icon the window system shows for the window, from straight-alpha
    // RGBA bytes, top row first; one image serves every size it is shown at.
    bool SetIcon(const uint8_t* rgba, int width, int height);
    void SwapBuffers();
    void CaptureMouse(bool capture);

    void GetClientSize(int& width, int& height) const;
    void GetClientPosition(int& x, int& y) const;
    // Frame thickness on each side; 0 where the window system cannot say.
    void GetFrameBorders(int& left, int& top, int& right, int& bottom) const;
    // Right and bottom edges of the usable area of the window's display.
    bool GetWorkAreaEdges(int& right, int& bottom) const;
    void SetClientRect(int x, int y, int width, int height);
    void SetClientSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);

    // Hands every waiting event to the handler; returns when none is left.
    void PumpEvents(cOsEventHandler& handler);

    SDL_Window* GetSdlWindow() const { return mWindow; }

    // The window system's reason for the latest failure.
    static const char* GetLastError();

private:
    bool mGLAvailable = false;
    SDL_Window* mWindow = nullptr;
    void* mGLContext = nullptr;
};
