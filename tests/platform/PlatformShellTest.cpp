#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ApplicationBase.h"
#include "platform/PlatformShell.h"

namespace
{
std::vector<std::string> sLog;
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

    void HandleWindowCreated(cOsWindow*) override { sLog.push_back("window created"); }
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
        sRendererReady = true;
    }

    int Run()
    {
        cPlatformShell shell(new cLoggingApplication(), {&CreateFakeRenderer, &DestroyFakeRenderer});
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
} // namespace
