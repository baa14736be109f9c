#include "mixer/ui/EffectAnalyserUI.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "mixer/EffectAnalyser.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Polyline.h"
#include "render/TextBatch.h"
#include "ui/InputManager.h"
#include "ui/LevelMeter.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr float kInverseLn2 = 1.4426950408889634f;
constexpr float kCellWidth = 50.0f;
constexpr float kCellHeight = 15.0f;
constexpr uint32_t kMinorLine = 0xff141414;
constexpr uint32_t kMajorLine = 0xff404040;
constexpr uint32_t kLabelColour = 0xff202020;
constexpr float kLabelSize = 6.0f;
constexpr float kTouchMargin = 10.0f;
constexpr float kDragMillimetres = 2.0f;
constexpr uint32_t kCurveColour = 0xffe5b000;
// Light: the title and the grid's labels beside the plot are dark
// (0xff000000, 0xff202020) and read on it at over 4.5:1.
constexpr uint32_t kPanelColour = 0xffb4b4b4;
// Room beside the plot for the level labels, and below it for the frequencies.
constexpr float kLevelLabelRoom = 26.0f;
constexpr float kFrequencyLabelRoom = 14.0f;
constexpr float kPlotTop = 10.0f;
constexpr uint32_t kSwitchLabelColour = 0xff202020;

float Log2(float x) { return std::log(x) * kInverseLn2; }

uint32_t WithAlpha(uint32_t colour, uint32_t alpha) { return (colour & 0x00ffffffu) | (alpha << 24); }

void FormatHertz(char* text, size_t capacity, float hertz)
{
    if (hertz > 1000.0f)
        std::snprintf(text, capacity, "%.1fk", double(hertz) / 1000.0);
    else
        std::snprintf(text, capacity, "%.0f", double(hertz));
}
} // namespace

// ------------------------------------------------------------- spectrum

cEffectAnalyserSpectrum::cEffectAnalyserSpectrum() { SetName("AnalyserSpectrum"); }

float cEffectAnalyserSpectrum::FrequencyAt(float fraction) const
{
    const float low = Log2(mRange[0]);
    return std::exp2((Log2(mRange[1]) - low) * fraction + low);
}

float cEffectAnalyserSpectrum::XOf(float hertz)
{
    const cRect& rect = GetRect();
    const float low = Log2(mRange[0]);
    return rect.xMin + (rect.xMax - rect.xMin) * (Log2(hertz) - low) / (Log2(mRange[1]) - low);
}

float cEffectAnalyserSpectrum::YOf(float dB)
{
    const cRect& rect = GetRect();
    return rect.yMax - (rect.yMax - rect.yMin) * (dB - mRange[2]) / (mRange[3] - mRange[2]);
}

void cEffectAnalyserSpectrum::GridLines(float length, float cell, std::vector<float>& major, std::vector<float>& minor)
{
    major.clear();
    minor.clear();
    const int32_t cells = 1 + int32_t(length / cell);
    const float pitch = length / float(cells);
    for (int32_t i = 0; i <= cells; ++i)
        major.push_back(pitch * float(i));
    for (int32_t i = 0; i < cells; ++i)
        minor.push_back(pitch * (float(i) + 0.5f));
}

void cEffectAnalyserSpectrum::GlideTo(float lowHz, float highHz, float lowDb, float highDb)
{
    std::copy(std::begin(mRange), std::end(mRange), mStart);
    mTarget[0] = lowHz, mTarget[1] = highHz, mTarget[2] = lowDb, mTarget[3] = highDb;
    mProgress = 1.0f;
}

void cEffectAnalyserSpectrum::Advance()
{
    if (mProgress <= 0.0f)
        return;
    // Fifteen steps of a fifteenth land on zero, whatever the rounding.
    mProgress -= kGlideStep;
    if (mProgress < kGlideStep * 0.5f)
        mProgress = 0.0f;
    for (int32_t i = 0; i < 4; ++i)
        mRange[i] = mTarget[i] + (mStart[i] - mTarget[i]) * mProgress;
}

cVector2 cEffectAnalyserSpectrum::Clamped(const cVector2& point)
{
    const cRect& rect = GetRect();
    return {std::clamp(point.X, rect.xMin, rect.xMax), std::clamp(point.Y, rect.yMin, rect.yMax)};
}

// The rubber band's corners as fractions of the display. An axis whose two
// corners lie within one pixel would give a zero span, so it keeps its range.
void cEffectAnalyserSpectrum::Zoom()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    float x0 = std::clamp((mPress.X - rect.xMin) / width, 0.0f, 1.0f);
    float x1 = std::clamp((mCurrent.X - rect.xMin) / width, 0.0f, 1.0f);
    float y0 = std::clamp((rect.yMax - mPress.Y) / height, 0.0f, 1.0f);
    float y1 = std::clamp((rect.yMax - mCurrent.Y) / height, 0.0f, 1.0f);
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    float lowHz = mRange[0], highHz = mRange[1], lowDb = mRange[2], highDb = mRange[3];
    if ((x1 - x0) * width > 1.0f)
        lowHz = FrequencyAt(x0), highHz = FrequencyAt(x1);
    if ((y1 - y0) * height > 1.0f)
    {
        const float span = mRange[3] - mRange[2];
        lowDb = mRange[2] + span * y0;
        highDb = mRange[2] + span * y1;
    }
    GlideTo(lowHz, highHz, lowDb, highDb);
}

