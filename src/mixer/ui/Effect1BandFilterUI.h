#pragma once
#include "mixer/ui/EffectUI.h"

class cWidgetButton;
class cWidgetKnob;

// The one-band filter's editor ("1BandFilterUI"): "ON", the "LP", "BP" and
// "HP" buttons of which one is lit, and the "Cutoff" and "Q" knobs, the
// cutoff shown in kilohertz on the status bar. The test resampler's editor
// is the same under its own caption.
class cEffect1BandFilterUI : public cEffectUI
{
public:
    static constexpr uint32_t kCaptionColour = 0xffdcdcdc;
    static constexpr int32_t kTypeButtons = 3;

    explicit cEffect1BandFilterUI(cEffectPackage* package, const char* caption = "FILTER");

    void OnCutoffKnob(float value, cWidgetKnob* knob);
    void OnTypeButton(int32_t value, cWidgetButton* button);

    void OnStateChange() override;
    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetCutoffKnob() const { return mCutoff; }
    cWidgetKnob* GetQKnob() const { return mQ; }
    cWidgetButton* GetOnButton() const { return mOn; }
    // Type 1 "LP", 2 "BP", 3 "HP".
    cWidgetButton* GetTypeButton(int32_t type) const { return mTypes[type - 1]; }

protected:
    ~cEffect1BandFilterUI() override;

private:
    const char* mCaption;
    cWidgetKnob* mCutoff = nullptr;
    cWidgetKnob* mQ = nullptr;
    cWidgetButton* mOn = nullptr;
    cWidgetButton* mTypes[kTypeButtons] = {};
};

// The test resampler's editor ("TestResamplerUI"): the filter's, captioned
// "TEST RESAMPLER".
class cEffectTestResamplerUI : public cEffect1BandFilterUI
{
public:
    explicit cEffectTestResamplerUI(cEffectPackage* package);
};
