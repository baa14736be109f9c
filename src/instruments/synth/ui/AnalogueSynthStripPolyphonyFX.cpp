#include "instruments/synth/ui/AnalogueSynthStripPolyphonyFX.h"

#include <algorithm>
#include <cstdio>

#include "audio/AudioEvent.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
struct cKnobRow
{
    const char* label;
    int32_t group;
};
const cKnobRow kKnobRows[] = {
    {"GLIDE TIME", kSingleGroupGlideTime}, {"SEND 1", kSingleGroupSend1}, {"SEND 2", kSingleGroupSend2}};
constexpr uint32_t kSpinStyle = 17;
constexpr float kSideMargin = 17.0f;
constexpr float kCaptionGapMm = 1.0f;

uint32_t GroupId(int32_t group) { return MakeSynthParamId(kSynthParamSingle, group); }
} // namespace

cAnalogueSynthStripPolyphonyFX::cAnalogueSynthStripPolyphonyFX(cAnalogueSynthUI* owner, int32_t)
    : cAnalogueSynthPanel(owner, 0)
{
    for (int32_t i = 0; i < 3; ++i)
    {
        mKnobs[i] = CreateSynthKnob(kKnobRows[i].label, 0);
        mKnobs[i]->SetTag(int32_t(GroupId(kKnobRows[i].group)));
        mKnobs[i]->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    }
    mPolyphony = CreateSynthSpin(kSpinStyle);
    mPolyphony->minimum = 0;
    mPolyphony->maximum = kHighestPolyphony;
    const char* const polyphonyWidth[] = {"1 - Glide"};
    mPolyphony->SetLabelWidth(polyphonyWidth, 1);
    mPolyphony->valueDelegate.Bind(this, &cAnalogueSynthStripPolyphonyFX::OnPolyphonyChanged);
    mBendRange = CreateSynthSpin(kSpinStyle);
    mBendRange->minimum = kLowestBendRange;
    mBendRange->maximum = kHighestBendRange;
    const char* const bendWidth[] = {"xxxx"};
    mBendRange->SetLabelWidth(bendWidth, 1);
    mBendRange->valueDelegate.Bind(this, &cAnalogueSynthStripPolyphonyFX::OnBendRangeChanged);
    AddChild(mPolyphony);
    AddChild(mKnobs[0]);
    AddChild(mBendRange);
    AddChild(mKnobs[1]);
    AddChild(mKnobs[2]);
    BuildLayout();
}

cAnalogueSynthStripPolyphonyFX::~cAnalogueSynthStripPolyphonyFX()
{
    for (cWidgetKnob* knob : mKnobs)
        knob->Release();
    mPolyphony->Release();
    mBendRange->Release();
}

void cAnalogueSynthStripPolyphonyFX::BuildLayout()
{
    auto* row = new cLayoutLinear(kAxisX, 9);
    row->margins[0].value = kSideMargin;
    row->margins[1].value = CaptionHeight() + 2.0f;
    row->margins[2].value = kSideMargin;
    AddWidgetItem(row, mPolyphony, kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.8f);
    AddWidgetItem(row, mKnobs[0], kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mBendRange, kPolicyPref, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mKnobs[1], kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mKnobs[2], kPolicyFixed, kPolicyPref);
    SetLayout(row);
}

void cAnalogueSynthStripPolyphonyFX::ShowPolyphony(int32_t value)
{
    char text[16];
    if (value == 0)
        std::snprintf(text, sizeof(text), "1 - Glide");
    else if (value == 1)
        std::snprintf(text, sizeof(text), "1 - Mono");
    else
        std::snprintf(text, sizeof(text), "%d", value);
    mPolyphony->SetText(text);
    mPolyphony->SetValue(std::clamp(value, 0, kHighestPolyphony));
    if (mKnobs[0]->IsVisible() != (value == 0))
        mKnobs[0]->SetVisible(value == 0);
}

void cAnalogueSynthStripPolyphonyFX::ShowBendRange(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    mBendRange->SetText(text);
    mBendRange->SetValue(std::clamp(value, kLowestBendRange, kHighestBendRange));
}

void cAnalogueSynthStripPolyphonyFX::OnPolyphonyChanged(int32_t value, cWidget*)
{
    ShowPolyphony(value);
    PostToModule(kAudioEventSetIntParam, int32_t(GroupId(kSingleGroupPolyphony)), value);
}

void cAnalogueSynthStripPolyphonyFX::OnBendRangeChanged(int32_t value, cWidget*)
{
    ShowBendRange(value);
    PostToModule(kAudioEventSetIntParam, int32_t(GroupId(kSingleGroupBendRange)), value);
}

void cAnalogueSynthStripPolyphonyFX::OnStateChange()
{
    WaitForModule();
    for (int32_t i = 0; i < 3; ++i)
        mKnobs[i]->SetTag(int32_t(GroupId(kKnobRows[i].group)));
    ShowPolyphony(ReadParamInt(GroupId(kSingleGroupPolyphony)));
    ShowBendRange(ReadParamInt(GroupId(kSingleGroupBendRange)));
    for (cWidgetKnob* knob : mKnobs)
    {
        const float value = ReadParamFloat(uint32_t(knob->GetTag()));
        if (value != knob->GetValue())
        {
            knob->SetValue(value);
            knob->ModifyFlags(kWidgetStateDirty, 0, false);
        }
    }
}

bool cAnalogueSynthStripPolyphonyFX::Draw(cDrawList& list)
{
    if (GetFlags() & kWidgetRectDirty)
        UpdateRect();
    if (!mOwner)
        return false;
    const cRect& rect = GetRect();
    const float gap = MillimetresToPixels(kCaptionGapMm);
    const float bendLeft = mBendRange->GetRect().xMin, sendLeft = mKnobs[1]->GetRect().xMin;
    mOwner->DrawLabelBox(rect.xMin, rect.yMin, list, bendLeft - gap, "POLYPHONY");
    mOwner->DrawLabelBox(bendLeft, rect.yMin, list, sendLeft - gap, "BEND RANGE");
    mOwner->DrawLabelBox(sendLeft, rect.yMin, list, rect.xMax, "GLOBAL SEND FX");
    return false;
}
