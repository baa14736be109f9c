#include "sequencer/TrackRecorder.h"

void cTrackRecorder::HandleEvent(const cAudioEvent&, int32_t) {}

void cTrackRecorder::CommitUpTo(int32_t) {}

void cTrackRecorder::FinishHeldNotes(int32_t) {}

void cTrackRecorder::DiscardHeldNotes() {}

void cTrackRecorder::MoveHeldToStart(int32_t) {}

void cTrackRecorder::ShiftHeld(int32_t) {}
