#include "app/QuilwrightApplication.h"

#include <cstdio>
#include <string>

#include "app/AppEditorHost.h"
#include "app/AppIcon.h"
#include "app/AppProjectHost.h"
#include "app/AppMixingDeskHost.h"
#include "app/AppAnalogueSynthHost.h"
#include "app/AppTriggerPadHost.h"
#include "app/FailedOpenAlert.h"
#include "app/GlobalSettings.h"
#include "app/MainUI.h"
#include "app/MIDISettings.h"
#include "app/OrientationHandler.h"
#include "app/SequencerRecordingState.h"
#include "app/TransportReport.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStartup.h"
#include "app/WidgetStatusBar.h"
#include "audio/AudioManager.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/KeyStripDrawer.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/SampleRegistry.h"
#include "audio/ScaleTable.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/Clock.h"
#include "base/FastMath.h"
#include "base/FileSystemRegistry.h"
#include "base/JobQueue.h"
#include "base/MessageQueue.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "base/SettingsFile.h"
#include "base/StaleTemporaries.h"
#include "base/StatusNotice.h"
#include "base/UniqueFileName.h"
#include "editors/PianoRollRenderer.h"
#include "editors/SequencerUI.h"
#include "editors/SongRoll.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "midi/MIDIManager.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "mixer/MixingDeskEditor.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/MixingDeskUI.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "platform/DeviceServices.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "platform/GlobalSettingValues.h"
#include "platform/PlaybackStateService.h"
#include "platform/WebViewService.h"
#include "platform/os/MessageBox.h"
#include "platform/os/Window.h"
#include "project/Pasteboard.h"
#include "project/Project.h"
#include "project/ProjectFolders.h"
#include "project/ProjectList.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/RenderStartup.h"
#include "render/Renderer.h"
#include "render/Texture.h"
#include "sampler/SampleEditAuditionPlayer.h"
#include "sampler/WidgetSampler.h"
#include "sequencer/Sequencer.h"
#include "ui/InputManager.h"
#include "project/ui/WidgetInstaller.h"
#include "project/ui/WidgetOpenURL.h"
#include "ui/InstallerPage.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
cAppProjectHost gAppProjectHost;
cAppEditorHost gAppEditorHost;
cAppTriggerPadHost gAppTriggerPadHost;
cAppMixingDeskHost gAppMixingDeskHost;
cAppAnalogueSynthHost gAppAnalogueSynthHost;

struct cSizeLimits
{
    int32_t minWidth;
    int32_t minHeight;
};

constexpr int32_t kMaxWidth = 4096;
constexpr int32_t kMaxHeight = 2048;
constexpr int32_t kSmallestWidth = 240;
constexpr int32_t kSmallestHeight = 160;
// Warnings blink in the status bar for this long.
constexpr float kWarningSeconds = 4.0f;

cSizeLimits SizeLimitsOfClass(int32_t deviceClass)
{
    switch (deviceClass)
    {
    case kDeviceClassPhone:
        return {480, 320};
    case kDeviceClassTablet:
        return {800, 600};
    default:
        return {800, 540};
    }
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

// ------------------------------------------------------------ stage 1 steps

void SelectUIProfile() { SelectTextureProfiles(gDisplayMetrics.deviceClass); }

void CreateFileSystemRegistry()
{
    if (!gFileSystemRegistry)
        new cFileSystemRegistry();
}

// Starts the "JobQueue" thread.
void CreateJobQueue() { new JobQueue::cJobQueue(); }

void MountFileSystems()
{
    MountProgramFileSystems();
    // The studio runs on without a writable data folder, but says so: what
    // it would save could not be kept.
    if (const char* problem = GetDataFolderProblem(); problem[0] != 0)
        ShowMessageBox("Quilwright", problem, eMessageBoxIcon::kWarning);
    // New sample names must not shadow a loaded sample.
    SetSampleLoadedLookup(&cSampleRegistry::IsLoaded);
}

// What saves killed in an earlier run left: their interrupted commits are
// finished and the temporaries no live writer holds are removed, before
// anything is read.
void SweepDataFolders()
{
    MarkProgramStart();
    SweepStaleTemporaries(GetDocumentsFolderPath());
    SweepStaleTemporaries(GetTempFolderPath());
}

void CreateInputManager()
{
    if (!gInputManager)
        new cInputManager();
    gInputManager->Init();
}

// At rest and fully charged: this platform has neither sensors nor battery.
void CreateDeviceStatus()
{
    if (!cBatteryStatus::GetInstance())
        new cBatteryStatus();
    new cDeviceMotion();
}

// A missing atlas leaves its material untextured; start-up goes on.
void CreateMaterialRegistry()
{
    if (!gMaterialRegistry)
        CreateMaterials(gDisplayMetrics.deviceClass);
}

void CreateFontRegistry()
{
    if (!gFontRegistry)
        CreateFonts();
}

cMaterial* FindTexturedColour() { return gMaterialRegistry ? gMaterialRegistry->Find("TexturedColour") : nullptr; }

// Registers as the input manager's handler; draws the frame on the renderer.
void CreateWidgetManager()
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    if (!ui)
        ui = new cWidgetManager();
    if (gRenderer && ui->Init(gRenderer))
        ui->GetDrawList()->currentMaterial = FindTexturedColour();
}

