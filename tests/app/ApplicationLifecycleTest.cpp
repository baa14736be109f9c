#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "AppTestSupport.h"
#include "audio/AudioManager.h"
#include "base/JobQueue.h"
#include "midi/MIDIManager.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/Renderer.h"
#include "ui/WidgetManager.h"
#include "app/MainUI.h"
#include "ui/WidgetProgress.h"

namespace
{
using namespace std::chrono_literals;

// Runs until it is released or asked to stop.
class cBlockingJob : public JobQueue::cJob
{
public:
    void Run(JobQueue::cJobQueue*) override
    {
        started = true;
        while (!mCancel.load() && !release.load())
            std::this_thread::sleep_for(2ms);
        ran = true;
    }

    std::atomic<bool> started{false};
    std::atomic<bool> release{false};
    std::atomic<bool> ran{false};
};

bool WaitFor(const std::atomic<bool>& flag)
{
    for (int i = 0; i < 1000 && !flag.load(); ++i)
        std::this_thread::sleep_for(5ms);
    return flag.load();
}

// What the auto-save writes while there is no project: the preview's chain
// and the MIDI settings.
const char* const kSavedFiles[] = {"AuditionSettings.dat", "MIDISettings.dat"};

bool SettingsWritten()
{
    for (const char* name : kSavedFiles)
        if (!std::filesystem::exists(InProcessDocuments() + "/" + name))
            return false;
    return true;
}

bool NoSettingsWritten()
{
    for (const char* name : kSavedFiles)
        if (std::filesystem::exists(InProcessDocuments() + "/" + name))
            return false;
    return true;
}

void ForgetSettings()
{
    for (const char* name : kSavedFiles)
        std::filesystem::remove(InProcessDocuments() + "/" + name);
}

// Background entry with background audio on and a job running saves nothing
// and keeps playing; with it off the job is cancelled, audio pauses and the
// save follows. Activation resumes.
void EnterTheBackground(cQuilwrightApplication& app)
{
    cAudioManager* audio = cAudioManager::Get();
    {
        SCOPED_TRACE("background audio on, a job running");
        gSettings.backgroundAudio = 1;
        cBlockingJob job;
        ASSERT_TRUE(JobQueue::gJobQueue->AddJob(&job));
        ASSERT_TRUE(WaitFor(job.started));
        ForgetSettings();
        EXPECT_TRUE(app.HandleEnterBackground());
        EXPECT_TRUE(app.IsSuspended());
        EXPECT_FALSE(app.Render());
        EXPECT_FALSE(audio->IsPaused());
        EXPECT_TRUE(NoSettingsWritten());
        job.release = true;
        JobQueue::gJobQueue->WaitUntilIdle();
        EXPECT_TRUE(app.HandleActivate());
        EXPECT_FALSE(app.IsSuspended());
    }
    {
        SCOPED_TRACE("background audio off, a job running");
        gSettings.backgroundAudio = 0;
        cBlockingJob job;
        ASSERT_TRUE(JobQueue::gJobQueue->AddJob(&job));
        ASSERT_TRUE(WaitFor(job.started));
        EXPECT_TRUE(app.HandleEnterBackground());
        EXPECT_TRUE(job.mCancel.load());
        EXPECT_EQ(job.mState.load(), JobQueue::cJob::kStateFinished);
        EXPECT_TRUE(audio->IsPaused());
        EXPECT_TRUE(SettingsWritten());
        EXPECT_TRUE(app.HandleActivate());
        EXPECT_FALSE(audio->IsPaused());
        EXPECT_FALSE(app.IsSuspended());
        EXPECT_TRUE(app.Render());
    }
}

// The operations the window layer never calls on this platform change nothing.
void TheQuietOperations(cQuilwrightApplication& app)
{
    EXPECT_TRUE(app.HandleLowMemory());
    EXPECT_TRUE(app.HandleDeactivate());
    EXPECT_TRUE(app.HandleEnterForeground());
    EXPECT_FALSE(app.IsSuspended());
    EXPECT_FALSE(cAudioManager::Get()->IsPaused());
    EXPECT_FALSE(app.OpenDocument("song.qpk"));
}

// A job behind the overlay.
class cOverlayJob : public cWidgetProgress::cJob
{
public:
    void Run(JobQueue::cJobQueue*) override { thread = std::this_thread::get_id(); }
    std::thread::id thread;
};

// Terminate: MIDI input suspended, queued jobs dropped and the running one
// stopped, audio paused, the settings saved; then the queue takes no job,
// and one started behind the overlay runs at once instead of never.
void Terminate(cQuilwrightApplication& app, cBlockingJob& running, cBlockingJob& queued, cBlockingJob& late,
               cOverlayJob& overlayJob)
{
    ASSERT_TRUE(JobQueue::gJobQueue->AddJob(&running));
    ASSERT_TRUE(WaitFor(running.started));
    ASSERT_TRUE(JobQueue::gJobQueue->AddJob(&queued));
    ForgetSettings();
    EXPECT_TRUE(app.HandleTerminate());
    EXPECT_GE(cMIDIManager::GetInstance()->GetSuspendCount(), 1);
    EXPECT_TRUE(running.ran.load());
    EXPECT_TRUE(cAudioManager::Get()->IsPaused());
    EXPECT_TRUE(SettingsWritten());
    EXPECT_FALSE(JobQueue::gJobQueue->AddJob(&late));
    EXPECT_EQ(JobQueue::gJobQueue->GetPendingCount(), 0u);

    cWidgetProgress* overlay = cMainUI::GetInstance()->GetProgress();
    ASSERT_NE(overlay, nullptr);
    overlay->Setup(0);
    overlay->SetJob(&overlayJob);
    overlay->Start(cDelegate());
    EXPECT_EQ(overlayJob.thread, std::this_thread::get_id());
    EXPECT_EQ(overlayJob.mState.load(), JobQueue::cJob::kStateFinished);
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string GlobalSettingsText() { return ReadFileText(InProcessDocuments() + "/GlobalSettings.dat"); }

// The auto-save records the open project: an unchanged one stays recent; a
// changed one is saved (normally when it never was, else into its auto-save
// files); when that fails the settings stay as they were.
void AutoSaveRecordsTheOpenProject(cQuilwrightApplication& app)
{
    cProject* project = cProjectList::GetInstance()->GetCurrentProject();
    ASSERT_NE(project, nullptr);
    const std::string path = project->GetPath().CStr();
    const std::string folder = InProcessDocuments() + "/" + path;
    gSettings.autoSaved = true;
    gSettings.recentProject = "User/Projects/Song.prj";
    project->SetModified(false);
    app.PerformAutoSave();
    EXPECT_NE(GlobalSettingsText().find("RecentProject=\"User/Projects/Song.prj\" AutoSaved=\"true\""),
              std::string::npos)
        << GlobalSettingsText();
    EXPECT_FALSE(std::filesystem::exists(folder + "/Package.prj"));

    project->SetModified(true);
    app.PerformAutoSave();
    EXPECT_NE(GlobalSettingsText().find("RecentProject=\"" + path + "\" AutoSaved=\"false\""), std::string::npos)
        << GlobalSettingsText();
    EXPECT_TRUE(std::filesystem::exists(folder + "/Package.prj"));
    EXPECT_FALSE(project->IsModified());

    project->SetModified(true);
    app.PerformAutoSave();
    EXPECT_NE(GlobalSettingsText().find("RecentProject=\"" + path + "\" AutoSaved=\"true\""), std::string::npos)
        << GlobalSettingsText();
    EXPECT_TRUE(std::filesystem::exists(folder + "/Package.prj.as"));

    std::filesystem::remove(folder + "/Package.sng.as");
    std::filesystem::create_directories(folder + "/Package.sng.as/in the way");
    // A failed auto-save changes no file and forgets nothing: the project
    // and its last whole auto-save stay offered.
    const std::string autoSaved = ReadFileText(folder + "/Package.prj.as");
    project->SetModified(true);
    app.PerformAutoSave();
    EXPECT_NE(GlobalSettingsText().find("RecentProject=\"" + path + "\" AutoSaved=\"true\""), std::string::npos)
        << GlobalSettingsText();
    EXPECT_EQ(ReadFileText(folder + "/Package.prj.as"), autoSaved);
    EXPECT_TRUE(project->IsModified());
    std::filesystem::remove_all(folder + "/Package.sng.as");
    project->SetModified(false);
}

void Turn(cQuilwrightApplication& app, int32_t code, eOrientation orientation, float width, float height)
{
    SCOPED_TRACE(code);
    app.OnOrientationChanged(code);
    EXPECT_EQ(gRenderer->screen.orientation, orientation);
    const cRect& rect = cWidgetManager::GetInstance()->GetScreenRect();
    EXPECT_FLOAT_EQ(rect.xMax, width);
    EXPECT_FLOAT_EQ(rect.yMax, height);
}

TEST(ApplicationLifecycleTest, BackgroundForegroundTerminateAndOrientationOnTheRunningProgram)
{
    EmptyInProcessDocuments();
    cBlockingJob running, queued, late;
    cOverlayJob overlayJob;
    eOrientation first = kOrientationNone;
    auto* application = new cScriptedApplication(5, [&](cScriptedApplication& app, int frame) {
        switch (frame)
        {
        case 1:
            first = gRenderer->screen.orientation;
            Turn(app, 1, kOrientationQuarter, 768, 1024);
            Turn(app, 4, kOrientationFree, 1024, 768);
            Turn(app, 0, kOrientationUpright, 1024, 768);
            break;
        case 2: EnterTheBackground(app); break;
        case 3: TheQuietOperations(app); break;
        case 4: AutoSaveRecordsTheOpenProject(app); break;
        case 5: Terminate(app, running, queued, late, overlayJob); break;
        default: break;
        }
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    gSettings.Reset();
    EXPECT_EQ(first, kOrientationUpright);
    EXPECT_FALSE(queued.started.load());
    EXPECT_FALSE(late.started.load());
}
} // namespace
