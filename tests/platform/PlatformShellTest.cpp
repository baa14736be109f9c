#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "FakeInputTarget.h"
#include "SdlEvents.h"
#include "platform/ApplicationBase.h"
#include "platform/PlatformShell.h"
#include "platform/os/Window.h"

namespace
{
std::vector<std::string> sLog;
std::string sWindowTitle;
bool sRendererReady = true;

bool CreateFakeRenderer()
{
    sLog.push_back("renderer created");
    return sRendererReady;
}

void DestroyFakeRenderer() { sLog.push_back("renderer destroyed"); }

// Logs the operations the shell calls; asks to close after three frames.
class cLoggingApplication : public cApplicationBase
{
public:
    cLoggingApplication() : cApplicationBase("")
    {
        mTitle = "Shell Test";
        mWindowWidth = 320;
        mWindowHeight = 240;
        mResizable = 1;
    }
    ~cLoggingApplication() override { sLog.push_back("deleted"); }

    void HandleWindowCreated(cOsWindow* window) override
    {
        sLog.push_back("window created");
        sWindowTitle = SDL_GetWindowTitle(window->GetSdlWindow());
    }
    bool Initialise() override
    {
        sLog.push_back("initialise");
        return true;
    }
    bool HandleActivate() override
    {
        sLog.push_back("activate");
        return true;
    }
    void HandleResize(bool sizing, int32_t& width, int32_t& height) override
    {
        if (sizing)
        {
            width = width < 300 ? 300 : (width > 2000 ? 2000 : width);
            height = height < 200 ? 200 : (height > 1000 ? 1000 : height);
            return;
        }
        sLog.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    bool Update() override
    {
        if (++mFrames == 3)
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        return true;
    }
    bool Render() override
    {
        sLog.push_back("frame");
        return true;
    }
    bool HandleTerminate() override
    {
        sLog.push_back("terminate");
        return true;
    }
    bool Shutdown() override
    {
        sLog.push_back("shutdown");
        return true;
    }

private:
    int mFrames = 0;
};

class PlatformShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        sLog.clear();
        sWindowTitle.clear();
        sRendererReady = true;
    }

    int Run()
    {
        cPlatformShell shell(new cLoggingApplication(), {&CreateFakeRenderer, &DestroyFakeRenderer, nullptr, nullptr});
        return shell.Run();
    }
};

TEST_F(PlatformShellTest, StartsRunsFramesAndClosesInOrder)
{
    EXPECT_EQ(Run(), kExitNormal);
    const std::vector<std::string> expected = {
        "window created", "renderer created", "initialise", "activate", "resize 320x240", "frame", "frame",
        "frame",          "terminate",        "shutdown",   "deleted",  "renderer destroyed",
    };
    EXPECT_EQ(sLog, expected);
    EXPECT_EQ(sWindowTitle, "Shell Test");
}

TEST_F(PlatformShellTest, ARendererThatIsNotReadyEndsTheProgramBeforeStartUp)
{
    // The error box must not wait for a click on someone's display.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    sRendererReady = false;
    EXPECT_EQ(Run(), kExitNoRenderer);
    const std::vector<std::string> expected = {"window created", "renderer created", "renderer destroyed",
                                               "deleted"};
    EXPECT_EQ(sLog, expected);
}
// Which frames asked to be presented, and what the renderer answered.
std::vector<bool> sMustPresent;
std::vector<bool> sFrameIsNew;
int sFramesBegun = 0;

void BeginFakeFrame() { ++sFramesBegun; }

bool EndFakeFrame(bool mustPresent)
{
    sMustPresent.push_back(mustPresent);
    const bool isNew = sFrameIsNew[sMustPresent.size() - 1];
    return isNew || mustPresent;
}

// Runs a fixed number of frames; after the third, the window is exposed.
class cRepeatingApplication : public cApplicationBase
{
public:
    static constexpr size_t kFrames = 6;

    cRepeatingApplication() : cApplicationBase("") {}

    bool Render() override
    {
        if (++mFrames == 3)
        {
            SDL_Event exposed = {};
            exposed.type = SDL_WINDOWEVENT;
            exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
            SDL_PushEvent(&exposed);
        }
        if (mFrames == kFrames)
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        return true;
    }

private:
    size_t mFrames = 0;
};

