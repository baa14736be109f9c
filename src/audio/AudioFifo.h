#pragma once
#include <cstdint>

#include "audio/ByteRingBuffer.h"

// The block adapter's FIFO: a byte ring that knows the frame format it holds
// and is emptied whenever that format changes.
class cAudioFifo : public cByteRingBuffer
{
public:
    // Returns the capacity in frames.
    uint32_t SetFormat(uint32_t format, uint32_t channels);
    uint32_t SetCapacity(uint32_t bytes);

    uint32_t GetFrameBytes() const { return mFrameBytes; }
    uint32_t GetCapacityFrames() const { return mCapacityFrames; }
    uint32_t GetFillFrames() const { return mFrameBytes ? GetFill() / mFrameBytes : 0; }

private:
    void UpdateFrames();

    uint32_t mFormat = 0;
    uint32_t mChannels = 0;
    uint32_t mCapacityFrames = 0;
    uint32_t mFrameBytes = 0;
};
