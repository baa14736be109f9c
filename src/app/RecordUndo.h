#pragma once

// The undo of the last real-time record session, as the status bar offers it.

// Whether a record session is held that can be taken back.
bool HasRecordSessionToUndo();
// Under the sequencer's lock: takes back the session still held and tells
// the editors the song changed; false when none was left.
bool UndoRecordSession();
