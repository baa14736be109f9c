#pragma once
#include "mixer/Effect.h"
#include "mixer/ReverbNetwork.h"

// The reverb unit "Q-HALLS": twelve rooms and halls and a dry/wet balance.
// The mixer's first send return holds one, fully wet.
class cEffectReverb : public cEffect
{
public:
    enum : uint32_t
    {
        kParamEnable = 0,
        kParamPreset = 1,
        kParamDryWet = 2,
    };

    explicit cEffectReverb(cEffectPackage* package);

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    const cReverbParams& GetParams() const { return mParams; }
    const cReverbNetwork& GetNetwork() const { return mNetwork; }

    // The presets' names, as patches store them.
    static const char* GetPresetName(int32_t preset);

private:
    // Presets outside the table and values that are not numbers are refused.
    void SetPreset(int32_t preset);
    void SetDryWet(float value);

    cReverbParams mParams;
    cReverbNetwork mNetwork;
};

class cEffectReverbSendPackage : public cEffectPackage
{
public:
    cEffectReverbSendPackage();
    cEffect* CreateEffect() override;
};
