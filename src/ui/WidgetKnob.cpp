#include "ui/WidgetKnob.h"

#include <algorithm>
#include <cmath>

#include "base/GenString.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;
constexpr float kHalfPi = 1.57079633f;
constexpr float kThreeHalfPi = 4.712389f;

// 100 pixels of vertical drag cover the range at normal sensitivity.
constexpr float kDragPerPixel = 0.01f;
// Continuous drags of up to this many pixels per event are slowed for fine
// adjustment.
constexpr float kFineZone = 4.0f;
constexpr float kDetent = 0.04f;
constexpr float kLinearDeadband = 0.001f;
constexpr float kRotaryDeadband = 0.01f;
constexpr float kCaptionTextSize = 8.0f;
constexpr float kLabelTextSize = 6.0f;
constexpr uint32_t kCaptionAlignment = kTextAlignCentreX | kTextAlignAbove;

// Every report reuses one text: only the main screen's display reads it.
cGenStringFixed<256> gValueText;
cDelegate gValueTextDelegate;

float WrapAngle(float angle)
{
    if (angle > kPi)
        return angle - kTwoPi;
    if (angle < -kPi)
        return angle + kTwoPi;
    return angle;
}

// A parabola through the sine's zeros and peaks: cheap, and the look of the
// knobs is tuned to it.
float ParabolicSin(float angle)
{
    const float x = WrapAngle(angle);
    return 1.2732395f * x - 0.40528473f * x * std::fabs(x);
}

float ParabolicCos(float angle) { return ParabolicSin(angle + kHalfPi); }

// Brings the parabola closer to the true sine where a rotated sprite shows
// its error.
float Refined(float y) { return 0.225f * (y * std::fabs(y) - y) + y; }

// The bottom quarters of the dial: a finger in one while the value sits in
// the other has passed through the gap between the ends.
int32_t BottomZone(float angle)
{
    if (angle < kHalfPi)
        return 1;
    if (angle > kThreeHalfPi)
        return 2;
    return 0;
}

float AngularDistance(float a, float b)
{
    const float d = std::fabs(a - b);
    return std::fmin(d, kTwoPi - d);
}
} // namespace

cWidgetKnob::cWidgetKnob(uint32_t style) : mStyle(style)
{
    captionStyle.font.SetSize(kCaptionTextSize);
    captionStyle.colour = 0xffffffffu;
    captionStyle.alignment = kCaptionAlignment;
    labelFont.Select(kLabelTextSize);
    knobImage.alignment = 17;
}

cWidgetKnob::~cWidgetKnob() = default;

void cWidgetKnob::SetValueTextDelegate(const cDelegate& delegate) { gValueTextDelegate = delegate; }

void cWidgetKnob::SetParameter(const cParameter& parameter)
{
    SetName(parameter.name);
    mStyle = parameter.style;
    if (parameter.kind == kKnobInteger)
        SetIntRange(parameter.minimum, parameter.maximum);
    else if (parameter.kind == kKnobValueList)
        SetValueList(parameter.entries, parameter.entryCount);
}

void cWidgetKnob::SetIntRange(int32_t minimum, int32_t maximum)
{
    mKind = kKnobInteger;
    mMinimum = minimum;
    mMaximum = maximum;
    MarkStateDirty();
}

// An index left over from a longer list is brought into the new one.
void cWidgetKnob::SetValueList(const cListEntry* entries, int32_t count)
{
    mKind = kKnobValueList;
    if (!entries || count < 0)
        count = 0;
    mEntries = count > 0 ? entries : nullptr;
    mLabelPositions.assign(size_t(count), cLabelPosition{});
    mIndex = ClampTo(mIndex, 0, count > 0 ? count - 1 : 0);
    MarkStateDirty();
}

void cWidgetKnob::SetValue(float value)
{
    if (StoreUnitValue(mValue, value))
        MarkStateDirty();
}

void cWidgetKnob::SetIntValue(int32_t value)
{
    if (mKind == kKnobInteger)
    {
        value = ClampTo(value, mMinimum, mMaximum);
        if (value == mIntValue)
            return;
        mIntValue = value;
        MarkStateDirty();
        return;
    }
    mIndex = 0;
    for (int32_t i = 0; i < EntryCount(); ++i)
        if (mEntries[i].value == value)
        {
            mIndex = i;
            break;
        }
    MarkStateDirty();
}

