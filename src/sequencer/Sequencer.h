#pragma once
#include <cstdint>
#include <memory>

#include "audio/AudioModule.h"
#include "base/CriticalSection.h"
#include "base/Singleton.h"

class cPatternTable;
class cTrack;
class cTrackList;

// The song's clock and transport. It holds the tempo, time signature, play
// position, loop, count-in and metronome settings (the shared variables of
// gTransport), advances the position once per rendered block on the audio
// thread and has every track play into its instrument, routes live input to
// each slot's selected track, and owns the song's pattern table and track
// list. Transport operations take the sequencer lock themselves (it is
// re-entrant); song edits elsewhere take it around their changes.
class cSequencer : public cAudioModule, public Base::cSingleton<cSequencer>
{
public:
    static constexpr uint32_t kEventCapacity = 32;
    static constexpr int32_t kSongEnd = 512000; // ticks

    // Integer parameters, read with GetParamInt and set through set-int events.
    enum : uint32_t
    {
        kParamState = 2,
        kParamLoopOn = 3,
        kParamLoopToggle = 4,
        kParamLoopStart = 5,
        kParamLoopEnd = 6,
        kParamTempo = 7, // a float parameter
        kParamPosition = 8,
        kParamEraseKeys = 9,
        kParamEraseAll = 10,
    };

    cSequencer();
    ~cSequencer() override;

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    // Adds the metronome click to the block.
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    // The song has a file of its own: nothing is stored with the project.
    bool Serialise(Base::cSerialise& serialise, cInstrument* owner, cSampleRelocator* relocator) override;
    void SetParamInt(uint32_t id, int32_t value);

    // Plays, after a count-in of that many bars when stopped.
    void Play(int32_t countInBars);
    // Records at once while playing; when stopped, from the start of the bar
    // after the count-in.
    void Record();
    void Stop();
    // Any transport state 0..5; others are refused.
    void SetState(int32_t state);
    void SetPosition(int32_t ticks);
    void SetTempo(float beatsPerMinute);
    void SetBeatsPerBar(int32_t beats);
    void SetLoopEnabled(bool enabled);
    void SetLoopStart(int32_t ticks);
    void SetLoopEnd(int32_t ticks);
    // The per-block step on the audio thread, before the instruments render.
    // A block at a sample rate of 0 or below changes nothing.
    void AdvanceBlock(int32_t sampleRate, int32_t frames);
    void CommitRecordedNotes();

    int32_t InsertTrack(cTrack* track, int32_t slot, int32_t indexInGroup);
    cTrack* RemoveTrack(int32_t index);
    // 0 normal, 1 mute, 2 solo: with a track in solo only solo tracks play.
    void SetTrackMuteSolo(int32_t index, int32_t state);
    void UpdateAudibleTracks();
    // Before a project save: every part's program is marked in its instrument's export map.
    void ReportPartPresets();

    // An empty song in 4/4 at 120 BPM with the default settings.
    void NewSong();
    void ClearSong();

    cCriticalSection* GetLock() { return &mLock; }
    cTrackList* GetTrackList() const { return mTrackList.get(); }
    cPatternTable* GetPatternTable() const { return mPatternTable.get(); }
    int32_t GetSoloCount() const { return mSoloCount; }
    int32_t GetRecordWindowStart() const { return mRecordWindowStart; }
    int32_t GetRecordWindowEnd() const { return mRecordWindowEnd; }
    int32_t GetRecordSessionId() const { return mRecordSessionId; }
    bool IsRecordSessionOpen() const { return mRecordSessionOpen != 0; }
    int32_t GetPlayCountInBars() const { return mPlayCountInBars; }

    // Conversions at the current tempo and sample rate, in single precision.
    int32_t TicksFromSamples(int32_t samples) const;
    int32_t SamplesFromTicks(int32_t ticks) const;

private:
    void ApplySampleRate(int32_t sampleRate);
    // Count-in states: false when the block ends in the count-in.
    bool AdvanceCountIn(int32_t frames);
    void AdvanceStopped(int32_t frames);
    void AdvancePlaying(int32_t frames);
    void WrapLoop();
    void RequestClick(int32_t beat);
    void SetUpCountIn(int32_t bars);
    void StartRecordSession();
    void CloseRecordSession();
    void ClearEraseFlags();
    void SetStateAndTell(int32_t state);
    bool AudibleByRule(const cTrack& track) const;

    cCriticalSection mLock;
    std::unique_ptr<cPatternTable> mPatternTable;
    std::unique_ptr<cTrackList> mTrackList;
    uint8_t mRecordSessionOpen = 0;
    uint8_t mClickPending = 0; // the next block clicks whatever the beat
    float mInverseSampleRate = 1.0f / 44100.0f;
    int32_t mLastClickTick = 0; // the position at the previous metronome check
    int32_t mPlayCountInBars = 0;
    int32_t mRecordWindowStart = 0;
    int32_t mRecordWindowEnd = 0;
    int32_t mRecordSessionId = 1; // 1..127
    int32_t mSoloCount = 0;
};