float cEffectAnalyserSpectrum::ColumnValue(float lowHz, float highHz, float hertzPerBin) const
{
    const float* bins = mAnalyser->GetSpectrum();
    constexpr int32_t kLastBin = cEffectAnalyser::kBins - 1;
    if (highHz - lowHz <= hertzPerBin)
    {
        // Columns closer than a bin: between the two bins around it.
        const float position = std::clamp(lowHz / hertzPerBin, 0.0f, float(kLastBin));
        const int32_t below = std::min(int32_t(position), kLastBin - 1);
        const float t = position - float(below);
        return bins[below] + (bins[below + 1] - bins[below]) * t;
    }
    // Wider columns: the largest bin they cover, never past the last.
    const int32_t first = std::clamp(int32_t(lowHz / hertzPerBin), 0, kLastBin);
    const int32_t end = std::min(cEffectAnalyser::kBins - 2, int32_t(highHz / hertzPerBin));
    float largest = bins[first];
    for (int32_t bin = first + 1; bin < end; ++bin)
        largest = std::max(largest, bins[bin]);
    return largest;
}

const std::vector<cVector2>& cEffectAnalyserSpectrum::BuildCurve()
{
    mCurve.clear();
    if (!mAnalyser || !mAnalyser->IsEnabled())
        return mCurve;
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin;
    const float hertzPerBin = mAnalyser->GetSampleRate() * 0.5f / float(cEffectAnalyser::kBins - 1);
    for (int32_t x = 0;; x += kColumnStep)
    {
        const float lowHz = FrequencyAt(float(x) / width), highHz = FrequencyAt(float(x + kColumnStep) / width);
        const float dB = FastGainToDecibels(ColumnValue(lowHz, highHz, hertzPerBin));
        mCurve.push_back({rect.xMin + float(x), YOf(dB)});
        if (float(x + kColumnStep) > width)
            break;
    }
    return mCurve;
}

void cEffectAnalyserSpectrum::DrawGrid(cDrawList& list)
{
    const cRect& rect = GetRect();
    std::vector<float> majorX, minorX, majorY, minorY;
    GridLines(rect.xMax - rect.xMin, kCellWidth, majorX, minorX);
    GridLines(rect.yMax - rect.yMin, kCellHeight, majorY, minorY);
    for (float x : minorX)
        list.FillRect({rect.xMin + x, rect.yMin, rect.xMin + x + 1.0f, rect.yMax}, kMinorLine);
    for (float y : minorY)
        list.FillRect({rect.xMin, rect.yMax - y, rect.xMax, rect.yMax - y + 1.0f}, kMinorLine);
    char text[32];
    for (size_t i = 0; i < majorX.size(); ++i)
    {
        const float x = rect.xMin + majorX[i];
        list.FillRect({x, rect.yMin, x + 1.0f, rect.yMax}, kMajorLine);
        FormatHertz(text, sizeof(text), FrequencyAt(majorX[i] / (rect.xMax - rect.xMin)));
        list.DrawTextSized(x, rect.yMax + 2.0f, kLabelColour, (i == 0 ? kTextAlignLeft : kTextAlignCentreX) | kTextAlignTop, text,
                           kLabelSize);
    }
    const float rows = float(majorY.size() - 1);
    for (size_t i = 0; i < majorY.size(); ++i)
    {
        const float y = rect.yMax - majorY[i];
        list.FillRect({rect.xMin, y, rect.xMax, y + 1.0f}, kMajorLine);
        std::snprintf(text, sizeof(text), "%+.0f", double(mRange[2] + (mRange[3] - mRange[2]) * float(i) / rows));
        list.DrawTextSized(rect.xMin - 4.0f, y, kLabelColour, kTextAlignRight | kTextAlignCentreY, text, kLabelSize);
    }
}

