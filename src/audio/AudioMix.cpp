#include "audio/AudioMix.h"

#include <algorithm>

#include "audio/AudioBuffer.h"

namespace
{
bool HasStereoFrames(const cAudioBuffer& buffer) { return buffer.channels >= 2 && buffer.data; }
} // namespace

bool CopyStereo(cAudioBuffer& destination, const cAudioBuffer& source, uint32_t frames)
{
    const uint32_t n = std::min({frames, destination.frames, source.frames});
    if (n == 0 || !HasStereoFrames(destination) || !HasStereoFrames(source))
        return false;
    float* out = destination.Floats();
    const float* in = source.Floats();
    for (uint32_t i = 0; i < n; ++i)
    {
        out[0] = in[0];
        out[1] = in[1];
        out += destination.channels;
        in += source.channels;
    }
    return true;
}

void MixStereoCrossfade(cAudioBuffer& destination, float startWeight, float endWeight, const cAudioBuffer& source)
{
    const uint32_t n = std::min(destination.frames, source.frames);
    if (n == 0 || !HasStereoFrames(destination) || !HasStereoFrames(source))
        return;
    const float step = (endWeight - startWeight) / static_cast<float>(n);
    float w = startWeight;
    float* out = destination.Floats();
    const float* in = source.Floats();
    for (uint32_t i = 0; i < n; ++i)
    {
        out[0] = in[0] * w + out[0] * (1.0f - w);
        out[1] = in[1] * w + out[1] * (1.0f - w);
        out += destination.channels;
        in += source.channels;
        w += step;
    }
}

void ApplyGainRamp4(cGainRamp4& ramp)
{
    float* x = ramp.data;
    for (uint32_t group = 0; group < ramp.groups; ++group)
    {
        for (int k = 0; k < 4; ++k)
        {
            x[k] *= ramp.gain[k];
            ramp.gain[k] += ramp.step[k];
        }
        x += 4;
    }
}