void GiveRootItsMaterial()
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    if (ui->GetRoot())
        ui->GetRoot()->SetMaterial(FindTexturedColour());
}

// Opens no device yet: the first scan comes in stage 2.
void CreateMIDIManager()
{
    if (!cMIDIManager::GetInstance())
        new cMIDIManager();
}

// Missing or damaged files leave the defaults, or the backup's values.
void LoadGlobalSettings()
{
    if (!cGlobalSettings::GetInstance())
        new cGlobalSettings();
    cGlobalSettings::GetInstance()->Load();
}

void CreateWebServices()
{
    if (!gWebViewService)
        new cWebViewService();
    if (!cEmailService::GetInstance())
        new cEmailService();
}

void CreateMessageQueue()
{
    if (!gMessageQueue)
        new cMessageQueue();
}

// The installer writes them again; they may not match what it installs.
// Temporaries of their saves are the start-up sweep's, which knows them.
void DeleteMIDISettingsFiles()
{
    File::cFileSystem* documents = gFileSystemRegistry->FindFileSystem("Doc");
    if (!documents)
        return;
    for (const char* suffix : {"", ".bak"})
    {
        cGenStringFixed<64> path;
        path.Printf("%s%s", cMIDISettings::kFileName, suffix);
        documents->Delete(path);
    }
}

// ------------------------------------------------------------ stage 2 steps

void SaveInstalledVersion()
{
    cGlobalSettings* settings = cGlobalSettings::GetInstance();
    settings->SetInstalled();
    settings->Save();
}

void CreateNetworkStatus()
{
    if (!cNetworkStatus::GetInstance())
        new cNetworkStatus();
}

void CreateShareService()
{
    if (!cShareServiceStub::GetInstance())
        new cShareServiceStub();
}

void CreateDefaultMaterial()
{
    if (!gDefaultMaterial)
        gDefaultMaterial = new cMaterial(kBlendOff);
}

void CreateInstrumentSlotTable() { new cInstrumentSlotTable(); }

void BuildSoundTables()
{
    // A table that is missing or damaged leaves its wave silent.
    BuildWaveTables();
    BuildShapeTables();
    if (!cScaleTable::GetInstance())
        new cScaleTable();
}

cSequencerRecordingState gSequencerRecordingState;

// Its song starts empty. The recording marker reads it from here on.
void CreateSequencer()
{
    if (!cSequencer::GetInstance())
        new cSequencer();
    SetRecordingStateSource(&gSequencerRecordingState);
}

void CreateProjectList()
{
    if (!cProjectList::GetInstance())
        new cProjectList();
}

void CreatePlaybackStateService()
{
    if (!gPlaybackStateService)
        new cPlaybackStateService();
}

// The audio thread runs from here on. A failed start leaves the manager
// uninitialised with its reason stored; the program goes on.
void StartAudioManager()
{
    cAudioManager* audio = cAudioManager::Get();
    if (!audio)
        audio = new cAudioManager();
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    settings.sampleRate = 44100.0f;
    settings.sampleFormat = kAudioFormatS16;
    settings.channels = 2;
    settings.bufferLatency = gSettings.bufferLatency;
    settings.audioQuality = gSettings.audioQuality;
    audio->Init(settings);
}

