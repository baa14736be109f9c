#pragma once
#include <cstdint>

#include "sampler/SampleEditCommand.h"

class cSampleEditModel;

// The last four edits of a sample editor, oldest first. Slots 0..current are
// in effect; the slots after current were undone and can be redone until a
// new edit replaces them. An undo or redo that is refused leaves the history
// where it was; the model's error text says why.
class cSampleEditHistory
{
public:
    static constexpr int32_t Capacity = 4;

    explicit cSampleEditHistory(cSampleEditModel* model);
    ~cSampleEditHistory();
    cSampleEditHistory(const cSampleEditHistory&) = delete;
    cSampleEditHistory& operator=(const cSampleEditHistory&) = delete;

    // A new command of no type, current and owned by the history, after the
    // undone commands are destroyed and, with four in effect, the oldest.
    cSampleEditCommand* Push();
    // The same for a command made by the caller and already executed.
    void Push(cSampleEditCommand* command);
    // The command undone or redone; null when there was none, or when it
    // was refused.
    cSampleEditCommand* Undo();
    cSampleEditCommand* Redo();
    // Undoes or redoes until the command at index (-1: none) is the current
    // one, stopping at a refusal. The last command handled; null when the
    // index was current already or the first step was refused.
    cSampleEditCommand* GoTo(int32_t index);
    bool CanUndo() const { return mCurrent >= 0; }
    bool CanRedo() const { return mCurrent < mCount - 1; }
    // Destroys every command.
    void Clear();

    int32_t GetCount() const { return mCount; }
    int32_t GetCurrent() const { return mCurrent; }
    cSampleEditCommand* GetSlot(int32_t index) const;

private:
    void DropUndone();
    void DropOldest();

    cSampleEditModel* mModel;
    cSampleEditCommand* mSlots[Capacity] = {};
    int32_t mCount = 0;
    int32_t mCurrent = -1;
};
