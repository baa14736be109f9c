#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "SdlEvents.h"
#include "app/QuilwrightApplication.h"
#include "platform/os/Window.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
struct cSeenTouch
{
    int32_t type;
    float x, y;
};

std::vector<cSeenTouch> sTouches;
std::vector<cRect> sRootRects;

// Fills the root and records every touch offered to it, capturing the
// finger on the way down as a control would.
class cTouchRecorder : public cWidget
{
public:
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override
    {
        if (!HasFlags(kWidgetShown) || (captor != this && !GetRect().Contains(touch->position)))
            return false;
        sTouches.push_back({type, touch->position.X, touch->position.Y});
        if (type == kTouchDown)
            CaptureTouch(touch->id);
        return true;
    }
};

// The real application with a recorder on its root: once the start-up cover
// has gone, on its second frame the
// window receives a click and drag, on its fifth it is resized, and it
// closes a few frames later.
class cApplicationWithRecorder : public cQuilwrightApplication
{
public:
    cApplicationWithRecorder() : cQuilwrightApplication(0, nullptr) {}

    void HandleWindowCreated(cOsWindow* window) override
    {
        cQuilwrightApplication::HandleWindowCreated(window);
        mWindow = window->GetSdlWindow();
    }
    bool Initialise() override
    {
        const bool started = cQuilwrightApplication::Initialise();
        cWidget* recorder = new cTouchRecorder();
        cWidgetManager::GetInstance()->GetRoot()->AddChild(recorder);
        recorder->Release();
        return started;
    }
    bool Update() override
    {
        cQuilwrightApplication::Update();
        sRootRects.push_back(cWidgetManager::GetInstance()->GetRoot()->GetRect());
        switch (++mFrames - kStartupCoverFrames)
        {
        case 2:
            PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 200, 150);
            PushMouseMove(260, 190);
            PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 260, 190);
            break;
        case 5:
            SDL_SetWindowSize(mWindow, 900, 650);
            break;
        case 9:
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            break;
        }
        default:
            break;
        }
        return true;
    }

private:
    SDL_Window* mWindow = nullptr;
    int mFrames = 0;
};

TEST(ApplicationWidgets, MouseEventsReachAWidgetOnTheRootAndAResizeMovesTheRootsEdges)
{
    sTouches.clear();
    sRootRects.clear();
    EmptyInProcessDocumentsOfAReturningUser();
    ASSERT_EQ(RunInProcess(new cApplicationWithRecorder()), kExitNormal);

    ASSERT_EQ(sTouches.size(), 3u);
    const cSeenTouch expected[3] = {{kTouchDown, 200, 150}, {kTouchMove, 260, 190}, {kTouchUp, 260, 190}};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(sTouches[size_t(i)].type, expected[i].type) << i;
        EXPECT_FLOAT_EQ(sTouches[size_t(i)].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(sTouches[size_t(i)].y, expected[i].y) << i;
    }
    ASSERT_GE(sRootRects.size(), 9u);
    EXPECT_FLOAT_EQ(sRootRects[1].xMax, 1024);
    EXPECT_FLOAT_EQ(sRootRects[1].yMax, 768);
    EXPECT_FLOAT_EQ(sRootRects.back().xMax, 900);
    EXPECT_FLOAT_EQ(sRootRects.back().yMax, 650);
}
} // namespace
