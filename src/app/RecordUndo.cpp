#include "app/RecordUndo.h"

// DEV-ONLY: replaced by the record journal's calls once it lands.
bool HasRecordSessionToUndo() { return false; }

bool UndoRecordSession() { return false; }
