#pragma once
#include <cstdint>

#include "base/IntrusiveList.h"
#include "sequencer/TrackRecorder.h"

class cPattern;
class cPatternInstance;
struct cPatternEvent;
struct cAudioEvent;

namespace File
{
class cFile;
} // namespace File

// Plays a list of parts into the instrument of one slot. While the transport
// plays, an audible track walks the events of its current part with a play
// cursor and posts notes (remembering each sounding one so its note-off comes
// in time), controllers and program changes into the instrument's ring,
// following the pattern's loop and the song's. Everything runs under the
// sequencer lock; playback on the audio thread, without allocating.
class cTrack
{
public:
    static constexpr int32_t kSoundingNotes = 32; // a note that finds none free is not played

    enum : int32_t
    {
        kNormal = 0,
        kMute = 1,
        kSolo = 2,
    };

    // A note this track has sent and not yet ended.
    struct cSoundingNote : Base::cIntrusiveListItem<cSoundingNote>
    {
        cPatternEvent* event = nullptr;
        int32_t end = 0; // pattern ticks
        uint8_t note = 0;
        uint32_t voiceId = 0;
        int32_t blockCounter = 0; // the block that started it
    };

    cTrack();
    ~cTrack();
    cTrack(const cTrack&) = delete;
    cTrack& operator=(const cTrack&) = delete;

    // Silences the track and releases every part.
    void Clear();

    // Parts: kept sorted by start. The track finds its place again whenever
    // the part at the song position may have changed.
    void InsertPart(cPatternInstance* part);
    void RemovePart(cPatternInstance* part); // not released
    // False, changing nothing, for a length below one tick.
    bool SetPartLength(cPatternInstance* part, int32_t length);
    void MovePart(cPatternInstance* part, int32_t delta);
    bool SetPartPattern(cPatternInstance* part, int32_t patternNumber);
    // The last playable part starting at or before the time, or the first
    // playable part when the time precedes them all; null without one.
    cPatternInstance* FindPartAt(int32_t ticks, cPatternInstance* hint) const;
    // Makes a part current at a song time: the cursor goes to its first event
    // from there and its program is sent. A part that cannot play (under one
    // tick on a pattern without a loop) is never made current.
    void SetCurrentPart(cPatternInstance* part, int32_t ticks);
    int32_t GetEndTime() const;
    // Recording: the part that takes an event at a song time lasting a
    // length. The part under it (extended to the bar line after the event
    // when it runs past a private part's end), a part of this record session
    // moved back to the bar line before it, or a new part on a private
    // pattern over the bars it touches, made current at the seek position.
    // Null when the pattern under it is full or no private pattern is free.
    cPatternInstance* GetRecordPatternInstance(int32_t time, int32_t length, int32_t seekPosition);

    // Playback.
    void Locate(int32_t ticks);
    // A jump of the song loop or the pattern loop, from old to new.
    void Relocate(int32_t newTicks, int32_t oldTicks);
    // Once per block, before PlayUpTo: a pattern shorter than its part starts
    // its next pass at the loop boundary, silencing what still sounds.
    void CrossPatternLoop(int32_t ticks);
    void PlayUpTo(int32_t ticks);
    void StopSoundingNotes();
    void ReleaseSoundingNote(cSoundingNote* record);
    void OnTransportStateChanged(int32_t oldState);
    void HandleLiveInput(const cAudioEvent& event, int32_t ticks, bool recording, bool eraseKeys, bool eraseAll);
    // The nearest program at or before the part, and a notice of the next part's.
    void SendPartProgramChange(const cPatternInstance* part);
    void SetAudible(bool audible);
    void SetSelected(bool selected);
    void BeginBlock() { ++mBlockCounter; }
    void DecayMeter(int32_t frames);

    // What pattern edits ask of the tracks playing the pattern.
    bool PlaysPattern(const cPattern* pattern) const;
    void OnEventInserted(cPatternEvent* event);
    void OnEventRemoved(const cPatternEvent* event);
    void ReleaseEventNote(const cPatternEvent* event);
    void Reseek();
    void OnContentsSwapped();