bool cEffectAnalyserSpectrum::Draw(cDrawList& list)
{
    Advance();
    DrawGrid(list);
    const cRect& rect = GetRect();
    const std::vector<cVector2>& curve = BuildCurve();
    if (curve.size() > 1)
    {
        cScopedClipRect clip(list, rect);
        const cAtlasSprite* solid = &gTex8888AtlasTable[kTex8888SolidFill];
        list.DrawFilledCurve(curve.data(), int(curve.size()), rect, solid, WithAlpha(curveColour, 0x40));
        list.DrawThickLineStripSolid(curve.data(), int(curve.size()), kPolylineJoinBevel, solid, curveColour, 1.0f);
    }
    if (mTouchState == kDragging)
    {
        list.FillRect({std::min(mPress.X, mCurrent.X), std::min(mPress.Y, mCurrent.Y), std::max(mPress.X, mCurrent.X),
                       std::max(mPress.Y, mCurrent.Y)},
                      WithAlpha(curveColour, 0x30));
        char hertz[32], text[64];
        FormatHertz(hertz, sizeof(hertz), FrequencyAt((mCurrent.X - rect.xMin) / (rect.xMax - rect.xMin)));
        const float dB = mRange[2] + (mRange[3] - mRange[2]) * (rect.yMax - mCurrent.Y) / (rect.yMax - rect.yMin);
        std::snprintf(text, sizeof(text), "%sHz, %+.0fdB", hertz, double(dB));
        list.DrawTextSized(rect.xMax - 3.0f, rect.yMin + 3.0f, curveColour, kTextAlignRight | kTextAlignTop, text, kLabelSize);
    }
    return false;
}

bool cEffectAnalyserSpectrum::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!IsVisible() || !IsEnabled())
        return false;
    if (captor != this)
    {
        const cRect& rect = GetRect();
        const cRect grown = {rect.xMin - kTouchMargin, rect.yMin - kTouchMargin, rect.xMax + kTouchMargin,
                             rect.yMax + kTouchMargin};
        if (type != kTouchDown || !grown.Contains(touch->position))
            return false;
    }
    switch (mTouchState)
    {
    case kIdle:
        if (type != kTouchDown)
            return true;
        CaptureTouch(touch->id);
        if (touch->tapCount >= 2)
        {
            GlideTo(kLowHz, kHighHz, kLowDb, kHighDb);
            return true;
        }
        mPress = mCurrent = Clamped(touch->position);
        mTouchState = kPressed;
        return true;
    case kPressed:
        if (type == kTouchUp)
        {
            mTouchState = kIdle;
            return true;
        }
        mCurrent = Clamped(touch->position);
        if (std::hypot(mCurrent.X - mPress.X, mCurrent.Y - mPress.Y) >
            kDragMillimetres * GetDisplayMetrics().pixelsPerMillimetre)
            mTouchState = kDragging;
        return true;
    default:
        mCurrent = Clamped(touch->position);
        if (type == kTouchUp)
        {
            Zoom();
            mTouchState = kIdle;
        }
        return true;
    }
}

// ---------------------------------------------------------------- editor

cEffectAnalyserUI::cEffectAnalyserUI(cEffectPackage* package) : cEffectUI(package)
{
    SetName("AnalyserUI");
    mOn = CreateEffectButton("ON", kButtonCycle, nullptr, kSwitchLabelColour);
    mOn->SetTag(int32_t(cEffectAnalyser::kParamEnable));
    mOn->clickDelegate = cDelegate(this, &cEffectUI::OnIntControlChanged);
    AddChild(mOn);
    mSpectrum = new cEffectAnalyserSpectrum();
    mSpectrum->curveColour = kCurveColour;
    AddChild(mSpectrum);
}

cEffectAnalyserUI::~cEffectAnalyserUI()
{
    mOn->Release();
    mSpectrum->Release();
}

void cEffectAnalyserUI::SetEffect(cAudioModuleBase* effect, int32_t instance)
{
    cEffectUI::SetEffect(effect, instance);
    mSpectrum->SetAnalyser(static_cast<cEffectAnalyser*>(effect));
}

void cEffectAnalyserUI::OnStateChange()
{
    if (!mEffect)
        return;
    WaitForEffect();
    mOn->SetTag(int32_t(MakeParamId(cEffectAnalyser::kParamEnable)));
    mOn->value = mEffect->GetParamInt(uint32_t(mOn->GetTag())) != 0 ? 1 : 0;
}

void cEffectAnalyserUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    PlaceAtOwnSize(mOn, 10.0f, height * 0.5f - 12.0f);
    // The plot and its labels start where the switch ends.
    const float left = RightOfOwnSize(mOn) + kLevelLabelRoom;
    Place(mSpectrum, left, kPlotTop, width - left - 10.0f, height - kPlotTop - kFrequencyLabelRoom);
}

// The analysis runs here, so the spectrum drawn after it shows this frame.
bool cEffectAnalyserUI::Draw(cDrawList& list)
{
    const cRect& rect = GetRect();
    list.FillRect(rect, kPanelColour);
    list.DrawTextSized(rect.xMin + 10.0f, rect.yMin + 10.0f, 0xff000000u, kTextAlignLeft | kTextAlignTop, "ANALYSER", 8.0f);
    const cRect& plot = mSpectrum->GetRect();
    list.FillRect({plot.xMin - 1.0f, plot.yMin - 1.0f, plot.xMax + 1.0f, plot.yMax + 1.0f}, 0xff000000u);
    if (auto* analyser = static_cast<cEffectAnalyser*>(mEffect))
        analyser->Analyse();
    return false;
}
