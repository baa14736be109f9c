#pragma once
#include "mixer/ui/EffectUI.h"

class cWidgetButton;
class cWidgetKnob;
class cWidgetSpinButton;

// The reverb's editor ("ReverbUI"): the on/off switch, the preset selector
// in a display window that names the preset, and the "Dry/Wet Mix" knob.
// A preset stepped while the reverb is off is not sent; switching on reads
// the effect again, so the window names the preset that plays.
class cEffectReverbUI : public cEffectUI
{
public:
    static constexpr uint32_t kPresetNameColour = 0xffe5d8c1;
    static constexpr uint32_t kWindowOn = 0xff101010;
    static constexpr uint32_t kWindowOff = 0xff808080;

    explicit cEffectReverbUI(cEffectPackage* package);

    void OnPresetChanged(int32_t preset, cWidgetSpinButton* selector);
    void OnSwitch(int32_t on, cWidgetButton* button);

    void OnStateChange() override;
    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    cWidgetButton* GetSwitch() const { return mSwitch; }
    cWidgetSpinButton* GetPresetSelector() const { return mPreset; }
    cWidgetKnob* GetMixKnob() const { return mMix; }
    // The name the window shows; "" while the reverb is off.
    const char* GetShownPresetName() const;

protected:
    ~cEffectReverbUI() override;

private:
    bool IsEffectOn() const;

    cRect mWindow = {0.0f, 0.0f, 0.0f, 0.0f};
    cWidgetButton* mSwitch = nullptr;
    cWidgetSpinButton* mPreset = nullptr;
    cWidgetKnob* mMix = nullptr;
};
