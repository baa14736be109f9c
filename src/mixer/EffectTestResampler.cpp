#include "mixer/EffectTestResampler.h"

#include "audio/AudioBuffer.h"
#include "mixer/FirRoutines.h"

const float cEffectTestResampler::kCoefficients[kTaps] = {
    0.00320575247f, 0.00583161553f, 0.0104384422f, 0.0166631751f, 0.024434194f,  0.0334731452f,
    0.0432934351f,  0.0532285124f,  0.0625073686f, 0.0703414977f, 0.07601697f,   0.0789963454f,
    0.0789963454f,  0.07601697f,    0.0703414977f, 0.0625073686f, 0.0532285124f, 0.0432934351f,
    0.0334731452f,  0.024434194f,   0.0166631751f, 0.0104384422f, 0.00583161553f, 0.00320575247f,
};

cEffectTestResampler::cEffectTestResampler(cEffectPackage* package) : cEffect1BandFilter(package) {}

// The FIR runs whatever the filter's type, "OFF" included.
int32_t cEffectTestResampler::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    if (!BeginBlock(info, buffer))
        return 0;
    RunFir(buffer);
    FilterBlock(buffer);
    EndBlock();
    return 0;
}

void cEffectTestResampler::RunFir(cAudioBuffer& buffer)
{
    float* samples = buffer.Floats();
    for (uint32_t frame = 0; frame < buffer.frames; ++frame)
        for (int32_t channel = 0; channel < kChannels; ++channel)
        {
            float& sample = samples[frame * kChannels + uint32_t(channel)];
            sample = Fir::Basic(sample, kCoefficients, mLines[channel], kTaps);
        }
}

void cEffectTestResampler::Reset()
{
    cEffect1BandFilter::Reset();
    for (auto& line : mLines)
        for (float& z : line)
            z = 0.0f;
}

cEffectTestResamplerPackage::cEffectTestResamplerPackage()
    : cEffectPackage("TEST-RESAMPLER", "TestResampler", "Resampler test effect")
{
}

cEffect* cEffectTestResamplerPackage::CreateEffect() { return new cEffectTestResampler(this); }
