#include "ui/WidgetSpinButton.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "platform/FrameTiming.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kCaptionTextSize = 8.0f;
constexpr float kValueTextSize = 11.0f;
constexpr int32_t kValueTextAlignment = kTextAlignCentreX | kTextAlignCentreY | kTextShortenEnd;
constexpr int kReservedTextLength = 48;
constexpr int32_t kSnapMask = kImageSnapTop | kImageSnapBottom | kImageSnapLeft | kImageSnapRight;

// A press steps at the next frame: one step's worth waits, at the slowest rate.
constexpr uint32_t kStepUnit = 256;
constexpr uint32_t kStartRate = 40;
// Small ranges repeat at most about 3 steps a tick; large ones about d / 64.
constexpr int64_t kSmallRange = 256;
constexpr uint32_t kSmallRangeLimit = 800;
constexpr uint32_t kSmallRangeGrowth = 10;
constexpr uint32_t kLargeRangeGrowth = 20;
// Keeps the accumulator from wrapping on the widest ranges.
constexpr int64_t kRateCeiling = 0xffffff00;

// Drags move k steps a pixel: half a percent of the range, at least 0.05.
constexpr float kDragRangeFraction = 0.005f;
constexpr float kMinimumDragRate = 0.05f;

float SpriteWidth(const cImage& image) { return image.sprite ? image.sprite->width : 0.0f; }
float SpriteHeight(const cImage& image) { return image.sprite ? image.sprite->height : 0.0f; }

void SetSnap(cImage& image, int32_t snap) { image.flags = (image.flags & ~kSnapMask) | snap; }

// The rects of the images that show a sprite together; an image without a
// sprite takes no room.
cRect UnionOfImages(std::initializer_list<const cImage*> images)
{
    bool any = false;
    cRect result = {0, 0, 0, 0};
    for (const cImage* image : images)
    {
        if (!image->sprite)
            continue;
        result = any ? UnionRect(result, image->layoutRect) : image->layoutRect;
        any = true;
    }
    return result;
}

int64_t RangeWidth(int32_t minimum, int32_t maximum) { return std::llabs(int64_t(maximum) - minimum); }
} // namespace

cWidgetSpinButton::cWidgetSpinButton(uint32_t style) : mStyle(style)
{
    valueBoxImage.alignment = 19;
    captionStyle.font.SetSize(kCaptionTextSize);
    captionStyle.alignment = kTextAlignAbove;
    valueTextStyle.font.SetSize(kValueTextSize);
    valueTextStyle.alignment = kValueTextAlignment;
    mValueText.Reserve(kReservedTextLength);
}

cWidgetSpinButton::~cWidgetSpinButton() = default;

void cWidgetSpinButton::SetValue(int32_t value) { mValue = ClampTo(value, minimum, maximum); }

void cWidgetSpinButton::SetText(const char* text) { mValueText = text; }

void cWidgetSpinButton::SetLabelWidth(const char* const* labels, int32_t count)
{
    labelWidth = 0.0f;
    for (int32_t i = 0; i < count; ++i)
        labelWidth = std::fmax(labelWidth, valueTextStyle.font.GetTextWidth(labels[i]));
}

void cWidgetSpinButton::OnLayout()
{
    const cRect rect = GetRect();
    LayoutImages(rect);
    mContentRect = UnionOfImages({&valueBoxImage, &upImagePressed, &upImage, &downImagePressed, &downImage});
    cVector2 offset;
    GetAlignedOffset(&offset, mContentRect);
    MoveRect(mContentRect, offset.X, offset.Y);
    for (cImage* image : {&valueBoxImage, &upImagePressed, &upImage, &downImagePressed, &downImage})
        MoveImage(*image, offset.X, offset.Y);

    PlaceZones();
    mTouchRect = UnionRect(UnionRect(rect, mUpZone), mDownZone);
    mValueTextRect = valueBoxImage.layoutRect;
    mValueTextRect.xMin += textInset;
    mValueTextRect.xMax -= textInset;
    MoveRect(mValueTextRect, valueTextStyle.offsetX, valueTextStyle.offsetY);
    mCaptionRect = mContentRect;
    MoveRect(mCaptionRect, captionStyle.offsetX, captionStyle.offsetY);
}

