#pragma once
#include <cstdint>

#include "audio/AudioBuffer.h"
#include "base/Serialise.h"
#include "mixer/Effect.h"

namespace MixerTest
{
// Multiplies by its gain while enabled and counts what the rack asks of it.
// Its "Gain" key and float parameter 0 let tests tell instances apart.
class cGainEffect : public cEffect
{
public:
    explicit cGainEffect(cEffectPackage* package) : cEffect(package) {}

    float GetParamFloat(uint32_t id) override { return id == 0 ? gain : 0.0f; }
    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        DrainEvents();
        ++processed;
        if (enabled)
            for (uint32_t i = 0; i < buffer.frames * buffer.channels; ++i)
                buffer.Floats()[i] *= gain;
        return 0;
    }
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        if (event.type == kAudioEventSetIntParam && event.wordA == 0)
            enabled = event.GetIntValue() != 0;
        return 0;
    }
    bool Serialise(Base::cSerialise& serialise) override
    {
        serialise.SerialiseFloat("Gain", &gain, 0.0f, 100.0f);
        serialise.SerialiseBool("On", &enabled);
        return true;
    }
    void Reset() override { ++resets; }
    void SetEnabled(bool on) override { enabled = on; }
    bool IsEnabled() const override { return enabled; }

    float gain = 1.0f;
    bool enabled = false;
    int processed = 0;
    int resets = 0;
};

class cGainEffectPackage : public cEffectPackage
{
public:
    cGainEffectPackage() : cEffectPackage("TEST-GAIN", "Gain", "Test gain") {}
    cEffect* CreateEffect() override { return new cGainEffect(this); }
};
} // namespace MixerTest

namespace MixerTest
{
// A one-pole echo: each sample adds 0.999 of the last output, so a sound
// leaves a tail that decays for a few thousand frames, as a reverb's does.
class cTailEffect : public cGainEffect
{
public:
    using cGainEffect::cGainEffect;

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        DrainEvents();
        ++processed;
        if (!enabled)
            return 0;
        for (uint32_t f = 0; f < buffer.frames; ++f)
            for (uint32_t c = 0; c < 2; ++c)
            {
                float& x = buffer.Floats()[f * buffer.channels + c];
                memory[c] = x + 0.999f * memory[c];
                x = memory[c];
            }
        return 0;
    }
    void Reset() override
    {
        ++resets;
        memory[0] = memory[1] = 0.0f;
    }

    float memory[2] = {0.0f, 0.0f};
};

class cTailEffectPackage : public cEffectPackage
{
public:
    cTailEffectPackage() : cEffectPackage("TEST-TAIL", "Tail", "Test tail") {}
    cEffect* CreateEffect() override { return new cTailEffect(this); }
};
} // namespace MixerTest
