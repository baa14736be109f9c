#include "instruments/synth/ui/AnalogueSynthStripLFO.h"

#include <algorithm>
#include <numbers>

#include "audio/AudioEvent.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
const char* const kShapeNames[] = {"Sine", "Square", "Saw Up", "Saw Dn", "Triangle", "RndStep", "RndRamp"};
constexpr int32_t kShapeIndex = 0;
constexpr int32_t kRateIndex = 1;
constexpr int32_t kBeatRateIndex = 2;
constexpr int32_t kAmountIndex = 3;
constexpr int32_t kDelayIndex = 4;
constexpr int32_t kSyncIndex = 5;
constexpr uint32_t kSpinStyle = 17;
constexpr uint32_t kSelectorFlags = 0x10041;
constexpr uint32_t kSyncFlags = 0x60002;
constexpr float kSelectorNumberGap = 2.0f;
constexpr float kSideMargin = 17.0f;
constexpr float kTitleTop = 3.0f;

// The beat rates, 36 degrees apart from 36 to 324 degrees.
constexpr float kStep = std::numbers::pi_v<float> / 5.0f;
const cWidgetKnob::cListEntry kBeatRates[] = {
    {1 * kStep, 0, 0, "1/16"}, {2 * kStep, 1, 0, "1/12"}, {3 * kStep, 2, 0, "1/8"},
    {4 * kStep, 3, 0, "1/6"},  {5 * kStep, 4, 0, "1/4"},  {6 * kStep, 5, 0, "1/3"},
    {7 * kStep, 6, 0, "1/2"},  {8 * kStep, 7, 0, "1"},    {9 * kStep, 8, 0, "2"}};
constexpr int32_t kBeatRateCount = int32_t(std::size(kBeatRates));

void SetVisibleIfChanged(cWidget* widget, bool visible)
{
    if (widget->IsVisible() != visible)
        widget->SetVisible(visible);
}
} // namespace

cAnalogueSynthStripLFO::cAnalogueSynthStripLFO(cAnalogueSynthUI* owner, int32_t)
    : cAnalogueSynthPanel(owner, kSingleGroupLFO1)
{
    mSelector = CreateSynthLEDButton(cAnalogueSynthInstrument::kLFOCount - 1, kSelectorFlags);
    mSelector->SetLEDCount(cAnalogueSynthInstrument::kLFOCount);
    const char* const selectorTexts[] = {"1", "2", "3", "4"};
    for (int32_t i = 0; i < cAnalogueSynthInstrument::kLFOCount; ++i)
        mSelector->SetLED(i, i, selectorTexts[i]);
    // The numbers stand beside their LEDs: above them they would sit on the
    // column's line, which runs through a single digit.
    cTextStyle& numbers = mSelector->GetLEDTextStyle();
    numbers.alignment = kTextAlignOutsideRight | kTextAlignCentreY;
    numbers.offsetX = kSelectorNumberGap;
    numbers.offsetY = 0.0f;
    mSelector->clickDelegate.Bind(this, &cAnalogueSynthStripLFO::OnSelectorChanged);
    mShape = CreateSynthSpin(kSpinStyle);
    mShape->minimum = 0;
    mShape->maximum = kHighestShape;
    mShape->SetLabelWidth(kShapeNames, kHighestShape + 1);
    mShape->valueDelegate.Bind(this, &cAnalogueSynthStripLFO::OnShapeChanged);
    mFreeRate = CreateSynthKnob("RATE", 0);
    mFreeRate->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mBeatRate = CreateSynthKnob();
    mBeatRate->SetParameter({"RATE", kKnobValueList, 0, 0, kBeatRates, kBeatRateCount, 0});
    mBeatRate->stepDelegate.Bind(this, &cAnalogueSynthPanel::OnIntChanged);
    mBeatRate->SetVisible(false);
    mDelay = CreateSynthKnob("DELAY", 0);
    mDelay->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mAmount = CreateSynthKnob("AMOUNT", 0);
    mAmount->valueDelegate.Bind(this, &cAnalogueSynthPanel::OnFloatChanged);
    mSync = CreateSynthLEDButton(kSyncBeat, kSyncFlags);
    mSync->SetName("SYNC");
    mSync->SetLEDCount(2);
    mSync->SetLED(0, kSyncBeat, "BEAT");
    mSync->SetLED(1, 1, "KEY");
    mSync->clickDelegate.Bind(this, &cAnalogueSynthStripLFO::OnSyncChanged);
    for (cWidget* child : {static_cast<cWidget*>(mSelector), static_cast<cWidget*>(mShape),
                           static_cast<cWidget*>(mFreeRate), static_cast<cWidget*>(mBeatRate),
                           static_cast<cWidget*>(mDelay), static_cast<cWidget*>(mAmount), static_cast<cWidget*>(mSync)})
        AddChild(child);
    BuildLayout();
}

cAnalogueSynthStripLFO::~cAnalogueSynthStripLFO()
{
    mFreeRate->Release();
    mBeatRate->Release();
    mDelay->Release();
    mAmount->Release();
    mShape->Release();
    mSelector->Release();
    mSync->Release();
}

