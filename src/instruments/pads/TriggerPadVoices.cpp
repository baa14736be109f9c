#include "instruments/pads/TriggerPadVoices.h"

#include "audio/AudioBuffer.h"
#include "audio/AudioEvent.h"
#include "audio/Sample.h"
#include "audio/Transport.h"
#include "instruments/pads/TriggerPad.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr uint32_t kSourceShift = 24;
constexpr uint32_t kMIDISourceShift = 8;
constexpr uint32_t kMIDISourceMask = 0xffff;

uint32_t SourceOf(uint32_t id) { return id >> kSourceShift; }

bool LiveInputSuppressed() { return gTransport.eraseKeys.load(std::memory_order_relaxed) != 0; }

// Live notes go to the sequencer, which records them into the slot's track.
void PostToSequencer(const cAudioEvent& event)
{
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
}

// Rounds toward minus infinity, so a count-in's negative clock steps as the
// song does.
int32_t FloorDivide(int32_t value, int32_t divisor)
{
    const int32_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

bool IsPadNote(int32_t note)
{
    return note >= cTriggerPadVoices::kFirstNote && note < cTriggerPadVoices::kFirstNote + cTriggerPadVoices::kPadCount;
}

uint32_t PadBit(int32_t note) { return 1u << (note - cTriggerPadVoices::kFirstNote); }
} // namespace

cTriggerPadVoices::cTriggerPadVoices(cTriggerPad& owner) : mOwner(owner)
{
    for (cTriggerPadVoice& voice : mVoices)
        mFree.PushBack(&voice);
    for (cTriggerPadHeldNote& note : mHeldNotes)
        mFreeHeld.PushBack(&note);
}

// ---------------------------------------------------------------- events

void cTriggerPadVoices::NoteOn(const cAudioEvent& event)
{
    if (!IsPadNote(event.GetNote()) || event.GetVelocity() == 0)
        return;
    if (SourceOf(event.wordB) == kVoiceSourceSequencer)
    {
        StartVoice(event);
        return;
    }
    // A held key plays through note repeat when it is on, on its steps only.
    const bool suppressed = LiveInputSuppressed();
    if (mRepeatLengthIndex == 0)
    {
        if (!suppressed)
            StartVoice(event);
        PostToSequencer(event);
    }
    else if (suppressed)
        PostToSequencer(event);
    HoldNote(event);
}

void cTriggerPadVoices::NoteOff(const cAudioEvent& event)
{
    uint32_t id = event.wordB;
    if (SourceOf(id) != kVoiceSourceSequencer)
    {
        // A repeated key's last hit is the voice to release.
        if (cTriggerPadHeldNote* held = FindHeldKey(id))
        {
            id = held->currentId;
            FreeHeldNote(held);
        }
        cAudioEvent passed = event;
        passed.wordB = id;
        passed.flags &= ~uint32_t(kAudioEventFlagAudition);
        PostToSequencer(passed);
    }
    ReleaseVoice(event.slot, id);
}

