#include "instruments/synth/ui/AnalogueSynthStripFilter.h"

#include <algorithm>

#include "audio/AudioEvent.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
const char* const kTypeNames[] = {"OFF", "LP", "BP", "HP"};
constexpr int32_t kTypeIndex = 0;
constexpr int32_t kSlopeIndex = 1;
constexpr int32_t kCutoffIndex = 2;
constexpr int32_t kQIndex = 3;
constexpr int32_t kTrackIndex = 5;
constexpr uint32_t kSpinStyle = 17;
constexpr int32_t kToggleMode = 2;
constexpr int32_t kToggleStyle = 3;
constexpr uint32_t kTrackFlags = 0x40000;
constexpr float kSideMargin = 17.0f;
constexpr float kTrackMargin = 12.0f;

uint32_t FilterId(int32_t index) { return MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, index); }
} // namespace

cAnalogueSynthStripFilter::cAnalogueSynthStripFilter(cAnalogueSynthUI* owner, int32_t)
    : cAnalogueSynthPanel(owner, kSingleGroupFilter)
{
    mType = CreateSynthSpin(kSpinStyle);
    mType->minimum = 0;
    mType->maximum = kHighestType;
    mType->SetLabelWidth(kTypeNames, kHighestType + 1);
    mType->valueDelegate.Bind(this, &cAnalogueSynthStripFilter::OnTypeChanged);
    mSlope = CreateSynthButton(kToggleMode, kToggleStyle);
    mSlope->SetName("24dB/Oct");
    mSlope->clickDelegate.Bind(this, &cAnalogueSynthStripFilter::OnSlopeChanged);
    mCutoff = CreateSynthKnob("CUTOFF", 0);
    mCutoff->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mQ = CreateSynthKnob("Q", 0);
    mQ->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mTrackKeys = CreateSynthLEDButton(1, kTrackFlags);
    mTrackKeys->SetName("TRACK KEYS");
    mTrackKeys->clickDelegate.Bind(this, &cAnalogueSynthPanel::OnIntChanged);
    SetTouchMargins(mTrackKeys, kTrackMargin, kTrackMargin, kTrackMargin, kTrackMargin);
    AddChild(mType);
    AddChild(mSlope);
    AddChild(mCutoff);
    AddChild(mQ);
    AddChild(mTrackKeys);
    BuildLayout();
}

cAnalogueSynthStripFilter::~cAnalogueSynthStripFilter()
{
    mCutoff->Release();
    mQ->Release();
    mType->Release();
    mSlope->Release();
    mTrackKeys->Release();
}

void cAnalogueSynthStripFilter::BuildLayout()
{
    auto* row = new cLayoutLinear(kAxisX, 9);
    row->margins[0].value = kSideMargin;
    row->margins[1].value = CaptionHeight() + 5.0f;
    row->margins[2].value = kSideMargin;
    AddWidgetItem(row, mType, kPolicyPref, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mSlope, kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mCutoff, kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mQ, kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mTrackKeys, kPolicyFixed, kPolicyPref);
    SetLayout(row);
}

// A value the list does not name shows an empty text.
void cAnalogueSynthStripFilter::ShowType(int32_t value)
{
    mType->SetText(value >= 0 && value <= kHighestType ? kTypeNames[value] : "");
    mType->SetValue(value);
}

void cAnalogueSynthStripFilter::OnTypeChanged(int32_t value, cWidget*)
{
    ShowType(value);
    PostToModule(kAudioEventSetIntParam, int32_t(FilterId(kTypeIndex)), std::clamp(value, 0, kHighestType));
}

void cAnalogueSynthStripFilter::OnSlopeChanged(int32_t value, cWidget*)
{
    PostToModule(kAudioEventSetIntParam, int32_t(FilterId(kSlopeIndex)), value != 0 ? 1 : 0);
}

void cAnalogueSynthStripFilter::OnStateChange()
{
    WaitForModule();
    mCutoff->SetTag(int32_t(FilterId(kCutoffIndex)));
    mQ->SetTag(int32_t(FilterId(kQIndex)));
    mTrackKeys->SetTag(int32_t(FilterId(kTrackIndex)));
    mTrackKeys->value = ReadParamInt(FilterId(kTrackIndex));
    mCutoff->SetValue(ReadParamFloat(FilterId(kCutoffIndex)));
    mQ->SetValue(ReadParamFloat(FilterId(kQIndex)));
    ShowType(ReadParamInt(FilterId(kTypeIndex)));
    mSlope->value = ReadParamInt(FilterId(kSlopeIndex)) != 0 ? 1 : 0;
}

bool cAnalogueSynthStripFilter::Draw(cDrawList&) { return false; }
