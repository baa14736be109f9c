#include "ui/WidgetScrollBar.h"

#include <cmath>

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr float kTiny = 0.000001f;
// The grip shows only on a thumb longer than it by more than this.
constexpr float kGripClearance = 2.0f;
} // namespace

cWidgetScrollBar::cWidgetScrollBar(bool vertical) : mVertical(vertical) {}

cWidgetScrollBar::~cWidgetScrollBar() = default;

void cWidgetScrollBar::SetRange(float minimum, float maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    mRange[0] = minimum;
    mRange[1] = maximum;
    WindowChanged();
}

void cWidgetScrollBar::SetWindow(float start, float end)
{
    if (!std::isfinite(start) || !std::isfinite(end))
        return;
    mWindow[0] = start;
    mWindow[1] = end;
    WindowChanged();
}

void cWidgetScrollBar::SetWindowStart(float start) { SetWindow(start, start + (mWindow[1] - mWindow[0])); }

void cWidgetScrollBar::SetWindowSize(float size) { SetWindow(mWindow[0], mWindow[0] + size); }

void cWidgetScrollBar::WindowChanged()
{
    FitWindow();
    UpdateThumb();
}

// The start wins over the end: a window wider than the range becomes the range.
void cWidgetScrollBar::FitWindow()
{
    const float minimum = mRange[0], maximum = mRange[1];
    float start = mWindow[0], end = mWindow[1];
    const float size = end - start;
    if (start < minimum)
    {
        start = minimum;
        end = std::fmin(minimum + size, maximum);
    }
    if (end > maximum)
    {
        end = maximum;
        start = std::fmax(maximum - size, minimum);
    }
    if (start > end)
        end = start;
    mWindow[0] = start;
    mWindow[1] = end;
}

bool cWidgetScrollBar::ClampWindow()
{
    const float start = mWindow[0], end = mWindow[1];
    FitWindow();
    return start != mWindow[0] || end != mWindow[1];
}

bool cWidgetScrollBar::PageDown()
{
    if (mWindow[1] >= mRange[1])
        return false;
    const float size = mWindow[1] - mWindow[0];
    mWindow[0] += size;
    mWindow[1] += size;
    WindowChanged();
    windowMovedDelegate.Invoke(mWindow[0], this);
    return true;
}

bool cWidgetScrollBar::PageUp()
{
    if (mWindow[0] <= mRange[0])
        return false;
    const float size = mWindow[1] - mWindow[0];
    mWindow[0] -= size;
    mWindow[1] -= size;
    WindowChanged();
    windowMovedDelegate.Invoke(mWindow[0], this);
    return true;
}

float cWidgetScrollBar::Length()
{
    const cRect& rect = GetRect();
    return mVertical ? rect.yMax - rect.yMin : rect.xMax - rect.xMin;
}

// A thumb shorter than its sprite takes the sprite's length, and is moved
// back so that it still ends within the travel.
void cWidgetScrollBar::UpdateThumb()
{
    const cRect& rect = GetRect();
    const float range = mRange[1] - mRange[0];
    if (std::fabs(range) < kTiny)
    {
        mThumbRect = {0, 0, 0, 0};
        return;
    }
    const float barStart = mVertical ? rect.yMin : rect.xMin;
    const float barLength = Length();
    const float travel = barLength - 2.0f * thumbEndInset;
    float start = (mWindow[0] - mRange[0]) / range * travel + thumbEndInset + barStart;
    float length = (mWindow[1] - mWindow[0]) / range * travel;
    const float spriteLength = thumbSprite ? (mVertical ? thumbSprite->height : thumbSprite->width) : 0.0f;
    if (thumbSprite && length < spriteLength)
    {
        length = spriteLength;
        const float overrun = start + length - (barStart + barLength - thumbEndInset);
        if (overrun > 0.0f)
            start -= overrun;
    }
    if (mVertical)
        mThumbRect = {rect.xMin + thumbSideInset, start, rect.xMax - thumbSideInset, start + length};
    else
        mThumbRect = {start, rect.yMin + thumbSideInset, start + length, rect.yMax - thumbSideInset};
}

