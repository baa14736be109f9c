// Feeds arbitrary messages from arbitrary device slots, under arbitrary
// transposes, track maps and omni settings, to an active project's MIDI sink.
// Nothing may crash, and what reaches the instruments and the sequencer stays
// in range: notes 24..100 with the live voice id of their message, every
// event in its instrument's slot, only the kinds the sink makes.

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "FakeMIDISystem.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "project/Project.h"
#include "project/ProjectHost.h"
#include "project/StandInPackages.h"
#include "sequencer/Sequencer.h"

namespace
{
using ProjectTest::cRecordingModule;
using ProjectTest::cStandInInstrument;

constexpr int32_t kDevices = 3;

class cCheckingSequencer : public cSequencer
{
public:
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        const bool transport = event.type == kAudioEventMIDITransport && event.slot == 255 && event.wordA <= 4 &&
                               event.wordB < 16384;
        const bool controller = event.type == kAudioEventModuleParam && event.slot < 16 && event.valueF >= -1.0f &&
                                event.valueF <= 1.0f;
        if (!transport && !controller)
            std::abort();
        return 0;
    }
};

struct cWorld
{
    cWorld()
    {
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        sequencer = new cCheckingSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        packages->AddPackage(new ProjectTest::cStandInPackage("Kest"));
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new ProjectTest::cStandInPackage("VRX"));
        auto system = std::make_unique<cFakeMIDISystem>();
        system->inputs = {"Keys 0", "Keys 1", "Keys 2"};
        midi = std::make_unique<cMIDIManager>(std::move(system));
        midi->RequestRescan();
        for (int32_t i = 0; i < kDevices; ++i)
            Port(i)->SetEnableFlags(cMIDIPortSettings::kEnableBit);
        project.NewDefault(cGenString(""), 0);
        // What the new song told its instruments is not the sink's.
        for (int32_t slot = 0; slot < cProject::kSlotCount; ++slot)
            if (cInstrument* instrument = cInstrumentSlotTable::GetInstance()->GetInstrument(slot))
                instrument->GetModule()->DrainEvents();
    }

    cMIDIPortSettings* Port(int32_t i) const
    {
        const char* names[kDevices] = {"Keys 0", "Keys 1", "Keys 2"};
        return midi->FindPortByName(names[i]);
    }

    cCheckingSequencer* sequencer = nullptr;
    std::unique_ptr<cMIDIManager> midi;
    cProject project;
};

class cReader
{
public:
    cReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool AtEnd() const { return mPosition >= mSize; }
    uint8_t Byte() { return AtEnd() ? 0 : mData[mPosition++]; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPosition = 0;
};

void CheckInstrument(cStandInInstrument& instrument)
{
    cRecordingModule& module = instrument.Module();
    module.Take();
    for (int i = 0; i < module.count; ++i)
    {
        const cAudioEvent& event = module.events[i];
        if (event.slot != instrument.GetSlot())
            std::abort();
        switch (event.type)
        {
        case kAudioEventNoteOn:
        case kAudioEventNoteOff:
            if (event.GetNote() < 24 || event.GetNote() > 100 || event.GetVelocity() > 127 ||
                (event.wordB >> 24) != kVoiceSourceMIDI || (event.wordB & 0xFF) > 127)
                std::abort();
            break;
        case kAudioEventReleaseLiveNotes:
            if (event.GetNote() >= cMIDIManager::kSlotCount)
                std::abort();
            break;
        case kAudioEventSelectPreset:
            if (event.flags != kAudioEventFlagReportPreset)
                std::abort();
            break;
        case kAudioEventModuleParam:
            if (!(event.valueF >= -1.0f && event.valueF <= 1.0f))
                std::abort();
            break;
        default:
            std::abort();
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cWorld world;
    cReader in(data, size);
    const uint8_t settings = in.Byte();
    for (int32_t i = 0; i < kDevices; ++i)
        world.Port(i)->SetOmni((settings >> i) & 1);
    // The notes an omni switch releases reach the sink through the hand-over.
    world.midi->DeliverBlock(cDelegate(&world.project, &cProject::HandleMIDIMessage), 220);
    gSelectedInstrumentSlot = int8_t(in.Byte());
    world.project.SetTranspose(int8_t(in.Byte()));
    for (int32_t slot = 0; slot < cProject::kSlotCount; slot += 4)
        world.project.SetMIDIInTranspose(slot + (settings >> 4), int8_t(in.Byte()));
    world.project.GetTrackMap().SetChannel(in.Byte() & 15, in.Byte() & 15);

    while (!in.AtEnd())
    {
        const int32_t source = in.Byte() % cMIDIManager::kSlotCount;
        uint8_t bytes[8];
        const int32_t length = 1 + in.Byte() % 4;
        for (int32_t i = 0; i < length; ++i)
            bytes[i] = in.Byte();
        const cMIDIMessage message(bytes, length, 0.0);
        world.project.HandleMIDIMessage(message, source);
    }

    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    for (int32_t slot = 1; slot < cProject::kSlotCount; ++slot)
        if (auto* instrument = dynamic_cast<cStandInInstrument*>(slots->GetInstrument(slot)))
            CheckInstrument(*instrument);
    world.sequencer->DrainEvents();
    // The mixer's queue only fills: a render would drain it.
    slots->GetInstrument(0)->GetModule()->DrainEvents();
    return 0;
}