void cWidgetSpinButton::LayoutImages(const cRect& rect)
{
    const cVector2 origin = {0.0f, 0.0f};
    cImage* const ups[2] = {&upImagePressed, &upImage};
    cImage* const downs[2] = {&downImagePressed, &downImage};
    const float downWidth = std::fmax(SpriteWidth(downImagePressed), SpriteWidth(downImage));
    const float upWidth = std::fmax(SpriteWidth(upImagePressed), SpriteWidth(upImage));
    switch (Arrangement())
    {
    case kSpinRow:
    {
        const float stripHeight = std::fmax(std::fmax(SpriteHeight(downImagePressed), SpriteHeight(downImage)),
                                            SpriteHeight(valueBoxImage));
        const cRect strip = {rect.xMin, rect.yMin, rect.xMax, rect.yMin + stripHeight};
        for (int i = 0; i < 2; ++i)
        {
            SetSnap(*downs[i], kImageSnapLeft);
            downs[i]->Layout(strip, origin);
            SetSnap(*ups[i], kImageSnapRight);
            ups[i]->Layout(strip, origin);
        }
        SetSnap(valueBoxImage, 0);
        valueBoxImage.Layout({rect.xMin + gap + downWidth, strip.yMin, rect.xMax - gap - upWidth, strip.yMax}, origin);
        break;
    }
    case kSpinBoxAbove:
    {
        SetSnap(valueBoxImage, kImageSnapTop);
        valueBoxImage.Layout(rect, origin);
        const cRect below = {rect.xMin, rect.yMin + SpriteHeight(valueBoxImage) + gap, rect.xMax, rect.yMax};
        for (int i = 0; i < 2; ++i)
        {
            SetSnap(*downs[i], kImageSnapLeft | kImageSnapTop);
            downs[i]->Layout(below, origin);
            SetSnap(*ups[i], kImageSnapRight | kImageSnapTop);
            ups[i]->Layout(below, origin);
        }
        break;
    }
    default:
        SetSnap(valueBoxImage, 0);
        valueBoxImage.Layout(rect, origin);
        for (int i = 0; i < 2; ++i)
        {
            SetSnap(*ups[i], kImageSnapTop);
            ups[i]->Layout(rect, origin);
            SetSnap(*downs[i], kImageSnapBottom);
            downs[i]->Layout(rect, origin);
        }
        break;
    }
}

// Stacked buttons keep their facing edges, so the zones never overlap.
void cWidgetSpinButton::PlaceZones()
{
    mUpZone = UnionOfImages({&upImagePressed, &upImage});
    mDownZone = UnionOfImages({&downImagePressed, &downImage});
    const bool stacked = Arrangement() == kSpinColumn;
    mUpZone.Grow(zoneMargin, zoneMargin, zoneMargin, stacked ? 0.0f : zoneMargin);
    mDownZone.Grow(zoneMargin, stacked ? 0.0f : zoneMargin, zoneMargin, zoneMargin);
}

int32_t cWidgetSpinButton::ZoneAt(const cVector2& point) const
{
    if (mUpZone.Contains(point))
        return 1;
    if (mDownZone.Contains(point))
        return 2;
    return 0;
}

bool cWidgetSpinButton::Draw(cDrawList& list)
{
    if (mState == kZoneHeld && mZone != 0)
        StepRepeat();
    const bool enabled = IsEnabled();
    const bool dim = !enabled;
    const cImage& up = mZone == 1 ? upImagePressed : upImage;
    const cImage& down = mZone == 2 ? downImagePressed : downImage;
    up.Draw(up.drawRect, list, dim);
    down.Draw(down.drawRect, list, dim);
    if (!valueBoxImage.sprite)
        return false;
    valueBoxImage.Draw(valueBoxImage.drawRect, list, dim);
    uint32_t colour = valueTextStyle.colour;
    if ((GetFlags() & kWidgetDisabledImages) && !enabled)
        colour = HalveColour(colour);
    cTextBatch& text = list.GetTextBatch();
    text.DrawTextInRect(mValueTextRect, valueTextStyle.font, list.depth, colour, uint32_t(valueTextStyle.alignment),
                        mValueText.CStr());
    if (*GetName())
        text.DrawTextInRect(mCaptionRect, captionStyle.font, list.depth, captionStyle.colour,
                            uint32_t(captionStyle.alignment), GetName());
    return false;
}

// One tick every 1/30 s: the whole steps waiting are taken, and the rate
// grows by a few per cent up to the range's limit.
void cWidgetSpinButton::StepRepeat()
{
    if (--mRepeatCountdown > 0)
        return;
    mRepeatCountdown = gFrameMultiple;
    const uint32_t steps = mRepeatAccumulator / kStepUnit;
    if (steps > 0)
    {
        if (mZone == 1 && mValue < maximum)
            ChangeValue(std::min(int64_t(mValue) + steps, int64_t(maximum)));
        else if (mZone == 2 && mValue > minimum)
            ChangeValue(std::max(int64_t(mValue) - steps, int64_t(minimum)));
    }
    mRepeatAccumulator &= kStepUnit - 1;
    const int64_t range = RangeWidth(minimum, maximum);
    const bool small = range < kSmallRange;
    const int64_t limit = small ? kSmallRangeLimit : std::min(4 * range - 224, kRateCeiling);
    const int64_t growth = small ? kSmallRangeGrowth : kLargeRangeGrowth;
    mRepeatRate = uint32_t(std::min(limit, int64_t(mRepeatRate) + int64_t(mRepeatRate) * growth / 256 + 1));
    mRepeatAccumulator += mRepeatRate;
}