    // The song file's section: mute/solo state, channel, selection and the
    // parts. Reading (a checked stream, into a new track at its index in the
    // file) takes an old file's channel and selection from that index.
    void Serialise(File::cFile& stream);

    cTrackRecorder& GetRecorder() { return mRecorder; }
    int32_t GetPartCount() const { return mPartCount; }
    cPatternInstance* GetFirstPart() const { return mFirstPart; }
    cPatternInstance* GetLastPart() const { return mLastPart; }
    cPatternInstance* GetCurrentPart() const { return mCurrentPart; }
    cPatternEvent* GetCursor() const { return mCursor; }
    int32_t GetPositionInLoop() const { return mPositionInLoop; }
    int32_t GetSoundingCount() const { return static_cast<int32_t>(mSounding.GetCount()); }
    uint8_t GetHeldKeyCount(int32_t note) const { return mHeldKeys[note & 127]; }
    uint32_t GetTouchedControllers() const { return mTouchedControllers; }
    float GetMeter() const { return mMeter; }
    int32_t GetMuteSolo() const { return mMuteSolo; }
    void SetMuteSolo(int32_t state) { mMuteSolo = state; }
    bool IsAudible() const { return mAudible != 0; }
    bool IsSelected() const { return mSelected != 0; }
    int32_t GetIndex() const { return mIndex; }
    int32_t GetChannel() const { return mChannel; }
    int32_t GetIndexInGroup() const { return mIndexInGroup; }

private:
    friend class cTrackList;

    using cNoteList = Base::cIntrusiveList<cSoundingNote>;

    void PostToInstrument(cAudioEvent& event) const;
    void PostReloadParameters() const;
    void PostNoteOff(const cSoundingNote& record) const;
    void FreeRecord(cSoundingNote* record);
    void StopAndReload();
    void CommitRecording(int32_t ticks);
    void UpdateOffsets(int32_t ticks);
    void PlayEvent();
    bool ShouldErase(const cPatternEvent& event) const;
    void Erase(cPatternEvent* event);
    bool IsRecordedInSession(const cPatternInstance* part) const;
    cPatternInstance* ExtendRecordedPart(cPatternInstance* part, int64_t end);
    cPatternInstance* MoveRecordedPartBack(cPatternInstance* part, int32_t time);
    cPatternInstance* CreateRecordedPart(int32_t time, int64_t end, int32_t seekPosition);
    void PlayNote(cPatternEvent* event);
    void PlayController(const cPatternEvent* event) const;
    void ReleaseEndedNotes();
    void LinkPart(cPatternInstance* part);
    // After a part (null: at the front).
    void LinkPartAfter(cPatternInstance* part, cPatternInstance* before);
    void SortPartsByStart();
    void ReadOldTrackHeader(File::cFile& stream, uint32_t& parts);
    void UnlinkPart(cPatternInstance* part);
    bool IsInside(const cPatternInstance* part, int32_t ticks) const;

    cNoteList mSounding;      // by end time; equal ends in start order
    uint8_t mHeldKeys[128] = {};
    uint32_t mTouchedControllers = 0;
    cNoteList mFree;
    cSoundingNote mRecords[kSoundingNotes];
    int32_t mBlockCounter = 0;
    int32_t mMuteSolo = kNormal;
    uint8_t mAudible = 1;
    uint8_t mSelected = 0;
    int32_t mIndex = 0;
    int32_t mChannel = 0; // instrument slot 0..15
    int32_t mIndexInGroup = 0;
    float mMeter = 0.0f;
    cPatternInstance* mCurrentPart = nullptr;
    cPatternEvent* mCursor = nullptr;
    int32_t mOffsetInPart = 0;
    int32_t mPositionInLoop = 0;
    int32_t mLoopPass = 0;
    int32_t mPartCount = 0;
    cPatternInstance* mFirstPart = nullptr;
    cPatternInstance* mLastPart = nullptr;
    cTrackRecorder mRecorder;
};
