#pragma once

#include "platform/FramePacer.h"
#include "platform/KeyboardTranslator.h"
#include "platform/PlatformMain.h"
#include "platform/os/OsEventHandler.h"
#include "platform/os/Window.h"

class cApplicationBase;

// The window and frame loop around the application: creates the window with
// its OpenGL context and the renderer, feeds window events to the
// application and the input manager, and paces the frames.
class cPlatformShell : public cOsEventHandler
{
public:
    cPlatformShell(cApplicationBase* application, const cRendererHooks& renderer);
    ~cPlatformShell();

    // Returns an exit status once the window has closed or failed to open.
    int Run();

    void OnMouseMove(float x, float y) override;
    void OnMouseButton(eMouseButton button, bool down, int clicks, float x, float y) override;
    void OnKey(bool down, int physicalKey, int32_t layoutKey) override;
    void OnText(const char* utf8) override;
    void OnClientSizeChanged(int width, int height) override;
    void OnFocusLost() override;
    void OnContentLost() override;
    void OnCloseRequested() override;

private:
    int CreateWindowAndContext();
    int HandleWindowCreated();
    void ApplySizeLimits();
    void PlaceOnWorkArea();
    void RunFrameLoop();
    bool RenderAndPresent();
    void Close();

    cApplicationBase* mApplication;
    cRendererHooks mRenderer;
    bool mRendererCreated = false;
    cOsWindow mWindow;
    cFramePacer mPacer;
    cKeyboardTranslator mKeyboard;
    // Frame thickness; -1 until measured after the window exists.
    int mBorderWidth = -1;
    int mBorderHeight = -1;
    bool mQuit = false;
    // A window event since the last presented frame asks for the next one.
    bool mMustPresent = true;
};
