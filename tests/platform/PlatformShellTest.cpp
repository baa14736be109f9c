#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

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
double Seconds(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// When each frame was drawn, and the main thread's processor time by then.
std::vector<double> sFrameTimes;
std::vector<double> sFrameCpuTimes;

// Runs at 50 frames per second and closes after a number of frames.
class cTimedApplication : public cApplicationBase
{
public:
    static constexpr size_t kFrames = 20;

    cTimedApplication() : cApplicationBase("") { mFramesPerSecond = 50.0f; }

    bool Render() override
    {
        sFrameTimes.push_back(Seconds(CLOCK_MONOTONIC));
        sFrameCpuTimes.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID));
        if (sFrameTimes.size() == kFrames)
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        return true;
    }
};

// A busy machine can only make frames later and leave the waiting thread
// less time to spin, so both bounds hold under load too.
TEST_F(PlatformShellTest, PacesFramesAtTheApplicationsRateAndSleepsMostOfTheWait)
{
    sFrameTimes.clear();
    sFrameCpuTimes.clear();
    {
        cPlatformShell shell(new cTimedApplication(), {&CreateFakeRenderer, &DestroyFakeRenderer});
        ASSERT_EQ(shell.Run(), kExitNormal);
    }
    ASSERT_EQ(sFrameTimes.size(), cTimedApplication::kFrames);
    // The first frame starts at once; carried lag may pull later frames in
    // by up to two periods, never more.
    const double period = 1.0 / 50.0;
    const double wall = sFrameTimes.back() - sFrameTimes.front();
    EXPECT_GE(wall, (double(cTimedApplication::kFrames - 1) - 2.0) * period);
    // Of each 20 ms wait, all but the last 5 ms or so is slept.
    const double cpu = sFrameCpuTimes.back() - sFrameCpuTimes.front();
    EXPECT_LT(cpu, 0.6 * wall) << "processor time " << cpu << " s in " << wall << " s";
}
} // namespace
