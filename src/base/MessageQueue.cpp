#include "base/MessageQueue.h"

cMessageQueue* gMessageQueue = nullptr;

cMessageQueue::cMessageQueue()
{
    gMessageQueue = this;
    AllocateStorage();
    mReadIndex.exchange(0);
    mWriteIndex.exchange(0);
}

cMessageQueue::~cMessageQueue()
{
    delete[] mEntries;
    if (gMessageQueue == this)
        gMessageQueue = nullptr;
}

void cMessageQueue::AllocateStorage()
{
    if (mEntries != nullptr)
        return;
    mEntries = new cMessage[kCapacity];
}

bool cMessageQueue::Push(const cMessage& message)
{
    const int32_t write = mWriteIndex.load(std::memory_order_relaxed);
    const int32_t next = (write + 1) & kMask;
    if (next == mReadIndex.load())
        return false;
    mEntries[write] = message;
    // The full barrier publishes the copy before the index that covers it.
    mWriteIndex.exchange(next);
    return true;
}

void cMessageQueue::Dispatch(const cDelegate& callback)
{
    for (const cMessage* message = Peek(); message != nullptr; message = Peek())
    {
        callback.Invoke(message);
        Advance();
    }
}

const cMessageQueue::cMessage* cMessageQueue::Peek() const
{
    const int32_t read = mReadIndex.load(std::memory_order_relaxed);
    return read == mWriteIndex.load() ? nullptr : &mEntries[read];
}

void cMessageQueue::Advance()
{
    const int32_t read = mReadIndex.load(std::memory_order_relaxed);
    if (read != mWriteIndex.load())
        mReadIndex.exchange((read + 1) & kMask);
}

void cMessageQueue::Reset()
{
    AllocateStorage();
    mReadIndex.exchange(0);
    mWriteIndex.exchange(0);
}
