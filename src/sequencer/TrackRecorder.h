#pragma once
#include <cstdint>

class cTrack;
struct cAudioEvent;

// What a track records while the transport records. It holds nothing yet:
// live recording fills it in; the track already calls it wherever a recording
// must be committed, finished, moved or dropped.
class cTrackRecorder
{
public:
    explicit cTrackRecorder(cTrack* track) : mTrack(track) {}

    // A live note or controller arriving at a song position.
    void HandleEvent(const cAudioEvent& event, int32_t position);
    // Files what is complete up to the position into parts.
    void CommitUpTo(int32_t position);
    // Notes still held end at the position.
    void FinishHeldNotes(int32_t position);
    void DiscardHeldNotes();
    // At the end of a record count-in: what is still held starts at the position.
    void MoveHeldToStart(int32_t position);
    // A jump of the song loop: what is still held moves with it.
    void ShiftHeld(int32_t delta);

    cTrack* GetTrack() const { return mTrack; }

private:
    cTrack* mTrack;
};
