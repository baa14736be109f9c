#pragma once
#include "mixer/Effect1BandFilter.h"

// "TEST-RESAMPLER": the one-band filter behind a fixed 24-tap low-pass FIR,
// a bench for resampling work. Built whole but never registered. Each
// channel has its own FIR line, so the channels stay apart.
class cEffectTestResampler : public cEffect1BandFilter
{
public:
    static constexpr int32_t kTaps = 24;
    static constexpr int32_t kChannels = 2;
    // The FIR's taps: symmetric, summing to about 0.95686.
    static const float kCoefficients[kTaps];

    explicit cEffectTestResampler(cEffectPackage* package);

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    void Reset() override;

private:
    void RunFir(cAudioBuffer& buffer);

    float mLines[kChannels][kTaps] = {};
};

class cEffectTestResamplerPackage : public cEffectPackage
{
public:
    cEffectTestResamplerPackage();
    cEffect* CreateEffect() override;
};
