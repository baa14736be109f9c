#pragma once
#include <cstdint>

// A fixed pool of N note records that never grows: taking one moves it from
// the free list to the front of the used list (so the used list runs newest
// first); releasing moves it back to the front of the free list. A full
// pool takes nothing.
template <class tRecord, int32_t tSize>
class cPianoNotePool
{
public:
    cPianoNotePool()
    {
        for (int32_t i = 0; i < tSize; ++i)
            mNext[i] = i + 1 < tSize ? i + 1 : -1;
        mFreeHead = 0;
    }

    // Null when every record is in use.
    tRecord* Take()
    {
        if (mFreeHead < 0)
            return nullptr;
        const int32_t index = mFreeHead;
        mFreeHead = mNext[index];
        mNext[index] = mUsedHead;
        mUsedHead = index;
        ++mUsedCount;
        return &mRecords[index];
    }

    void Release(tRecord* record)
    {
        const int32_t index = int32_t(record - mRecords);
        int32_t* link = &mUsedHead;
        while (*link >= 0 && *link != index)
            link = &mNext[*link];
        if (*link != index)
            return;
        *link = mNext[index];
        mNext[index] = mFreeHead;
        mFreeHead = index;
        --mUsedCount;
    }

    // The used records, newest first.
    tRecord* First() { return mUsedHead >= 0 ? &mRecords[mUsedHead] : nullptr; }
    tRecord* Next(tRecord* record)
    {
        const int32_t next = mNext[record - mRecords];
        return next >= 0 ? &mRecords[next] : nullptr;
    }
    int32_t GetUsedCount() const { return mUsedCount; }

private:
    tRecord mRecords[tSize] = {};
    int32_t mNext[tSize] = {};
    int32_t mUsedHead = -1;
    int32_t mFreeHead = -1;
    int32_t mUsedCount = 0;
};