// The status bar, the main window and the shared dialogues; the metrics of
// the device class come first.
void CreateMainUI()
{
    if (!cMainUI::GetInstance())
        new cMainUI();
    // Project jobs run behind its progress overlay.
    gAppProjectHost.SetOverlay(cMainUI::GetInstance()->GetProgress());
    SetEditorHost(&gAppEditorHost);
    // The pad editor's messages, dialogues and jobs go through it too.
    SetTriggerPadUIHost(&gAppTriggerPadHost);
    SetMixingDeskUIHost(&gAppMixingDeskHost);
    // The synthesizer editor names presets on its keyboard and loads samples
    // through the shared browser.
    SetAnalogueSynthUIHost(&gAppAnalogueSynthHost);
    // The sequencer page is the main window's first; "MainWin" holds it.
    auto* sequencerPage = new cSequencerUI();
    cMainUI::GetInstance()->SetSequencerPage(sequencerPage);
    gAppProjectHost.SetSequencerPage(sequencerPage);
    // The instrument properties change the song's instruments through it.
    cMainUI::GetInstance()->GetMainMenu()->SetTrackCommands(sequencerPage->GetSongRoll());
    sequencerPage->Release();
}

// The instrument packages join it as they are built: the synthesizer's,
// the mixing desk's, the pads'.
void CreateInstrumentPackages()
{
    if (!cInstrumentPackageRegistry::GetInstance())
        new cInstrumentPackageRegistry();
    // The packages that show a keyboard draw it through the piano roll's renderer.
    SetKeyStripDrawerFactory(&cPianoRollRenderer::Create);
    SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
    cInstrumentPackageRegistry::GetInstance()->AddPackage(new cAnalogueSynthPackage());
    // The mixing desk's package builds the desk page as it is made.
    InstallMixingDeskEditorFactory();
    cInstrumentPackageRegistry::GetInstance()->AddPackage(new cMixingDeskPackage());
    // The pad package builds its editor page as it is made.
    InstallTriggerPadEditorFactory();
    cInstrumentPackageRegistry::GetInstance()->AddPackage(new cTriggerPadPackage());
    // Each package's editor page joins the main window, in package order.
    for (cInstrumentPackage* package = cInstrumentPackageRegistry::GetInstance()->GetFirst(); package;
         package = package->GetNext())
        cMainUI::GetInstance()->AddPage(package->GetUserInterface());
}

// The units build their editors through the editor library.
void CreateEffectRegistry()
{
    InstallEffectEditorFactory();
    if (!gEffectRegistry)
        RegisterEffectPackages();
}

// After the packages, whose controller maps it holds, and before the first
// scan, which opens the ports it enables.
void LoadMIDISettings()
{
    if (!cMIDISettings::GetInstance())
        new cMIDISettings();
    cMIDISettings::GetInstance()->Load();
}

// MIDI input reaches the audio thread from here on.
void StartMIDIInput()
{
    cMIDIManager* midi = cMIDIManager::GetInstance();
    cAudioManager::Get()->SetMIDIInput(midi);
    midi->RequestRescan();
}

// Its chain comes back from the last run; a missing file leaves it empty.
void CreateAuditionPlayer()
{
    if (!gAuditionPlayer)
        new cAuditionPlayer();
    gAuditionPlayer->SerialiseSettings(true);
    SetSampleEditAuditionPlayer(gAuditionPlayer);
}

// The new untitled project's mixer plays on "MainOut" and MIDI input
// reaches its instruments.
void OpenNewProject()
{
    SetProjectHost(&gAppProjectHost);
    if (cProject* project = cProjectList::GetInstance()->NewProject())
        project->Activate();
}

// The open project's folder stays, empty as it is until its first save.
void DeleteUnusedUntitledProjects()
{
    const cProject* project = cProjectList::GetInstance()->GetCurrentProject();
    DeleteEmptyUntitledProjects(project ? project->GetPath() : cGenString());
}

// The cover decides at the next frame what the user meets first.
void PushStartupPage()
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->GetStartup()->Push();
}

// Its network changes reach the server, which does nothing with them.
void CreateDocklineServer()
{
    if (!cDocklineServer::GetInstance())
        new cDocklineServer();
    cNetworkStatus::GetInstance()->SetChangeDelegate(
        cDelegate(cDocklineServer::GetInstance(), &cDocklineServer::OnNetworkChanged));
}