void cAnalogueSynthStripLFO::BuildLayout()
{
    auto* row = new cLayoutLinear(kAxisX, 12);
    row->margins[0].value = kSideMargin;
    row->margins[1].value = CaptionHeight() + 5.0f;
    row->margins[2].value = kSideMargin;
    auto* column = new cLayoutLinear(kAxisY, 3);
    AddGapItem(column, 0.2f);
    AddWidgetItem(column, mSelector, kPolicyPref, kPolicyPref);
    AddGapItem(column, 0.2f);
    AddLayoutItem(row, column, kPolicyPref, kPolicyExpand);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mShape, kPolicyPref, kPolicyPref);
    AddGapItem(row, 1.0f);
    // Both rate knobs share one slot; one of them shows at a time.
    AddWidgetItem(row, mFreeRate, kPolicyFixed, kPolicyPref)->AddWidget(mBeatRate);
    AddWidgetItem(row, mDelay, kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mAmount, kPolicyFixed, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mSync, kPolicyPref, kPolicyPref);
    SetLayout(row);
}

void cAnalogueSynthStripLFO::OnSelectorChanged(int32_t value, cWidget*)
{
    if (cAnalogueSynthInstrument* instrument = GetInstrument())
        instrument->lfoIndex = std::clamp(value, 0, cAnalogueSynthInstrument::kLFOCount - 1);
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cAnalogueSynthStripLFO::ShowShape(int32_t value)
{
    mShape->SetText(value >= 0 && value <= kHighestShape ? kShapeNames[value] : "");
    mShape->SetValue(value);
}

void cAnalogueSynthStripLFO::OnShapeChanged(int32_t value, cWidget*)
{
    ShowShape(value);
    const uint32_t id = MakeSynthParamId(kSynthParamSingle, mGroup, kShapeIndex);
    PostToModule(kAudioEventSetIntParam, int32_t(id), std::clamp(value, 0, kHighestShape));
}

void cAnalogueSynthStripLFO::ShowRateFor(int32_t sync)
{
    SetVisibleIfChanged(mBeatRate, sync == kSyncBeat);
    SetVisibleIfChanged(mFreeRate, sync != kSyncBeat);
}

void cAnalogueSynthStripLFO::OnSyncChanged(int32_t value, cWidget* sender)
{
    OnIntChanged(value, sender);
    ShowRateFor(value);
}

void cAnalogueSynthStripLFO::UpdateTitle(int32_t lfo)
{
    cAnalogueSynth* module = GetModule();
    const cModMatrix* matrix = module ? module->GetCurrentModMatrix() : nullptr;
    if (!matrix)
    {
        mTitle.Printf("LFO %d", lfo + 1);
        return;
    }
    const cModMatrixRow& row = matrix->rows[lfo];
    if (row.Dest == cModMatrix::kDestOff)
        mTitle.Printf("LFO %d: Unused", lfo + 1);
    else
        mTitle.Printf("LFO %d: %s %s", lfo + 1, cModMatrix::GetDestName(row.Dest),
                      cModMatrix::GetParName(row.Dest, row.Par));
}

void cAnalogueSynthStripLFO::OnStateChange()
{
    WaitForModule();
    cAnalogueSynthInstrument* instrument = GetInstrument();
    const int32_t lfo = std::clamp(instrument ? instrument->lfoIndex : 0, 0, cAnalogueSynthInstrument::kLFOCount - 1);
    mSelector->value = lfo;
    UpdateTitle(lfo);
    mGroup = kSingleGroupLFO1 + lfo;
    const auto id = [this](int32_t index) { return MakeSynthParamId(kSynthParamSingle, mGroup, index); };
    mShape->SetTag(int32_t(id(kShapeIndex)));
    mFreeRate->SetTag(int32_t(id(kRateIndex)));
    mBeatRate->SetTag(int32_t(id(kBeatRateIndex)));
    mAmount->SetTag(int32_t(id(kAmountIndex)));
    mDelay->SetTag(int32_t(id(kDelayIndex)));
    mSync->SetTag(int32_t(id(kSyncIndex)));
    mFreeRate->SetValue(ReadParamFloat(id(kRateIndex)));
    mAmount->SetValue(ReadParamFloat(id(kAmountIndex)));
    mDelay->SetValue(ReadParamFloat(id(kDelayIndex)));
    mBeatRate->SetIntValue(ReadParamInt(id(kBeatRateIndex)));
    ShowShape(ReadParamInt(id(kShapeIndex)));
    mSync->value = ReadParamInt(id(kSyncIndex));
    ShowRateFor(mSync->value);
}

bool cAnalogueSynthStripLFO::Draw(cDrawList& list)
{
    if (GetFlags() & kWidgetRectDirty)
        UpdateRect();
    const cRect& rect = GetRect();
    if (mOwner)
        mOwner->DrawLabelBox(rect.xMin, rect.yMin + kTitleTop, list, rect.xMax, mTitle.CStr());
    return false;
}
