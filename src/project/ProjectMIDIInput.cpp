#include "project/Project.h"

#include <bit>

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/MIDIControllerMap.h"
#include "base/ProjectModified.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIMessage.h"
#include "midi/MIDIPortSettings.h"
#include "project/ProjectHost.h"
#include "sequencer/Sequencer.h"

// Everything here but SetMIDIInChannel runs on the audio thread under the
// audio manager's lock: no allocation, no lock, only array lookups.

namespace
{
constexpr uint8_t kNoChannel = 255;
constexpr int32_t kLowestNote = 24;
constexpr int32_t kHighestNote = 100;

enum : uint32_t
{
    kTransportStart = 0,
    kTransportStop = 1,
    kTransportContinue = 2,
    kTransportClock = 3,
    kTransportSongPosition = 4,
};

cInstrument* InstrumentInSlot(int32_t slot)
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    return slots ? slots->GetInstrument(slot) : nullptr;
}

void PostToSequencer(const cAudioEvent& event)
{
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
}

// A note below 24 rises, one above 100 falls, by whole octaves into range.
int32_t FoldIntoPlayableRange(int32_t note)
{
    if (note < kLowestNote)
        return note + 12 * ((kLowestNote - 1 - note) / 12) + 12;
    if (note > kHighestNote)
        return note - 12 * ((note - kHighestNote - 1) / 12) - 12;
    return note;
}

bool IsLiveVoice(uint32_t voiceId) { return (voiceId >> 24) == kVoiceSourceMIDI; }

// System real-time and song position: for the sequencer alone.
bool BuildTransportEvent(const uint8_t* bytes, int32_t size, cAudioEvent& event)
{
    event.slot = kNoChannel;
    event.type = kAudioEventMIDITransport;
    switch (bytes[0])
    {
    case 0xFA:
        event.wordA = kTransportStart;
        return true;
    case 0xFC:
        event.wordA = kTransportStop;
        return true;
    case 0xFB:
        event.wordA = kTransportContinue;
        return true;
    case 0xF8:
        event.wordA = kTransportClock;
        return true;
    case 0xF2:
        if (size < 3)
            return false;
        event.wordA = kTransportSongPosition;
        event.wordB = uint32_t(bytes[2] & 0x7F) * 128 + (bytes[1] & 0x7F);
        return true;
    default:
        return false;
    }
}

void BuildNoteEvent(uint8_t type, const uint8_t* bytes, int32_t source, cAudioEvent& event)
{
    event.type = type;
    const uint8_t note = bytes[1] & 0x7F;
    event.SetNote(note, bytes[2] & 0x7F);
    event.wordB = note | (uint32_t(source & 0xFF) << 8) | (uint32_t(kVoiceSourceMIDI) << 24);
}

void BuildControllerEvent(const uint8_t* bytes, int32_t source, cAudioEvent& event)
{
    const uint8_t controller = bytes[1] & 0x7F;
    const uint8_t value = bytes[2] & 0x7F;
    if (controller == 123 || controller == 120)
    {
        event.type = kAudioEventReleaseLiveNotes;
        event.wordA = uint32_t(source & 0xFF);
    }
    else if (controller == 32)
    {
        event.type = kAudioEventSelectPreset;
        event.flags = kAudioEventFlagReportPreset;
        event.wordA = value;
        event.wordB = uint32_t(-1);
    }
    else
    {
        event.type = kAudioEventModuleParam;
        event.wordB = controller;
        event.valueF = float(value) / 127.0f;
    }
}

// A channel message's event; false for the messages the sink drops.
bool BuildChannelEvent(const uint8_t* bytes, int32_t size, int32_t source, cAudioEvent& event)
{
    const uint8_t status = bytes[0];
    event.slot = status & 0x0F;
    const int32_t needed = cMIDIMessage::GetStatusLength(status);
    if (size < needed)
        return false;
    switch (status & 0xF0)
    {
    case 0x90:
        BuildNoteEvent((bytes[2] & 0x7F) > 0 ? kAudioEventNoteOn : kAudioEventNoteOff, bytes, source, event);
        return true;
    case 0x80:
        BuildNoteEvent(kAudioEventNoteOff, bytes, source, event);
        return true;
    case 0xB0:
        BuildControllerEvent(bytes, source, event);
        return true;
    case 0xC0:
        event.type = kAudioEventSelectPreset;
        event.flags = kAudioEventFlagReportPreset;
        event.wordA = uint32_t(-1);
        event.wordB = bytes[1] & 0x7F;
        return true;
    case 0xE0:
    {
        event.type = kAudioEventPitchBend;
        const int32_t bend = int32_t(bytes[2] & 0x7F) * 128 + (bytes[1] & 0x7F) - 8192;
        event.wordA = std::bit_cast<uint32_t>(float(bend) / 8192.0f);
        return true;
    }
    default:
        return false;
    }
}
} // namespace

