#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cAnalogueSynthPanelSampler;
class cAnalogueSynthStripOsc;
class cWidgetKnob;
class cWidgetLEDCycleButton;

// "Osc": the oscillator mode, the two oscillator strips with DETUNE and MIX,
// or, in SAMPLE mode, the sample layer in their place. DETUNE and MIX show
// only while the second oscillator sounds.
class cAnalogueSynthPanelOsc : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kModeSync = 3;
    static constexpr int32_t kModeSample = 4;

    explicit cAnalogueSynthPanelOsc(cAnalogueSynthUI* owner);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // Posts the mode and rearranges at once, without waiting for the module.
    void OnModeChanged(int32_t value, cWidget* sender);
    // Shows the strips or the sample layer for the MOD button's value, when
    // it differs from the mode shown.
    void ApplyMode();
    void UpdateKnobs();

    int32_t GetShownMode() const { return mShownMode; }
    cWidgetLEDCycleButton* GetModeButton() const { return mMode; }
    cAnalogueSynthStripOsc* GetStrip(int32_t index) const { return mStrips[index]; }
    cAnalogueSynthPanelSampler* GetSampler() const { return mSampler; }
    cWidgetKnob* GetDetune() const { return mDetune; }
    cWidgetKnob* GetMix() const { return mMix; }

protected:
    ~cAnalogueSynthPanelOsc() override;

private:
    void BuildLayout();

    cAnalogueSynthStripOsc* mStrips[2] = {};
    int32_t mShownMode = -1;
    cWidgetLEDCycleButton* mMode = nullptr;
    cAnalogueSynthPanelSampler* mSampler = nullptr;
    cWidgetKnob* mDetune = nullptr;
    cWidgetKnob* mMix = nullptr;
};
