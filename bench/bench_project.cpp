// The project's hot and slow paths: the MIDI sink on the audio thread, 64
// messages of one device buffer into 16 instruments (goal: under 0.5 % of
// the 4.99 ms buffer period).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "FakeMIDISystem.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "project/Project.h"
#include "project/ProjectSlots.h"
#include "project/StandInPackages.h"
#include "sequencer/Sequencer.h"

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
} // namespace

BENCHMARK_MAIN();
