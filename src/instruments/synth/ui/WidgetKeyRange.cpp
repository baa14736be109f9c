#include "instruments/synth/ui/WidgetKeyRange.h"

#include <algorithm>

#include "audio/MIDINoteName.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr uint32_t kBlinkColour = 0xff808080u;
constexpr uint32_t kBoxColour = 0xffffffffu;
constexpr uint32_t kCaptionColour = 0xffffffffu;
constexpr uint32_t kValueColour = 0xff3232c8u;
constexpr float kCaptionSize = 8.0f;
constexpr float kValueSize = 11.0f;
constexpr float kCaptionGap = 5.0f;
// The lit phase: 8 frames on, 8 off.
constexpr int32_t kBlinkBit = 8;

cRect SpriteBox(const cAtlasSprite* sprite, float x, float centreY)
{
    return {x, centreY - 0.5f * sprite->height, x + sprite->width, centreY + 0.5f * sprite->height};
}
} // namespace

cWidgetKeyRange::cWidgetKeyRange(const cAtlasSprite* middle, const cAtlasSprite* low, const cAtlasSprite* high)
    : mMiddleSprite(middle), mLowSprite(low), mHighSprite(high)
{
}

void cWidgetKeyRange::OnLayout()
{
    const cRect& rect = GetRect();
    const float centreY = 0.5f * (rect.yMin + rect.yMax);
    mLowBox = SpriteBox(mLowSprite, rect.xMin, centreY);
    mHighBox = SpriteBox(mHighSprite, rect.xMax - mHighSprite->width, centreY);
    mTextBox = {mLowBox.xMax, centreY - 0.5f * mMiddleSprite->height, mHighBox.xMin,
                centreY + 0.5f * mMiddleSprite->height};
    mLowTouch = {mLowBox.xMin - kTouchGrowth, mLowBox.yMin, mLowBox.xMax, mLowBox.yMax};
    mHighTouch = {mHighBox.xMin, mHighBox.yMin, mHighBox.xMax + kTouchGrowth, mHighBox.yMax};
    mTouchArea = UnionRect(mLowTouch, mHighTouch);
    mTouchArea.yMin -= kTouchRise;
}

void cWidgetKeyRange::OnStateChange() { mLearn = kLearnNone; }

void cWidgetKeyRange::CancelInput() { mLearn = kLearnNone; }

int32_t cWidgetKeyRange::HitTest(const cVector2& point) const
{
    if (mHighTouch.Contains(point))
        return kLearnHigh;
    if (mLowTouch.Contains(point))
        return kLearnLow;
    return kLearnNone;
}

bool cWidgetKeyRange::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown) || captor == this)
        return false;
    if (type != kTouchDown || !mTouchArea.Contains(touch->position))
        return false;
    const int32_t hit = HitTest(touch->position);
    if (hit != kLearnNone)
    {
        CaptureTouch(touch->id);
        mLearn = mLearn == hit ? kLearnNone : hit;
    }
    return true;
}

void cWidgetKeyRange::SetRange(int32_t low, int32_t high)
{
    mLow = low;
    mHigh = high;
}

void cWidgetKeyRange::Learn(int32_t note)
{
    if (note < 0 || mLearn == kLearnNone)
        return;
    if (mLearn == kLearnLow)
    {
        mLow = note;
        lowChangedDelegate.Invoke(note, static_cast<cWidget*>(this));
        if (mHigh < note)
        {
            mHigh = note;
            highChangedDelegate.Invoke(note, static_cast<cWidget*>(this));
        }
    }
    else
    {
        mHigh = note;
        highChangedDelegate.Invoke(note, static_cast<cWidget*>(this));
        if (mLow > note)
        {
            mLow = note;
            lowChangedDelegate.Invoke(note, static_cast<cWidget*>(this));
        }
    }
    mLearn = kLearnNone;
}

void cWidgetKeyRange::GetValueText(cGenString& text) const
{
    if (mLearn != kLearnNone)
    {
        text.AssignCStr("PRESS KEY");
        return;
    }
    cGenStringFixed<8> low, high;
    GetMIDINoteName(low, mLow);
    GetMIDINoteName(high, mHigh);
    text.Printf("%s-%s", low.CStr(), high.CStr());
}

bool cWidgetKeyRange::Draw(cDrawList& list)
{
    ++mBlink;
    const bool litPhase = (mBlink & kBlinkBit) != 0;
    const bool dim = !IsEnabled();
    const auto shade = [dim](uint32_t colour) { return dim ? HalveColour(colour) : colour; };
    DrawSprite(list, mHighSprite, mHighBox, shade(litPhase && mLearn == kLearnHigh ? kBlinkColour : kBoxColour));
    DrawSprite(list, mLowSprite, mLowBox, shade(litPhase && mLearn == kLearnLow ? kBlinkColour : kBoxColour));
    DrawSprite(list, mMiddleSprite, mTextBox, shade(kBoxColour));
    cGenStringFixed<32> value;
    GetValueText(value);
    cTextBatch& text = list.GetTextBatch();
    const cFontHandle valueFont = cFontHandle::CopyWithSize(list.fontHandle, kValueSize);
    const float valueHeight = valueFont.sizeEntry ? valueFont.sizeEntry->size : kValueSize;
    text.DrawTextAligned(0.5f * (mTextBox.xMin + mTextBox.xMax), 0.5f * (mTextBox.yMin + mTextBox.yMax - valueHeight),
                         list.depth, valueFont, shade(kValueColour), kTextAlignCentreX, value.CStr());
    if (*GetName())
    {
        const cFontHandle captionFont = cFontHandle::CopyWithSize(list.fontHandle, kCaptionSize);
        const float captionHeight = captionFont.sizeEntry ? captionFont.sizeEntry->size : kCaptionSize;
        text.DrawTextAligned(0.5f * (mTextBox.xMin + mTextBox.xMax), mTextBox.yMin - kCaptionGap - captionHeight,
                             list.depth, captionFont, shade(kCaptionColour), kTextAlignCentreX, GetName());
    }
    return false;
}
