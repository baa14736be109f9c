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
