#pragma once
#include <cstdint>

struct cAudioBuffer;

// Copies channels 0 and 1 of min(frames, both buffers' frames) float frames,
// stepping each buffer by its own channel count. False when nothing could be
// copied (no frames, or a buffer with fewer than two channels).
bool CopyStereo(cAudioBuffer& destination, const cAudioBuffer& source, uint32_t frames);

// destination = source * w + destination * (1 - w) on channels 0 and 1, w
// moving from startWeight toward endWeight by (end - start) / n per frame.
void MixStereoCrossfade(cAudioBuffer& destination, float startWeight, float endWeight, const cAudioBuffer& source);

// Four gains applied to groups of four floats, each gain stepping once per group.
struct cGainRamp4
{
    float* data = nullptr;
    uint32_t groups = 0;
    float gain[4] = {};
    float step[4] = {};
};

void ApplyGainRamp4(cGainRamp4& ramp);