void CreatePasteboard()
{
    if (!cPasteboard::GetInstance())
        new cPasteboard();
}

void DestroyPasteboard() { delete cPasteboard::GetInstance(); }

// ------------------------------------------------------------ auto-save steps

// A modified project that was saved before gets its auto-save files beside
// them; one never saved gets a normal save. The settings keep naming the
// project (and whether it was auto-saved) while the save runs: a save is
// whole or not there, so a save that fails or is killed leaves the next
// start opening the project as it last was, never a new one. Only a save
// that succeeds changes them.
void AutoSaveProject()
{
    cGlobalSettings* settings = cGlobalSettings::GetInstance();
    cProjectList* projects = cProjectList::GetInstance();
    cProject* project = projects ? projects->GetCurrentProject() : nullptr;
    if (!settings || !project)
        return;
    settings->Save();
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!project->IsModified() || project->GetPath().IsEmpty() || !documents)
        return;
    cGenStringFixed<260> saved(project->GetPath());
    PathAppend(saved, cGenString("Package.prj"));
    const bool autoSave = documents->Exists(saved);
    if (!project->Save(project->GetPath(), autoSave))
        return;
    gSettings.autoSaved = autoSave;
    settings->SetRecentProject(project->GetPath().CStr());
    settings->Save();
}

// ----------------------------------------------------------- shutdown steps

// The project leaves the output and MIDI input before anything it plays goes.
void DestroyProjectList()
{
    delete cProjectList::GetInstance();
    SetProjectHost(nullptr);
}

void DestroyAuditionPlayer()
{
    SetSampleEditAuditionPlayer(nullptr);
    delete gAuditionPlayer;
}

void DestroyEffectRegistry() { DeleteEffectPackages(); }

// The instruments go before the packages that made them.
void DestroyInstrumentSlotTable()
{
    if (cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance())
    {
        slots->DestroyAll();
        delete slots;
    }
}

// Their editor pages leave the main window first.
void DestroyInstrumentPackages()
{
    if (cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance())
    {
        if (cMainUI* ui = cMainUI::GetInstance())
            for (cInstrumentPackage* package = packages->GetFirst(); package; package = package->GetNext())
                ui->RemovePage(package->GetUserInterface());
        packages->DeleteAll();
        delete packages;
    }
    SetKeyStripDrawerFactory(nullptr);
    SetAnalogueSynthEditorFactory(nullptr);
    SetMixingDeskEditorFactory(nullptr);
}

void DestroyScaleTable() { delete cScaleTable::GetInstance(); }

void DestroyMainUI()
{
    gAppProjectHost.SetSequencerPage(nullptr);
    SetEditorHost(nullptr);
    gAppProjectHost.SetOverlay(nullptr);
    SetTriggerPadUIHost(nullptr);
    SetMixingDeskUIHost(nullptr);
    SetAnalogueSynthUIHost(nullptr);
    delete cMainUI::GetInstance();
}

void FreeSoundTables()
{
    FreeWaveTables();
    FreeShapeTables();
}

// The audio thread lets go of MIDI input before it goes away.
void DestroyMIDIManager()
{
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetMIDIInput(nullptr);
    delete cMIDIManager::GetInstance();
}

// Nothing is saved here: the auto-save at terminate was the last save.
void DestroyMIDISettings() { delete cMIDISettings::GetInstance(); }

// Stops the audio thread and releases the device.
void DestroyAudioManager()
{
    if (cAudioManager* audio = cAudioManager::Get())
    {
        audio->Shutdown();
        delete audio;
    }
}

void DestroyPlaybackStateService() { delete gPlaybackStateService; }

// Nothing plays the song any more.
void DestroySequencer()
{
    SetRecordingStateSource(nullptr);
    delete cSequencer::GetInstance();
}

void DestroyWidgetManager()
{
    if (cWidgetManager* ui = cWidgetManager::GetInstance())
    {
        ui->Shutdown();
        delete ui;
    }
}

void DestroyEmailService() { delete cEmailService::GetInstance(); }

void DestroyWebViewService() { delete gWebViewService; }

void DestroyDocklineServer() { delete cDocklineServer::GetInstance(); }