void cWidgetScrollBar::OnLayout() { UpdateThumb(); }

void cWidgetScrollBar::OnStateChange()
{
    UpdateThumb();
    mState = kIdle;
}

bool cWidgetScrollBar::Draw(cDrawList& list)
{
    const cRect& rect = GetRect();
    if (trackSprite)
    {
        if (mVertical)
            list.DrawThreePatchV(rect, trackSprite, nullptr, trackColour);
        else
            list.DrawThreePatchH(rect, trackSprite, nullptr, trackColour);
    }
    const float thumbLength = mVertical ? mThumbRect.yMax - mThumbRect.yMin : mThumbRect.xMax - mThumbRect.xMin;
    if (thumbSprite && thumbLength > 0.0f)
    {
        if (mVertical)
            list.DrawThreePatchV(mThumbRect, thumbSprite, nullptr, thumbColour);
        else
            list.DrawThreePatchH(mThumbRect, thumbSprite, nullptr, thumbColour);
    }
    if (gripSprite && thumbLength > (mVertical ? gripSprite->height : gripSprite->width) + kGripClearance)
        list.DrawQuad(CentredRect(RectCentre(mThumbRect), gripSprite->width, gripSprite->height),
                      {gripSprite->u0, gripSprite->v0}, {gripSprite->u1, gripSprite->v1}, thumbColour, 0);
    return false;
}

void cWidgetScrollBar::CancelInput()
{
    mState = kIdle;
    mFirstTouch = nullptr;
    mSecondTouch = nullptr;
}

bool cWidgetScrollBar::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (mState == kIdle)
    {
        cRect area = GetRect();
        area.Grow(touchMargins[0], touchMargins[1], touchMargins[2], touchMargins[3]);
        if (type != kTouchDown || !area.Contains(touch->position))
            return false;
        mFirstTouch = touch;
        CaptureTouch(touch->id);
        mState = kDragging;
        return true;
    }
    if (type == kTouchDown || captor != this)
        return false;
    if (mState == kZooming)
        return Zoom(type, touch);
    if (type == kTouchMove)
        DragBy(Along(touch->delta));
    else if (type == kTouchUp)
    {
        mState = kIdle;
        mFirstTouch = nullptr;
    }
    return true;
}

// The finger that moved is measured against the one that stayed; when one
// lifts, the other drags on alone.
bool cWidgetScrollBar::Zoom(int32_t type, cTouch* touch)
{
    cTouch* other = touch == mFirstTouch ? mSecondTouch : mFirstTouch;
    if (type == kTouchUp)
    {
        mFirstTouch = other;
        mSecondTouch = nullptr;
        mState = kDragging;
    }
    else if (type == kTouchMove && other)
    {
        const float startDistance = std::fabs(Along(touch->startPosition) - Along(other->startPosition));
        const float distance = std::fabs(Along(touch->position) - Along(other->position));
        ZoomWindow(zoomCentre, startDistance - distance + zoomBase);
    }
    return true;
}

void cWidgetScrollBar::DragBy(float pixels)
{
    const float length = Length();
    if (std::fabs(pixels) < kTiny || length < kTiny)
        return;
    const float delta = (mRange[1] - mRange[0]) * pixels / length;
    if ((delta < 0.0f && mWindow[0] <= mRange[0]) || (delta > 0.0f && mWindow[1] >= mRange[1]))
        return;
    mWindow[0] += delta;
    mWindow[1] += delta;
    WindowChanged();
    windowMovedDelegate.Invoke(mWindow[0], this);
}

void cWidgetScrollBar::ZoomWindow(float centre, float size)
{
    const float length = Length();
    if (length < kTiny || !std::isfinite(centre) || !std::isfinite(size))
        return;
    const float scale = (mRange[1] - mRange[0]) / length;
    const float middle = centre * scale;
    const float half = size > 0.0f ? size * scale * 0.5f : 0.0f;
    mWindow[0] = middle - half;
    mWindow[1] = middle + half;
    WindowChanged();
    windowResizedDelegate.Invoke(mWindow[1] - mWindow[0], this);
}
