#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

#include "BuildPaths.h"
#include "SdlEvents.h"
#include "app/ProgramRenderer.h"
#include "app/QuilwrightApplication.h"
#include "platform/PlatformShell.h"
#include "ui/Widget.h"

// The program decides its data folders once per process, so every test that
// runs the application in-process shares one data home, emptied before each
// run and removed when the test program ends.
inline const std::string& InProcessDataHome()
{
    static const std::string folder = TestScratchFolder() + "/app-data-" + std::to_string(getpid());
    return folder;
}

inline std::string InProcessDocuments() { return InProcessDataHome() + "/Quilwright/Documents"; }

class cInProcessDataCleanup : public ::testing::Environment
{
public:
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(InProcessDataHome(), ignored);
    }
};

inline ::testing::Environment* const gInProcessDataCleanup =
    ::testing::AddGlobalTestEnvironment(new cInProcessDataCleanup());

// Headless drivers and the shared data home; the user's own folders stay untouched.
inline void SetInProcessEnvironment()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("XDG_DATA_HOME", InProcessDataHome().c_str(), 1);
}

// A finger's tap in the middle of the widget, as the window's events.
inline void ClickWidget(cWidget* widget)
{
    const cRect& r = widget->GetRect();
    const int x = int((r.xMin + r.xMax) * 0.5f), y = int((r.yMin + r.yMax) * 0.5f);
    PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, x, y);
    PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, x, y);
}

// A first start: nothing in the documents folder, and no mark an earlier
// test's start left in the temporary one (a load it closed during).
inline void EmptyInProcessDocuments()
{
    std::error_code ignored;
    std::filesystem::remove_all(InProcessDocuments(), ignored);
    std::filesystem::remove_all(InProcessDataHome() + "/Quilwright/Temp", ignored);
    std::filesystem::create_directories(InProcessDocuments(), ignored);
}

// The start-up cover takes every input until it has faded out: at once for a
// user who has seen the intro help three times and has no recent project,
// within this many frames.
constexpr int kStartupCoverFrames = 30;

// Empty documents but for the settings of such a user.
inline void EmptyInProcessDocumentsOfAReturningUser()
{
    EmptyInProcessDocuments();
    std::ofstream(InProcessDocuments() + "/GlobalSettings.dat")
        << "<Root FileVersion=\"1.000000\" InstallerVersion=\"9\" IntroHelp=\"3\" RecentProject=\"\"/>";
}

// The real application, whose frames a test script sees after each Update;
// it closes after the given number of frames, as the close button would.
class cScriptedApplication : public cQuilwrightApplication
{
public:
    using tScript = std::function<void(cScriptedApplication& application, int frame)>;

    cScriptedApplication(int frames, tScript script, int argumentCount = 0, const char* const* arguments = nullptr)
        : cQuilwrightApplication(argumentCount, arguments), mFrames(frames), mScript(std::move(script))
    {
    }

    bool Update() override
    {
        cQuilwrightApplication::Update();
        ++mFrame;
        if (mScript)
            mScript(*this, mFrame);
        if (mFrame == mFrames)
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        return true;
    }

protected:
    // Scripted runs count their frames from the core's start; the
    // installer page is tested on its own.
    cInstallerPage* CreateInstallerPage() override { return nullptr; }

private:
    int mFrames;
    int mFrame = 0;
    tScript mScript;
};

// Runs the application through its window and frame loop until it closes;
// the shell deletes it. Returns the exit status.
inline int RunInProcess(cQuilwrightApplication* application)
{
    SetInProcessEnvironment();
    cPlatformShell shell(application, GetProgramRendererHooks());
    return shell.Run();
}
