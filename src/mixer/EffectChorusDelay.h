#pragma once
#include "audio/ChorusDelay.h"
#include "mixer/Effect.h"

// The chorus/delay unit "VELTRIX": chorus, flanger, delay and cross-delay
// around the engine's chorus/delay block. The mixer's second send return
// holds one as a tempo-synced cross-delay; the synthesizer runs one inside
// its own render and reaches the record and the block directly.
class cEffectChorusDelay : public cEffect
{
public:
    // The block's line, in seconds.
    static constexpr float kLineSeconds = 1.0f;

    explicit cEffectChorusDelay(cEffectPackage* package);

    // The control positions 0..1 of the float ids 3-7, 9 and 10.
    float GetParamFloat(uint32_t id) override;
    // Type, Enable, Sync and DBeatTime for ids 0, 1, 2 and 8.
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t ProcessInOut(const cAudioProcessInfo& info, cAudioBuffer& input, cAudioBuffer& output) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    cChorusDelayParams params;
    cChorusDelay block;
};

class cEffectChorusDelayPackage : public cEffectPackage
{
public:
    cEffectChorusDelayPackage();
    cEffect* CreateEffect() override;
};
