#include "mixer/ui/EffectCompressorUI.h"

#include <algorithm>
#include <cstdio>

#include "mixer/EffectCompressor.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"

namespace
{
const cEffectKnobPanel::cControl kSwitchControls[] = {{"ON", cEffectCompressor::kParamEnable},
                                                {"RMS", cEffectCompressor::kParamRMS}};
const cEffectKnobPanel::cControl kKnobControls[] = {
    {"THRESHOLD", cEffectCompressor::kParamThreshold}, {"RATIO", cEffectCompressor::kParamRatio},
    {"ATTACK", cEffectCompressor::kParamAttack},       {"RELEASE", cEffectCompressor::kParamRelease},
    {"OUTPUT", cEffectCompressor::kParamOutputGain},
};

constexpr int32_t kHorizontalMeterStrip = 454;
constexpr int32_t kBarPitches[cEffectCompressorUI::kBarCount] = {8, 6, 12, 12};
constexpr float kBarTops[cEffectCompressorUI::kBarCount] = {5.0f, 5.0f, 15.0f, 25.0f};
constexpr float kBarStart = 26.0f;
constexpr float kBarEndGap = 6.0f;

constexpr uint32_t kPanelColour = 0xff3a3a3a;
constexpr uint32_t kMeterPanelOn = 0xff202020;
constexpr uint32_t kMeterPanelOff = 0xff101010;
constexpr uint32_t kLevelColour = 0xffe5b000;
constexpr uint32_t kReductionColour = 0xff0505c5;
constexpr uint32_t kPeakColour = 0xff4c3a00;

// The meters' range: -30 dB to +18 dB for levels, -30 to +9 for the
// threshold.
float LevelFraction(float dB) { return (dB + 30.0f) / 48.0f; }
float ThresholdFraction(float dB) { return (dB + 30.0f) / 39.0f; }

uint32_t Dimmed(uint32_t colour, bool on) { return on ? colour : (colour & 0x00ffffffu) | 0x80000000u; }
} // namespace

cEffectCompressorUI::cEffectCompressorUI(cEffectPackage* package)
    : cEffectKnobPanel(package, kSwitchControls, kKnobControls, int32_t(sizeof(kKnobControls) / sizeof(kKnobControls[0])))
{
    SetName("CompressorUI");
    for (int32_t bar = 0; bar < kBarCount; ++bar)
        mBars[bar].Init(&gTex8888AtlasTable[kHorizontalMeterStrip], kBarPitches[bar], kMeterPeakHold);
}

bool cEffectCompressorUI::DescribeKnob(uint32_t parameter, float v, char* text, int32_t capacity) const
{
    switch (parameter)
    {
    case cEffectCompressor::kParamAttack:
        std::snprintf(text, size_t(capacity), "Attack = %.0fms", double(cCompressor::AttackSeconds(v)) * 1000.0);
        return true;
    case cEffectCompressor::kParamRelease:
        std::snprintf(text, size_t(capacity), "Release = %.0fms", double(cCompressor::ReleaseSeconds(v)) * 1000.0);
        return true;
    case cEffectCompressor::kParamThreshold:
        std::snprintf(text, size_t(capacity), "Threshold = %+.1fdB", double(39.0f * v - 30.0f));
        return true;
    case cEffectCompressor::kParamOutputGain:
        std::snprintf(text, size_t(capacity), "Output gain = %.1fdB", double(24.0f * v));
        return true;
    case cEffectCompressor::kParamRatio:
        if (v >= 0.99f)
            std::snprintf(text, size_t(capacity), "Ratio = INF:1");
        else
            std::snprintf(text, size_t(capacity), "Ratio = %.1f:1", double(7.0f * v * v * v + 1.0f));
        return true;
    default: return false;
    }
}

void cEffectCompressorUI::OnLayout()
{
    cEffectKnobPanel::OnLayout();
    const cRect& rect = GetRect();
    const float top = (rect.yMax - rect.yMin - kMeterPanelHeight) * 0.5f;
    mMeterPanel = {rect.xMin + 96.0f, rect.yMin + top, rect.xMin + 96.0f + kMeterPanelWidth,
                   rect.yMin + top + kMeterPanelHeight};
    PlaceMeters();
}

// Every bar starts 26 px into the panel and stops 6 px before its end; the
// gain reduction lies over the threshold.
void cEffectCompressorUI::PlaceMeters()
{
    const float x0 = mMeterPanel.xMin, y0 = mMeterPanel.yMin;
    const float length = mMeterPanel.xMax - (x0 + kBarStart) - kBarEndGap;
    for (int32_t bar = 0; bar < kBarCount; ++bar)
    {
        mBars[bar].SetPlace(x0 + kBarStart, y0 + kBarTops[bar], length);
        mBars[bar].UpdateGeometry();
    }
}

void cEffectCompressorUI::UpdateLevels()
{
    auto* compressor = static_cast<cEffectCompressor*>(mEffect);
    const cCompressor& core = compressor->GetCore();
    const bool enabled = compressor->IsEnabled();
    const float threshold = std::max(kRestLevel, ThresholdFraction(compressor->GetParams().threshold));
    mLevels[kBarThreshold] = threshold;
    mLevels[kBarInput] = enabled ? std::max(kRestLevel, LevelFraction(core.GetInputMeter())) : kRestLevel;
    mLevels[kBarOutput] = enabled ? std::max(kRestLevel, LevelFraction(core.GetOutputMeter())) : kRestLevel;
    if (!enabled)
    {
        mLevels[kBarGainReduction] = 1.0f;
        return;
    }
    const float reduction = (2.0f * core.GetGainReductionMeter() + 30.0f) / 30.0f;
    mLevels[kBarGainReduction] = threshold > reduction ? threshold : std::min(reduction, 0.97f);
}

bool cEffectCompressorUI::Draw(cDrawList& list)
{
    list.FillRect(GetRect(), kPanelColour);
    DrawLinkLine(list, mKnobs[0], mKnobs[1]);
    DrawLinkLine(list, mKnobs[2], mKnobs[3]);
    const bool on = mSwitches[0]->value != 0;
    list.FillRect(mMeterPanel, on ? kMeterPanelOn : kMeterPanelOff);
    if (!mEffect)
        return false;
    UpdateLevels();
    const uint32_t level = Dimmed(kLevelColour, on), reduction = Dimmed(kReductionColour, on);
    mBars[kBarThreshold].Draw(list, level, kPeakColour, mLevels[kBarThreshold]);
    mBars[kBarGainReduction].Draw(list, reduction, kPeakColour, mLevels[kBarGainReduction]);
    mBars[kBarInput].Draw(list, level, kPeakColour, mLevels[kBarInput]);
    mBars[kBarOutput].Draw(list, level, kPeakColour, mLevels[kBarOutput]);
    return false;
}
