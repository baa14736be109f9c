#include "audio/SilenceDetector.h"

#include "audio/AudioBuffer.h"

namespace
{
constexpr float kThreshold = 1.0e-4f;

inline bool Audible(float x) { return x > kThreshold || x < -kThreshold; }
} // namespace

// Samples sparsely (every 33rd frame) so that a sleeping owner costs little.
bool cSilenceDetector::HasSound(const cAudioBuffer& buffer) const
{
    const float* samples = buffer.Floats();
    const uint32_t total = buffer.frames * buffer.channels;
    if (!samples || total == 0)
        return false;
    if (stereo)
    {
        const uint32_t step = 33 * buffer.channels;
        for (uint32_t i = 0; i + 1 < total; i += step)
            if (Audible(samples[i]) || Audible(samples[i + 1]))
                return true;
        return false;
    }
    const uint32_t step = 66 * buffer.channels - 2;
    for (uint32_t i = 0; i < total; i += step)
        if (Audible(samples[i]))
            return true;
    return false;
}

void cSilenceDetector::Wake()
{
    if (remaining <= 0.0f)
        woke = 1;
    remaining = holdTime;
}

void cSilenceDetector::CheckInput(const cAudioProcessInfo&, const cAudioBuffer& buffer, bool force)
{
    active = force || HasSound(buffer) ? 1 : 0;
    if (active)
        Wake();
}

void cSilenceDetector::CheckOutput(const cAudioProcessInfo& info, const cAudioBuffer& buffer)
{
    if (active)
    {
        Wake();
        return;
    }
    if (remaining <= 0.0f)
        return;
    if (HasSound(buffer))
    {
        remaining = holdTime;
        return;
    }
    remaining -= info.duration;
    if (remaining <= 0.0f)
        remaining = 0.0f;
}
