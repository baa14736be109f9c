#include "instruments/synth/ui/AnalogueSynthStripEnvelope.h"

#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/WidgetADSR.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"

namespace
{
const char* const kKnobLabels[cAnalogueSynthStripEnvelope::kKnobCount] = {"ATTACK", "DECAY", "SUSTAIN", "RELEASE",
                                                                           "AMOUNT"};
constexpr uint32_t kInvertFlags = 0x40000;
constexpr float kSideMargin = 17.0f;
} // namespace

cAnalogueSynthStripEnvelope::cAnalogueSynthStripEnvelope(cAnalogueSynthUI* owner, int32_t group)
    : cAnalogueSynthPanel(owner, group)
{
    for (int32_t i = 0; i < kKnobCount; ++i)
    {
        mKnobs[i] = CreateSynthKnob(kKnobLabels[i], 0);
        mKnobs[i]->valueDelegate.Bind(this, &cAnalogueSynthStripEnvelope::OnKnobChanged);
        AddChild(mKnobs[i]);
    }
    mInvert = CreateSynthLEDButton(1, kInvertFlags);
    mInvert->SetName("INVERT");
    mInvert->clickDelegate.Bind(this, &cAnalogueSynthStripEnvelope::OnInvertChanged);
    SetTouchMargins(mInvert, 6.0f, 12.0f, 12.0f, 12.0f);
    AddChild(mInvert);
    mDisplay = new cWidgetADSR();
    AddChild(mDisplay);
    BuildLayout();
}

cAnalogueSynthStripEnvelope::~cAnalogueSynthStripEnvelope()
{
    for (cWidgetKnob* knob : mKnobs)
        knob->Release();
    mInvert->Release();
    mDisplay->Release();
}

void cAnalogueSynthStripEnvelope::BuildLayout()
{
    auto* row = new cLayoutLinear(kAxisX, 14);
    row->margins[0].value = kSideMargin;
    row->margins[1].value = CaptionHeight() + 2.0f;
    row->margins[2].value = kSideMargin;
    auto* column = new cLayoutLinear(kAxisY, 3);
    column->stretch = {3.0f, 0.75f};
    AddGapItem(column, 0.8f);
    AddWidgetItem(column, mDisplay, kPolicyExpand, kPolicyExpand);
    AddGapItem(column, 0.8f);
    AddLayoutItem(row, column, kPolicyExpand, kPolicyExpand);
    AddGapItem(row, 1.0f);
    for (cWidgetKnob* knob : mKnobs)
    {
        AddWidgetItem(row, knob, kPolicyFixed, kPolicyPref);
        AddGapItem(row, 1.0f);
    }
    AddWidgetItem(row, mInvert, kPolicyFixed, kPolicyPref);
    SetLayout(row);
}

void cAnalogueSynthStripEnvelope::OnKnobChanged(float value, cWidget* sender)
{
    OnFloatChanged(value, sender);
    mDisplayDirty = true;
}

void cAnalogueSynthStripEnvelope::OnInvertChanged(int32_t value, cWidget* sender)
{
    OnIntChanged(value, sender);
    mDisplayDirty = true;
}

void cAnalogueSynthStripEnvelope::OnLayout() { mDisplayDirty = true; }

void cAnalogueSynthStripEnvelope::OnStateChange()
{
    for (int32_t i = 0; i < kKnobCount; ++i)
    {
        const uint32_t id = MakeSynthParamId(kSynthParamSingle, mGroup, i);
        mKnobs[i]->SetTag(int32_t(id));
        mKnobs[i]->SetValue(ReadParamFloat(id));
    }
    const uint32_t invertId = MakeSynthParamId(kSynthParamSingle, mGroup, kInvertIndex);
    mInvert->SetTag(int32_t(invertId));
    mInvert->value = ReadParamInt(invertId);
    mDisplayDirty = true;
}

bool cAnalogueSynthStripEnvelope::Draw(cDrawList&)
{
    if (mDisplayDirty)
    {
        mDisplay->SetEnvelope(mKnobs[4]->GetValue(), mKnobs[0]->GetValue(), mKnobs[1]->GetValue(),
                              mKnobs[2]->GetValue(), mKnobs[3]->GetValue(), mInvert->value != 0);
        mDisplay->ModifyFlags(kWidgetStateDirty, 0, false);
        mDisplayDirty = false;
        ++mDisplayUpdates;
    }
    return false;
}
