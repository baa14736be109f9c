#pragma once
#include <cstdint>

#include "base/IntrusiveList.h"

class cTrack;
struct cAudioEvent;
struct cPatternEvent;

// What a track records while the transport records: live notes and
// controller moves, quantised to the record grid, held until they are
// complete and committed into parts once the play position has passed them.
// Runs under the sequencer lock, on the audio thread while recording; its 16
// records are fixed, its events come from the event pool.
class cTrackRecorder
{
public:
    static constexpr int32_t kHeldRecords = 16;

    explicit cTrackRecorder(cTrack* track);
    ~cTrackRecorder();
    cTrackRecorder(const cTrackRecorder&) = delete;
    cTrackRecorder& operator=(const cTrackRecorder&) = delete;

    // A live note on or off, or a controller, arriving at a song position.
    void HandleEvent(const cAudioEvent& event, int32_t position);
    // Files the finished records before the position into parts.
    void CommitUpTo(int32_t position);
    // Notes still held end just before the position.
    void FinishHeldNotes(int32_t position);
    void DiscardHeldNotes();
    // At the end of a record count-in: held notes (and touched controllers)
    // start at the position, everything else is dropped.
    void MoveHeldToStart(int32_t position);
    // A jump of the song loop: what is still held moves with it.
    void ShiftHeld(int32_t delta);

    cTrack* GetTrack() const { return mTrack; }
    int32_t GetHeldCount() const { return static_cast<int32_t>(mHeld.GetCount()); }

private:
    struct cRecord : Base::cIntrusiveListItem<cRecord>
    {
        cPatternEvent* event = nullptr; // its time is a song position until committed
        uint32_t id = 0;                // the note on's voice id; 0 for a controller
        int32_t start = 0;              // where it arrived, unquantised
        bool finished = false;
    };

    using cList = Base::cIntrusiveList<cRecord>;

    void EndNote(const cAudioEvent& event, int32_t time, int32_t position);
    void BeginEvent(const cAudioEvent& event, int32_t time, int32_t position, bool ownTime);
    void Hold(cRecord* record);
    // Frees the record's event and returns the record.
    void Drop(cRecord* record);
    void ReturnRecord(cRecord* record);
    void Commit(cPatternEvent* event, int32_t position, int32_t window);

    cTrack* mTrack;
    cList mHeld; // by event time; equal times in arrival order
    cList mFree;
    cRecord mRecords[kHeldRecords];
};
