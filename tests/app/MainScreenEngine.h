#pragma once

#include <memory>
#include <vector>

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentIcons.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "base/GenString.h"
#include "base/MessageQueue.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "mixer/MixerChannel.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "sequencer/Sequencer.h"
#include "ui/Widget.h"

// What the main screen reads of the engines, without an audio device: the
// song, the slot table, instrument packages whose instruments keep what
// reaches them, and a MIDI manager on a fake system with one omni keyboard.
namespace MainScreenTest
{
class cKeptEventsModule : public cAudioModule
{
public:
    explicit cKeptEventsModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        events.push_back(event);
        return 0;
    }
    void GetPresetText(cGenString& text) override { text.AssignCStr(preset); }
    // Every event posted since the last call.
    std::vector<cAudioEvent> Take()
    {
        events.clear();
        DrainEvents();
        return events;
    }

    std::vector<cAudioEvent> events;
    const char* preset = "Warm Pad";
};

class cKeptEventsInstrument : public cInstrument
{
public:
    explicit cKeptEventsInstrument(cInstrumentPackage* package)
    {
        mPackage = package;
        SetModule(new cKeptEventsModule(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override { ++selects; }
    void AllNotesOff(uint32_t flags) override { allNotesOff.push_back(flags); }

    cKeptEventsModule& Module() const { return *static_cast<cKeptEventsModule*>(GetModule()); }
    cMixerChannel& Strip() const { return *static_cast<cMixerChannel*>(GetChannel(0)); }
    void SetMenuBackdrop(bool on) { mMenuBackdrop = on ? 1 : 0; }

    int selects = 0;
    std::vector<uint32_t> allNotesOff;
};

// A package with an editor page of its own, as the later page issues give.
class cPagedPackage : public cInstrumentPackage
{
public:
    cPagedPackage(const char* name, int32_t gridIcon)
    {
        mName.AssignCStr(name);
        mGridIconSprite = gridIcon;
        mUserInterface = new cWidget();
        mUserInterface->SetName(name);
    }
    ~cPagedPackage() override
    {
        while (cInstrument* instrument = mInstruments.PopFront())
            delete instrument;
        mUserInterface->Release();
    }

    cInstrument* CreateInstrument(int32_t) override
    {
        auto* instrument = new cKeptEventsInstrument(this);
        instrument->SetName(GetName());
        AddInstrument(instrument);
        return instrument;
    }
    void DestroyInstrument(cInstrument* instrument) override
    {
        RemoveInstrument(instrument);
        delete instrument;
    }
    bool IsSampleInUse(const cGenString&) override { return false; }
    bool Reload() override { return true; }
    bool LoadProjectData(const cGenString&, cSampleRelocator*, int32_t, cGenString&) override { return true; }
    bool SaveProjectData(const cGenString&, cSampleRelocator*, bool) override { return true; }
};

class cEngine
{
public:
    static constexpr const char* kKeyboard = "VuvozIvuvedu25 Keyboard";

    cEngine()
    {
        messages = new cMessageQueue();
        slots = new cInstrumentSlotTable();
        sequencer = new cSequencer();
        packages = new cInstrumentPackageRegistry();
        mixer = new cPagedPackage("Mixer", InstrumentIcons::kMixerGrid);
        pads = new cPagedPackage("VRX", InstrumentIcons::kPadsGrid);
        synth = new cPagedPackage("Kest", InstrumentIcons::kSynthGrid);
        for (cInstrumentPackage* package : {static_cast<cInstrumentPackage*>(synth), static_cast<cInstrumentPackage*>(mixer),
                                            static_cast<cInstrumentPackage*>(pads)})
            packages->AddPackage(package);
        auto system = std::make_unique<cFakeMIDISystem>();
        system->inputs.push_back(kKeyboard);
        midi = new cMIDIManager(std::move(system));
        midi->RequestRescan();
        midi->FindPortByName(kKeyboard)->SetOmni(true);
    }
    ~cEngine()
    {
        delete cProjectList::GetInstance();
        slots->DestroyAll();
        delete slots;
        delete midi;
        packages->DeleteAll();
        delete packages;
        delete sequencer;
        delete messages;
    }

    // A project with its default instruments: the desk in slot 0, the pads
    // in 1, the synthesizer in 2 to 5.
    cProject* OpenProject()
    {
        if (!cProjectList::GetInstance())
            new cProjectList();
        return cProjectList::GetInstance()->NewProject();
    }

    cKeptEventsInstrument* Put(int32_t slot, cPagedPackage* package)
    {
        auto* instrument = static_cast<cKeptEventsInstrument*>(package->CreateInstrument(0));
        slots->SetSlot(slot, instrument, true);
        return instrument;
    }
    void Empty(int32_t slot) { slots->SetSlot(slot, nullptr, true); }
    cKeptEventsInstrument* At(int32_t slot) const
    {
        return static_cast<cKeptEventsInstrument*>(slots->GetInstrument(slot));
    }

    cMessageQueue* messages;
    cInstrumentSlotTable* slots;
    cSequencer* sequencer;
    cInstrumentPackageRegistry* packages;
    cPagedPackage* mixer;
    cPagedPackage* pads;
    cPagedPackage* synth;
    cMIDIManager* midi;
};
} // namespace MainScreenTest
