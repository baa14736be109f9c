#pragma once
#include "audio/WaveShaper.h"
#include "mixer/Effect.h"

// The waveshaper unit "9TH HARBOR": drive through one of five curves, a
// tone-only mode and a lo-fi mode, around the engine's waveshaper block. The
// synthesizer drives one as its built-in drive, with modulation.
class cEffectWaveShape : public cEffect
{
public:
    explicit cEffectWaveShape(cEffectPackage* package);

    // Drive, Bright and Out for ids 2, 3 and 4.
    float GetParamFloat(uint32_t id) override;
    // Enable and Shape for ids 0 and 1.
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    // In place, with offsets of Drive, Bright and Out (or none).
    virtual int32_t ProcessModulated(const cAudioProcessInfo& info, cAudioBuffer& buffer, const float* modulation);

    cWaveShapeParams params;
    cWaveShaper block;
};

class cEffectWaveShapePackage : public cEffectPackage
{
public:
    cEffectWaveShapePackage();
    cEffect* CreateEffect() override;
};
