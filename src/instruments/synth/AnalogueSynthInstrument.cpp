#include "instruments/synth/AnalogueSynthInstrument.h"

#include <cfloat>
#include <climits>

#include "audio/AudioEvent.h"
#include "base/Serialise.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "mixer/MixerChannel.h"
#include "sequencer/Sequencer.h"

namespace
{
cAnalogueSynthPresetStore* StoreOf(cInstrumentPackage* package)
{
    auto* synth = dynamic_cast<cAnalogueSynthPackage*>(package);
    return synth ? &synth->GetStore() : nullptr;
}
} // namespace

cAnalogueSynthInstrument::cAnalogueSynthInstrument(cInstrumentPackage* package)
{
    mPackage = package;
    mTransposable = 1;
    AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, kChannelLevel, this, 0));
    SetModule(new cAnalogueSynth(this));
}

cAnalogueSynth* cAnalogueSynthInstrument::GetSynth() const { return static_cast<cAnalogueSynth*>(GetModule()); }

cAnalogueSynthEditor* cAnalogueSynthInstrument::GetEditor() const
{
    auto* package = dynamic_cast<cAnalogueSynthPackage*>(mPackage);
    return package ? package->GetEditor() : nullptr;
}

cWidget* cAnalogueSynthInstrument::GetPresetWidget()
{
    cAnalogueSynthEditor* editor = GetEditor();
    return editor ? editor->GetPresetWidget() : nullptr;
}

void cAnalogueSynthInstrument::Select()
{
    if (cAnalogueSynthEditor* editor = GetEditor())
        editor->SetInstrument(this);
}

bool cAnalogueSynthInstrument::Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    const bool ok = cInstrument::Serialise(serialise, relocator);
    serialise.SerialiseGenString("TopPanel", &topPanel);
    serialise.SerialiseInt32("MLIndex", &multiTab, 0, kMultiTabCount - 1);
    serialise.SerialiseInt32("LFOIndex", &lfoIndex, 0, kLFOCount - 1);
    serialise.SerialiseInt32("PbyIdx", &patchbayRow, INT_MIN, INT_MAX);
    serialise.SerialiseFloat("PbyPos", &patchbayPosition, -FLT_MAX, FLT_MAX);
    return ok;
}

void cAnalogueSynthInstrument::AllNotesOff(uint32_t flags)
{
    cAudioEvent event;
    event.type = kAudioEventAllNotesOff;
    event.flags = flags;
    event.slot = uint8_t(GetSlot());
    GetSynth()->PostEvent(event);
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
    if (cAnalogueSynthEditor* editor = GetEditor())
        editor->CancelKeyboardInput();
}

const char* cAnalogueSynthInstrument::GetPresetName(int32_t kind, int32_t presetId)
{
    cAnalogueSynthPresetStore* store = StoreOf(mPackage);
    return store ? store->GetPresetName(kind, presetId) : "";
}

const char* cAnalogueSynthInstrument::GetCurrentPresetName()
{
    const cAnalogueSynth* synth = GetSynth();
    const int32_t kind = synth->GetMode();
    return GetPresetName(kind, kind == cAnalogueSynth::kModeMulti ? synth->GetMultiId() : synth->GetSingleId());
}

void cAnalogueSynthInstrument::AddUsedPreset(int32_t presetId, int32_t kind)
{
    if (cAnalogueSynthPresetStore* store = StoreOf(mPackage))
        store->AddUsedPreset(presetId, kind);
}

int32_t cAnalogueSynthInstrument::MapPreset(int32_t presetId, int32_t kind)
{
    cAnalogueSynthPresetStore* store = StoreOf(mPackage);
    return store ? store->MapPreset(presetId, kind) : presetId;
}
