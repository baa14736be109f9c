#pragma once
#include <cstdint>
#include <functional>

// While set on a thread (the audio thread inside a block), pools keep the
// blocks that empty there, so that the real-time thread never frees memory;
// the main thread's TopUp releases them later.
inline thread_local bool tBlockPoolsKeepEmptyBlocks = false;

class cKeepEmptyPoolBlocks
{
public:
    cKeepEmptyPoolBlocks() : mWas(tBlockPoolsKeepEmptyBlocks) { tBlockPoolsKeepEmptyBlocks = true; }
    ~cKeepEmptyPoolBlocks() { tBlockPoolsKeepEmptyBlocks = mWas; }
    cKeepEmptyPoolBlocks(const cKeepEmptyPoolBlocks&) = delete;
    cKeepEmptyPoolBlocks& operator=(const cKeepEmptyPoolBlocks&) = delete;

private:
    bool mWas;
};

// Records handed out from blocks of a fixed size, so that recording on the
// audio thread seldom allocates. Allocation takes from the first block; a new
// block goes to the front when that one is full or missing; a block that fills
// moves to the end; freeing a record moves its block to the front; a block
// whose records are all free is released, unless the pool's reserve needs it
// or tBlockPoolsKeepEmptyBlocks is set. Not locked: the song model's users
// hold the sequencer lock.
template <class T, int32_t kBlockSize>
class cBlockPool
{
public:
    cBlockPool() = default;
    cBlockPool(const cBlockPool&) = delete;
    cBlockPool& operator=(const cBlockPool&) = delete;
    ~cBlockPool()
    {
        while (mFirst)
        {
            cBlock* next = mFirst->next;
            delete mFirst;
            mFirst = next;
        }
    }

    // A record reset to its defaults.
    T* Allocate()
    {
        if (!mFirst || mFirst->freeCount == 0)
            Link(new cBlock(), nullptr);
        cBlock* block = mFirst;
        T* item = &block->items[block->freeSlots[--block->freeCount]];
        *item = T();
        ++mUsedCount;
        if (block->freeCount == 0 && block != mLast)
        {
            Unlink(block);
            Link(block, mLast);
        }
        return item;
    }

    // A record of another pool (or none) is ignored.
    void Free(T* item)
    {
        cBlock* block = Find(item);
        if (!block)
            return;
        block->freeSlots[block->freeCount++] = static_cast<int32_t>(item - block->items);
        --mUsedCount;
        Unlink(block);
        // Unlinked, the block no longer counts among the free records.
        if (block->freeCount == kBlockSize && !tBlockPoolsKeepEmptyBlocks && GetFreeCount() >= mReserve)
            delete block;
        else
            Link(block, nullptr);
    }

    // Main thread: at least `reserve` free records are ready, so that a
    // recording pass on the audio thread takes them without allocating; empty
    // blocks beyond the reserve (those the audio thread kept) are released.
    void TopUp(int32_t reserve)
    {
        mReserve = reserve;
        while (GetFreeCount() < reserve)
            Link(new cBlock(), nullptr);
        for (cBlock* block = mFirst; block && GetFreeCount() - kBlockSize >= reserve;)
        {
            cBlock* next = block->next;
            if (block->freeCount == kBlockSize)
            {
                Unlink(block);
                delete block;
            }
            block = next;
        }
    }

    int32_t GetBlockCount() const { return mBlockCount; }
    int32_t GetUsedCount() const { return mUsedCount; }
    int32_t GetFreeCount() const { return mBlockCount * kBlockSize - mUsedCount; }

private:
    struct cBlock
    {
        cBlock()
        {
            for (int32_t i = 0; i < kBlockSize; ++i)
                freeSlots[i] = kBlockSize - 1 - i;
        }

        bool Holds(const T* item) const
        {
            return std::less_equal<const T*>()(items, item) && std::less<const T*>()(item, items + kBlockSize);
        }

        cBlock* previous = nullptr;
        cBlock* next = nullptr;
        int32_t freeCount = kBlockSize;
        int32_t freeSlots[kBlockSize];
        T items[kBlockSize];
    };

    cBlock* Find(const T* item) const
    {
        for (cBlock* block = mFirst; block; block = block->next)
            if (block->Holds(item))
                return block;
        return nullptr;
    }

    // After `after`, or at the front when it is null.
    void Link(cBlock* block, cBlock* after)
    {
        block->previous = after;
        block->next = after ? after->next : mFirst;
        if (block->next)
            block->next->previous = block;
        else
            mLast = block;
        if (after)
            after->next = block;
        else
            mFirst = block;
        ++mBlockCount;
    }

    void Unlink(cBlock* block)
    {
        if (block->previous)
            block->previous->next = block->next;
        else
            mFirst = block->next;
        if (block->next)
            block->next->previous = block->previous;
        else
            mLast = block->previous;
        block->previous = block->next = nullptr;
        --mBlockCount;
    }

    cBlock* mFirst = nullptr;
    cBlock* mLast = nullptr;
    int32_t mBlockCount = 0;
    int32_t mUsedCount = 0;
    int32_t mReserve = 0; // free records kept ready once topped up
};
