#include "platform/os/Window.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>

#include "platform/os/MessageBox.h"
#include "platform/os/OsEventHandler.h"

namespace
{
void SetContextAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    // The renderer draws with fixed-function OpenGL 1.1.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

void ShowContextFailure(const char* format, cOsWindow* owner)
{
    char text[160];
    std::snprintf(text, sizeof text, format, errno);
    std::fprintf(stderr, "%s\n", SDL_GetError());
    ShowMessageBox("Quilwright", text, eMessageBoxIcon::kWarning, owner);
}

void DispatchMouseButton(const SDL_MouseButtonEvent& event, bool down, cOsEventHandler& handler)
{
    if (event.button != SDL_BUTTON_LEFT && event.button != SDL_BUTTON_RIGHT)
        return;
    const cOsEventHandler::eMouseButton button =
        event.button == SDL_BUTTON_LEFT ? cOsEventHandler::kMouseLeft : cOsEventHandler::kMouseRight;
    handler.OnMouseButton(button, down, event.clicks, float(event.x), float(event.y));
}

void DispatchWindowEvent(const SDL_WindowEvent& event, cOsEventHandler& handler)
{
    switch (event.event)
    {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        handler.OnClientSizeChanged(event.data1, event.data2);
        handler.OnContentLost();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        handler.OnFocusLost();
        handler.OnContentLost();
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        handler.OnContentLost();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        handler.OnCloseRequested();
        break;
    default:
        break;
    }
}
} // namespace

cOsWindow::~cOsWindow() { Destroy(); }

bool cOsWindow::Create(const char* title, int clientWidth, int clientHeight, bool resizable)
{
    // The video system and the OpenGL driver stay loaded until the process
    // ends: unloading the driver loses allocations it never frees.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SetContextAttributes();
    // Without OpenGL the window still opens, so the context failure can be
    // reported the program's own way.
    mGLAvailable = SDL_GL_LoadLibrary(nullptr) == 0;
    Uint32 flags = mGLAvailable ? SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN : SDL_WINDOW_HIDDEN;
    if (resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    mWindow = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, clientWidth,
                               clientHeight, flags);
    return mWindow != nullptr;
}

bool cOsWindow::CreateGLContext()
{
    mGLContext = mGLAvailable ? SDL_GL_CreateContext(mWindow) : nullptr;
    if (!mGLContext)
    {
        ShowContextFailure("Couldn't create OpenGL context (code %d)", this);
        return false;
    }
    if (SDL_GL_MakeCurrent(mWindow, mGLContext) != 0)
    {
        ShowContextFailure("Couldn't set current OpenGL context (code %d)", this);
        return false;
    }
    SDL_GL_SetSwapInterval(0);
    return true;
}

void cOsWindow::Destroy()
{
    if (mGLContext)
    {
        SDL_GL_MakeCurrent(mWindow, nullptr);
        SDL_GL_DeleteContext(mGLContext);
        mGLContext = nullptr;
    }
    if (mWindow)
    {
        SDL_DestroyWindow(mWindow);
        mWindow = nullptr;
    }
}

void cOsWindow::Show()
{
    SDL_ShowWindow(mWindow);
    SDL_StartTextInput();
}

bool cOsWindow::SetIcon(const uint8_t* rgba, int width, int height)
{
    if (!mWindow || !rgba || width <= 0 || height <= 0)
    {
        SDL_SetError("No window or no icon image");
        return false;
    }
    // The surface only borrows the pixels: the window keeps its own copy.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    SDL_SetWindowIcon(mWindow, surface);
    SDL_FreeSurface(surface);
    return true;
}

void cOsWindow::SwapBuffers() { SDL_GL_SwapWindow(mWindow); }

void cOsWindow::CaptureMouse(bool capture) { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }

void cOsWindow::GetClientSize(int& width, int& height) const { SDL_GetWindowSize(mWindow, &width, &height); }

void cOsWindow::GetClientPosition(int& x, int& y) const { SDL_GetWindowPosition(mWindow, &x, &y); }

void cOsWindow::GetFrameBorders(int& left, int& top, int& right, int& bottom) const
{
    if (SDL_GetWindowBordersSize(mWindow, &top, &left, &bottom, &right) != 0)
        left = top = right = bottom = 0;
}

bool cOsWindow::GetWorkAreaEdges(int& right, int& bottom) const
{
    const int display = SDL_GetWindowDisplayIndex(mWindow);
    SDL_Rect area;
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &area) != 0)
        return false;
    right = area.x + area.w;
    bottom = area.y + area.h;
    return true;
}

void cOsWindow::SetClientRect(int x, int y, int width, int height)
{
    SDL_SetWindowPosition(mWindow, x, y);
    SDL_SetWindowSize(mWindow, width, height);
}

void cOsWindow::SetClientSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight)
{
    SDL_SetWindowMinimumSize(mWindow, minWidth, minHeight);
    SDL_SetWindowMaximumSize(mWindow, maxWidth, maxHeight);
}

void cOsWindow::PumpEvents(cOsEventHandler& handler)
{
    SDL_Event event;
    // A close destroys the window; what follows it is not for this window.
    while (mWindow && SDL_PollEvent(&event))
    {
        switch (event.type)
        {
        case SDL_QUIT:
            handler.OnCloseRequested();
            break;
        case SDL_WINDOWEVENT:
            DispatchWindowEvent(event.window, handler);
            break;
        case SDL_MOUSEMOTION:
            handler.OnMouseMove(float(event.motion.x), float(event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
            DispatchMouseButton(event.button, true, handler);
            break;
        case SDL_MOUSEBUTTONUP:
            DispatchMouseButton(event.button, false, handler);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            handler.OnKey(event.type == SDL_KEYDOWN, event.key.keysym.scancode, event.key.keysym.sym);
            break;
        case SDL_TEXTINPUT:
            handler.OnText(event.text.text);
            break;
        default:
            break;
        }
    }
}

const char* cOsWindow::GetLastError() { return SDL_GetError(); }
