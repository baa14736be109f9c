#pragma once
#include <cstdint>
#include <memory>

// Keeps the newest capacity bytes written (the analyser's history).
class cSampleRingBuffer
{
public:
    explicit cSampleRingBuffer(uint32_t capacity);

    void Write(const void* bytes, uint32_t n);
    // Zeros, with nothing written yet.
    void Clear();

    uint32_t GetCapacity() const { return mCapacity; }
    const uint8_t* GetData() const { return mData.get(); }
    uint32_t GetWritePosition() const { return mWritePosition; }
    uint32_t GetFill() const { return mFill; }

private:
    uint32_t mCapacity;
    std::unique_ptr<uint8_t[]> mData;
    uint32_t mWritePosition = 0;
    uint32_t mFill = 0;
};
