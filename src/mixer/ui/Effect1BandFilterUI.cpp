#include "mixer/ui/Effect1BandFilterUI.h"

#include <cstdio>

#include "mixer/Effect1BandFilter.h"
#include "render/DrawList.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"

namespace
{
const char* const kTypeLabels[cEffect1BandFilterUI::kTypeButtons] = {"LP", "BP", "HP"};
constexpr float kTypesLeft = 96.0f;
constexpr float kKnobSize = 52.0f;
constexpr uint32_t kPanelColour = 0xff3a3a3a;
constexpr uint32_t kSwitchLabelColour = 0xff202020;
constexpr float kCaptionSize = 9.0f;
} // namespace

cEffect1BandFilterUI::cEffect1BandFilterUI(cEffectPackage* package, const char* caption)
    : cEffectUI(package)
    , mCaption(caption)
{
    SetName("1BandFilterUI");
    mCutoff = CreateEffectKnob({"Cutoff", kKnobContinuous, 0, 0, nullptr, 0, kKnobNoValueText | kKnobLettersMinusPlus},
                               kCaptionColour);
    mCutoff->SetTag(int32_t(cEffect1BandFilter::kParamCutoff));
    mCutoff->valueDelegate = cDelegate(this, &cEffect1BandFilterUI::OnCutoffKnob);
    mQ = CreateEffectKnob({"Q", kKnobContinuous, 0, 0, nullptr, 0, 0}, kCaptionColour);
    mQ->SetTag(int32_t(cEffect1BandFilter::kParamQ));
    mQ->valueDelegate = cDelegate(this, &cEffectUI::OnFloatControlChanged);
    mOn = CreateEffectButton("ON", kButtonCycle, nullptr, kSwitchLabelColour);
    mOn->clickDelegate = cDelegate(this, &cEffectUI::OnIntControlChanged);
    for (cWidget* widget : {static_cast<cWidget*>(mCutoff), static_cast<cWidget*>(mQ), static_cast<cWidget*>(mOn)})
        AddChild(widget);
    for (int32_t i = 0; i < kTypeButtons; ++i)
    {
        mTypes[i] = CreateEffectButton(kTypeLabels[i], kButtonCycle, nullptr, kSwitchLabelColour);
        mTypes[i]->SetTag(int32_t(cEffect1BandFilter::kParamType));
        mTypes[i]->clickDelegate = cDelegate(this, &cEffect1BandFilterUI::OnTypeButton);
        AddChild(mTypes[i]);
    }
}

cEffect1BandFilterUI::~cEffect1BandFilterUI()
{
    mCutoff->Release();
    mQ->Release();
    mOn->Release();
    for (cWidgetButton* button : mTypes)
        button->Release();
}

void cEffect1BandFilterUI::OnCutoffKnob(float value, cWidgetKnob* knob)
{
    if (knob->GetTag() == int32_t(cEffect1BandFilter::kParamCutoff))
    {
        char text[48];
        std::snprintf(text, sizeof(text), "Cutoff = %.1fkHz",
                      double(cEffect1BandFilter::CutoffFromPosition(value)) * 0.001);
        ShowStatusText(text);
    }
    OnFloatControlChanged(value, knob);
}

// One type is lit at a time; the type posted is the button's own number.
void cEffect1BandFilterUI::OnTypeButton(int32_t, cWidgetButton* button)
{
    int32_t type = 0;
    for (int32_t i = 0; i < kTypeButtons; ++i)
    {
        mTypes[i]->value = mTypes[i] == button ? 1 : 0;
        if (mTypes[i] == button)
            type = i + 1;
    }
    OnIntControlChanged(type, button);
}

void cEffect1BandFilterUI::OnStateChange()
{
    if (!mEffect)
        return;
    WaitForEffect();
    mCutoff->SetTag(int32_t(MakeParamId(cEffect1BandFilter::kParamCutoff)));
    mQ->SetTag(int32_t(MakeParamId(cEffect1BandFilter::kParamQ)));
    mOn->SetTag(int32_t(MakeParamId(cEffect1BandFilter::kParamEnable)));
    const int32_t type = mEffect->GetParamInt(MakeParamId(cEffect1BandFilter::kParamType));
    for (int32_t i = 0; i < kTypeButtons; ++i)
    {
        mTypes[i]->SetTag(int32_t(MakeParamId(cEffect1BandFilter::kParamType)));
        mTypes[i]->value = type == i + 1 ? 1 : 0;
    }
    mCutoff->SetValue(mEffect->GetParamFloat(uint32_t(mCutoff->GetTag())));
    mQ->SetValue(mEffect->GetParamFloat(uint32_t(mQ->GetTag())));
    mOn->value = mEffect->GetParamInt(uint32_t(mOn->GetTag())) != 0 ? 1 : 0;
}

// The switch under the caption, the type buttons in a row beside it, the
// two knobs at the right.
void cEffect1BandFilterUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    const float buttonTop = height * 0.5f - 12.0f;
    PlaceAtOwnSize(mOn, 10.0f, buttonTop);
    const float pitch = mTypes[0]->GetAnchorValue(2) + 4.0f;
    for (int32_t i = 0; i < kTypeButtons; ++i)
        PlaceAtOwnSize(mTypes[i], kTypesLeft + pitch * float(i), buttonTop);
    Place(mCutoff, width - 130.0f, (height - kKnobSize) * 0.5f + 6.0f, kKnobSize, kKnobSize);
    Place(mQ, width - 70.0f, (height - kKnobSize) * 0.5f + 6.0f, kKnobSize, kKnobSize);
}

bool cEffect1BandFilterUI::Draw(cDrawList& list)
{
    const cRect& rect = GetRect();
    list.FillRect(rect, kPanelColour);
    list.DrawTextSized(rect.xMin + 10.0f, rect.yMin + 5.0f, kCaptionColour, 0, mCaption, kCaptionSize);
    return false;
}

cEffectTestResamplerUI::cEffectTestResamplerUI(cEffectPackage* package)
    : cEffect1BandFilterUI(package, "TEST RESAMPLER")
{
    SetName("TestResamplerUI");
}