void DestroyNetworkStatus() { delete cNetworkStatus::GetInstance(); }

// Its texture reference goes with it.
void DestroyDefaultMaterial()
{
    delete gDefaultMaterial;
    gDefaultMaterial = nullptr;
}

void DestroyShareService() { delete cShareServiceStub::GetInstance(); }

void DestroyDeviceMotion() { delete cDeviceMotion::GetInstance(); }

void DestroyBatteryStatus() { delete cBatteryStatus::GetInstance(); }

void DestroyInputManager() { delete gInputManager; }

void DestroyMessageQueue() { delete gMessageQueue; }

void DestroyOrientationHandler() { delete cOrientationHandler::GetInstance(); }

// Nothing is saved here either.
void DestroyGlobalSettings() { delete cGlobalSettings::GetInstance(); }

void DestroyFileSystems() { ShutdownProgramFileSystems(); }

// Stops its thread after the job it is running.
void DestroyJobQueue() { delete JobQueue::gJobQueue; }

void UnbindTextureUnit()
{
    if (gRenderer)
        gRenderer->BindTextureIfDifferent(nullptr, kSamplingLinear, true);
}

void DestroyMaterialRegistry() { delete gMaterialRegistry; }

void DestroyFontRegistry() { delete gFontRegistry; }

// Whatever is still loaded is listed; nothing is freed here.
void DumpResources()
{
    cResource<cTexture>::DumpAll();
    cSampleRegistry::DumpAll();
}

// Last: the registry answers for its samples as long as it may hold any,
// through the job queue's last job and the final listing.
void RemoveSampleLoadedLookup() { SetSampleLoadedLookup(nullptr); }
} // namespace

cQuilwrightApplication::cQuilwrightApplication(int argumentCount, const char* const* arguments)
    : cApplicationBase(argumentCount, arguments)
{
    InitDeviceClass();
    mName = "Quilwright";
    mVersion = "1.42";
    mTitle.Printf("%s V%s", mName.CStr(), mVersion.CStr());
    mResizable = 1;
    mWindowWidth = 480;
    mWindowHeight = 320;
    if (gDisplayMetrics.deviceClass != kDeviceClassPhone)
    {
        mWindowWidth = 1024;
        mWindowHeight = 768;
    }
    mFramesPerSecond = 60.0f;
}

cQuilwrightApplication::~cQuilwrightApplication() = default;

cApplicationBase* cQuilwrightApplication::Create(int argumentCount, const char* const* arguments)
{
    return new cQuilwrightApplication(argumentCount, arguments);
}

// A window without its icon still works: the failure is only logged.
void cQuilwrightApplication::HandleWindowCreated(cOsWindow* window)
{
    if (!window->SetIcon(AppIcon::kPixels, AppIcon::kWidth, AppIcon::kHeight))
        std::fprintf(stderr, "Couldn't set the window icon: %s\n", cOsWindow::GetLastError());
}

// Start-up stage 1, in this order: 1 the device-class UI profile; 2 the
// file-system registry; 3 the job queue; 4 the mounts, and the data folders
// swept of what killed saves left; 5 the input manager;
// 6 the battery status and device motion; 7 the materials; 8 the fonts;
// 9 the widget manager; 10 the frame timing; 11 the root container's
// material; 12 the MIDI manager; 13 the global settings; 14 the web-view and
// e-mail services; 15 the orientation handler; 16 the message queue; 17 the
// installer decision, starting stage 2 at once or after the installer;
// 18 the suspended flag cleared.
bool cQuilwrightApplication::Initialise()
{
    SelectUIProfile();
    CreateFileSystemRegistry();
    CreateJobQueue();
    MountFileSystems();
    SweepDataFolders();
    CreateInputManager();
    CreateDeviceStatus();
    CreateMaterialRegistry();
    CreateFontRegistry();
    CreateWidgetManager();
    SetFrameTiming(mFramesPerSecond);
    GiveRootItsMaterial();
    CreateMIDIManager();
    LoadGlobalSettings();
    CreateWebServices();
    CreateOrientationHandler();
    CreateMessageQueue();
    DecideInstaller();
    mSuspended = false;
    return true;
}

namespace
{
cQuilwrightApplication::tStepObserver sStepObserver = nullptr;
}

