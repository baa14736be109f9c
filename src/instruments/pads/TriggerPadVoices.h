#pragma once
#include <atomic>
#include <cstdint>

#include "base/IntrusiveList.h"
#include "instruments/pads/TriggerPadVoice.h"

class cTriggerPad;
struct cAudioBuffer;
struct cAudioEvent;
struct cAudioProcessInfo;

// A key held from the user interface or MIDI input, which note repeat
// strikes again on every step.
struct cTriggerPadHeldNote : public Base::cIntrusiveListItem<cTriggerPadHeldNote>
{
    int32_t slot = 0;
    int32_t note = 0;
    int32_t velocity = 0;
    uint32_t currentId = 0; // the voice of the latest hit
    uint32_t keyId = 0;     // the id of the key press
};

// The pad module's voices: turns note events into sample voices with choke
// groups and voice stealing, renders one bus's voices per call, keeps the
// held keys and strikes them again on the song clock's grid (note repeat).
// Live notes also go to the sequencer, which records them. Audio thread
// only, except the sounding-pad word, which the editor reads.
class cTriggerPadVoices
{
public:
    static constexpr int32_t kVoiceCount = 32;
    static constexpr int32_t kHeldNoteCount = 32;
    static constexpr int32_t kFirstNote = 48;
    static constexpr int32_t kPadCount = 16;
    static constexpr int32_t kRepeatLengthCount = 8;
    static constexpr int32_t kDefaultRepeatVelocity = 100;
    // Repeat step in ticks by length index: off, 1/1 down to 1/64.
    static constexpr int32_t kRepeatLengths[kRepeatLengthCount] = {0, 1024, 512, 256, 128, 64, 32, 16};

    explicit cTriggerPadVoices(cTriggerPad& owner);
    cTriggerPadVoices(const cTriggerPadVoices&) = delete;
    cTriggerPadVoices& operator=(const cTriggerPadVoices&) = delete;

    void NoteOn(const cAudioEvent& event);
    void NoteOff(const cAudioEvent& event);
    // The first voice of the event's slot and id stops at once.
    void CutVoice(const cAudioEvent& event);
    // Every voice stops at once (with event flag 4, "Hold" and "Loop" pads
    // sound on); every held key is let go.
    void AllNotesOff(const cAudioEvent& event);
    // Lets go of the keys held on one MIDI input source.
    void ReleaseSource(int32_t source);

    // Note repeat (on live rendering only), then the voices of one bus into
    // the block with the voice gain (0 for muted pads). True when the bus
    // had a voice.
    bool Process(const cAudioProcessInfo& info, cAudioBuffer& buffer, int32_t bus, float voiceGain,
                 uint32_t muteWord);

    // Index 0..7; others are refused. A new length takes its first step at
    // the clock's next boundary.
    void SetRepeatLengthIndex(int32_t index);
    int32_t GetRepeatLengthIndex() const { return mRepeatLengthIndex; }
    void SetRepeatVelocity(int32_t velocity);
    int32_t GetRepeatVelocity() const { return mRepeatVelocity; }
    // Bit n while pad n sounds (or, while the sequencer suppresses live
    // input, while its key is held). Any thread.
    uint32_t GetSoundingPads() const { return mSoundingPads.load(std::memory_order_relaxed); }
    int32_t GetActiveCount() const { return int32_t(mActive.GetCount()); }
    int32_t GetHeldCount() const { return int32_t(mHeld.GetCount()); }
    const cTriggerPadVoice* GetOldestVoice() const { return mActive.GetFirst(); }

private:
    void RepeatTick();
    void StartVoice(const cAudioEvent& event);
    // The oldest playing voice of the slot and id enters its release
    // (unless its pad plays "Trigger") and becomes the newest.
    void ReleaseVoice(int32_t slot, uint32_t id);
    cTriggerPadVoice* TakeVoice();
    cTriggerPadVoice* ChooseVictim() const;
    void FreeVoice(cTriggerPadVoice* voice);
    void HoldNote(const cAudioEvent& event);
    cTriggerPadHeldNote* FindHeldKey(uint32_t keyId) const;
    void FreeHeldNote(cTriggerPadHeldNote* note);
    uint32_t HeldPads() const;

    cTriggerPad& mOwner;
    std::atomic<uint32_t> mSoundingPads{0};
    cTriggerPadVoice mVoices[kVoiceCount];
    Base::cIntrusiveList<cTriggerPadVoice> mActive; // first is the oldest
    Base::cIntrusiveList<cTriggerPadVoice> mFree;
    cTriggerPadHeldNote mHeldNotes[kHeldNoteCount];
    Base::cIntrusiveList<cTriggerPadHeldNote> mHeld; // first is the oldest
    Base::cIntrusiveList<cTriggerPadHeldNote> mFreeHeld;
    int32_t mRepeatLengthIndex = 0;
    int32_t mLastRepeatStep = 0;
    int32_t mRepeatVelocity = kDefaultRepeatVelocity;
};
