#include "DemoProject.h"

#include <memory>

#include "DemoSong.h"
#include "audio/AudioEvent.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixingDeskPackage.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectSlots.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Sequencer.h"

namespace
{
// A new project's slots: the pads in 1, the synthesizers from 2; a channel
// of the song plays the slot of its number.
constexpr cDemoSongLayout kProjectLayout = {2, 3, 4, 1, 48, 49, 50};

struct cVoice
{
    int32_t slot;
    const char* name;
    int32_t bank; // -1: the instrument's own sound
    int32_t program;
};

// Factory presets: "Saw Bass", "Warm Pad", "Bright Saw Lead".
constexpr cVoice kVoices[] = {
    {kProjectLayout.drums, "Drums", -1, 0},
    {kProjectLayout.bass, "Bass", 0, 1},
    {kProjectLayout.chords, "Chords", 2, 0},
    {kProjectLayout.lead, "Lead", 1, 0},
};

// The desk as the demo is mixed. The kit plays 4.5 dB further below the
// synthesizer presets than their own headroom puts them, so the drums'
// strips rise by that much over the default 0.79 (24 dB over the fader's
// travel), and the master by 3.5 dB brings the whole mix to about -19 dB
// RMS with its peaks near -4 dB.
constexpr float kDrumStripVolume = 0.98f;
constexpr float kMasterVolume = 0.935f;

// The engine as the program starts it, without an audio device; it goes
// again in reverse order.
class cHeadlessEngine
{
public:
    cHeadlessEngine()
    {
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        packages->AddPackage(new cAnalogueSynthPackage());
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new cTriggerPadPackage());
    }
    ~cHeadlessEngine()
    {
        delete cInstrumentSlotTable::GetInstance();
        delete cInstrumentPackageRegistry::GetInstance();
        delete cSequencer::GetInstance();
        DeleteEffectPackages();
        FreeShapeTables();
    }
    cHeadlessEngine(const cHeadlessEngine&) = delete;
    cHeadlessEngine& operator=(const cHeadlessEngine&) = delete;
};

// Nothing plays here, so the preset is taken at once rather than queued
// for the audio thread.
void Dress(const cVoice& voice)
{
    cInstrument* instrument = cInstrumentSlotTable::GetInstance()->GetInstrument(voice.slot);
    if (!instrument)
        return;
    instrument->SetName(voice.name);
    if (voice.bank < 0)
        return;
    cAudioEvent select;
    select.type = kAudioEventSelectPreset;
    select.wordA = uint32_t(voice.bank);
    select.wordB = uint32_t(voice.program);
    instrument->GetModule()->HandleEvent(select);
}


// A level as the desk's fader sets it: stored with the project.
void SetLevel(cAudioModule* module, int32_t parameter, float value)
{
    if (!module)
        return;
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.wordB = uint32_t(parameter);
    event.valueF = value;
    module->HandleEvent(event);
}

void MixDesk()
{
    if (cInstrument* drums = cInstrumentSlotTable::GetInstance()->GetInstrument(kProjectLayout.drums))
        for (int32_t bus = 0; bus < cTriggerPad::kBusCount; ++bus)
            SetLevel(drums->GetModule(), cTriggerPad::VolumeParam(bus), kDrumStripVolume);
    SetLevel(GetMixer(), cMixer::kParamMasterVolume, kMasterVolume);
}
} // namespace

bool WriteDemoProject()
{
    const cGenStringFixed<260> path(cGlobalSettingValues().recentProject);
    cHeadlessEngine engine;
    auto project = std::make_unique<cProject>();
    // As when the user asks for a new project: the pads load their kit.
    project->NewDefault(path, 1);
    std::unique_ptr<cMIDIFileSong> song = MakeDemoSong(kProjectLayout);
    cSequencer::GetInstance()->SetTempo(song->tempo);
    cSequencer::GetInstance()->SetBeatsPerBar(song->numerator);
    ImportMIDIFileSong(song.release(), false);
    for (const cVoice& voice : kVoices)
        Dress(voice);
    MixDesk();
    const bool saved = project->Save(path, false);
    project.reset();
    return saved;
}
