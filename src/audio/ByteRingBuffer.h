#pragma once
#include <cstdint>
#include <memory>

// A byte FIFO of fixed capacity. Writes beyond the free room and reads beyond
// the fill are cut short; the short counts only record that it happened.
class cByteRingBuffer
{
public:
    explicit cByteRingBuffer(uint32_t capacity = 0);

    uint32_t Write(const void* bytes, uint32_t n);
    uint32_t Read(void* destination, uint32_t n);
    // Zeroes the data and resets positions, fill and counters.
    void Clear();
    // Reallocates when the size changes, then clears.
    void Resize(uint32_t capacity);

    uint32_t GetCapacity() const { return mCapacity; }
    uint32_t GetFill() const { return mFill; }
    uint32_t GetShortWrites() const { return mShortWrites; }
    uint32_t GetShortReads() const { return mShortReads; }

private:
    uint32_t mCapacity;
    std::unique_ptr<uint8_t[]> mData;
    uint32_t mReadPosition = 0;
    uint32_t mWritePosition = 0;
    uint32_t mFill = 0;
    uint32_t mShortWrites = 0;
    uint32_t mShortReads = 0;
};
