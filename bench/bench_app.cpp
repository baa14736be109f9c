// The application shell: the start of the program to its first drawn frame
// (offscreen video, dummy audio; goal under 0.5 s), with each step of stage 2
// reported as its share of that stage; the loader's part of a start, timed
// as the program refusing a window; one frame of Update and Render on the
// running program with the progress overlay up (goal under 1 % of the
// 16.7 ms frame); frames of the main screen on a renderer that draws
// nothing, its busiest (menu open, sixteen moving levels, the song playing)
// and with the keyboard open (goal 2 ms of CPU each); a frame of each setup
// page with 64 MIDI ports and every mapping row (goal under 2 % of the
// frame), and the device page's rebuild after a port change, reported; the
// exit auto-save of a saved, changed project holding the imported reference
// song, reported.

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BenchDrawing.h"
#include "app/MainScreenEngine.h"
#include "app/MainUI.h"
#include "app/ProgramRenderer.h"
#include "app/WidgetKeyboard.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStartup.h"
#include "app/WidgetStatusBar.h"
#include "app/QuilwrightApplication.h"
#include "app/SetupPanelDebug.h"
#include "app/SetupPanelDockline.h"
#include "app/SetupPanelMIDI.h"
#include "app/SetupPanelMIDIDevicePage.h"
#include "app/SetupPanelMIDIMappingPage.h"
#include "app/SetupUI.h"
#include "audio/InstrumentPackageRegistry.h"
#include "base/File.h"
#include "base/ProjectModified.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "midi/MIDIManager.h"
#include "mixer/MixingDeskPackage.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "platform/PlatformShell.h"
#include "platform/os/OsMIDI.h"
#include "project/RecordingBrowserHost.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Sequencer.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetProgress.h"
#include "ui/WidgetTabView.h"

namespace
{
using tClock = std::chrono::steady_clock;

std::string ProgramFolder()
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    self[length > 0 ? length : 0] = '\0';
    return std::filesystem::path(self).parent_path().string();
}

// An installed program with an empty data folder of its own, headless.
void PrepareEnvironment()
{
    static const std::string data = [] {
        const std::string folder = "/tmp/bench-app-" + std::to_string(getpid());
        std::filesystem::create_directories(folder + "/Quilwright/Documents");
        std::ofstream(folder + "/Quilwright/Documents/GlobalSettings.dat")
            << "<Root FileVersion=\"1.000000\" InstallerVersion=\"9\"/>";
        return folder;
    }();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
}

