#include "mixer/ui/EffectKnobPanel.h"

#include "mixer/Effect.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"

cEffectKnobPanel::cEffectKnobPanel(cEffectPackage* package, const cControl (&switches)[kSwitches],
                                   const cControl* knobs, int32_t knobCount)
    : cEffectUI(package)
{
    for (int32_t i = 0; i < kSwitches; ++i)
    {
        mSwitchParameters[i] = switches[i].parameter;
        mSwitches[i] = CreateEffectButton(switches[i].label, kButtonCycle, nullptr, kSwitchLabelColour);
        mSwitches[i]->SetTag(int32_t(switches[i].parameter));
        mSwitches[i]->clickDelegate = cDelegate(this, &cEffectUI::OnIntControlChanged);
        AddChild(mSwitches[i]);
    }
    mKnobCount = knobCount < kMaxKnobs ? knobCount : kMaxKnobs;
    for (int32_t i = 0; i < mKnobCount; ++i)
    {
        mKnobParameters[i] = knobs[i].parameter;
        // The panel writes each knob's text itself, in the unit's terms.
        const cWidgetKnob::cParameter description = {knobs[i].label, kKnobContinuous, 0, 0, nullptr, 0,
                                                     kKnobNoValueText};
        mKnobs[i] = CreateEffectKnob(description, kKnobCaptionColour);
        mKnobs[i]->SetTag(int32_t(knobs[i].parameter));
        mKnobs[i]->valueDelegate = cDelegate(this, &cEffectKnobPanel::OnKnobChanged);
        AddChild(mKnobs[i]);
    }
}

// The panel holds one reference of each control besides its children list's.
cEffectKnobPanel::~cEffectKnobPanel()
{
    for (cWidgetButton* button : mSwitches)
        button->Release();
    for (int32_t i = 0; i < mKnobCount; ++i)
        mKnobs[i]->Release();
}

void cEffectKnobPanel::OnKnobChanged(float value, cWidgetKnob* knob)
{
    char text[96];
    if (DescribeKnob(uint32_t(knob->GetTag()) >> (mInstance == 0 ? 0 : 8), value, text, int32_t(sizeof(text))))
        ShowStatusText(text);
    OnFloatControlChanged(value, knob);
}

void cEffectKnobPanel::OnStateChange()
{
    if (!mEffect)
        return;
    WaitForEffect();
    for (int32_t i = 0; i < kSwitches; ++i)
    {
        const uint32_t id = MakeParamId(mSwitchParameters[i]);
        mSwitches[i]->SetTag(int32_t(id));
        mSwitches[i]->value = mEffect->GetParamInt(id) != 0 ? 1 : 0;
    }
    for (int32_t i = 0; i < mKnobCount; ++i)
    {
        const uint32_t id = MakeParamId(mKnobParameters[i]);
        mKnobs[i]->SetTag(int32_t(id));
        mKnobs[i]->SetValue(mEffect->GetParamFloat(id));
    }
}

// Switches one above the other at the left, knobs spread over the rest.
void cEffectKnobPanel::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    // The two switches meet at the middle, a pixel either side of it.
    PlaceAtOwnSize(mSwitches[0], 8.0f, height * 0.5f - mSwitches[0]->GetAnchorValue(3) - 1.0f);
    PlaceAtOwnSize(mSwitches[1], 8.0f, height * 0.5f + 1.0f);
    const float left = KnobRowLeft();
    const float pitch = mKnobCount > 0 ? (width - left - 8.0f) / float(mKnobCount) : 0.0f;
    for (int32_t i = 0; i < mKnobCount; ++i)
        Place(mKnobs[i], left + pitch * float(i) + (pitch - kKnobSize) * 0.5f, (height - kKnobSize) * 0.5f + 6.0f,
              kKnobSize, kKnobSize);
}
