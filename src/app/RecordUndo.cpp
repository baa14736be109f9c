#include "app/RecordUndo.h"

// Live recording keeps the journal of its sessions; until the sequencer has
// one there is no session to take back.
bool HasRecordSessionToUndo() { return false; }

bool UndoRecordSession() { return false; }
