#include "instruments/pads/TriggerPadInstrument.h"

#include "audio/AudioEvent.h"
#include "base/Serialise.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadEditor.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "mixer/MixerChannel.h"
#include "platform/DisplayMetrics.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr int32_t kFirstPadNote = 48;

cTriggerPadEditor* EditorOf(cInstrumentPackage* package)
{
    auto* pads = dynamic_cast<cTriggerPadPackage*>(package);
    return pads ? pads->GetEditor() : nullptr;
}
} // namespace

cTriggerPadInstrument::cTriggerPadInstrument(cInstrumentPackage* package, bool loadDefault)
{
    mPackage = package;
    for (int32_t bus = 0; bus < cTriggerPad::kBusCount; ++bus)
    {
        auto* channel = new cMixerChannel(cMixerChannel::kKindInstrument, kChannelLevel, this, bus);
        channel->volumeParamIndex = cTriggerPad::VolumeParam(bus);
        channel->panParamIndex = cTriggerPad::PanParam(bus);
        AddChannel(channel);
    }
    SetModule(new cTriggerPad(this));
    // A missing default bank leaves the pads empty, and nobody needs to hear
    // about it: loading without copying puts nothing into a project folder.
    if (loadDefault)
        GetPads()->LoadBank(cGenString(""), cGenString(kDefaultBank), false);
}

cTriggerPad* cTriggerPadInstrument::GetPads() const { return static_cast<cTriggerPad*>(GetModule()); }

void cTriggerPadInstrument::Select()
{
    if (cTriggerPadEditor* editor = EditorOf(mPackage))
        editor->ShowInstrument(this);
}

bool cTriggerPadInstrument::Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    cInstrument::Serialise(serialise, relocator);
    int32_t page = mMainPage;
    if (serialise.IsSaving())
        return serialise.SerialiseInt32("MainPage", &page, 0, kPageCount - 1);
    if (serialise.SerialiseInt32("MainPage", &page, INT32_MIN, INT32_MAX) && page >= 0 && page < kPageCount)
        mMainPage = page;
    const bool loaded = GetPads()->LoadSamples(true);
    // Only the phone has the auto-beat page.
    if (GetDisplayMetrics().deviceClass != kDeviceClassPhone && mMainPage == kAutoBeatPage)
        mMainPage = 0;
    return loaded;
}

void cTriggerPadInstrument::AllNotesOff(uint32_t flags)
{
    cAudioEvent event;
    event.type = kAudioEventAllNotesOff;
    event.flags = flags;
    event.slot = uint8_t(GetSlot());
    GetPads()->PostEvent(event);
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
    if (cTriggerPadEditor* editor = EditorOf(mPackage))
        editor->CancelHeldPads();
}

void cTriggerPadInstrument::DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view)
{
    if (cTriggerPadEditor* editor = EditorOf(mPackage))
        editor->DrawKeyStrip(drawList, view, *this);
}

void cTriggerPadInstrument::GetNoteName(cGenString& name, int32_t note)
{
    name.Printf("Pad %d", int(note - kFirstPadNote + 1));
}

void cTriggerPadInstrument::GetNoteRangeName(cGenString& name, int32_t low, int32_t high)
{
    name.Printf("Pads %d-%d", int(low - kFirstPadNote + 1), int(high - kFirstPadNote + 1));
}
