#include "instruments/synth/ui/AnalogueSynthPanelOsc.h"

#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthPanelSampler.h"
#include "instruments/synth/ui/AnalogueSynthStripOsc.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/LayoutStacked.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"

namespace
{
constexpr uint32_t kModeId = MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, 2);
constexpr uint32_t kDetuneId = MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, 3);
constexpr uint32_t kMixId = MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, 4);
constexpr uint32_t kSecondWaveId = MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, 1);
constexpr uint32_t kModeFlags = 0x10022;
constexpr uint32_t kMixStyle = 9;

struct cModeItem
{
    int32_t value;
    const char* text;
};
// From the highest mode down, as the LEDs list them.
constexpr cModeItem kModeItems[] = {{4, "SAMPLE"}, {3, "SYNC"}, {2, "RING2"}, {1, "RING1"}, {0, "MIX"}};

void ShowIfChanged(cWidget* widget, bool visible)
{
    if (widget->IsVisible() != visible)
        widget->SetVisible(visible);
}

// A strip, a gap, a knob, a gap.
cLayoutLinear* StripRow(cWidget* strip, cWidget* knob)
{
    auto* row = new cLayoutLinear(kAxisX, 4);
    AddWidgetItem(row, strip, kPolicyExpand, kPolicyPref);
    AddGapItem(row, 0.2f);
    AddWidgetItem(row, knob, kPolicyFixed, kPolicyPref)->itemFlags |= cLayoutItem::kItemVisibleOnly;
    AddGapItem(row, 0.1f);
    return row;
}
} // namespace

cAnalogueSynthPanelOsc::cAnalogueSynthPanelOsc(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mMode = CreateSynthLEDButton(kModeSample, kModeFlags);
    mMode->SetName("MOD");
    mMode->SetTag(int32_t(kModeId));
    mMode->SetLEDCount(int32_t(std::size(kModeItems)));
    for (int32_t i = 0; i < int32_t(std::size(kModeItems)); ++i)
        mMode->SetLED(i, kModeItems[i].value, kModeItems[i].text);
    mMode->clickDelegate.Bind(this, &cAnalogueSynthPanelOsc::OnModeChanged);
    mDetune = CreateSynthKnob("DETUNE", 0);
    mDetune->SetTag(int32_t(kDetuneId));
    mDetune->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mMix = CreateSynthKnob("MIX", kMixStyle);
    mMix->SetTag(int32_t(kMixId));
    mMix->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mStrips[0] = new cAnalogueSynthStripOsc(owner, 0);
    mStrips[1] = new cAnalogueSynthStripOsc(owner, 1);
    mSampler = new cAnalogueSynthPanelSampler(owner);
    AddChild(mMode);
    AddChild(mDetune);
    AddChild(mMix);
    AddChild(mStrips[0]);
    AddChild(mStrips[1]);
    AddChild(mSampler);
    BuildLayout();
}

cAnalogueSynthPanelOsc::~cAnalogueSynthPanelOsc()
{
    mStrips[0]->Release();
    mStrips[1]->Release();
    mMode->Release();
    mSampler->Release();
    mDetune->Release();
    mMix->Release();
}

void cAnalogueSynthPanelOsc::BuildLayout()
{
    auto* oscillators = new cLayoutLinear(kAxisY, 4);
    AddLayoutItem(oscillators, StripRow(mStrips[0], mMix), kPolicyExpand, kPolicyPref);
    AddGapItem(oscillators, 0.2f);
    AddLayoutItem(oscillators, StripRow(mStrips[1], mDetune), kPolicyExpand, kPolicyPref);
    AddGapItem(oscillators, 0.1f);
    auto* modeColumn = new cLayoutLinear(kAxisY, 3);
    modeColumn->stretch.X = 0.4f;
    AddGapItem(modeColumn, 0.1f);
    AddWidgetItem(modeColumn, mMode, kPolicyPref, kPolicyPref);
    AddGapItem(modeColumn, 0.1f);
    auto* source = new cLayoutStacked();
    source->policy[kAxisX] = source->policy[kAxisY] = kPolicyExpand;
    source->AddItem(oscillators);
    source->AddItem(new cLayoutItemWidget(mSampler, kPolicyExpand, kPolicyExpand));
    auto* row = new cLayoutLinear(kAxisX, 3);
    row->margins[0].value = MillimetresToPixels(4.0f);
    row->margins[1].value = MillimetresToPixels(1.0f);
    row->margins[2].value = MillimetresToPixels(3.0f);
    row->margins[3].value = MillimetresToPixels(1.0f);
    AddLayoutItem(row, modeColumn, kPolicyPref, kPolicyExpand);
    AddGapItem(row, 0.3f);
    row->AddItem(source);
    SetLayout(row);
}

void cAnalogueSynthPanelOsc::OnModeChanged(int32_t value, cWidget* sender)
{
    OnIntChanged(value, sender);
    ApplyMode();
}

void cAnalogueSynthPanelOsc::ApplyMode()
{
    const int32_t mode = mMode->value;
    if (mode == mShownMode)
        return;
    const bool sample = mode == kModeSample;
    ShowIfChanged(mStrips[0], !sample);
    ShowIfChanged(mStrips[1], !sample);
    ShowIfChanged(mSampler, sample);
    UpdateKnobs();
    mShownMode = mode;
}

void cAnalogueSynthPanelOsc::UpdateKnobs()
{
    const int32_t mode = mMode->value;
    const int32_t secondWave = ReadParamInt(kSecondWaveId);
    if (mode == kModeSample)
    {
        ShowIfChanged(mMix, false);
        ShowIfChanged(mDetune, false);
        return;
    }
    ShowIfChanged(mMix, mode == kModeSync || secondWave != 0);
    ShowIfChanged(mDetune, mode != kModeSync && secondWave != 0);
}

void cAnalogueSynthPanelOsc::OnStateChange()
{
    WaitForModule();
    mDetune->SetTag(int32_t(kDetuneId));
    mMix->SetTag(int32_t(kMixId));
    for (cWidgetKnob* knob : {mDetune, mMix})
    {
        const float value = ReadParamFloat(uint32_t(knob->GetTag()));
        if (value != knob->GetValue())
        {
            knob->SetValue(value);
            knob->ModifyFlags(kWidgetStateDirty, 0, false);
        }
    }
    mMode->value = ReadParamInt(kModeId);
    ApplyMode();
}

bool cAnalogueSynthPanelOsc::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    UpdateKnobs();
    return false;
}
