#include "editors/SongEditLock.h"

#include "base/CriticalSection.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/Sequencer.h"

cSongEditLock::cSongEditLock(eUse use)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    mLock = sequencer ? sequencer->GetLock() : nullptr;
    if (!mLock)
        return;
    mLock->Enter();
    sequencer->CommitRecordedNotes();
    if (use == kChange)
        sequencer->GetRecordUndoJournal()->Clear();
}

cSongEditLock::~cSongEditLock()
{
    if (mLock)
        mLock->Leave();
}