void cWidgetSpinButton::ChangeValue(int64_t value)
{
    const int32_t clamped = int32_t(std::clamp(value, int64_t(std::min(minimum, maximum)), int64_t(maximum)));
    if (clamped == mValue)
        return;
    mValue = clamped;
    valueDelegate.Invoke(mValue, this);
}

void cWidgetSpinButton::RestartRepeat(int32_t zone, uint32_t accumulator)
{
    mZone = zone;
    mRepeatAccumulator = accumulator;
    mRepeatRate = kStartRate;
    mRepeatCountdown = 0;
}

void cWidgetSpinButton::CancelInput()
{
    mState = kIdle;
    mZone = 0;
}

bool cWidgetSpinButton::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && !(type == kTouchDown && mTouchRect.Contains(touch->position)))
        return false;
    const bool beyondThreshold = std::fabs(mPressPosition.Y - touch->position.Y) > kDragThreshold;
    switch (mState)
    {
    case kIdle:
    {
        if (type != kTouchDown)
            return false;
        CaptureTouch(touch->id);
        mPressPosition = touch->position;
        const int32_t zone = ZoneAt(touch->position);
        if (zone != 0)
        {
            mState = kZoneHeld;
            RestartRepeat(zone, kStepUnit);
        }
        else if (mStyle & kSpinDragAnywhere)
            mState = kHeldOutside;
        return true;
    }
    case kZoneHeld:
        if (captor != this)
            return false;
        if (type == kTouchUp)
        {
            mState = kIdle;
            mZone = 0;
        }
        else if (beyondThreshold)
        {
            mPressPosition.Y = touch->position.Y;
            mState = kDragging;
        }
        else if (ZoneAt(touch->position) != mZone)
            RestartRepeat(ZoneAt(touch->position), 0);
        return true;
    case kHeldOutside:
        if (type == kTouchUp)
        {
            mZone = 0;
            mState = kIdle;
            return true;
        }
        if (beyondThreshold)
        {
            mPressPosition.Y = touch->position.Y;
            mState = kDragging;
        }
        return false;
    default:
        if (type == kTouchUp)
        {
            mZone = 0;
            mState = kIdle;
        }
        else
            DragBy(touch);
        return true;
    }
}

// Whole steps only: the reference moves by what was taken, so the rest of
// the distance counts towards the next step.
void cWidgetSpinButton::DragBy(const cTouch* touch)
{
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    const float sensitivity = manager ? manager->GetSensitivityScale() : 1.0f;
    const int64_t range = RangeWidth(minimum, maximum);
    const double rate = std::fmax(double(range) * kDragRangeFraction * sensitivity, kMinimumDragRate);
    // Wide ranges move millions of steps a pixel: counted in 64 bits and
    // never more than the range.
    const double wanted = std::round(double(mPressPosition.Y - touch->position.Y) * rate);
    const int64_t steps = int64_t(std::clamp(wanted, -double(range), double(range)));
    if (steps == 0)
        return;
    mPressPosition.Y -= float(double(steps) / rate);
    ChangeValue(int64_t(mValue) + steps);
    mZone = steps > 0 ? 1 : 2;
}

void cWidgetSpinButton::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    cVector2 m, f, b, B;
    downImagePressed.GetSize(m, f);
    valueBoxImage.GetSize(b, B);
    const float g = gap, p = textInset, L = labelWidth;
    switch (Arrangement())
    {
    case kSpinRow:
        *minimumSize = {(g + m.X + p) * 2 + b.X, std::fmax(b.Y, m.Y)};
        *preferredSize = {(g + f.X + p) * 2 + B.X + L, std::fmax(B.Y, f.Y)};
        break;
    case kSpinBoxAbove:
        *minimumSize = {std::fmax(b.X, (g + f.X) * 2), g + b.Y + m.Y};
        *preferredSize = {std::fmax(std::fmax(2 * p + L, B.X), (g + f.X) * 2), g + B.Y + f.Y};
        break;
    default:
        *minimumSize = {std::fmax(m.X, 2 * p + b.X), (g + m.Y) * 2 + b.Y};
        *preferredSize = {std::fmax(f.X, 2 * p + B.X + L), (g + f.Y) * 2 + B.Y};
        break;
    }
}
