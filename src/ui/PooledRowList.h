#pragma once

#include <cstdint>

// The rows of a flat list, taken from blocks of 16 so that a list rebuilt
// after every change allocates a block at a time rather than a row. A row
// type has public prev and next links and Release(), which lets go of what
// the row holds (its name) as the row goes back to the pool. Blocks with
// free rows stay at the front of the block list; a block whose rows are all
// free again is freed. Main thread only.
template <class tRow>
class cPooledRowList
{
public:
    static constexpr int32_t kBlockRows = 16;

    cPooledRowList() = default;
    ~cPooledRowList();
    cPooledRowList(const cPooledRowList&) = delete;
    cPooledRowList& operator=(const cPooledRowList&) = delete;

    // A row as its type makes it, linked at the end.
    tRow* Append();
    // Returns every row to the pool.
    void Clear();

    tRow* GetHead() const { return mHead; }
    tRow* GetTail() const { return mTail; }
    int32_t GetCount() const { return mCount; }
    int32_t GetBlockCount() const { return mBlockCount; }

private:
    struct cBlock
    {
        tRow rows[kBlockRows];
        tRow* freeRows = nullptr;
        int32_t freeCount = 0;
        cBlock* prev = nullptr;
        cBlock* next = nullptr;
    };

    cBlock* NewBlock();
    cBlock* BlockOf(const tRow* row) const;
    void Unlink(cBlock* block);
    void LinkFront(cBlock* block);
    void LinkBack(cBlock* block);
    void Return(tRow* row);

    cBlock* mFirstBlock = nullptr;
    cBlock* mLastBlock = nullptr;
    int32_t mBlockCount = 0;
    tRow* mHead = nullptr;
    tRow* mTail = nullptr;
    int32_t mCount = 0;
};

template <class tRow>
cPooledRowList<tRow>::~cPooledRowList()
{
    while (cBlock* block = mFirstBlock)
    {
        Unlink(block);
        delete block;
    }
}

template <class tRow>
tRow* cPooledRowList<tRow>::Append()
{
    cBlock* block = mFirstBlock && mFirstBlock->freeCount > 0 ? mFirstBlock : NewBlock();
    tRow* row = block->freeRows;
    block->freeRows = row->next;
    if (--block->freeCount == 0)
    {
        Unlink(block);
        LinkBack(block);
    }
    row->prev = mTail;
    row->next = nullptr;
    (mTail ? mTail->next : mHead) = row;
    mTail = row;
    ++mCount;
    return row;
}

template <class tRow>
void cPooledRowList<tRow>::Clear()
{
    tRow* row = mHead;
    mHead = mTail = nullptr;
    mCount = 0;
    while (row)
    {
        tRow* next = row->next;
        Return(row);
        row = next;
    }
}

template <class tRow>
typename cPooledRowList<tRow>::cBlock* cPooledRowList<tRow>::NewBlock()
{
    auto* block = new cBlock();
    for (int32_t i = kBlockRows - 1; i >= 0; --i)
    {
        block->rows[i].next = block->freeRows;
        block->freeRows = &block->rows[i];
    }
    block->freeCount = kBlockRows;
    LinkFront(block);
    return block;
}

template <class tRow>
typename cPooledRowList<tRow>::cBlock* cPooledRowList<tRow>::BlockOf(const tRow* row) const
{
    for (cBlock* block = mFirstBlock; block; block = block->next)
        if (row >= block->rows && row < block->rows + kBlockRows)
            return block;
    return nullptr;
}

template <class tRow>
void cPooledRowList<tRow>::Return(tRow* row)
{
    cBlock* block = BlockOf(row);
    row->Release();
    row->prev = nullptr;
    row->next = block->freeRows;
    block->freeRows = row;
    if (++block->freeCount == kBlockRows)
    {
        Unlink(block);
        delete block;
        return;
    }
    if (block->freeCount == 1)
    {
        Unlink(block);
        LinkFront(block);
    }
}

template <class tRow>
void cPooledRowList<tRow>::Unlink(cBlock* block)
{
    (block->prev ? block->prev->next : mFirstBlock) = block->next;
    (block->next ? block->next->prev : mLastBlock) = block->prev;
    block->prev = block->next = nullptr;
    --mBlockCount;
}

template <class tRow>
void cPooledRowList<tRow>::LinkFront(cBlock* block)
{
    block->next = mFirstBlock;
    (mFirstBlock ? mFirstBlock->prev : mLastBlock) = block;
    mFirstBlock = block;
    ++mBlockCount;
}

template <class tRow>
void cPooledRowList<tRow>::LinkBack(cBlock* block)
{
    block->prev = mLastBlock;
    (mLastBlock ? mLastBlock->next : mFirstBlock) = block;
    mLastBlock = block;
    ++mBlockCount;
}
