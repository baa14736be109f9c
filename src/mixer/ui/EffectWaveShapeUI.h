#pragma once
#include "mixer/ui/EffectUI.h"

class cWidgetButton;
class cWidgetKnob;
class cWidgetSpinButton;

// The waveshaper's editor ("WaveShapeUI"): "POWER", the shape spinner and
// three knobs, renamed "BITCRUSH" and "DECIMATE" in "Lo-Fi" and hidden but
// for "CONTOUR" in "EQ Only". Also shown, with an instance, on the
// synthesizer's effects page.
class cEffectWaveShapeUI : public cEffectUI
{
public:
    static constexpr uint32_t kShapeOnColour = 0xfffff94a;
    static constexpr uint32_t kShapeOffColour = 0x5afff94a;
    enum eKnob : int32_t
    {
        kKnobDrive = 0,
        kKnobContour = 1,
        kKnobLevel = 2,
        kKnobCount = 3,
    };

    explicit cEffectWaveShapeUI(cEffectPackage* package);

    void OnShapeSpin(int32_t shape, cWidgetSpinButton* spin);

    void OnStateChange() override;
    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetKnob(int32_t knob) const { return mKnobs[knob]; }
    cWidgetSpinButton* GetShapeSpin() const { return mShape; }
    cWidgetButton* GetPowerButton() const { return mPower; }

protected:
    ~cEffectWaveShapeUI() override;

private:
    // The spinner's text and the knobs' names and visibility for a shape.
    void ApplyShape(int32_t shape);

    cWidgetKnob* mKnobs[kKnobCount] = {};
    cWidgetSpinButton* mShape = nullptr;
    cWidgetButton* mPower = nullptr;
};
