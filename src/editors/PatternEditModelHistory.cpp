#include "editors/PatternEditModel.h"

#include <limits>

#include "base/ProjectModified.h"
#include "editors/PatternEditAction.h"
#include "editors/SongEditLock.h"

cPatternEditAction* cPatternEditModel::BeginAction()
{
    // Dropped steps free the events they kept, from the song's event pool.
    cSongEditLock lock(cSongEditLock::kRead);
    BackupPattern();
    MarkProjectModified();
    return mHistory.Begin(this);
}

cPatternEditAction* cPatternEditModel::GoToHistoryStep(int32_t step)
{
    cPatternEditAction* last = mHistory.GoTo(step);
    if (!last)
        return nullptr;
    SetDirty();
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return last;
}

void cPatternEditModel::ClearHistory()
{
    if (mHistory.IsEmpty())
        return;
    cSongEditLock lock(cSongEditLock::kRead);
    mHistory.Clear();
}

void cPatternEditModel::BackupPattern()
{
    const cPattern* pattern = GetPattern();
    if (mHasBackup || !pattern)
        return;
    cSongEditLock lock(cSongEditLock::kRead);
    mBackup.Clear();
    mBackup.CopyRange(*pattern, 0, std::numeric_limits<int32_t>::max());
    mHasBackup = true;
}

void cPatternEditModel::DropBackup()
{
    if (!mHasBackup && !mBackup.head)
        return;
    cSongEditLock lock(cSongEditLock::kRead);
    mBackup.Clear();
    mHasBackup = false;
}
