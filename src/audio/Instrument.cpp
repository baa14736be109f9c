#include "audio/Instrument.h"

#include "audio/AudioModule.h"
#include "audio/ChannelStrip.h"
#include "audio/InstrumentPackage.h"
#include "audio/KeyStripDrawer.h"
#include "audio/MIDINoteName.h"
#include "base/Serialise.h"

cInstrument::cInstrument() = default;

cInstrument::~cInstrument()
{
    for (cChannelStrip* channel : mChannels)
        delete channel;
}

void cInstrument::SetModule(cAudioModule* module) { mModule.reset(module); }

bool cInstrument::Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    if (serialise.BeginNode("MixerChannels", true))
    {
        for (int32_t i = 0; i < GetChannelCount(); ++i)
        {
            cGenStringFixed<16> name;
            name.Printf("Channel%02d", int(i));
            if (!serialise.BeginNode(name.CStr(), true))
                continue;
            mChannels[i]->Serialise(serialise);
            serialise.EndNode(nullptr);
        }
        serialise.EndNode("MixerChannels");
    }
    if (serialise.BeginNode("AM", true))
    {
        if (mModule)
            mModule->Serialise(serialise, this, relocator);
        serialise.EndNode("AM");
    }
    if (!serialise.BeginNode("UI", true))
        return false;
    serialise.SerialiseGenString("Name", &mName);
    return serialise.EndNode("UI");
}

void cInstrument::AllNotesOff(uint32_t) {}

void cInstrument::DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view)
{
    if (cKeyStripDrawer* drawer = mPackage ? mPackage->GetKeyStripDrawer() : nullptr)
        drawer->Draw(drawList, view);
}

void cInstrument::GetNoteName(cGenString& name, int32_t note) { GetMIDINoteName(name, note); }

void cInstrument::GetNoteRangeName(cGenString& name, int32_t low, int32_t high)
{
    cGenStringFixed<16> part;
    GetNoteName(part, low);
    name.Assign(part);
    name.AppendCString("-");
    GetNoteName(part, high);
    name.Append(part);
}

cWidget* cInstrument::GetPresetWidget() { return nullptr; }

const char* cInstrument::GetPresetName(int32_t, int32_t) { return ""; }

const char* cInstrument::GetCurrentPresetName() { return ""; }

void cInstrument::AddUsedPreset(int32_t, int32_t) {}

int32_t cInstrument::MapPreset(int32_t presetId, int32_t) { return presetId; }