void Quit()
{
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

std::map<std::string, double> sStepSeconds;
std::vector<std::string> sStepOrder;

void RecordStep(const char* step, double seconds)
{
    if (!sStepSeconds.count(step))
        sStepOrder.push_back(step);
    sStepSeconds[step] += seconds;
}

// Closes after its first frame, noting when that frame was drawn.
class cFirstFrameApplication : public cQuilwrightApplication
{
public:
    explicit cFirstFrameApplication(tClock::time_point& drawn) : cQuilwrightApplication(0, nullptr), mDrawn(drawn) {}

    bool Render() override
    {
        const bool drawn = cQuilwrightApplication::Render();
        if (!mDone)
        {
            mDrawn = tClock::now();
            mDone = true;
            Quit();
        }
        return drawn;
    }

private:
    tClock::time_point& mDrawn;
    bool mDone = false;
};

void BM_StartToFirstFrame(benchmark::State& state)
{
    PrepareEnvironment();
    sStepSeconds.clear();
    sStepOrder.clear();
    cQuilwrightApplication::SetStepObserver(&RecordStep);
    for (auto _ : state)
    {
        tClock::time_point drawn;
        const tClock::time_point start = tClock::now();
        cPlatformShell shell(new cFirstFrameApplication(drawn), GetProgramRendererHooks());
        shell.Run();
        state.SetIterationTime(std::chrono::duration<double>(drawn - start).count());
    }
    cQuilwrightApplication::SetStepObserver(nullptr);
    double stage = 0.0;
    for (const auto& [step, seconds] : sStepSeconds)
        stage += seconds;
    state.counters["stage 2 ms"] = stage * 1000.0 / double(state.iterations());
    for (const std::string& step : sStepOrder)
        state.counters[step + " %"] = stage > 0.0 ? 100.0 * sStepSeconds[step] / stage : 0.0;
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// From the exec to the end of a program that cannot have a window: the
// loader, the static start and SDL's start-up, the part of a start the
// in-process measure above leaves out.
void BM_ProgramStartToARefusedWindow(benchmark::State& state)
{
    std::string program = ProgramFolder() + "/quilwright";
    std::string video = "SDL_VIDEODRIVER=no-such-video-driver";
    std::string audio = "SDL_AUDIODRIVER=dummy";
    char* argv[] = {program.data(), nullptr};
    char* envp[] = {video.data(), audio.data(), nullptr};
    // Its message about the window is expected.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    for (auto _ : state)
    {
        pid_t pid = -1;
        if (posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, envp) != 0)
        {
            state.SkipWithError("the program is not built");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&quiet);
}
BENCHMARK(BM_ProgramStartToARefusedWindow)->UseRealTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Long work behind the overlay, until the program closes.
class cEndlessJob : public cWidgetProgress::cJob
{
public:
    void Run(JobQueue::cJobQueue*) override
    {
        while (!mCancel.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

// Times each frame's Update and Render with the progress overlay up (title,
// spinner, status line, bar and Cancel over the dimmed screen), the pacing
// left out.
class cFrameTimingApplication : public cQuilwrightApplication
{
public:
    explicit cFrameTimingApplication(benchmark::State& state) : cQuilwrightApplication(0, nullptr), mState(state) {}

    bool Update() override
    {
        if (!mOverlayUp)
            ShowOverlay();
        mTiming = !mDone && mState.KeepRunning();
        if (!mTiming && !mDone)
        {
            mDone = true;
            Quit();
        }
        mStart = tClock::now();
        return cQuilwrightApplication::Update();
    }
    bool Render() override
    {
        const bool drawn = cQuilwrightApplication::Render();
        if (mTiming)
            mState.SetIterationTime(std::chrono::duration<double>(tClock::now() - mStart).count());
        return drawn;
    }

private:
    void ShowOverlay()
    {
        cWidgetProgress* overlay = cMainUI::GetInstance()->GetProgress();
        overlay->Setup(int32_t(cWidgetProgress::kFlagCancel) | kDialogueDim);
        overlay->SetName("Mixdown 'Song'");
        cWidgetProgress::SetStatusText("Rendering bar 17 of 64");
        overlay->SetJob(&mJob);
        overlay->Start(cDelegate());
        overlay->SetProgress(0.4f);
        mOverlayUp = true;
    }

    benchmark::State& mState;
    tClock::time_point mStart;
    bool mTiming = false;
    bool mDone = false;
    bool mOverlayUp = false;
    cEndlessJob mJob;
};

void BM_FrameUpdateAndRender(benchmark::State& state)
{
    PrepareEnvironment();
    cPlatformShell shell(new cFrameTimingApplication(state), GetProgramRendererHooks());
    shell.Run();
}
BENCHMARK(BM_FrameUpdateAndRender)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

// The reference song imported into the running program's new project, which
// is saved once; each iteration changes it and times the auto-save the
// program runs as it closes (the project's auto-save files and the settings
// files).
class cExitAutoSaveApplication : public cQuilwrightApplication
{
public:
    explicit cExitAutoSaveApplication(benchmark::State& state) : cQuilwrightApplication(0, nullptr), mState(state) {}

    bool Update() override
    {
        const bool result = cQuilwrightApplication::Update();
        if (!mDone && HasStartedCore())
        {
            mDone = true;
            Measure();
            Quit();
        }
        return result;
    }

private:
    void Measure()
    {
        cProject* project = cProjectList::GetInstance()->GetCurrentProject();
        auto* song = new cMIDIFileSong();
        if (!project || !ReadReferenceSong(*song))
        {
            delete song;
            mState.SkipWithError("the reference song could not be read");
            return;
        }
        cSequencer::GetInstance()->SetTempo(song->tempo);
        ImportMIDIFileSong(song, false);
        if (!project->Save(project->GetPath(), false))
        {
            mState.SkipWithError("the project could not be saved");
            return;
        }
        for (auto _ : mState)
        {
            MarkProjectModified();
            PerformAutoSave();
        }
        if (project->IsModified())
            mState.SkipWithError("the auto-save failed");
    }

    static bool ReadReferenceSong(cMIDIFileSong& song)
    {
        std::ifstream in(std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid", std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
        return !bytes.empty() && cMIDIFileConverter(&song, &file).Read() == 0;
    }

    benchmark::State& mState;
    bool mDone = false;
};

void BM_ExitAutoSaveOfTheReferenceProject(benchmark::State& state)
{
    PrepareEnvironment();
    cPlatformShell shell(new cExitAutoSaveApplication(state), GetProgramRendererHooks());
    shell.Run();
}
BENCHMARK(BM_ExitAutoSaveOfTheReferenceProject)->Iterations(20)->Unit(benchmark::kMillisecond);

// The main UI over the engines with an instrument in every slot, on a
// 1024 x 768 renderer that draws nothing.
class cMainScreen
{
public:
    cMainScreen()
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetFrameTiming(60.0f);
        input.Init();
        manager.Init(&setUp.renderer);
        manager.GetDrawList()->currentMaterial = setUp.skin;
        manager.GetRoot()->SetMaterial(setUp.skin);
        for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            engine.Put(slot, slot == 0 ? engine.mixer : engine.synth);
        ui = std::make_unique<cMainUI>();
        ui->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageInstrument, 1);
    }
    ~cMainScreen()
    {
        ui.reset();
        manager.Shutdown();
    }

    // One frame of the song moving on and every level changing.
    void Frame(int frame)
    {
        gTransport.position = frame * 8;
        for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            engine.At(slot)->Strip().meterLeft = 0.5f + 0.5f * float((frame + slot) % 16) / 16.0f;
        manager.Draw();
    }

    BenchDrawing::cSetUp setUp;
    cInputManager input;
    cWidgetManager manager;
    MainScreenTest::cEngine engine;
    std::unique_ptr<cMainUI> ui;
};

void BM_MainScreenBusiestFrame(benchmark::State& state)
{
    cMainScreen screen;
    cWidgetStatusBar* bar = screen.ui->GetStatusBar();
    bar->GetButton(cWidgetStatusBar::kMenu)->value = 1;
    bar->GetMainMenu()->SetOpen(true);
    bar->GetMainMenu()->SetVisible(true);
    screen.engine.sequencer->Play(0);
    int frame = 0;
    for (int i = 0; i < 30; ++i)
        screen.Frame(frame++);
    const uint64_t before = screen.setUp.renderer.submitted;
    for (auto _ : state)
        screen.Frame(frame++);
    screen.engine.sequencer->Stop();
    state.counters["vertices per frame"] =
        double(screen.setUp.renderer.submitted - before) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_MainScreenBusiestFrame)->Unit(benchmark::kMicrosecond);

void BM_KeyboardOpenFrame(benchmark::State& state)
{
    cMainScreen screen;
    cWidgetKeyboard::cRequest request;
    request.maxLength = 32;
    request.showPath = 1;
    request.title.AssignCStr("Rename ");
    request.text.AssignCStr("snare.wav");
    screen.ui->GetKeyboard()->Prompt(request, cDelegate());
    int frame = 0;
    for (int i = 0; i < 30; ++i)
        screen.Frame(frame++);
    const uint64_t before = screen.setUp.renderer.submitted;
    for (auto _ : state)
        screen.Frame(frame++);
    state.counters["vertices per frame"] =
        double(screen.setUp.renderer.submitted - before) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_KeyboardOpenFrame)->Unit(benchmark::kMicrosecond);

// The start-up cover over the main screen: without an audio device here it
// stands under its audio-failure alert (goal: under 1 % of the frame).
void BM_StartupCoverFrame(benchmark::State& state)
{
    cMainScreen screen;
    screen.ui->GetStartup()->Push();
    int frame = 0;
    for (int i = 0; i < 30; ++i)
        screen.Frame(frame++);
    for (auto _ : state)
        screen.Frame(frame++);
}
BENCHMARK(BM_StartupCoverFrame)->Unit(benchmark::kMicrosecond);

// The project page as "MANAGE" shows it, its meters refreshing (goal: under
// 1 % of the frame).
void BM_ProjectPageFrame(benchmark::State& state)
{
    cMainScreen screen;
    screen.engine.OpenProject();
    screen.ui->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageManage, 0);
    for (int i = 0; i < 30; ++i)
        screen.manager.Draw();
    const tClock::time_point start = tClock::now();
    for (auto _ : state)
        screen.manager.Draw();
    const double seconds = std::chrono::duration<double>(tClock::now() - start).count();
    char share[64];
    std::snprintf(share, sizeof(share), "%.3f %% of a 16.7 ms frame", seconds / double(state.iterations()) * 60.0 * 100.0);
    state.SetLabel(share);
}
BENCHMARK(BM_ProjectPageFrame)->Unit(benchmark::kMicrosecond);

// 64 keyboards the system lists and never opens.
class cManyPorts : public cOsMIDI
{
public:
    void ListInputs(std::vector<std::string>& names) override
    {
        names.clear();
        for (int i = 0; i < 64; ++i)
            names.push_back("Keyboard " + std::to_string(i + 1));
    }
    void ListOutputs(std::vector<std::string>& names) override { names.clear(); }
    std::unique_ptr<cOsMIDIInputPort> OpenInput(int32_t, cOsMIDIReceiver*) override { return nullptr; }
};

// The setup screen over the program's packages and 64 MIDI ports, on the
// null renderer.
class cBenchSetup
{
public:
    enum : int64_t
    {
        kSettings = 0,
        kHelp = 1,
        kInputs = 2,
        kMappings = 3,
        kDebug = 4,
        kCompanion = 5,
    };

    cBenchSetup()
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetFrameTiming(60.0f);
        SetupUIMetrics();
        input.Init();
        manager = std::make_unique<cWidgetManager>();
        manager->Init(&setUp.renderer);
        manager->GetDrawList()->currentMaterial = setUp.skin;
        manager->GetRoot()->SetMaterial(setUp.skin);
        auto* packages = new cInstrumentPackageRegistry();
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new cTriggerPadPackage());
        midi = std::make_unique<cMIDIManager>(std::make_unique<cManyPorts>());
        midi->RequestRescan();
    }
    ~cBenchSetup()
    {
        manager.reset();
        midi.reset();
        delete cInstrumentPackageRegistry::GetInstance();
        ResetDisplayMetrics();
    }

    cWidget* Show(int64_t page)
    {
        manager->GetRoot()->RemoveAllChildren();
        if (page == kDebug || page == kCompanion)
            return Adopt(page == kDebug ? static_cast<cWidget*>(new cSetupPanelDebug()) : new cSetupPanelDockline());
        auto* screen = Adopt(new cSetupUI(browserHost));
        cWidgetTabView* tabs = screen->GetTabView();
        const int32_t tab = page == kSettings ? cSetupUI::kSettingsTab
                            : page == kHelp   ? cSetupUI::kHelpTab
                                              : cSetupUI::kMIDITab;
        tabs->SelectPage(tab, true);
        if (page == kMappings)
        {
            // The selectors answer only with a project open; the page is shown directly.
            auto* midiPage = static_cast<cSetupPanelMIDI*>(tabs->GetPage(cSetupUI::kMIDITab));
            midiPage->GetDevicePage()->SetVisible(false);
            midiPage->GetMappingPage()->SetVisible(true);
        }
        return screen;
    }

    template <class T>
    T* Adopt(T* widget)
    {
        manager->GetRoot()->AddChild(widget);
        widget->Release();
        return widget;
    }

    BenchDrawing::cSetUp setUp;
    cInputManager input;
    std::unique_ptr<cWidgetManager> manager;
    std::unique_ptr<cMIDIManager> midi;
    ProjectTest::cRecordingBrowserHost browserHost;
};

void BM_SetupPageFrame(benchmark::State& state)
{
    cBenchSetup setup;
    setup.Show(state.range(0));
    setup.manager->Draw();
    setup.manager->Draw();
    const tClock::time_point start = tClock::now();
    for (auto _ : state)
        setup.manager->Draw();
    const double seconds = std::chrono::duration<double>(tClock::now() - start).count();
    char share[64];
    std::snprintf(share, sizeof(share), "%.3f %% of a 16.7 ms frame", seconds / double(state.iterations()) * 60.0 * 100.0);
    state.SetLabel(share);
    state.counters["vertices/frame"] = double(setup.setUp.renderer.submitted) / double(state.iterations() + 2);
}
BENCHMARK(BM_SetupPageFrame)
    ->ArgName("page: settings, help, inputs, mappings, debug, companion")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMicrosecond);

// A scan that saw a port come or go: the rows are rebuilt and drawn.
void BM_DevicePageRebuildAfterAPortChange(benchmark::State& state)
{
    cBenchSetup setup;
    cWidget* screen = setup.Show(cBenchSetup::kInputs);
    auto* midiPage = static_cast<cSetupPanelMIDI*>(
        static_cast<cSetupUI*>(screen)->GetTabView()->GetPage(cSetupUI::kMIDITab));
    setup.manager->Draw();
    for (auto _ : state)
    {
        midiPage->GetDevicePage()->ModifyFlags(kWidgetStateDirty, 0, false);
        setup.manager->Draw();
    }
}
BENCHMARK(BM_DevicePageRebuildAfterAPortChange)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