void cQuilwrightApplication::SetStepObserver(tStepObserver observer) { sStepObserver = observer; }

template <class F>
void cQuilwrightApplication::Step(const char* name, F&& step)
{
    const int64_t start = sStepObserver ? GetTicks() : 0;
    step();
    if (sStepObserver)
        sStepObserver(name, double(GetTicks() - start) * GetMillisecondsPerTick() * 0.001);
}

// Start-up stage 2, in this order: 1 the installer version saved; 2 the
// network status; 3 the instrument slot table; 4 the share service; 5 the
// default material; 6 the wave, shaper and scale tables; 7 the sequencer; 8
// the project list; 9 the playback-state service; 10 the audio manager; 11 the
// main UI (until there is one, the UI metrics and the progress overlay); 12
// the instrument packages; 13 the effect registry; 14 the MIDI settings; 15
// MIDI input started with the first device scan; 16 the audition player; 17 a
// new project, activated; 18 the companion server; 19 the pasteboard; 20 the
// suspended flag cleared once audio runs; 21 the empty untitled projects
// deleted; 22 the start-up page; 23 the command-line documents.
bool cQuilwrightApplication::StartCore()
{
    mCoreStarted = true;
    Step("installer version saved", SaveInstalledVersion);
    Step("network status", CreateNetworkStatus);
    Step("instrument slot table", CreateInstrumentSlotTable);
    Step("share service", CreateShareService);
    Step("default material", CreateDefaultMaterial);
    Step("wave, shaper and scale tables", BuildSoundTables);
    Step("sequencer", CreateSequencer);
    Step("project list", CreateProjectList);
    Step("playback-state service", CreatePlaybackStateService);
    Step("audio manager", StartAudioManager);
    Step("main UI", CreateMainUI);
    Step("instrument packages", CreateInstrumentPackages);
    Step("effect registry", CreateEffectRegistry);
    Step("MIDI settings", LoadMIDISettings);
    Step("MIDI input and first scan", StartMIDIInput);
    Step("audition player", CreateAuditionPlayer);
    Step("new project", OpenNewProject);
    Step("companion server", CreateDocklineServer);
    Step("pasteboard", CreatePasteboard);
    Step("suspended flag", [this] { ClearSuspendedOnceAudioRuns(); });
    Step("empty untitled projects", DeleteUnusedUntitledProjects);
    Step("start-up page", PushStartupPage);
    Step("command-line documents", [this] { OpenCommandLineDocuments(); });
    return true;
}

// The first update sets the first orientation.
void cQuilwrightApplication::CreateOrientationHandler()
{
    new cOrientationHandler(cDelegate(this, &cQuilwrightApplication::OnOrientationChanged));
    cOrientationHandler::GetInstance()->Update();
}

void cQuilwrightApplication::OnOrientationChanged(int32_t code)
{
    static constexpr float kAngles[] = {0.0f, kHalfPi, 2.0f * kHalfPi, -kHalfPi, 0.0f};
    if (!gRenderer)
        return;
    if (code >= kOrientationUpright && code <= kOrientationFree && code != gRenderer->screen.orientation)
        gRenderer->SetOrientation(kAngles[code], eOrientation(code), false);
    if (cWidgetManager* ui = cWidgetManager::GetInstance())
        ui->SetScreenRect({0.0f, 0.0f, gRenderer->screen.orientedWidth, gRenderer->screen.orientedHeight});
}

// A stored version below 9 means content is missing or stale: the installer
// runs first. A version lost to a damaged settings file still runs it, but
// the MIDI settings, which may well be good, are kept.
void cQuilwrightApplication::DecideInstaller()
{
    cGlobalSettings* settings = cGlobalSettings::GetInstance();
    if (!settings->IsInstallerNeeded())
    {
        StartCore();
        return;
    }
    if (settings->GetLastRead() != eSettingsRead::kDamaged)
        DeleteMIDISettingsFiles();
    mInstaller = CreateInstallerPage();
    if (!mInstaller)
    {
        StartCore();
        return;
    }
    cWidgetManager::GetInstance()->GetRoot()->Push(mInstaller, 0, 0);
}

cInstallerPage* cQuilwrightApplication::CreateInstallerPage()
{
    const std::string archive = std::string(GetResourceFolderPath()) + "/Install.zip";
    return new cWidgetInstaller(archive.c_str());
}

