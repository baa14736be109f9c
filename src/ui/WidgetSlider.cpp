#include "ui/WidgetSlider.h"

#include <algorithm>
#include <cmath>

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"

namespace
{
// A rect too short to measure a drag against.
constexpr float kMinimumHeight = 0.000001f;
} // namespace

cWidgetSlider::cWidgetSlider() = default;

cWidgetSlider::~cWidgetSlider() = default;

void cWidgetSlider::SetValue(float value)
{
    if (StoreUnitValue(mValue, value))
        ModifyFlags(kWidgetStateDirty, 0, true);
}

void cWidgetSlider::OnLayout()
{
    const cRect rect = GetRect();
    trackImage.Layout(rect, {0.0f, 0.0f});
    cVector2 offset;
    GetAlignedOffset(&offset, trackImage.layoutRect);
    MoveImage(trackImage, offset.X, offset.Y);
    mTouchRect = (GetFlags() & kWidgetTouchWholeRect) ? rect : trackImage.layoutRect;
    mTouchRect.Grow(touchMargins[0], touchMargins[1], touchMargins[2], touchMargins[3]);
    ModifyFlags(kWidgetStateDirty, 0, true);
}

// The thumb is centred by its own alignment on the point for the value.
void cWidgetSlider::OnStateChange()
{
    const float x = trackImage.layoutRect.xMin + thumbOffset.X;
    const float y = trackImage.layoutRect.yMin + thumbOffset.Y + (0.5f - mValue) * travel;
    thumbImage.Layout({x, y, x, y}, {0.0f, 0.0f});
}

// The glow fades in over three frames while held and out over twenty.
bool cWidgetSlider::Draw(cDrawList& list)
{
    trackImage.Draw(trackImage.drawRect, list, false);
    thumbImage.Draw(thumbImage.drawRect, list, false);
    const int32_t full = int32_t(glowColour >> 24);
    if (mState != kIdle)
        mGlowLevel = std::min(mGlowLevel + full / 3, full);
    else
        mGlowLevel = std::max(mGlowLevel - full / 20, 0);
    return false;
}

void cWidgetSlider::DrawTouchHighlight(cDrawList& list)
{
    if (mGlowLevel <= 0 || !glowSprite)
        return;
    const uint32_t colour = uint32_t(mGlowLevel) << 24 | (glowColour & 0xffffffu);
    const cRect& thumb = thumbImage.layoutRect;
    const float centreY = (thumb.yMin + thumb.yMax) * 0.5f;
    const float top = centreY - glowSprite->height * 0.5f, bottom = centreY + glowSprite->height * 0.5f;
    const cAtlasSprite& s = *glowSprite;
    list.DrawQuad({thumb.xMax, top, thumb.xMax + glowWidth, bottom}, {s.u0, s.v0}, {s.u1, s.v1}, colour, 0);
    list.DrawQuad({thumb.xMin - glowWidth, top, thumb.xMin, bottom}, {s.u1, s.v0}, {s.u0, s.v1}, colour, 0);
}

void cWidgetSlider::CancelInput()
{
    if (mState == kIdle)
        return;
    touchDelegate.Invoke(0, this);
    mState = kIdle;
}

void cWidgetSlider::EndPress()
{
    mState = kIdle;
    touchDelegate.Invoke(0, this);
}

bool cWidgetSlider::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && !(type == kTouchDown && mTouchRect.Contains(touch->position)))
        return false;
    switch (mState)
    {
    case kIdle:
        if (type != kTouchDown)
            return false;
        CaptureTouch(touch->id);
        mDragValue = mValue;
        mDragPosition = touch->position;
        mState = kPressed;
        touchDelegate.Invoke(1, this);
        return true;
    case kPressed:
        if (type == kTouchMove && std::fabs(touch->position.Y - touch->startPosition.Y) > kDragThreshold)
        {
            mDragValue = mValue;
            mDragPosition = touch->position;
            mState = kDragging;
        }
        else if (type == kTouchUp)
        {
            const cRect& track = trackImage.layoutRect;
            const bool above = mDragPosition.Y < (track.yMin + track.yMax) * 0.5f;
            SetValueFromTouch(mValue + (above ? kTapStep : -kTapStep));
            EndPress();
        }
        return true;
    default:
        if (type == kTouchMove)
            Drag(touch);
        else if (type == kTouchUp)
            EndPress();
        return true;
    }
}

// Past either end the drag position stays where the value last moved, so
// the value turns back only once the finger passes that point again.
void cWidgetSlider::Drag(const cTouch* touch)
{
    const cRect& rect = GetRect();
    const float height = rect.yMax - rect.yMin;
    if (height < kMinimumHeight)
        return;
    float candidate = mDragValue + (mDragPosition.Y - touch->position.Y) / height;
    if (candidate > 1.0f)
        candidate = 1.0f;
    else if (candidate < 0.0f)
        candidate = 0.0f;
    else
        mDragPosition.Y = touch->position.Y;
    mDragValue = candidate;
    SetValueFromTouch(candidate);
}

void cWidgetSlider::SetValueFromTouch(float value)
{
    if (!std::isfinite(value))
        return;
    mValue = ClampTo(value, 0.0f, 1.0f);
    valueDelegate.Invoke(mValue, this);
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cWidgetSlider::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    trackImage.GetSize(*minimum, *preferred);
}
