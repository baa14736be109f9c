#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/AudioModule.h"
#include "audio/SampleConvert.h"

// Writes a sine into 16-bit device blocks, as the mixer writes its mix:
// renders float and converts. Phase is continuous across blocks.
class cSineModule : public cAudioModule
{
public:
    cSineModule(double frequency, float level, double phase = 0.0)
        : cAudioModule(nullptr, 16)
        , mFrequency(frequency)
        , mLevel(level)
        , mPhase(phase)
    {
    }

    float Sample(uint64_t frame, float sampleRate) const
    {
        return mLevel * static_cast<float>(std::sin(2.0 * M_PI * mFrequency * double(frame) / sampleRate + mPhase));
    }

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        DrainEvents();
        const uint32_t samples = buffer.frames * buffer.channels;
        for (uint32_t f = 0; f < buffer.frames; ++f)
        {
            const float x = Sample(mFrame++, info.sampleRate);
            for (uint32_t c = 0; c < buffer.channels; ++c)
                mScratch[f * buffer.channels + c] = x;
        }
        FloatToInt16(mScratch, static_cast<int16_t*>(buffer.data), samples);
        return 0;
    }

    uint64_t mFrame = 0;

private:
    double mFrequency;
    float mLevel;
    double mPhase;
    float mScratch[128 * 8] = {};
};

// Records the length of every block it is asked to render and fills it with
// a running frame counter (16-bit, both channels), so a test can see which
// rendered frame landed where.
class cCountingModule : public cAudioModuleBase
{
public:
    cCountingModule() : cAudioModuleBase(16) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        blocks.push_back(buffer.frames);
        int16_t* out = static_cast<int16_t*>(buffer.data);
        for (uint32_t f = 0; f < buffer.frames; ++f)
        {
            for (uint32_t c = 0; c < buffer.channels; ++c)
                out[f * buffer.channels + c] = static_cast<int16_t>(next);
            ++next;
        }
        return 0;
    }

    std::vector<uint32_t> blocks;
    int32_t next = 1;
};
