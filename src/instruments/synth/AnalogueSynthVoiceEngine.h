#pragma once
#include <cstdint>

#include "base/IntrusiveList.h"
#include "instruments/synth/AnalogueSynthVoice.h"

class cAnalogueSynth;
class cAnalogueSynthPresetStore;
struct cAnalogueSynthMulti;
struct cAnalogueSynthSingle;
struct cAudioBuffer;
struct cAudioEvent;
struct cAudioProcessInfo;

// Turns one synthesizer module's note events into voices and renders them.
// Sixteen voices serve up to four layers (one in single mode); the last four
// held notes are remembered for mono and legato play. A new note takes a
// free voice while its layer is below its limit, else steals the oldest
// released voice, then the oldest held one. Voices render in groups of four,
// one scratch plane each, sorted by their filter's stage count so that a
// group runs its stages for all four side by side, one vector lane each, in
// the same pass that mixes the group into the block.
//
// Audio thread only: the module calls it while draining its ring and in its
// Process. Nothing is allocated after construction.
class cAnalogueSynthVoiceEngine
{
public:
    static constexpr int32_t kVoiceCount = 16;
    static constexpr int32_t kHeldNoteCount = 4;
    static constexpr int32_t kLayerCount = 4;
    static constexpr int32_t kKeyCount = 128;

    explicit cAnalogueSynthVoiceEngine(cAnalogueSynth& module);
    cAnalogueSynthVoiceEngine(const cAnalogueSynthVoiceEngine&) = delete;
    cAnalogueSynthVoiceEngine& operator=(const cAnalogueSynthVoiceEngine&) = delete;

    void NoteOn(const cAudioEvent& event);
    void NoteOff(const cAudioEvent& event);
    void Cut(const cAudioEvent& event);
    void AllNotesOff();
    // Releases the notes that live MIDI input from the device slot holds.
    void ReleaseSource(int32_t slot);

    // Every block before Render: layer 0 plays the single.
    void SetupSingle(cAnalogueSynthSingle* patch);
    // Every block before Render: the multi's layers play the store's singles.
    void SetupMulti(cAnalogueSynthPresetStore* store, const cAnalogueSynthMulti& multi);
    // Adds every voice into the stereo block and collects finished voices.
    void Render(const cAudioProcessInfo& info, cAudioBuffer& buffer, float gain);

    bool HasActiveVoices() const { return !mActive.IsEmpty(); }
    int32_t GetActiveCount() const { return int32_t(mActive.GetCount()); }
    // 32 keys from the first: bit i for key first + i.
    uint32_t GetHeldKeys(uint32_t first) const;
    // The editor's request: the next block clears the held-key map.
    void RequestClearKeys() { mClearKeys = 1; }
    int32_t GetHeldNoteCount() const { return mHeldCount; }
    const cHeldNote& GetHeldNote(int32_t index) const { return mHeld[index]; }
    int32_t GetLayerVoiceCount(int32_t layer) const { return mLayers[layer].count; }
    int32_t GetLayerLimit(int32_t layer) const { return mLayers[layer].limit; }
    // Newest first; the voices in use, in list order.
    const cAnalogueSynthVoice* GetNewestVoice() const { return mActive.GetFirst(); }

private:
    struct cLayer
    {
        cAnalogueSynthSingle* patch = nullptr; // null: off
        float transpose = 0.0f;
        float volume = 1.0f;
        float pan = 0.5f;
        int32_t trackKeys = 1;
        int32_t keyMin = 0;
        int32_t keyMax = 127;
        int32_t limit = 0;        // from the patch, as the layers were last set up
        int32_t appliedLimit = 0; // as the last block applied it
        int32_t count = 0;
    };
    using tVoiceList = Base::cIntrusiveList<cAnalogueSynthVoice, 1>;

    // The first of these the walk from the oldest meets: a released voice,
    // else a held one; null when neither plays.
    cAnalogueSynthVoice* FindStealCandidate() const;
    void StartVoice(int32_t layer, const cHeldNote& entry);
    void Steal(cAnalogueSynthVoice* voice);
    void MakeNewest(cAnalogueSynthVoice* voice);
    void HandleNoteOff(uint8_t sourceSlot, uint32_t voiceId);
    void PostToSequencer(const cAudioEvent& event) const;

    void AddHeldNote(const cHeldNote& entry);
    void RemoveHeldNote(uint8_t sourceSlot, uint32_t voiceId);
    // The held note nearest in pitch to the released one, among the other
    // notes of its source; the newer wins a tie. Null when none.
    const cHeldNote* FindNearestHeldNote(const cAnalogueSynthVoice& voice) const;

    void SetLimits();
    void ApplyVoiceLimits();
    void ControlVoices(const cAudioProcessInfo& info, float gain);
    void RenderGroups(const cAudioProcessInfo& info, cAudioBuffer& buffer);
    void RenderGroup(const cAudioProcessInfo& info, cAudioBuffer& scratch, cAudioBuffer& buffer,
                     cAnalogueSynthVoice* const* voices, int32_t count, int32_t stages);
    void CollectFinished();

    cAnalogueSynth& mModule;
    cHeldNote mHeld[kHeldNoteCount]; // newest first
    int32_t mHeldCount = 0;
    int32_t mMode = 0;
    cLayer mLayers[kLayerCount];
    float mLayerGain = 1.0f;
    uint8_t mClearKeys = 0;
    uint32_t mHeldKeys[kKeyCount / 32] = {};
    cAnalogueSynthVoice mVoices[kVoiceCount];
    tVoiceList mActive; // newest first
    tVoiceList mFree;
    cAnalogueSynthVoice* mScratch[kVoiceCount] = {};
    cAnalogueSynthVoice* mRenderLists[3][kVoiceCount] = {};
    int32_t mVoiceMaximum = kVoiceCount;
};