int32_t cWidgetKnob::GetIntValue() const
{
    if (mKind == kKnobInteger)
        return mIntValue;
    return EntryCount() > 0 ? mEntries[mIndex].value : 0;
}

void cWidgetKnob::MarkStateDirty() { ModifyFlags(kWidgetStateDirty, 0, true); }

float cWidgetKnob::AngleFraction(float angle) const
{
    const float sweep = endAngle - startAngle;
    return sweep != 0.0f ? (angle - startAngle) / sweep : 0.0f;
}

// An integer knob without a range, or a list without entries, rests at the
// start of the sweep.
float cWidgetKnob::ValueAngle() const
{
    const float sweep = endAngle - startAngle;
    switch (mKind)
    {
    case kKnobInteger:
        if (mMaximum == mMinimum)
            return startAngle;
        return startAngle + float(double(int64_t(mIntValue) - mMinimum) / double(int64_t(mMaximum) - mMinimum)) * sweep;
    case kKnobValueList:
        return EntryCount() > 0 ? mEntries[mIndex].angle : startAngle;
    default:
        return startAngle + mValue * sweep;
    }
}

cVector2 cWidgetKnob::Centre() const { return RectCentre(knobImage.layoutRect); }

float cWidgetKnob::ImageHeight() const { return knobImage.layoutRect.yMax - knobImage.layoutRect.yMin; }

void cWidgetKnob::OnLayout()
{
    const cRect rect = GetRect();
    knobImage.Layout(rect, {0.0f, 0.0f});
    cVector2 offset;
    GetAlignedOffset(&offset, knobImage.layoutRect);
    MoveImage(knobImage, offset.X, offset.Y);

    const cVector2 centre = Centre();
    if (highlightSprite)
    {
        const cAtlasSprite* reference = highlightReferenceSprite ? highlightReferenceSprite : highlightSprite;
        const float imageWidth = knobImage.layoutRect.xMax - knobImage.layoutRect.xMin;
        const float side =
            reference->width > 0.0f ? imageWidth * highlightScale / reference->width * highlightSprite->width : 0.0f;
        mHighlightRect = CentredRect(centre, side, side);
    }
    if (tickSprite)
        mTickRect = CentredRect(centre, tickSprite->width, tickSprite->height);

    const cRect& drawn = knobImage.drawRect;
    const float captionWidth = std::fmax(rect.xMax - rect.xMin, drawn.xMax - drawn.xMin);
    const float captionCentre = (drawn.xMin + drawn.xMax) * 0.5f;
    mCaptionRect = SnapRect({captionCentre - captionWidth * 0.5f, drawn.yMin, captionCentre + captionWidth * 0.5f,
                             drawn.yMax});
    MoveRect(mCaptionRect, captionStyle.offsetX, captionStyle.offsetY);

    mTouchRect = (GetFlags() & kWidgetTouchWholeRect) ? rect : knobImage.layoutRect;
    mTouchRect.Grow(touchMargins[0], touchMargins[1], touchMargins[2], touchMargins[3]);
    OnStateChange();
}

void cWidgetKnob::OnStateChange()
{
    PlacePointer(ValueAngle());
    if (mKind == kKnobValueList)
        PlaceListLabels();
}

void cWidgetKnob::PlacePointer(float angle)
{
    const cVector2 centre = Centre();
    const float radius = float(RoundToInt(ImageHeight() * pointerRadius * 0.5f));
    if (pointerStyle == kKnobPointerDot)
    {
        const cVector2 dot = {centre.X - ParabolicSin(angle) * radius, centre.Y + ParabolicCos(angle) * radius};
        const cRect quad = CentredRect(dot, pointerSprite ? pointerSprite->width : 0.0f,
                                       pointerSprite ? pointerSprite->height : 0.0f);
        const float corners[8] = {quad.xMin, quad.xMax, quad.xMin, quad.xMax,
                                  quad.yMin, quad.yMin, quad.yMax, quad.yMax};
        std::copy(corners, corners + 8, mPointerQuad);
        mPointerDrawColour = 0xffffffffu;
    }
    else if (pointerStyle == kKnobPointerRotated || pointerStyle == kKnobPointerRotatedDimming)
    {
        PlaceRotatedPointer(angle);
        mPointerDrawColour = 0xffffffffu;
        if (pointerStyle == kKnobPointerRotatedDimming)
        {
            const float nearTop = ClampTo(1.0f - std::fabs(kPi - angle) / kPi, 0.0f, 1.0f);
            const uint32_t level = uint32_t(RoundToInt(nearTop * 200.0f + 55.0f));
            mPointerDrawColour = 0xff000000u | level << 16 | level << 8 | level;
        }
    }
}

