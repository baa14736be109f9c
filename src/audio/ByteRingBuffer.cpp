#include "audio/ByteRingBuffer.h"

#include <algorithm>
#include <cstring>

cByteRingBuffer::cByteRingBuffer(uint32_t capacity)
    : mCapacity(capacity)
    , mData(capacity ? new uint8_t[capacity]() : nullptr)
{
}

uint32_t cByteRingBuffer::Write(const void* bytes, uint32_t n)
{
    const uint32_t count = std::min(n, mCapacity - mFill);
    if (count < n)
        ++mShortWrites;
    if (count == 0)
        return 0;
    const uint8_t* source = static_cast<const uint8_t*>(bytes);
    const uint32_t first = std::min(count, mCapacity - mWritePosition);
    std::memcpy(mData.get() + mWritePosition, source, first);
    std::memcpy(mData.get(), source + first, count - first);
    mWritePosition = (mWritePosition + count) % mCapacity;
    mFill += count;
    return count;
}

uint32_t cByteRingBuffer::Read(void* destination, uint32_t n)
{
    const uint32_t count = std::min(n, mFill);
    if (count < n)
        ++mShortReads;
    if (count == 0)
        return 0;
    uint8_t* target = static_cast<uint8_t*>(destination);
    const uint32_t first = std::min(count, mCapacity - mReadPosition);
    std::memcpy(target, mData.get() + mReadPosition, first);
    std::memcpy(target + first, mData.get(), count - first);
    mReadPosition = (mReadPosition + count) % mCapacity;
    mFill -= count;
    return count;
}

void cByteRingBuffer::Clear()
{
    if (mData)
        std::memset(mData.get(), 0, mCapacity);
    mReadPosition = mWritePosition = mFill = 0;
    mShortWrites = mShortReads = 0;
}

void cByteRingBuffer::Resize(uint32_t capacity)
{
    if (capacity != mCapacity)
    {
        mData.reset(capacity ? new uint8_t[capacity] : nullptr);
        mCapacity = capacity;
    }
    Clear();
}
