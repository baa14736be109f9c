#include "audio/SampleRingBuffer.h"

#include <algorithm>
#include <cstring>

cSampleRingBuffer::cSampleRingBuffer(uint32_t capacity)
    : mCapacity(capacity)
    , mData(new uint8_t[capacity]())
{
}

void cSampleRingBuffer::Write(const void* bytes, uint32_t n)
{
    if (mCapacity == 0 || n == 0)
        return;
    const uint8_t* source = static_cast<const uint8_t*>(bytes);
    // Only the newest capacity bytes can survive.
    const uint32_t skipped = n > mCapacity ? n - mCapacity : 0;
    uint32_t count = n - skipped;
    source += skipped;
    mFill = std::min(mCapacity, mFill + count);
    uint32_t position = uint32_t((uint64_t(mWritePosition) + skipped) % mCapacity);
    const uint32_t first = std::min(count, mCapacity - position);
    std::memcpy(mData.get() + position, source, first);
    std::memcpy(mData.get(), source + first, count - first);
    mWritePosition = uint32_t((uint64_t(mWritePosition) + n) % mCapacity);
}

void cSampleRingBuffer::Clear()
{
    std::memset(mData.get(), 0, mCapacity);
    mWritePosition = 0;
    mFill = 0;
}
