#include "audio/BlockAdapter.h"

#include <algorithm>
#include <cstring>

namespace
{
uint32_t RoundUp(uint32_t value, uint32_t multiple) { return (value + multiple - 1) / multiple * multiple; }
} // namespace

cBlockAdapter::cBlockAdapter(uint32_t blockFrames, const cDelegate& render)
    : mBlockFrames(std::max(RoundUp(blockFrames, kGranularity), kGranularity))
    , mRender(render)
    , mScratchBytes(kMaxFrameBytes * mBlockFrames)
    , mScratch(new uint8_t[mScratchBytes]())
{
    mFifo.SetCapacity(kMaxFrameBytes * mBlockFrames);
}

uint32_t cBlockAdapter::TakeFromFifo(cAudioBuffer& view, uint32_t frames)
{
    const uint32_t n = std::min(frames, mFifo.GetFillFrames());
    if (n == 0)
        return 0;
    const uint32_t bytes = n * mFifo.GetFrameBytes();
    mFifo.Read(view.data, bytes);
    view.data = static_cast<uint8_t*>(view.data) + bytes;
    return n;
}

void cBlockAdapter::RenderThroughScratch(cAudioProcessInfo& info, cAudioBuffer& view, uint32_t frames, uint32_t rounded)
{
    const uint32_t frameBytes = mFifo.GetFrameBytes();
    cAudioBuffer scratch;
    scratch.Describe(view.format, rounded, view.channels, mScratch.get());
    // A frame wider than the scratch allows cannot be adapted: play silence
    // rather than write past the scratch.
    if (scratch.bytes > mScratchBytes || scratch.bytes > mFifo.GetCapacity() - mFifo.GetFill())
    {
        std::memset(view.data, 0, size_t(frames) * frameBytes);
        return;
    }
    info.duration = rounded * info.secondsPerSample;
    mRender.Invoke(&info, &scratch);
    mFifo.Write(scratch.data, scratch.bytes);
    mFifo.Read(view.data, frames * frameBytes);
}

void cBlockAdapter::Process(cAudioProcessInfo& info, const cAudioBuffer& buffer, uint32_t largestBlock)
{
    mFifo.SetFormat(buffer.format, buffer.channels);
    const uint32_t limit = largestBlock ? std::min(largestBlock, mBlockFrames) : mBlockFrames;
    cAudioBuffer view = buffer;
    uint32_t remaining = buffer.frames;
    remaining -= TakeFromFifo(view, remaining);
    while (remaining > 0)
    {
        const uint32_t n = std::min(remaining, limit);
        view.frames = n;
        view.bytes = view.bytesPerSample * view.channels * n;
        const uint32_t rounded = RoundUp(n, kGranularity);
        if (rounded == n)
        {
            info.duration = n * info.secondsPerSample;
            mRender.Invoke(&info, &view);
        }
        else
            RenderThroughScratch(info, view, n, rounded);
        view.data = static_cast<uint8_t*>(view.data) + view.bytes;
        remaining -= n;
    }
}