// The renderer says whether a frame differs from the one on screen; the
// shell asks for a frame to be presented anyway after a window event, until
// one has been.
TEST_F(PlatformShellTest, UnchangedFramesArePresentedOnlyAfterAWindowEvent)
{
    sMustPresent.clear();
    sFramesBegun = 0;
    sFrameIsNew = {false, false, false, false, true, false};
    {
        cPlatformShell shell(new cRepeatingApplication(),
                             {&CreateFakeRenderer, &DestroyFakeRenderer, &BeginFakeFrame, &EndFakeFrame});
        ASSERT_EQ(shell.Run(), kExitNormal);
    }
    EXPECT_EQ(sFramesBegun, int(cRepeatingApplication::kFrames));
    // The first frame is always shown (and the window's own show and focus
    // events may ask again before it); the exposure after the third frame
    // asks for the fourth.
    ASSERT_EQ(sMustPresent.size(), cRepeatingApplication::kFrames);
    EXPECT_TRUE(sMustPresent[0]);
    EXPECT_FALSE(sMustPresent[2]);
    EXPECT_TRUE(sMustPresent[3]);
    EXPECT_FALSE(sMustPresent[4]);
    EXPECT_FALSE(sMustPresent[5]);
}

void PushWindowEvent(Uint8 which)
{
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = which;
    SDL_PushEvent(&event);
}

// Stands in for the input manager and feeds the window a short session of
// mouse and keyboard events on its first frame; closes on the second.
class cInputApplication : public cApplicationBase
{
public:
    explicit cInputApplication(cFakeInputTarget& target) : cApplicationBase(""), mTarget(target) {}

    bool Initialise() override
    {
        SetInputTarget(&mTarget);
        return true;
    }
    bool Shutdown() override
    {
        SetInputTarget(nullptr);
        return true;
    }
    bool Update() override
    {
        if (++mFrames == 1)
        {
            // A right drag, then a right double-click's second press.
            PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 100, 100);
            PushMouseMove(130, 90);
            PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 130, 90);
            PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 130, 90);
            PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2, 130, 90);
            // The middle button is no finger.
            PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1, 5, 5);
            // A typed letter, then the right Shift held while the window loses the keyboard.
            PushKey(SDL_KEYDOWN, SDL_SCANCODE_A, 'a');
            PushText("a");
            PushKey(SDL_KEYUP, SDL_SCANCODE_A, 'a');
            PushKey(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT);
            PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        }
        else
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        return true;
    }

private:
    cFakeInputTarget& mTarget;
    int mFrames = 0;
};

TEST_F(PlatformShellTest, TurnsWindowEventsIntoTouchesKeysAndCharacters)
{
    cFakeInputTarget target;
    {
        cPlatformShell shell(new cInputApplication(target),
                             {&CreateFakeRenderer, &DestroyFakeRenderer, nullptr, nullptr});
        ASSERT_EQ(shell.Run(), kExitNormal);
    }
    struct cExpected
    {
        const char* what;
        int id;
        float x, y;
        int scanCode;
        int code;
    };
    const cExpected expected[] = {
        {"began", 1, 100, 100, 0, 0},  {"began", 2, 100, 100, 0, 0},     {"moved", 1, 130, 90, 0, 0},
        {"moved", 2, 70, 110, 0, 0},   {"ended", 1, 130, 90, 0, 0},      {"ended", 2, 70, 110, 0, 0},
        {"key", 1, 0, 0, 0x1E, 'A'},   {"char", 1, 0, 0, 0x1E, 'a'},     {"key", 0, 0, 0, 0x1E, 'A'},
        {"char", 0, 0, 0, 0x1E, 'a'},  {"key", 1, 0, 0, 0x36, 288},      {"release all", 0, 0, 0, 0, 0},
    };
    ASSERT_EQ(target.calls.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
    {
        const cFakeInputTarget::cCall& call = target.calls[i];
        EXPECT_EQ(call.what, expected[i].what) << i;
        EXPECT_EQ(call.id, expected[i].id) << i;
        EXPECT_FLOAT_EQ(call.x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(call.y, expected[i].y) << i;
        EXPECT_EQ(call.scanCode, expected[i].scanCode) << i;
        EXPECT_EQ(call.code, expected[i].code) << i;
    }
}
} // namespace