// True while the installer still shows.
bool cQuilwrightApplication::StartCoreOnceInstalled()
{
    if (!mInstaller)
        return false;
    if (mInstaller->IsDone())
    {
        cWidgetManager::GetInstance()->GetRoot()->Pop(mInstaller);
        ReleaseInstaller();
        StartCore();
    }
    return true;
}

// A program closed during the installation still holds the page.
void cQuilwrightApplication::ReleaseInstaller()
{
    if (mInstaller)
        mInstaller->Release();
    mInstaller = nullptr;
}

void cQuilwrightApplication::ClearSuspendedOnceAudioRuns()
{
    if (cAudioManager::Get()->IsInitialised())
        mSuspended = false;
}

void cQuilwrightApplication::OpenCommandLineDocuments()
{
    for (int i = 0; i < GetArgumentCount(); ++i)
    {
        const char* argument = GetArgument(i);
        if (argument[0] != '-' && OpenDocument(argument))
            return;
    }
}

// Documents are opened by the main UI's open-file page.
bool cQuilwrightApplication::OpenDocument(const char* path)
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui && ui->GetOpenURL()->OpenFile(path);
}

// Deletes the singletons in this order, each only when it exists: 1 the
// pasteboard; 2 the project list; 3 the audition player; 4 the instrument slot
// table; 5 the effect registry; 6 the instrument packages; 7 the scale table;
// 8 the wave and shaper tables; 9 the main UI (until there is one, the
// progress overlay); 10 the MIDI manager; 11 the MIDI settings; 12 the audio
// manager; 13 the playback-state service; 14 the sequencer; 15 the widget
// manager; 16 the e-mail service; 17 the web-view service; 18 the companion
// server; 19 the network status; 20 the default material; 21 the share
// service; 22 the device motion; 23 the battery status; 24 the input manager;
// 25 the message queue; 26 the orientation handler; 27 the global settings; 28
// the file systems; 29 the sine tables; 30 the job queue; 31 the renderer's
// texture unit; 32 the materials; 33 the fonts; 34 what is left of textures
// and samples is listed; 35 the sample registry's name lookup is removed.
bool cQuilwrightApplication::Shutdown()
{
    DestroyPasteboard();
    DestroyProjectList();
    DestroyAuditionPlayer();
    DestroyInstrumentSlotTable();
    DestroyEffectRegistry();
    DestroyInstrumentPackages();
    DestroyScaleTable();
    FreeSoundTables();
    DestroyMainUI();
    DestroyMIDIManager();
    DestroyMIDISettings();
    DestroyAudioManager();
    DestroyPlaybackStateService();
    DestroySequencer();
    ReleaseInstaller();
    DestroyWidgetManager();
    DestroyEmailService();
    DestroyWebViewService();
    DestroyDocklineServer();
    DestroyNetworkStatus();
    DestroyDefaultMaterial();
    DestroyShareService();
    DestroyDeviceMotion();
    DestroyBatteryStatus();
    DestroyInputManager();
    DestroyMessageQueue();
    DestroyOrientationHandler();
    DestroyGlobalSettings();
    DestroyFileSystems();
    FreeFastMathTables();
    DestroyJobQueue();
    UnbindTextureUnit();
    DestroyMaterialRegistry();
    DestroyFontRegistry();
    DumpResources();
    RemoveSampleLoadedLookup();
    return true;
}

bool cQuilwrightApplication::Update()
{
    const double now = GetMilliseconds() / 1000.0;
    mFrameDelta = float(now - mClock);
    mClock = now;
    if (cOrientationHandler* orientation = cOrientationHandler::GetInstance())
        orientation->Update();
    if (StartCoreOnceInstalled())
        return true;
    // Channel lights decay; devices are rescanned every 2 s.
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Update(mFrameDelta);
    cMainUI* ui = cMainUI::GetInstance();
    // A settings file found damaged at start-up is told once the bar exists.
    if (const char* notice = ui ? TakeSettingsDamageNotice() : nullptr)
        ui->ShowTimedMessage(notice, kWarningSeconds, true);
    ShowStatusNotices(ui);
    if (ui)
    {
        // A manual or folder that could not be shown is said, with its address.
        ReportFailedOpens(ui->GetAlert());
        ui->GetStartup()->ShowIntroHelpAfterImport();
    }
    cTransportScreen screen;
    screen.statusBarMode = ui ? ui->GetStatusBar()->GetMode() : cWidgetStatusBar::kModePage;
    // Idle, or no Sample tab on screen, reads as no capture.
    if (ui && ui->GetSampler())
        screen.captureState = ui->GetSampler()->GetSampleMode();
    ReportTransportState(screen);
    return true;
}

