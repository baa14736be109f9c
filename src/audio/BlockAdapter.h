#pragma once
#include <cstdint>
#include <memory>

#include "audio/AudioBuffer.h"
#include "audio/AudioFifo.h"
#include "base/Delegate.h"

// Cuts a device buffer into blocks of at most the largest block length whose
// lengths are multiples of 4 frames and has each rendered straight into the
// device buffer. When the buffer's tail is not a multiple of 4, that block is
// rendered into a scratch buffer at the rounded-up length and the unused
// frames wait in the FIFO for the start of the next buffer.
class cBlockAdapter
{
public:
    // render is invoked with (cAudioProcessInfo&, cAudioBuffer&) per block.
    cBlockAdapter(uint32_t blockFrames, const cDelegate& render);

    void Process(cAudioProcessInfo& info, const cAudioBuffer& buffer, uint32_t largestBlock);
    void ClearFifo() { mFifo.Clear(); }

    uint32_t GetBlockFrames() const { return mBlockFrames; }
    const cAudioFifo& GetFifo() const { return mFifo; }

private:
    // Frames of one device block of up to 8 bytes each (16-bit stereo needs 4).
    static constexpr uint32_t kMaxFrameBytes = 8;
    static constexpr uint32_t kGranularity = 4;

    uint32_t TakeFromFifo(cAudioBuffer& view, uint32_t frames);
    void RenderThroughScratch(cAudioProcessInfo& info, cAudioBuffer& view, uint32_t frames, uint32_t rounded);

    uint32_t mBlockFrames;
    cDelegate mRender;
    cAudioFifo mFifo;
    uint32_t mScratchBytes;
    std::unique_ptr<uint8_t[]> mScratch;
};
