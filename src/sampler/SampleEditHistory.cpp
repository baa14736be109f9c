#include "sampler/SampleEditHistory.h"

#include <algorithm>

#include "sampler/SampleEditModel.h"

cSampleEditHistory::cSampleEditHistory(cSampleEditModel* model) : mModel(model) {}

cSampleEditHistory::~cSampleEditHistory() { Clear(); }

cSampleEditCommand* cSampleEditHistory::Push()
{
    cSampleEditCommand* command = new cSampleEditCommand(mModel);
    Push(command);
    return command;
}

void cSampleEditHistory::Push(cSampleEditCommand* command)
{
    DropUndone();
    if (mCurrent >= Capacity - 1)
        DropOldest();
    mSlots[++mCurrent] = command;
    mCount = std::max(mCount, mCurrent + 1);
}

void cSampleEditHistory::DropUndone()
{
    for (int32_t i = mCurrent + 1; i < mCount; ++i)
    {
        delete mSlots[i];
        mSlots[i] = nullptr;
    }
    mCount = mCurrent + 1;
}

void cSampleEditHistory::DropOldest()
{
    delete mSlots[0];
    std::copy(mSlots + 1, mSlots + Capacity, mSlots);
    mSlots[Capacity - 1] = nullptr;
    --mCurrent;
    --mCount;
}

cSampleEditCommand* cSampleEditHistory::Undo()
{
    mModel->SetErrorText("");
    if (mCurrent < 0)
        return nullptr;
    cSampleEditCommand* command = mSlots[mCurrent];
    if (!command->Undo())
        return nullptr;
    --mCurrent;
    mModel->SetOverviewDirty(true);
    return command;
}

cSampleEditCommand* cSampleEditHistory::Redo()
{
    mModel->SetErrorText("");
    if (mCurrent >= mCount - 1)
        return nullptr;
    cSampleEditCommand* command = mSlots[mCurrent + 1];
    if (!command->Execute())
        return nullptr;
    ++mCurrent;
    mModel->SetOverviewDirty(true);
    return command;
}

cSampleEditCommand* cSampleEditHistory::GoTo(int32_t index)
{
    index = std::clamp(index, -1, mCount - 1);
    cSampleEditCommand* last = nullptr;
    while (mCurrent != index)
    {
        cSampleEditCommand* step = mCurrent < index ? Redo() : Undo();
        if (!step)
            break;
        last = step;
    }
    return last;
}

void cSampleEditHistory::Clear()
{
    for (int32_t i = 0; i < mCount; ++i)
    {
        delete mSlots[i];
        mSlots[i] = nullptr;
    }
    mCount = 0;
    mCurrent = -1;
}

cSampleEditCommand* cSampleEditHistory::GetSlot(int32_t index) const
{
    return index >= 0 && index < mCount ? mSlots[index] : nullptr;
}
