// The project's hot and slow paths: the MIDI sink on the audio thread, 64
// messages of one device buffer into 16 instruments (goal: under 0.5 % of
// the 4.99 ms buffer period); saving and loading a project holding the shared
// reference song (goals: 100 ms and 300 ms); and, while such a save runs
// beside a playing song, the longest the audio thread waits for the audio
// manager's lock and for the sequencer's (goal: under 0.5 ms each); a frame
// of the pasteboard page with its 14 clips and one of the share page, on the
// null renderer (goal: under 1 % of the 16.7 ms frame each).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "BenchBrowserHost.h"
#include "BenchDoc.h"
#include "BenchToolkit.h"
#include "FakeMIDISystem.h"
#include "audio/AudioManager.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "mixer/EffectUnits.h"
#include "base/File.h"
#include "mixer/MixingDeskPackage.h"
#include "platform/DeviceServices.h"
#include "project/Pasteboard.h"
#include "project/Project.h"
#include "project/ProjectSlots.h"
#include "project/StandInPackages.h"
#include "project/ui/WidgetCloudShare.h"
#include "project/ui/WidgetPasteboard.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"

namespace
{
constexpr double kBufferPeriodSeconds = 220.0 / 44100.0;
constexpr int kMessagesPerBuffer = 64;

void ReportPeriodShare(benchmark::State& state, double seconds)
{
    if (state.iterations() > 0)
        state.counters["period_percent"] = seconds / double(state.iterations()) / kBufferPeriodSeconds * 100.0;
}

// Sixteen instruments that keep what they are handed, one open keyboard.
struct cSinkRig
{
    cSinkRig()
    {
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        kest = new ProjectTest::cStandInPackage("Kest");
        packages->AddPackage(kest);
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new ProjectTest::cStandInPackage("VRX"));
        auto system = std::make_unique<cFakeMIDISystem>();
        system->inputs = {"Keys"};
        midi = std::make_unique<cMIDIManager>(std::move(system));
        midi->RequestRescan();
        midi->FindPortByName("Keys")->SetEnableFlags(cMIDIPortSettings::kEnableBit);
        source = midi->FindOpenInput("Keys")->GetSlot();
        project.NewDefault(cGenString(""), 0);
        for (int32_t slot = 6; slot < cProject::kSlotCount; ++slot)
            SetInstrumentSlot(kest->CreateInstrument(0), slot, true);
    }
    ~cSinkRig()
    {
        project.Unload();
        midi.reset();
        delete cInstrumentSlotTable::GetInstance();
        delete cInstrumentPackageRegistry::GetInstance();
        delete cSequencer::GetInstance();
        DeleteEffectPackages();
        FreeShapeTables();
    }

    // What the instruments would take at their next render.
    void DrainAll()
    {
        cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
        for (int32_t slot = 0; slot < cProject::kSlotCount; ++slot)
            if (cInstrument* instrument = slots->GetInstrument(slot))
                instrument->GetModule()->DrainEvents();
        cSequencer::GetInstance()->DrainEvents();
    }

    ProjectTest::cStandInPackage* kest = nullptr;
    std::unique_ptr<cMIDIManager> midi;
    int32_t source = 0;
    cProject project;
};

// A played buffer: notes on and off over the 16 channels, a controller
// swept and a bend on each.
std::vector<cMIDIMessage> PlayedBuffer()
{
    std::vector<cMIDIMessage> messages;
    for (int i = 0; i < kMessagesPerBuffer; ++i)
    {
        const uint8_t channel = uint8_t(i % 16);
        switch (i % 4)
        {
        case 0:
            messages.emplace_back(uint8_t(0x90 | channel), uint8_t(36 + i), uint8_t(100), 0.0);
            break;
        case 1:
            messages.emplace_back(uint8_t(0x80 | channel), uint8_t(35 + i), uint8_t(0), 0.0);
            break;
        case 2:
            messages.emplace_back(uint8_t(0xB0 | channel), uint8_t(7), uint8_t(i), 0.0);
            break;
        default:
            messages.emplace_back(uint8_t(0xE0 | channel), uint8_t(i), uint8_t(64), 0.0);
            break;
        }
    }
    return messages;
}

void BM_MIDISink64MessagesTo16Slots(benchmark::State& state)
{
    cSinkRig rig;
    const std::vector<cMIDIMessage> messages = PlayedBuffer();
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        for (const cMIDIMessage& message : messages)
            rig.project.HandleMIDIMessage(message, rig.source);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        rig.DrainAll();
        state.ResumeTiming();
    }
    ReportPeriodShare(state, seconds);
}
BENCHMARK(BM_MIDISink64MessagesTo16Slots);

using Clock = std::chrono::steady_clock;
constexpr const char* kFolder = "User/Projects/Reference.prj";

double Milliseconds(Clock::duration elapsed) { return std::chrono::duration<double, std::milli>(elapsed).count(); }