// Notices of the engines' own (a bank put back, a save completed) reach the
// bar one at a time, each once the one before has had its time.
void cQuilwrightApplication::ShowStatusNotices(cMainUI* ui)
{
    cGenStringFixed<512> notice;
    if (ui && ui->GetStatusBar()->GetMessageTimer() <= 0.0f && TakeStatusNotice(notice))
        ui->ShowStatusMessage(notice.CStr());
}

bool cQuilwrightApplication::Render()
{
    if (mSuspended)
        return false;
    if (gRenderer)
        gRenderer->Clear(kClearColour | kClearDepth | kClearStencil);
    // Engine notices reach the screen; before the main UI exists the queue is empty.
    if (gMessageQueue)
    {
        cMainUI* ui = cMainUI::GetInstance();
        gMessageQueue->Dispatch(ui ? cDelegate(ui, &cMainUI::HandleMessage) : cDelegate());
    }
    // The widget tree is laid out and drawn, and reaches the renderer in one flush.
    if (cWidgetManager* ui = cWidgetManager::GetInstance())
        ui->Draw();
    return true;
}

void cQuilwrightApplication::HandleResize(bool sizing, int32_t& width, int32_t& height)
{
    if (sizing)
    {
        const cSizeLimits limits = SizeLimitsOfClass(gDisplayMetrics.deviceClass);
        width = Clamp(width, limits.minWidth, kMaxWidth);
        height = Clamp(height, limits.minHeight, kMaxHeight);
    }
    if (width < kSmallestWidth)
        width = kSmallestWidth;
    if (height < kSmallestHeight)
        height = kSmallestHeight;
    if (!gRenderer)
        return;
    gRenderer->SetScreenSize(float(width), float(height));
    if (cWidgetManager* ui = cWidgetManager::GetInstance())
        ui->SetScreenRect({0.0f, 0.0f, gRenderer->screen.orientedWidth, gRenderer->screen.orientedHeight});
}

bool cQuilwrightApplication::HandleLowMemory()
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->ShowTimedMessage("MEMORY LOW - Save your work", kWarningSeconds, true);
    return true;
}

bool cQuilwrightApplication::HandleDeactivate() { return true; }

bool cQuilwrightApplication::HandleActivate()
{
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetPaused(false);
    mSuspended = false;
    return true;
}

bool cQuilwrightApplication::HandleEnterBackground()
{
    mSuspended = true;
    cAudioManager* audio = cAudioManager::Get();
    JobQueue::cJobQueue* jobs = JobQueue::gJobQueue;
    if (!cGlobalSettings::GetInstance() || !audio || !gPlaybackStateService || !cMIDIManager::GetInstance() || !jobs)
        return true;
    if (gSettings.backgroundAudio == 0)
    {
        // Silent in the background: nothing may run beside the save.
        audio->SetPaused(true);
        jobs->CancelAll(false);
        PerformAutoSave();
    }
    else if (jobs->GetPendingCount() == 0)
        PerformAutoSave();
    return true;
}

bool cQuilwrightApplication::HandleEnterForeground() { return true; }

// The window is closing: nothing may render beside what follows.
bool cQuilwrightApplication::HandleTerminate()
{
    // Whatever is held on a keyboard is released.
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Suspend();
    if (JobQueue::cJobQueue* jobs = JobQueue::gJobQueue)
    {
        jobs->Close();
        jobs->CancelAll(true);
    }
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetPaused(true);
    PerformAutoSave();
    return true;
}

void cQuilwrightApplication::PerformAutoSave()
{
    if (mInstaller)
        return;
    AutoSaveProject();
    // The preview's chain.
    if (gAuditionPlayer)
        gAuditionPlayer->SerialiseSettings(false);
    if (cMIDISettings* midi = cMIDISettings::GetInstance())
        midi->Save();
}
