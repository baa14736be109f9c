#pragma once

#include <algorithm>
#include <cstdint>

// An editor's undo steps: up to kSteps actions, those up to the current one
// done and those after it to redo. It owns its actions; the editor holds
// whatever lock their deletion needs around Begin and Clear.
template <class tAction, int32_t kSteps>
class cEditHistory
{
public:
    // A new current action made for the owner, after the steps to redo and
    // (when full) the oldest are dropped. They go first, so that what they
    // kept is free before the new action takes anything.
    template <class tOwner>
    tAction* Begin(tOwner* owner)
    {
        for (int32_t i = mCount - 1; i > mCurrent; --i)
            DeleteStep(i);
        mCount = mCurrent + 1;
        if (mCurrent == kSteps - 1)
        {
            delete mSteps[0];
            std::copy(mSteps + 1, mSteps + kSteps, mSteps);
            mSteps[kSteps - 1] = nullptr;
            --mCurrent;
            --mCount;
        }
        mSteps[++mCurrent] = new tAction(owner);
        mCount = mCurrent + 1;
        return mSteps[mCurrent];
    }
    // Runs or undoes actions until the step (clamped to -1..count - 1) is
    // the current one; the last action handled, null when nothing changed.
    tAction* GoTo(int32_t step)
    {
        const int32_t target = std::clamp(step, -1, mCount - 1);
        tAction* last = nullptr;
        while (mCurrent < target)
        {
            last = mSteps[++mCurrent];
            last->Execute();
        }
        while (mCurrent > target)
        {
            last = mSteps[mCurrent--];
            last->Undo();
        }
        return last;
    }
    // Newest first: a later step may hold what an earlier one made.
    void Clear()
    {
        for (int32_t i = kSteps - 1; i >= 0; --i)
            DeleteStep(i);
        mCount = 0;
        mCurrent = -1;
    }

    bool IsEmpty() const { return mCount == 0; }
    bool CanUndo() const { return mCurrent >= 0; }
    bool CanRedo() const { return mCurrent < mCount - 1; }
    int32_t GetCount() const { return mCount; }
    int32_t GetCurrent() const { return mCurrent; }
    tAction* GetStep(int32_t step) const { return step >= 0 && step < mCount ? mSteps[step] : nullptr; }

private:
    void DeleteStep(int32_t i)
    {
        delete mSteps[i];
        mSteps[i] = nullptr;
    }

    tAction* mSteps[kSteps] = {};
    int32_t mCount = 0;
    int32_t mCurrent = -1;
};
