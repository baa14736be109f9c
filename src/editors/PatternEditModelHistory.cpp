#include "editors/PatternEditModel.h"

#include <algorithm>
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
    for (int32_t i = mCurrentStep + 1; i < mStepCount; ++i)
    {
        delete mSteps[i];
        mSteps[i] = nullptr;
    }
    mStepCount = mCurrentStep + 1;
    if (mCurrentStep == kHistorySteps - 1)
    {
        delete mSteps[0];
        std::copy(mSteps + 1, mSteps + kHistorySteps, mSteps);
        mSteps[kHistorySteps - 1] = nullptr;
        mCurrentStep = kHistorySteps - 2;
        mStepCount = kHistorySteps - 1;
    }
    ++mCurrentStep;
    mSteps[mCurrentStep] = new cPatternEditAction(this);
    mStepCount = std::max(mStepCount, mCurrentStep + 1);
    return mSteps[mCurrentStep];
}

cPatternEditAction* cPatternEditModel::GoToHistoryStep(int32_t step)
{
    const int32_t target = std::clamp(step, -1, mStepCount - 1);
    if (target == mCurrentStep)
        return nullptr;
    cPatternEditAction* last = nullptr;
    while (mCurrentStep < target)
    {
        last = mSteps[++mCurrentStep];
        last->Execute();
    }
    while (mCurrentStep > target)
    {
        last = mSteps[mCurrentStep--];
        last->Undo();
    }
    SetDirty();
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return last;
}

void cPatternEditModel::ClearHistory()
{
    if (mStepCount == 0)
        return;
    cSongEditLock lock(cSongEditLock::kRead);
    for (int32_t i = kHistorySteps - 1; i >= 0; --i)
    {
        delete mSteps[i];
        mSteps[i] = nullptr;
    }
    mStepCount = 0;
    mCurrentStep = -1;
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
