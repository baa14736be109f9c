#include "app/QuilwrightApplication.h"

#include <cstdio>

#include "app/AppIcon.h"
#include "audio/AudioManager.h"
#include "audio/InstrumentPackageRegistry.h"
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
#include "base/UniqueFileName.h"
#include "midi/MIDIManager.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "platform/os/Window.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/RenderStartup.h"
#include "render/Renderer.h"
#include "sequencer/Sequencer.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
struct cSizeLimits
{
    int32_t minWidth;
    int32_t minHeight;
};

constexpr int32_t kMaxWidth = 4096;
constexpr int32_t kMaxHeight = 2048;
constexpr int32_t kSmallestWidth = 240;
constexpr int32_t kSmallestHeight = 160;

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

// Start-up stage 1, in this order: the device-class UI profile; the
// file-system registry and the job queue; the mounts; the input manager;
// the device services; the materials; the fonts; the widget manager; the
// frame timing; the root container's material; the MIDI manager; the global
// settings; the web-view and e-mail services; the orientation handler; the
// message queue; then stage 2, at once or after the installer.
bool cQuilwrightApplication::Initialise()
{
    SelectTextureProfiles(gDisplayMetrics.deviceClass);
    if (!gFileSystemRegistry)
        new cFileSystemRegistry();
    new JobQueue::cJobQueue();
    MountProgramFileSystems();
    // New sample names must not shadow a loaded sample.
    SetSampleLoadedLookup(&cSampleRegistry::IsLoaded);

    if (!gInputManager)
        new cInputManager();
    gInputManager->Init();

    // A missing atlas or font leaves its material untextured; start-up goes on.
    CreateMaterials(gDisplayMetrics.deviceClass);
    CreateFonts();
    // Registers as the input manager's handler; draws the frame on the renderer.
    cWidgetManager* ui = new cWidgetManager();
    cMaterial* texturedColour = gMaterialRegistry ? gMaterialRegistry->Find("TexturedColour") : nullptr;
    if (gRenderer && ui->Init(gRenderer))
        ui->GetDrawList()->currentMaterial = texturedColour;

    SetFrameTiming(mFramesPerSecond);
    if (ui->GetRoot())
        ui->GetRoot()->SetMaterial(texturedColour);
    // Opens no device yet: the first scan comes in stage 2.
    new cMIDIManager();

    new cMessageQueue();

    StartCore();
    mSuspended = false;
    return true;
}

// Start-up stage 2, in this order: the installer version saved; the network
// status; the instrument slot table; the share service; the default
// material; the wave, shaper and scale tables; the sequencer; the project
// list; the playback-state service; the audio manager; the main UI; the
// instrument packages; the effect registry; the MIDI settings and the first
// device scan; the audition player; a new project, activated; the companion
// server; the pasteboard; the start-up page; the command-line documents.
bool cQuilwrightApplication::StartCore()
{
    new cInstrumentSlotTable();
    // A table that is missing or damaged leaves its wave silent.
    BuildWaveTables();
    BuildShapeTables();
    new cScaleTable();
    new cSequencer();
    StartAudio();
    // The instrument packages join it as they are built.
    new cInstrumentPackageRegistry();
    StartMIDI();
    OpenCommandLineDocuments();
    return true;
}

// The audio thread runs from here on. A failed start leaves the manager
// uninitialised with its reason stored; the program goes on without sound.
void cQuilwrightApplication::StartAudio()
{
    cAudioManager* audio = new cAudioManager();
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    settings.sampleRate = 44100.0f;
    settings.sampleFormat = kAudioFormatS16;
    settings.channels = 2;
    // The stored latency index and quality once the global settings exist.
    settings.bufferLatency = 2;
    settings.audioQuality = 1;
    audio->Init(settings);
}

// MIDI input reaches the audio thread from here on.
void cQuilwrightApplication::StartMIDI()
{
    cMIDIManager* midi = cMIDIManager::GetInstance();
    cAudioManager::Get()->SetMIDIInput(midi);
    midi->RequestRescan();
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

// Deletes the singletons in the reverse of what depends on what: the
// pasteboard; the project list; the audition player; the slot table; the
// effects; the instrument packages; the scale and wave tables; the main UI;
// the MIDI manager and settings; the audio manager; the playback-state
// service; the sequencer; the widget manager; the services; the input
// manager; the message queue; the orientation handler; the global settings;
// the file-system registry; the sine table; the job queue; the renderer's
// texture unit; the material and font registries; the resource dumps.
bool cQuilwrightApplication::Shutdown()
{
    // The instruments go before the packages that made them.
    delete cInstrumentSlotTable::GetInstance();
    delete cInstrumentPackageRegistry::GetInstance();
    FreeWaveTables();
    FreeShapeTables();
    delete cScaleTable::GetInstance();
    // The audio thread lets go of MIDI input before it goes away.
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetMIDIInput(nullptr);
    delete cMIDIManager::GetInstance();
    // Stops the audio thread and releases the device.
    delete cAudioManager::Get();
    // Nothing plays the song any more.
    delete cSequencer::GetInstance();
    cSampleRegistry::DumpAll();
    SetSampleLoadedLookup(nullptr);
    if (cWidgetManager* ui = cWidgetManager::GetInstance())
    {
        ui->Shutdown();
        delete ui;
    }
    delete gInputManager;
    delete gMessageQueue;
    ShutdownProgramFileSystems();
    FreeFastMathTables();
    // Stops its thread after the job it is running.
    delete JobQueue::gJobQueue;
    DestroyMaterialsAndFonts();
    return true;
}

bool cQuilwrightApplication::Update()
{
    const double now = GetMilliseconds() / 1000.0;
    mFrameDelta = float(now - mClock);
    mClock = now;
    // Channel lights decay; devices are rescanned every 2 s.
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Update(mFrameDelta);
    return true;
}

bool cQuilwrightApplication::Render()
{
    if (mSuspended)
        return false;
    if (gRenderer)
        gRenderer->Clear(kClearColour | kClearDepth | kClearStencil);
    // Engine notices; the main UI's message handler takes them once it exists.
    if (gMessageQueue)
        gMessageQueue->Dispatch(cDelegate());
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

bool cQuilwrightApplication::HandleActivate()
{
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetPaused(false);
    mSuspended = false;
    return true;
}

// The window is closing: nothing may render beside what follows.
bool cQuilwrightApplication::HandleTerminate()
{
    // Whatever is held on a keyboard is released.
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->Suspend();
    if (JobQueue::gJobQueue)
        JobQueue::gJobQueue->CancelAll(true);
    if (cAudioManager* audio = cAudioManager::Get())
        audio->SetPaused(true);
    return true;
}
