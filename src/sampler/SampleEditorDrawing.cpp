// What the sample editor draws each frame: the bottom bar, the waveform, the
// ruler in time, bars or frames with its grid, the preview's play marker,
// the fading handles, the amplitude box, and the status bar's title line.
//
// The time and frame rulers step by 1, 2 or 5 of a power of ten near a
// quarter (a fifth) of the view; the bar ruler steps by beats while a beat
// is 30 pixels wide, then by bars and by four bars at a time.
#include <algorithm>
#include <cmath>

#include "audio/Sample.h"
#include "audio/Transport.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "sampler/SampleEditAudition.h"
#include "sampler/SampleEditor.h"
#include "sampler/SampleEditorSprites.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"

namespace
{
namespace S = SampleEditorSprite;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kAmplitudeTextColour = 0xFF101010;
constexpr uint32_t kCentred = 0x11;
constexpr float kAmplitudeTextSize = 10.0f;
constexpr float kLabelClearance = 5.0f;
constexpr float kPlayMarkerOverhang = 5.0f;
constexpr float kMinimumBeatWidth = 30.0f;
constexpr float kMinimumGridSpacing = 15.0f;
constexpr int32_t kTicksPerBeat = 256;
// Past the first widening (a beat to a bar) the bar ruler widens by four
// bars at a time, whatever the time signature.
constexpr int64_t kBarWidening = 4;
constexpr int32_t kGridSubdivisions = 16;
constexpr int64_t kMegabyte = 1048576;
constexpr int64_t kKilobyte = 1024;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

bool IsTablet() { return GetDisplayMetrics().deviceClass == kDeviceClassTablet; }

// A step near the rough one: 1, 2, 5 or 10 times the power of ten below it.
struct cRulerStep
{
    int64_t step;
    int64_t power;
};

cRulerStep RoundStep(int64_t rough)
{
    rough = std::max<int64_t>(rough, 1);
    int64_t power = 1;
    while (rough / power >= 10)
        power *= 10;
    const int64_t leading = (rough + power / 2) / power;
    if (leading >= 7)
        return {power * 10, power};
    if (leading >= 4)
        return {power * 5, power};
    if (leading >= 2)
        return {power * 2, power};
    return {power, power};
}

void FormatSize(int64_t bytes, cGenString& out)
{
    if (bytes > kMegabyte)
        out.Printf("%dMB", int(bytes / kMegabyte));
    else if (bytes > kKilobyte)
        out.Printf("%dKB", int(bytes / kKilobyte));
    else if (bytes > 0)
        out.Printf("%dB", int(bytes));
    else
        out.AssignCStr("");
}
} // namespace

void cSampleEditor::FormatDuration(int32_t frames, int32_t rate, cGenString& out)
{
    const float seconds = rate > 0 ? float(frames) / float(rate) : 0.0f;
    if (seconds >= 1.0f)
        out.Printf("%.2fs", double(seconds));
    else if (seconds >= 0.01f)
        out.Printf("%.1fms", double(seconds * 1000.0f));
    else
        out.Printf("%.2fms", double(seconds * 1000.0f));
}

cSampleEditView cSampleEditor::View() const { return {mWaveformRect, mViewStart, mViewLength, mAmplitudeZoom}; }

uint32_t cSampleEditor::WaveformHighlight() const
{
    switch (mMode)
    {
    case kModeStartHandle:
        return cSampleEditModel::kHighlightStart;
    case kModeEndHandle:
        return cSampleEditModel::kHighlightEnd;
    case kModeSelect:
        return cSampleEditModel::kHighlightStart | cSampleEditModel::kHighlightEnd;
    default:
        if (mLastHandle == kHandleStart)
            return cSampleEditModel::kHighlightStart;
        return mLastHandle == kHandleEnd ? cSampleEditModel::kHighlightEnd : cSampleEditModel::kHighlightNone;
    }
}

bool cSampleEditor::Draw(cDrawList& list)
{
    if (!mSample)
        return false;
    UpdateView();
    GetRect();
    DrawBottomBar(list);
    {
        cScopedClipRect clip(list, mClipRect);
        mModel.DrawWaveform(WaveformHighlight(), list, View());
        DrawRuler(list);
        DrawHandles(list);
    }
    DrawAmplitudeBox(list);
    UpdateInfoText();
    return false;
}

void cSampleEditor::DrawBottomBar(cDrawList& list)
{
    const cRect& rect = GetRect();
    list.DrawThreePatchH({rect.xMin - 1.0f, mBottomBarRect.yMin, rect.xMax, mBottomBarRect.yMax}, Sprite(S::kBottomBar),
                         nullptr, kWhite);
}

