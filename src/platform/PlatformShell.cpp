#include "platform/PlatformShell.h"

#include <climits>
#include <cstdio>

#include "platform/ApplicationBase.h"
#include "platform/InputTarget.h"
#include "platform/MouseTouchTranslator.h"
#include "platform/WindowPlacement.h"
#include "platform/os/KeyTable.h"
#include "platform/os/MessageBox.h"

cPlatformShell::cPlatformShell(cApplicationBase* application, const cRendererHooks& renderer)
    : mApplication(application), mRenderer(renderer)
{
}

cPlatformShell::~cPlatformShell()
{
    if (mRendererCreated)
        mRenderer.destroy();
    delete mApplication;
}

int cPlatformShell::Run()
{
    const int status = CreateWindowAndContext();
    if (status != kExitNormal)
        return status;
    RunFrameLoop();
    return kExitNormal;
}

int cPlatformShell::CreateWindowAndContext()
{
    if (!mWindow.Create(mApplication->GetTitle().CStr(), mApplication->GetWindowWidth(),
                        mApplication->GetWindowHeight(), mApplication->IsResizable()))
    {
        std::fprintf(stderr, "Couldn't create the window: %s\n", cOsWindow::GetLastError());
        return kExitNoWindow;
    }
    const int status = HandleWindowCreated();
    if (status != kExitNormal)
        return status;
    PlaceOnWorkArea();
    mWindow.Show();
    mPacer.SetFramesPerSecond(mApplication->GetFramesPerSecond());
    return kExitNormal;
}

// The window exists: context, renderer, then the application starts up.
// Nothing is saved on the failure paths; the program just ends.
int cPlatformShell::HandleWindowCreated()
{
    mApplication->HandleWindowCreated(&mWindow);
    if (mApplication->IsResizable())
        ApplySizeLimits();
    if (!mWindow.CreateGLContext())
    {
        ShowMessageBox("Error", "Couldn't create OpenGL context", eMessageBoxIcon::kError);
        return kExitNoGLContext;
    }
    mRendererCreated = true;
    if (!mRenderer.create())
    {
        ShowMessageBox("Error", "Couldn't create OpenGL renderer", eMessageBoxIcon::kError);
        return kExitNoRenderer;
    }
    mApplication->Initialise();
    mApplication->HandleActivate();
    return kExitNormal;
}

// The window system keeps a dragged frame within what the application would
// make of the smallest and the largest proposal.
void cPlatformShell::ApplySizeLimits()
{
    int32_t minWidth = 1;
    int32_t minHeight = 1;
    mApplication->HandleResize(true, minWidth, minHeight);
    int32_t maxWidth = INT_MAX / 2;
    int32_t maxHeight = INT_MAX / 2;
    mApplication->HandleResize(true, maxWidth, maxHeight);
    mWindow.SetClientSizeLimits(minWidth, minHeight, maxWidth, maxHeight);
}

// Measures the frame, then sizes the window so its client area has the
// application's size while the frame stays on the work area.
void cPlatformShell::PlaceOnWorkArea()
{
    int borderLeft = 0;
    int borderTop = 0;
    int borderRight = 0;
    int borderBottom = 0;
    mWindow.GetFrameBorders(borderLeft, borderTop, borderRight, borderBottom);
    mBorderWidth = borderLeft + borderRight;
    mBorderHeight = borderTop + borderBottom;

    int clientX = 0;
    int clientY = 0;
    mWindow.GetClientPosition(clientX, clientY);
    int workRight = INT_MAX;
    int workBottom = INT_MAX;
    mWindow.GetWorkAreaEdges(workRight, workBottom);
    const cWindowFrame frame = PlaceWindowOnWorkArea(
        clientX - borderLeft, clientY - borderTop, mApplication->GetWindowWidth(),
        mApplication->GetWindowHeight(), mBorderWidth, mBorderHeight, workRight, workBottom);
    const int clientWidth = frame.right - frame.left - mBorderWidth;
    const int clientHeight = frame.bottom - frame.top - mBorderHeight;
    mWindow.SetClientRect(frame.left + borderLeft, frame.top + borderTop, clientWidth, clientHeight);

    // The size the window really has, as a resize would report it.
    int width = 0;
    int height = 0;
    mWindow.GetClientSize(width, height);
    OnClientSizeChanged(width, height);
}

void cPlatformShell::RunFrameLoop()
{
    for (;;)
    {
        mWindow.PumpEvents(*this);
        if (mQuit)
            return;
        mPacer.WaitForFrameStart();
        mApplication->Update();
        mPacer.EndFrame(RenderAndPresent());
    }
}

// A frame identical to the one on screen is not presented again: the loop,
// its updates and its timing go on as before. True when it was presented.
bool cPlatformShell::RenderAndPresent()
{
    if (mRenderer.beginFrame)
        mRenderer.beginFrame();
    mApplication->Render();
    if (mRenderer.endFrame && !mRenderer.endFrame(mMustPresent))
        return false;
    mWindow.SwapBuffers();
    mMustPresent = false;
    return true;
}

void cPlatformShell::Close()
{
    if (!mApplication)
        return;
    mApplication->HandleTerminate();
    mApplication->Shutdown();
    delete mApplication;
    mApplication = nullptr;
    if (mRendererCreated)
    {
        mRenderer.destroy();
        mRendererCreated = false;
    }
    mWindow.Destroy();
    mQuit = true;
}

void cPlatformShell::OnMouseMove(float x, float y)
{
    if (cInputTarget* target = GetInputTarget())
        cMouseTouchTranslator::OnMove(*target, x, y);
}

void cPlatformShell::OnMouseButton(eMouseButton button, bool down, int clicks, float x, float y)
{
    cInputTarget* target = GetInputTarget();
    if (!target)
        return;
    const auto which = button == kMouseLeft ? cMouseTouchTranslator::kLeft : cMouseTouchTranslator::kRight;
    if (down)
    {
        const bool doubleClick = clicks > 0 && clicks % 2 == 0;
        cMouseTouchTranslator::OnButtonDown(*target, which, doubleClick, x, y);
        mWindow.CaptureMouse(true);
    }
    else
    {
        cMouseTouchTranslator::OnButtonUp(*target, which, x, y);
        mWindow.CaptureMouse(false);
    }
}

void cPlatformShell::OnKey(bool down, int physicalKey, int32_t layoutKey)
{
    cInputTarget* target = GetInputTarget();
    if (!target)
        return;
    const int32_t scanCode = ScanCodeFromKey(physicalKey);
    const int32_t keyCode = KeyCodeFromKey(physicalKey, layoutKey);
    if (down)
        mKeyboard.OnKeyDown(*target, physicalKey, scanCode, keyCode);
    else
        mKeyboard.OnKeyUp(*target, physicalKey, scanCode, keyCode);
}

void cPlatformShell::OnText(const char* utf8)
{
    if (cInputTarget* target = GetInputTarget())
        mKeyboard.OnText(*target, utf8);
}

// Sizes reported while the window is being created do not reach the
// application; the placement reports the settled size itself.
void cPlatformShell::OnClientSizeChanged(int width, int height)
{
    if (!mApplication || mBorderWidth < 0 || mBorderHeight < 0)
        return;
    int32_t clientWidth = width;
    int32_t clientHeight = height;
    mApplication->HandleResize(false, clientWidth, clientHeight);
}

void cPlatformShell::OnFocusLost()
{
    if (cInputTarget* target = GetInputTarget())
        target->ReleaseAllKeys();
}

void cPlatformShell::OnContentLost() { mMustPresent = true; }

void cPlatformShell::OnCloseRequested() { Close(); }