void cProject::HandleMIDIMessage(const cMIDIMessage& message, int32_t source)
{
    const uint8_t* bytes = message.GetData();
    const int32_t size = message.GetSize();
    if (size <= 0 || bytes[0] < 0x80)
        return;
    cAudioEvent event;
    if (bytes[0] >= 0xF0)
    {
        if (BuildTransportEvent(bytes, size, event))
            PostToSequencer(event);
        return;
    }
    if (!BuildChannelEvent(bytes, size, source, event))
        return;
    mLastMIDIEvent = event;
    mMIDIEventCounter.fetch_add(1, std::memory_order_release);
    if (event.type == kAudioEventReleaseLiveNotes)
    {
        SendEventToAllSlots(event);
        return;
    }
    cMIDIManager* midi = cMIDIManager::GetInstance();
    const cMIDIPortSettings* port = midi ? midi->PortForSlot(source) : nullptr;
    if (port)
        RouteEvent(event, port->IsOmni());
}

void cProject::SendEventToAllSlots(const cAudioEvent& event)
{
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        if (cInstrument* instrument = InstrumentInSlot(slot))
            PostEventToInstrument(event, instrument);
}

void cProject::RouteEvent(const cAudioEvent& event, bool omni)
{
    if (omni)
    {
        if (cInstrument* instrument = InstrumentInSlot(gSelectedInstrumentSlot.load(std::memory_order_relaxed)))
            PostEventToInstrument(event, instrument);
        return;
    }
    const cTrackMap::cChannelList& listeners = mTrackMap.GetChannelList(event.slot);
    for (int32_t i = 0; i < listeners.count; ++i)
        if (cInstrument* instrument = InstrumentInSlot(listeners.items[i]))
            PostEventToInstrument(event, instrument);
}

void cProject::PostEventToInstrument(const cAudioEvent& event, cInstrument* instrument)
{
    cAudioModule* module = instrument->GetModule();
    if (!module)
        return;
    cAudioEvent copy = event;
    copy.slot = uint8_t(instrument->GetSlot());
    switch (copy.type)
    {
    case kAudioEventNoteOn:
    case kAudioEventNoteOff:
    {
        int32_t note = copy.GetNote();
        if (instrument->IsTransposable())
            note += GetTranspose();
        if (IsLiveVoice(copy.wordB))
            note += GetMIDIInTranspose(instrument->GetSlot());
        copy.SetNote(uint8_t(FoldIntoPlayableRange(note)), copy.GetVelocity());
        module->PostEvent(copy);
        return;
    }
    case kAudioEventAllNotesOff:
    case kAudioEventReleaseLiveNotes:
    case kAudioEventSelectPreset:
    case kAudioEventStepPreset:
        module->PostEvent(copy);
        return;
    case kAudioEventModuleParam:
    {
        const cMIDIControllerMap* map = instrument->GetPackage() ? instrument->GetPackage()->GetControllerMap() : nullptr;
        if (!map)
            return;
        const cMIDIControllerMap::cSlotList& parameters = map->GetReverseList(int32_t(copy.wordB));
        for (int32_t i = 0; i < parameters.count; ++i)
        {
            copy.wordB = uint32_t(parameters.slots[i]);
            module->PostEvent(copy);
            PostToSequencer(copy);
        }
        return;
    }
    case kAudioEventPitchBend:
    {
        cAudioEvent bend;
        bend.type = kAudioEventModuleParam;
        bend.slot = copy.slot;
        bend.wordB = 0;
        bend.valueF = std::bit_cast<float>(copy.wordA);
        module->PostEvent(bend);
        PostToSequencer(bend);
        return;
    }
    default:
        return;
    }
}

void cProject::SetMIDIInChannel(int32_t slot, int32_t channel)
{
    if (mTrackMap.GetChannel(slot) < 0 || channel < 0 || channel >= cTrackMap::kChannelCount ||
        mTrackMap.GetChannel(slot) == channel)
        return;
    cInstrument* instrument = InstrumentInSlot(slot);
    if (cMIDIManager* midi = cMIDIManager::GetInstance(); instrument && instrument->GetModule() && midi)
        midi->PostReleaseLiveNotes(instrument->GetModule(), false);
    mTrackMap.SetChannel(slot, channel);
    mModified.store(true);
}
