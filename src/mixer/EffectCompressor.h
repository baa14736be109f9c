#pragma once
#include "mixer/Compressor.h"
#include "mixer/Effect.h"

// The compressor unit "QDL-5": threshold, ratio, attack, release, make-up
// gain, a peak or RMS detector and three meters for its editor.
class cEffectCompressor : public cEffect
{
public:
    enum : uint32_t
    {
        kParamEnable = 0,
        kParamAttack = 1,
        kParamRelease = 2,
        kParamThreshold = 3,
        kParamOutputGain = 4,
        kParamRatio = 5,
        kParamRMS = 6,
    };

    explicit cEffectCompressor(cEffectPackage* package);

    // The forms events carry: 0..1 for the floats, Enable and RMS as 0/1.
    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    const cCompressorParams& GetParams() const { return mParams; }
    const cCompressor& GetCore() const { return mCore; }

private:
    void SetFloat(uint32_t id, float v);

    cCompressorParams mParams;
    cCompressor mCore;
};

class cEffectCompressorPackage : public cEffectPackage
{
public:
    cEffectCompressorPackage();
    cEffect* CreateEffect() override;
};
