#include "audio/AudioFifo.h"

#include "audio/AudioBuffer.h"

uint32_t cAudioFifo::SetFormat(uint32_t format, uint32_t channels)
{
    if (format != mFormat || channels != mChannels)
    {
        mFormat = format;
        mChannels = channels;
        UpdateFrames();
        Clear();
    }
    return mCapacityFrames;
}

uint32_t cAudioFifo::SetCapacity(uint32_t bytes)
{
    Resize(bytes);
    UpdateFrames();
    return mCapacityFrames;
}

void cAudioFifo::UpdateFrames()
{
    mFrameBytes = mChannels * GetBytesPerSample(mFormat);
    mCapacityFrames = mFrameBytes ? GetCapacity() / mFrameBytes : 0;
}