void cSampleEditor::DrawAmplitudeBox(cDrawList& list)
{
    list.DrawThreePatchV(mAmplitudeBoxRect, Sprite(S::kAmplitudeBox), nullptr, kWhite);
    list.DrawTextF((mAmplitudeBoxRect.xMin + mAmplitudeBoxRect.xMax) * 0.5f,
                   (mAmplitudeBoxRect.yMin + mAmplitudeBoxRect.yMax) * 0.5f, kAmplitudeTextSize, kAmplitudeTextColour,
                   kCentred, "x%d", int(mAmplitudeZoom));
}

void cSampleEditor::DrawRuler(cDrawList& list)
{
    const cAtlasSprite* ruler = Sprite(S::kRuler);
    list.DrawQuad(mRulerRect, {ruler->u0, ruler->v0}, {ruler->u1, ruler->v1}, kWhite, 0);
    // A waveform without width has no scale to label.
    if (mWaveformRect.xMax - mWaveformRect.xMin < 1.0f || mSample->GetSampleRate() <= 0)
        return;
    switch (mRulerUnit->GetSelectedItem())
    {
    case kRulerTime:
        DrawTimeRuler(list);
        break;
    case kRulerBars:
        DrawBarRuler(list);
        break;
    case kRulerFrames:
        DrawFrameRuler(list);
        break;
    default:
        break;
    }
    DrawPlayMarker(list);
}

void cSampleEditor::DrawRulerLabel(cDrawList& list, float x, float size, const char* text)
{
    if (x > mWaveformRect.xMin + kLabelClearance)
        list.DrawTextSized(x, (mRulerRect.yMin + mRulerRect.yMax) * 0.5f, kWhite, kCentred, text, size);
}

void cSampleEditor::DrawTimeRuler(cDrawList& list)
{
    const float rate = float(mSample->GetSampleRate());
    const float width = mWaveformRect.xMax - mWaveformRect.xMin;
    const float start = float(mViewStart) * 1000.0f / rate;
    const float length = std::fmax(float(mViewLength) * 1000.0f / rate, 0.1f);
    const cRulerStep step = RoundStep(int64_t(length * 0.25f));
    int64_t time = int64_t(start / float(step.step)) * step.step;
    float x = (float(time) - start) * width / length + mWaveformRect.xMin;
    const float spacing = width * float(step.step) / length;
    const float firstX = x;
    const float size = IsTablet() ? 9.0f : 6.0f;
    cGenStringFixed<32> label;
    for (; x < mRulerRect.xMax; x += spacing, time += step.step)
    {
        if (step.power < 100)
            label.Printf("%dms", int(time));
        else
            label.Printf("%.1fs", double(time) * 0.001);
        DrawRulerLabel(list, x, size, label.CStr());
    }
    DrawGridLines(list, firstX, spacing);
}

void cSampleEditor::DrawFrameRuler(cDrawList& list)
{
    const float width = mWaveformRect.xMax - mWaveformRect.xMin;
    const int64_t step = RoundStep(mViewLength / 5).step;
    int64_t frame = step * (mViewStart / step);
    float x = float(double(frame - mViewStart) * width / mViewLength) + mWaveformRect.xMin;
    const float spacing = float(double(step) * width / mViewLength);
    const float firstX = x;
    const float size = IsTablet() ? 7.0f : 6.0f;
    cGenStringFixed<32> label;
    for (; x < mRulerRect.xMax; x += spacing, frame += step)
    {
        label.Printf("%d", int(frame));
        DrawRulerLabel(list, x, size, label.CStr());
    }
    DrawGridLines(list, firstX, spacing);
}

// Beats while a beat is 30 pixels wide, else bars: every bar, then every
// 4, 16, 64 bars. Widening only by the beats per bar would never widen at
// one beat per bar.
void cSampleEditor::DrawBarRuler(cDrawList& list)
{
    const double rate = mSample->GetSampleRate();
    const double tempo = gTransport.tempo.load(std::memory_order_relaxed);
    const int64_t beatsPerBar = std::clamp(gTransport.beatsPerBar.load(std::memory_order_relaxed), 1, 7);
    const double ticksPerBar = double(beatsPerBar * kTicksPerBeat);
    const double width = double(mWaveformRect.xMax) - mWaveformRect.xMin;
    const double tickStart = mViewStart / rate * tempo / 60.0 * kTicksPerBeat;
    const double tickLength = mViewLength / rate * tempo / 60.0 * kTicksPerBeat;
    const double pixelsPerTick = width / tickLength;
    int64_t stepTicks = kTicksPerBeat, stepBeats = 1;
    double stepWidth = kTicksPerBeat * pixelsPerTick;
    if (!(stepWidth > 0.0) || !std::isfinite(stepWidth))
        return;
    for (int64_t factor = beatsPerBar > 1 ? beatsPerBar : kBarWidening; stepWidth < kMinimumBeatWidth;
         factor = kBarWidening)
    {
        stepTicks *= factor;
        stepBeats *= factor;
        stepWidth *= double(factor);
    }
    const int64_t firstTick = int64_t(tickStart / double(stepTicks)) * stepTicks;
    double x = mWaveformRect.xMin - (tickStart - double(firstTick)) * pixelsPerTick;
    int64_t beat = int64_t(double(firstTick) / ticksPerBar * double(beatsPerBar));
    const float firstX = float(x);
    const bool tablet = IsTablet();
    cGenStringFixed<32> label;
    for (; x < mRulerRect.xMax; x += stepWidth, beat += stepBeats)
    {
        const int bar = int(beat / beatsPerBar + 1);
        if (beat % beatsPerBar == 0)
        {
            label.Printf("%d", bar);
            DrawRulerLabel(list, float(x), tablet ? 12.0f : 8.0f, label.CStr());
        }
        else
        {
            label.Printf("%d.%d", bar, int(beat % beatsPerBar + 1));
            DrawRulerLabel(list, float(x), tablet ? 7.0f : 6.0f, label.CStr());
        }
    }
    DrawGridLines(list, firstX, float(stepWidth / kGridSubdivisions));
}

