#pragma once
#include <cstdint>
#include <memory>

#include "audio/AudioModule.h"
#include "base/CriticalSection.h"
#include "base/Singleton.h"

class cGenString;
class cPatternTable;
class cRecordUndoJournal;
class cTrack;
class cTrackList;

namespace File
{
class cFile;
class cFileSystem;
} // namespace File

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
    // Both ends at once; with the loop on, a position at or past the new end
    // goes to the new start.
    void SetLoopRange(int32_t start, int32_t end);
    // The per-block step on the audio thread, before the instruments render.
    // A block at a sample rate of 0 or below changes nothing.
    void AdvanceBlock(int32_t sampleRate, int32_t frames);
    // Every track files what it recorded up to the position; the editors call
    // it, under the lock, before they change the song. Main thread.
    void CommitRecordedNotes();
    // Takes back the last record session in one step; false when there is
    // nothing to undo. Main thread.
    bool UndoRecording();

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

    // The song file on the "Doc" mount, written safely (".tmp", commit,
    // ".bak"); an auto-save writes the name plus ".as", and a normal save then
    // deletes the auto-saves. The song is copied under the lock and written
    // after it. False with the reason in the error text (none when the file
    // could not be opened or committed).
    bool SaveSong(const char* path, bool autoSave, cGenString& error);
    // Tries the name with the suffixes of the load mode (1 normal, 2 the
    // backup first, 3 the auto-save first, others the name only) until one
    // reads; with none, a new song and false.
    bool LoadSong(const char* path, int32_t mode, cGenString& error);
    // Mode 1 reads, 2 writes the one file.
    bool SerialiseSong(File::cFileSystem* fileSystem, const char* path, int32_t mode, cGenString& error);
    // Reads a song from a stream: the whole stream is checked first, and only
    // a sound file replaces the song (under the lock). Otherwise the song
    // stays and the error text says why.
    bool ReadSong(File::cFile& stream, cGenString& error);
    // The song as the file holds it, taken under the lock.
    void WriteSong(File::cFile& stream);

    cCriticalSection* GetLock() { return &mLock; }
    cTrackList* GetTrackList() const { return mTrackList.get(); }
    cRecordUndoJournal* GetRecordUndoJournal() const { return mJournal.get(); }
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
    // Main thread, before recording: the pools hold a free reserve, and the
    // ID the next session takes is carried by no older event or part.
    void PrepareRecording();
    static void TopUpPools();
    // Clears an ID from every event and part that still carries it.
    void ForgetRecordSession(int32_t id);
    bool IsSessionIdCarried(int32_t id) const { return (mCarriedSessionIds[id / 64] >> (id % 64)) & 1u; }
    void SetSessionIdCarried(int32_t id, bool carried);
    int32_t NextRecordSessionId() const;
    void ReplaceSong(File::cFile& stream);
    // The bytes the song file takes now.
    int32_t MeasureSong();
    void CloseRecordSession();
    void ClearEraseFlags();
    void SetStateAndTell(int32_t state);
    bool AudibleByRule(const cTrack& track) const;

    cCriticalSection mLock;
    std::unique_ptr<cPatternTable> mPatternTable;
    std::unique_ptr<cTrackList> mTrackList;
    std::unique_ptr<cRecordUndoJournal> mJournal;
    uint8_t mRecordSessionOpen = 0;
    uint8_t mClickPending = 0; // the next block clicks whatever the beat
    float mInverseSampleRate = 1.0f / 44100.0f;
    int32_t mLastClickTick = 0; // the position at the previous metronome check
    int32_t mPlayCountInBars = 0;
    int32_t mRecordWindowStart = 0;
    int32_t mRecordWindowEnd = 0;
    int32_t mRecordSessionId = 1; // 1..127
    // IDs that events or parts may still carry: a session taking one clears
    // it from them first, so undo never mistakes older work for its own.
    uint64_t mCarriedSessionIds[2] = {0, 0};
    int32_t mSoloCount = 0;
};