// The sprite hangs below the centre with its bottom edge at the pointer
// radius and turns about the centre with the value.
void cWidgetKnob::PlaceRotatedPointer(float angle)
{
    const cVector2 centre = Centre();
    const float radius = float(RoundToInt(ImageHeight() * pointerRadius * 0.5f));
    const float width = pointerSprite ? pointerSprite->width : 0.0f;
    const float height = pointerSprite ? pointerSprite->height : 0.0f;
    const float left = -width * 0.5f, right = width * 0.5f, top = radius - height, bottom = radius;
    const float s = Refined(ParabolicSin(angle)), c = Refined(ParabolicCos(angle));
    const float xs[4] = {left, right, left, right};
    const float ys[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i)
    {
        mPointerQuad[i] = centre.X + xs[i] * c - ys[i] * s;
        mPointerQuad[4 + i] = centre.Y + xs[i] * s + ys[i] * c;
    }
}

void cWidgetKnob::PlaceListLabels()
{
    const float tickDistance = float(RoundToInt(tickRadius * 0.5f * ImageHeight()));
    const float labelDistance =
        tickDistance + std::fmax(mTickRect.xMax - mTickRect.xMin, mTickRect.yMax - mTickRect.yMin);
    const float halfFont = FontSizeOf(labelFont) * 0.5f;
    for (int32_t i = 0; i < EntryCount(); ++i)
    {
        const float s = ParabolicSin(mEntries[i].angle), c = ParabolicCos(mEntries[i].angle);
        const float half = labelFont.GetTextWidth(EntryLabel(i)) * 0.5f;
        cLabelPosition& position = mLabelPositions[size_t(i)];
        position.tickX = -s * tickDistance;
        position.tickY = c * tickDistance;
        position.labelX = -(half + labelDistance) * s - half;
        position.labelY = (labelDistance + halfFont) * c;
    }
}

const char* cWidgetKnob::EntryLabel(int32_t index) const
{
    if (index < 0 || index >= EntryCount() || !mEntries[index].label)
        return "";
    return mEntries[index].label;
}

bool cWidgetKnob::Draw(cDrawList& list)
{
    if (mKind == kKnobValueList)
        DrawListTicks(list);
    else
    {
        if (tickSprite && (mStyle & kKnobBipolar))
        {
            cRect tick = mTickRect;
            MoveRect(tick, 0.0f, -float(RoundToInt(ImageHeight() * 0.5f * tickRadius)));
            list.DrawQuad(tick, {tickSprite->u0, tickSprite->v0}, {tickSprite->u1, tickSprite->v1},
                          captionStyle.colour, 0);
        }
        DrawEndLetters(list);
    }
    knobImage.Draw(knobImage.drawRect, list, false);
    if (pointerSprite)
        list.DrawFreeQuad(mPointerQuad, {pointerSprite->u0, pointerSprite->v0}, {pointerSprite->u1, pointerSprite->v1},
                          mPointerDrawColour);
    DrawHighlight(list);
    list.GetTextBatch().DrawTextInRect(mCaptionRect, captionStyle.font, list.depth, captionStyle.colour,
                                       uint32_t(captionStyle.alignment), GetName());
    return false;
}

void cWidgetKnob::DrawListTicks(cDrawList& list)
{
    const cVector2 centre = Centre();
    const float halfFont = FontSizeOf(labelFont) * 0.5f;
    for (int32_t i = 0; i < EntryCount(); ++i)
    {
        const cLabelPosition& position = mLabelPositions[size_t(i)];
        if (tickSprite)
        {
            cRect tick = mTickRect;
            MoveRect(tick, position.tickX, position.tickY);
            list.DrawQuad(tick, {tickSprite->u0, tickSprite->v0}, {tickSprite->u1, tickSprite->v1},
                          captionStyle.colour, 0);
        }
        const char* label = EntryLabel(i);
        if (*label)
            list.GetTextBatch().DrawText(centre.X + position.labelX, centre.Y + position.labelY - halfFont,
                                         list.depth, labelFont, captionStyle.colour, label);
    }
}