void cTriggerPadVoices::CutVoice(const cAudioEvent& event)
{
    for (cTriggerPadVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
        if (voice->GetSlot() == event.slot && voice->GetId() == event.wordB)
        {
            FreeVoice(voice);
            return;
        }
}

void cTriggerPadVoices::AllNotesOff(const cAudioEvent& event)
{
    const bool keepSustaining = (event.flags & kAudioEventFlagTransportStop) != 0;
    for (cTriggerPadVoice* voice = mActive.GetFirst(); voice;)
    {
        cTriggerPadVoice* next = voice->GetNext();
        if (!keepSustaining || voice->GetPad()->triggerMode == cTriggerPadData::kTrigger)
            FreeVoice(voice);
        voice = next;
    }
    while (cTriggerPadHeldNote* held = mHeld.GetFirst())
        FreeHeldNote(held);
}

void cTriggerPadVoices::ReleaseSource(int32_t source)
{
    cTriggerPadHeldNote* released[kHeldNoteCount];
    int32_t count = 0;
    for (cTriggerPadHeldNote* held = mHeld.GetFirst(); held && count < kHeldNoteCount; held = held->GetNext())
        if (SourceOf(held->keyId) == kVoiceSourceMIDI &&
            ((held->keyId >> kMIDISourceShift) & kMIDISourceMask) == uint32_t(source))
            released[count++] = held;
    for (int32_t i = 0; i < count; ++i)
    {
        cAudioEvent off;
        off.type = kAudioEventNoteOff;
        off.slot = uint8_t(released[i]->slot);
        off.SetNote(uint8_t(released[i]->note), uint8_t(released[i]->velocity));
        off.wordB = released[i]->keyId;
        NoteOff(off);
    }
}

// ---------------------------------------------------------------- voices

void cTriggerPadVoices::StartVoice(const cAudioEvent& event)
{
    const int32_t pad = event.GetNote() - kFirstNote;
    cTriggerPadData& record = mOwner.GetActivePad(pad);
    if (record.chokeGroup != 0)
        for (cTriggerPadVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
            if (voice->GetPad()->chokeGroup == record.chokeGroup)
                voice->SetState(cTriggerPadVoice::kStateStopped);
    cTriggerPadVoice* voice = TakeVoice();
    voice->Start(event.slot, event.GetNote(), event.wordB, event.GetVelocity(), &record, mOwner.GetSample(pad),
                 (event.flags & kAudioEventFlagIgnoreMute) != 0);
    mActive.PushBack(voice);
}

void cTriggerPadVoices::ReleaseVoice(int32_t slot, uint32_t id)
{
    for (cTriggerPadVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
        if (voice->GetState() == cTriggerPadVoice::kStatePlaying && voice->GetSlot() == slot && voice->GetId() == id)
        {
            if (voice->GetTriggerMode() != cTriggerPadData::kTrigger)
                voice->Release();
            mActive.Remove(voice);
            mActive.PushBack(voice);
            return;
        }
}

// A free voice, else a stolen one, unlinked from the active list.
cTriggerPadVoice* cTriggerPadVoices::TakeVoice()
{
    if (cTriggerPadVoice* voice = mFree.PopFront())
        return voice;
    cTriggerPadVoice* victim = ChooseVictim();
    mActive.Remove(victim);
    return victim;
}

// The first stopped voice from the oldest on, else the oldest releasing one,
// else the oldest playing one.
cTriggerPadVoice* cTriggerPadVoices::ChooseVictim() const
{
    cTriggerPadVoice* releasing = nullptr;
    for (cTriggerPadVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
    {
        if (voice->GetState() == cTriggerPadVoice::kStateStopped)
            return voice;
        if (!releasing && voice->GetState() == cTriggerPadVoice::kStateReleasing)
            releasing = voice;
    }
    return releasing ? releasing : mActive.GetFirst();
}

void cTriggerPadVoices::FreeVoice(cTriggerPadVoice* voice)
{
    voice->Free();
    mActive.Remove(voice);
    mFree.PushBack(voice);
}

// ---------------------------------------------------------------- held keys

void cTriggerPadVoices::HoldNote(const cAudioEvent& event)
{
    cTriggerPadHeldNote* held = mFreeHeld.PopFront();
    if (!held)
        return;
    held->slot = event.slot;
    held->note = event.GetNote();
    held->velocity = event.GetVelocity();
    held->currentId = held->keyId = event.wordB;
    mHeld.PushBack(held);
}

cTriggerPadHeldNote* cTriggerPadVoices::FindHeldKey(uint32_t keyId) const
{
    for (cTriggerPadHeldNote* held = mHeld.GetFirst(); held; held = held->GetNext())
        if (held->keyId == keyId)
            return held;
    return nullptr;
}

void cTriggerPadVoices::FreeHeldNote(cTriggerPadHeldNote* note)
{
    mHeld.Remove(note);
    mFreeHeld.PushBack(note);
}

uint32_t cTriggerPadVoices::HeldPads() const
{
    uint32_t pads = 0;
    for (cTriggerPadHeldNote* held = mHeld.GetFirst(); held; held = held->GetNext())
        pads |= PadBit(held->note);
    return pads;
}

// ---------------------------------------------------------------- repeat

void cTriggerPadVoices::SetRepeatLengthIndex(int32_t index)
{
    if (index < 0 || index >= kRepeatLengthCount)
        return;
    mRepeatLengthIndex = index;
    // Floored as the steps are, so a count-in's first hit comes on the next
    // step rather than at once.
    if (index != 0)
        mLastRepeatStep = FloorDivide(gTransport.clock.load(std::memory_order_relaxed), kRepeatLengths[index]);
}

void cTriggerPadVoices::SetRepeatVelocity(int32_t velocity)
{
    mRepeatVelocity = velocity < 0 ? 0 : (velocity > 127 ? 127 : velocity);
}

// Every held key is struck again when the clock enters a new step: its last
// hit is released one tick before the step and a new one starts on it, both
// passed to the sequencer at those ticks.
void cTriggerPadVoices::RepeatTick()
{
    if (mRepeatLengthIndex == 0 || LiveInputSuppressed())
        return;
    const int32_t length = kRepeatLengths[mRepeatLengthIndex];
    const int32_t step = FloorDivide(gTransport.clock.load(std::memory_order_relaxed), length);
    if (step == mLastRepeatStep)
        return;
    const int32_t tick = step * length;
    for (cTriggerPadHeldNote* held = mHeld.GetLast(); held; held = held->GetPrev())
    {
        cAudioEvent event;
        event.flags = kAudioEventFlagOwnTime;
        event.position = tick < 1 ? 0 : tick - 1;
        event.type = kAudioEventNoteOff;
        event.slot = uint8_t(held->slot);
        event.SetNote(uint8_t(held->note), uint8_t(mRepeatVelocity));
        event.wordB = held->currentId;
        ReleaseVoice(held->slot, held->currentId);
        PostToSequencer(event);

        event.position = tick;
        event.type = kAudioEventNoteOn;
        event.wordB = held->currentId = MakeVoiceId(kVoiceSourceUser);
        StartVoice(event);
        PostToSequencer(event);
    }
    mLastRepeatStep = step;
}

// ---------------------------------------------------------------- render

bool cTriggerPadVoices::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer, int32_t bus, float voiceGain,
                                uint32_t muteWord)
{
    if (!info.offline)
        RepeatTick();
    bool busHasVoice = false;
    uint32_t sounding = 0;
    for (cTriggerPadVoice* voice = mActive.GetLast(); voice; voice = voice->GetPrev())
    {
        const uint32_t bit = PadBit(voice->GetNote());
        sounding |= bit;
        if (voice->GetPad()->bus != bus)
            continue;
        busHasVoice = true;
        cTriggerPadVoice::cModulation modulation;
        modulation.gain = (muteWord & bit) && !voice->IgnoresMute() ? 0.0f : voiceGain;
        voice->Prepare(info, modulation);
        voice->Render(info, buffer);
    }
    if (LiveInputSuppressed())
        sounding |= HeldPads();
    for (cTriggerPadVoice* voice = mActive.GetFirst(); voice;)
    {
        cTriggerPadVoice* next = voice->GetNext();
        if (voice->GetPad()->bus == bus && voice->GetState() == cTriggerPadVoice::kStateStopped)
            FreeVoice(voice);
        voice = next;
    }
    mSoundingPads.exchange(sounding);
    return busHasVoice;
}
