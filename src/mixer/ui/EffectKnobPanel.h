#pragma once
#include <cstdint>

#include "mixer/ui/EffectUI.h"

class cWidgetButton;
class cWidgetKnob;

// An effect editor of switches in a column at the left and a row of
// knobs: the EQ and the compressor. Each knob writes its value as a
// set-float event after putting its value, in the unit's own terms, on the
// status bar; the switches write set-int events.
class cEffectKnobPanel : public cEffectUI
{
public:
    static constexpr uint32_t kKnobCaptionColour = 0xffdcdcdc;
    static constexpr uint32_t kSwitchLabelColour = 0xff202020;
    static constexpr float kKnobSize = 52.0f;

    struct cControl
    {
        const char* label;
        uint32_t parameter;
    };

    // The knob's text on the status bar, from its parameter and value.
    void OnKnobChanged(float value, cWidgetKnob* knob);
    void OnStateChange() override;
    void OnLayout() override;

    int32_t GetKnobCount() const { return mKnobCount; }
    cWidgetKnob* GetKnob(int32_t index) const { return mKnobs[index]; }
    cWidgetButton* GetSwitch(int32_t index) const { return mSwitches[index]; }

protected:
    static constexpr int32_t kMaxKnobs = 7;
    static constexpr int32_t kSwitches = 2;

    cEffectKnobPanel(cEffectPackage* package, const cControl (&switches)[kSwitches], const cControl* knobs,
                     int32_t knobCount);
    ~cEffectKnobPanel() override;

    // The status text of a knob's parameter at a value; false for none.
    virtual bool DescribeKnob(uint32_t parameter, float value, char* text, int32_t capacity) const = 0;
    // The left edge of the knob row; the compressor puts its meters before it.
    virtual float KnobRowLeft() const { return 100.0f; }

    cWidgetKnob* mKnobs[kMaxKnobs] = {};
    uint32_t mKnobParameters[kMaxKnobs] = {};
    int32_t mKnobCount = 0;
    cWidgetButton* mSwitches[kSwitches] = {};
    uint32_t mSwitchParameters[kSwitches] = {};
};