void cWidgetKnob::DrawEndLetters(cDrawList& list)
{
    const char* first = nullptr;
    const char* second = nullptr;
    if (mStyle & kKnobLettersLR)
        first = "L", second = "R";
    else if (mStyle & kKnobLettersMinusPlus)
        first = "-", second = "+";
    else if (mStyle & kKnobLettersAB)
        first = "A", second = "B";
    if (!first)
        return;
    const cVector2 centre = Centre();
    const float ring = float(RoundToInt(ImageHeight() * 0.5f * tickRadius));
    const float s = ParabolicSin(startAngle), c = ParabolicCos(startAngle);
    cTextBatch& text = list.GetTextBatch();
    text.DrawText(centre.X + s * ring, centre.Y + c * ring, list.depth, labelFont, captionStyle.colour, second);
    text.DrawText(centre.X - s * ring - labelFont.GetTextWidth(first), centre.Y + c * ring, list.depth, labelFont,
                  captionStyle.colour, first);
}

// Fades in over three frames while touched and out over six.
void cWidgetKnob::DrawHighlight(cDrawList& list)
{
    if (!highlightSprite)
        return;
    const int32_t full = int32_t(highlightColour >> 24);
    if (mTouching)
        mHighlightLevel = std::min(mHighlightLevel + full / 3, full);
    else
        mHighlightLevel = std::max(mHighlightLevel - full / 6, 0);
    if (mHighlightLevel <= 0)
        return;
    const uint32_t colour = uint32_t(mHighlightLevel) << 24 | (highlightColour & 0xffffffu);
    list.DrawQuad(mHighlightRect, {highlightSprite->u0, highlightSprite->v0},
                  {highlightSprite->u1, highlightSprite->v1}, colour, 0);
}

void cWidgetKnob::CancelInput()
{
    MarkStateDirty();
    if (!mTouching)
        return;
    touchDelegate.Invoke(0, this);
    mTouching = false;
}

bool cWidgetKnob::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && !(type == kTouchDown && mTouchRect.Contains(touch->position)))
        return false;
    if (type == kTouchDown && !mTouching)
    {
        BeginTouch(touch);
        return true;
    }
    if (!mTouching)
        return false;
    if (type == kTouchUp)
    {
        MarkStateDirty();
        mTouching = false;
        touchDelegate.Invoke(0, this);
        return true;
    }
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    if (manager && manager->knobControl != 0)
        DragRotary(touch);
    else
        DragLinear(touch);
    return true;
}

void cWidgetKnob::BeginTouch(cTouch* touch)
{
    CaptureTouch(touch->id);
    if (mKind == kKnobContinuous && touch->tapCount > 1 && (mStyle & kKnobBipolar) && mValue != 0.5f)
    {
        mValue = 0.5f;
        valueDelegate.Invoke(mValue, this);
        UpdateValueText();
        MarkStateDirty();
    }
    if (mKind == kKnobContinuous)
        mDragValue = mValue;
    else if (mKind == kKnobInteger)
        mDragValue = mMaximum == mMinimum
                         ? 0.0f
                         : float(double(int64_t(mIntValue) - mMinimum) / double(int64_t(mMaximum) - mMinimum));
    else
        mDragValue = EntryCount() > 0 ? float(mIndex) / float(EntryCount()) : 0.0f;
    mDragPosition = touch->position;
    UpdateValueText();
    MarkStateDirty();
    mTouching = true;
    touchDelegate.Invoke(1, this);
}

