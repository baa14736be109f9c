#include "audio/AudioBuffer.h"

uint32_t GetBytesPerSample(uint32_t format)
{
    switch (format)
    {
    case kAudioFormatS8: return 1;
    case kAudioFormatS16: return 2;
    case kAudioFormatS24: return 3;
    case kAudioFormatS32:
    case kAudioFormatS32Converted:
    case kAudioFormatFloat: return 4;
    default: return 0;
    }
}

void cAudioBuffer::Describe(uint32_t newFormat, uint32_t newFrames, uint32_t newChannels, void* newData)
{
    format = newFormat;
    reserved = 0;
    frames = newFrames;
    channels = newChannels;
    bytesPerSample = GetBytesPerSample(newFormat);
    bytes = newFrames * newChannels * bytesPerSample;
    data = newData;
}
