#pragma once
#include "mixer/Effect.h"
#include "mixer/ThreeBandEQ.h"

// The EQ's settings, each float normalised to 0..1.
struct cThreeBandEQParams
{
    enum : int32_t
    {
        kDirtyLow = 1,
        kDirtyMid = 2,
        kDirtyHigh = 4,
        kDirtyGainComp = 8,
        kDirtyAll = 0x7fffffff,
    };

    int32_t dirty = kDirtyAll;
    int32_t enable = 0;
    int32_t gainComp = 0;
    float lowFreq = 0.5f;
    float lowGain = 0.5f;
    float midFreq = 0.5f;
    float midWidth = 0.5f;
    float midGain = 0.5f;
    float highFreq = 0.5f;
    float highGain = 0.5f;
};

// The three-band EQ unit "EQ-3B": a low shelf, a mid peak and a high shelf of
// +-15 dB each, with optional gain compensation for boosts.
class cEffect3BandEQ : public cEffect
{
public:
    enum : uint32_t
    {
        kParamEnable = 0,
        kParamGainComp = 1,
        kParamLowFreq = 2,
        kParamLowGain = 3,
        kParamMidFreq = 4,
        kParamMidWidth = 5,
        kParamMidGain = 6,
        kParamHighFreq = 7,
        kParamHighGain = 8,
    };

    explicit cEffect3BandEQ(cEffectPackage* package);

    // What the knob positions 0..1 stand for.
    static float GainDb(float v);
    static float LowHz(float v);
    static float MidHz(float v);
    static float HighHz(float v);
    static float MidOctaves(float v);

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    const cThreeBandEQParams& GetParams() const { return mParams; }
    const cThreeBandEQ& GetCore() const { return mCore; }

private:
    // The field of a float id 2..8, or null.
    float* FloatField(uint32_t id);
    void UpdateDirtyBands(float sampleRate);

    cThreeBandEQParams mParams;
    cThreeBandEQ mCore;
    int32_t mWasEnabled = 0;
    float mSampleRate = 44100.0f;
};

class cEffect3BandEQPackage : public cEffectPackage
{
public:
    cEffect3BandEQPackage();
    cEffect* CreateEffect() override;
};