void cWidgetKnob::DragLinear(const cTouch* touch)
{
    if (mKind == kKnobValueList && EntryCount() == 0)
        return;
    float dy = mDragPosition.Y - touch->position.Y;
    if (mKind == kKnobContinuous && std::fabs(dy) <= kFineZone)
        dy = dy * std::fabs(dy) * 0.25f;
    mDragPosition.Y = touch->position.Y;
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    const float sensitivity = manager ? manager->GetSensitivityScale() : 1.0f;
    mDragValue = ClampTo(mDragValue + sensitivity * kDragPerPixel * dy, 0.0f, 1.0f);

    if (mKind == kKnobInteger)
    {
        const double span = double(int64_t(mMaximum) - mMinimum);
        const int32_t value = ClampTo(int32_t(int64_t(mMinimum) + int64_t(span * mDragValue + 0.5)), mMinimum, mMaximum);
        if (value == mIntValue)
            return;
        ApplyInteger(value);
    }
    else if (mKind == kKnobValueList)
    {
        const int32_t index = ClampTo(int32_t(float(EntryCount()) * mDragValue + 0.5f), 0, EntryCount() - 1);
        if (index == mIndex)
            return;
        ApplyIndex(index);
    }
    else
    {
        if (std::fabs(mValue - mDragValue) < kLinearDeadband)
            return;
        ApplyContinuous(WithDetent(mDragValue));
    }
    UpdateValueText();
    MarkStateDirty();
}

void cWidgetKnob::DragRotary(const cTouch* touch)
{
    if (mKind == kKnobValueList && EntryCount() == 0)
        return;
    const cVector2 centre = RectCentre(GetRect());
    float angle = std::atan2(-(touch->position.X - centre.X), touch->position.Y - centre.Y);
    if (angle < 0.0f)
        angle += kTwoPi;
    angle = ClampTo(angle, startAngle, endAngle);

    if (mKind == kKnobContinuous)
    {
        const int32_t fingerZone = BottomZone(angle), valueZone = BottomZone(ValueAngle());
        const bool throughGap = (fingerZone == 1 && valueZone == 2) || (fingerZone == 2 && valueZone == 1);
        const float candidate = AngleFraction(angle);
        if (!throughGap && std::fabs(mValue - candidate) >= kRotaryDeadband)
            ApplyContinuous(WithDetent(candidate));
    }
    else if (mKind == kKnobInteger)
    {
        const double span = double(int64_t(mMaximum) - mMinimum);
        const int32_t value = int32_t(int64_t(mMinimum) + int64_t(double(AngleFraction(angle)) * span));
        if (value != mIntValue)
            ApplyInteger(value);
    }
    else
    {
        int32_t nearest = 0;
        for (int32_t i = 1; i < EntryCount(); ++i)
            if (AngularDistance(mEntries[i].angle, angle) < AngularDistance(mEntries[nearest].angle, angle))
                nearest = i;
        if (nearest != mIndex)
            ApplyIndex(nearest);
    }
    UpdateValueText();
    MarkStateDirty();
}

// A bipolar knob resting at its centre holds there until the drag leaves
// the detent, then follows at the detent's distance.
float cWidgetKnob::WithDetent(float candidate) const
{
    if (!(mStyle & kKnobBipolar) || std::fabs(mValue - 0.5f) > kDetent)
        return candidate;
    if (std::fabs(candidate - 0.5f) <= kDetent)
        return 0.5f;
    return candidate > 0.5f ? candidate - kDetent : candidate + kDetent;
}

void cWidgetKnob::ApplyContinuous(float value)
{
    if (value == mValue || !std::isfinite(value))
        return;
    mValue = value;
    valueDelegate.Invoke(mValue, this);
}

void cWidgetKnob::ApplyInteger(int32_t value)
{
    mIntValue = value;
    stepDelegate.Invoke(value, this);
}

void cWidgetKnob::ApplyIndex(int32_t index)
{
    mIndex = index;
    stepDelegate.Invoke(mEntries[index].value, this);
}

void cWidgetKnob::UpdateValueText()
{
    if (mStyle & kKnobNoValueText)
        return;
    if (mKind == kKnobInteger)
        gValueText.Printf("%s = %d", GetName(), mIntValue);
    else if (mKind == kKnobValueList)
        gValueText.Printf("%s = %s", GetName(), EntryLabel(mIndex));
    else if (mStyle & kKnobBipolar)
        gValueText.Printf("%s = %+.2f", GetName(), double(mValue * 2.0f - 1.0f));
    else
        gValueText.Printf("%s = %.2f", GetName(), double(mValue));
    gValueTextDelegate.Invoke(gValueText.CStr(), this);
}

void cWidgetKnob::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    knobImage.GetSize(*minimum, *preferred);
}