// At most 63 lines, never closer than 15 pixels.
void cSampleEditor::DrawGridLines(cDrawList& list, float firstX, float spacing)
{
    if (!(spacing > 0.0f) || !std::isfinite(spacing) || !std::isfinite(firstX))
        return;
    while (spacing < kMinimumGridSpacing)
        spacing *= 2.0f;
    uint32_t count = 0;
    for (float x = firstX; x < mWaveformRect.xMax && count < uint32_t(kMaxGridLines) * 2; x += spacing)
    {
        mGridLines[count].x = x;
        mGridLines[count++].y = mWaveformRect.yMin;
        mGridLines[count].x = x;
        mGridLines[count++].y = mWaveformRect.yMax;
    }
    if (count > 0)
        list.DrawDirect(kPrimitiveLines, cVertexXYZColour::kFormat, mGridLines, count);
}

void cSampleEditor::DrawPlayMarker(cDrawList& list)
{
    const cSampleEditAudition* audition = GetSampleEditAudition();
    if (!audition || !audition->IsActive())
        return;
    const int32_t position = audition->GetPlayPosition();
    if (position < mViewStart || int64_t(position) > int64_t(mViewStart) + mViewLength)
        return;
    const float x = FrameToX(position);
    list.FillRect({x, mWaveformRect.yMin - kPlayMarkerOverhang, x + 1.0f, mWaveformRect.yMax}, kWhite);
}

// Each handle fades in or out over 16 frames at 60 frames per second.
void cSampleEditor::DrawHandles(cDrawList& list)
{
    const int32_t step = int32_t(gFramePeriod * 1000.0f);
    for (cHandle& handle : mHandles)
    {
        handle.alpha = std::clamp(handle.alpha + (handle.visible ? step : -step), 0, 255);
        if (handle.alpha == 0)
            continue;
        const cAtlasSprite* image = handle.image;
        list.DrawQuad(handle.current, {image->u0, image->v0}, {image->u1, image->v1},
                      (uint32_t(handle.alpha) << 24) | 0xFFFFFFu, 0);
    }
}

// The status bar's title line: how to use the gesture in progress, the
// selection, or what the sample is.
void cSampleEditor::UpdateInfoText()
{
    if (IsScrollModeOn())
        mInfoText.AssignCStr("Drag to Scroll/Pinch to Zoom");
    else if (mMode == kModeDragScroll)
        mInfoText.AssignCStr("Drag/Pinch to Scroll/Zoom");
    else if (mMode == kModePinch)
        mInfoText.AssignCStr("Pinch to Zoom");
    else if (mMode != kModeUnused)
        DescribeSelectionOrSample();
    if (cStatusBarHost* host = GetStatusBarHost())
        host->SetTitleText(mInfoText.CStr());
}

// The selection stays in the status bar as a message while it exists.
void cSampleEditor::DescribeSelectionOrSample()
{
    const int32_t length = mModel.GetSelectionLength();
    if (length > 0)
    {
        cGenStringFixed<32> duration;
        FormatDuration(length, mSample->GetSampleRate(), duration);
        mInfoText.Printf("%d-%d (len %d, %s)", int(mModel.GetSelectionStart()), int(mModel.GetSelectionEnd()),
                         int(length), duration.CStr());
        ShowStatusMessage(mInfoText.CStr());
    }
    else
    {
        cGenStringFixed<32> size;
        FormatSize(int64_t(mSample->GetBits() / 8) * mSample->GetFrames() * mSample->GetChannels(), size);
        mInfoText.Printf("'%s' (%s, %.1fs, %.1fkHz %s)", mDisplayName.CStr(), size.CStr(),
                         double(mSample->GetDuration()), double(mSample->GetSampleRate()) * 0.001,
                         mSample->GetChannels() == 1 ? "1ch" : "2ch");
    }
}