bool ReadReferenceSong(cMIDIFileSong& song)
{
    std::ifstream in(std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    return !bytes.empty() && cMIDIFileConverter(&song, &file).Read() == 0;
}

// The sink rig's engine over a "Doc" of its own, holding a new project with
// the reference song, saved once.
struct cReferenceRig : cMIDIFileProjectHost
{
    cReferenceRig()
    {
        SetMIDIFileProjectHost(this);
        auto* song = new cMIDIFileSong();
        ready = ReadReferenceSong(*song);
        sink.project.NewDefault(cGenString(kFolder), 0);
        cSequencer::GetInstance()->SetTempo(song->tempo);
        ImportMIDIFileSong(song, false);
        cSequencer::GetInstance()->SetPosition(0);
        ready = ready && sink.project.Save(cGenString(kFolder), false);
    }
    ~cReferenceRig() override { SetMIDIFileProjectHost(nullptr); }
    bool HasCurrentProject() override { return true; }
    void SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld) override
    {
        ::SetInstrumentSlot(instrument, slot, deleteOld);
    }

    cBenchDoc doc{"User/Projects"};
    cSinkRig sink;
    bool ready = false;
};

void BM_SaveReferenceProject(benchmark::State& state)
{
    cReferenceRig rig;
    if (!rig.ready)
        state.SkipWithError("the reference project could not be made");
    for (auto _ : state)
        if (!rig.sink.project.Save(cGenString(kFolder), false))
            state.SkipWithError("the save failed");
}
BENCHMARK(BM_SaveReferenceProject)->Unit(benchmark::kMillisecond);

void BM_LoadReferenceProject(benchmark::State& state)
{
    cReferenceRig rig;
    if (!rig.ready)
        state.SkipWithError("the reference project could not be made");
    for (auto _ : state)
        if (!rig.sink.project.Load(cGenString(kFolder)))
            state.SkipWithError("the load failed");
}
BENCHMARK(BM_LoadReferenceProject)->Unit(benchmark::kMillisecond);

// A stand-in audio thread plays the song a block at a time, taking the audio
// manager's lock and then the sequencer's as the real one does, while the
// project is saved beside it; the longest wait for each lock is what a save
// can cost the audio thread.
void BM_LockWaitsWhileSaving(benchmark::State& state)
{
    cReferenceRig rig;
    cAudioManager audio;
    cSequencer* sequencer = cSequencer::GetInstance();
    sequencer->Play(0);
    std::atomic<bool> playing{true};
    Clock::duration longestAudio{}, longestSequencer{};
    std::thread player([&] {
        while (playing.load())
        {
            const Clock::time_point start = Clock::now();
            audio.GetLock()->Enter();
            const Clock::time_point audioTaken = Clock::now();
            sequencer->GetLock()->Enter();
            const Clock::time_point sequencerTaken = Clock::now();
            sequencer->AdvanceBlock(44100, 128);
            sequencer->GetLock()->Leave();
            audio.GetLock()->Leave();
            longestAudio = std::max(longestAudio, audioTaken - start);
            longestSequencer = std::max(longestSequencer, sequencerTaken - audioTaken);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    for (auto _ : state)
        if (!rig.sink.project.Save(cGenString(kFolder), false))
            state.SkipWithError("the save failed");
    playing = false;
    player.join();
    sequencer->Stop();
    state.counters["audio_lock_longest_ms"] = Milliseconds(longestAudio);
    state.counters["sequencer_lock_longest_ms"] = Milliseconds(longestSequencer);
}
BENCHMARK(BM_LockWaitsWhileSaving)->Unit(benchmark::kMillisecond)->Iterations(50);
// The frame's share of the 60 Hz frame, in percent.
void ReportFrameShare(benchmark::State& state, double seconds)
{
    if (state.iterations() > 0)
        state.counters["frame_percent"] = seconds / double(state.iterations()) * 60.0 * 100.0;
}

// Frames of an open page until its opening has settled, then timed.
template <class tShow>
void TimeFrames(benchmark::State& state, cBenchToolkit& toolkit, tShow show)
{
    show();
    for (int i = 0; i < 60; ++i)
        toolkit.manager->Draw();
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        toolkit.manager->Draw();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ReportFrameShare(state, seconds);
}

void BM_PasteboardPageFrame(benchmark::State& state)
{
    cBenchToolkit toolkit;
    cPasteboard pasteboard;
    cQuietBrowserHost host;
    auto* page = new cWidgetPasteboard(&host);
    page->SetTargetFolder("User/Samples");
    TimeFrames(state, toolkit, [&] { page->Show(cDelegate()); });
    state.counters["rows"] = double(page->GetList()->CountRows());
    page->OnDismiss(1);
    page->Release();
}
BENCHMARK(BM_PasteboardPageFrame)->Unit(benchmark::kMicrosecond);

void BM_SharePageFrame(benchmark::State& state)
{
    cBenchToolkit toolkit;
    cNetworkStatus network;
    cQuietBrowserHost host;
    cBenchDropDowns dropDowns;
    cWidgetDialogueDropDown::SetHost(&dropDowns);
    auto* share = new cWidgetCloudShare(&host);
    TimeFrames(state, toolkit, [&] { share->Show(0.0f); });
    share->Close();
    share->Release();
    cWidgetDialogueDropDown::SetHost(nullptr);
}
BENCHMARK(BM_SharePageFrame)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
