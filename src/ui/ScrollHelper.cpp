#include "ui/ScrollHelper.h"

#include <algorithm>
#include <cmath>

#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"
#include "ui/Widget.h"

namespace
{
constexpr float kTiny = 0.000001f;
} // namespace

cScrollHelper::cListener::~cListener() = default;

bool cScrollHelper::cListener::OnRowTouched(cScrollHelper*, int32_t, const cRect&, const cVector2&) { return true; }

void cScrollHelper::cListener::OnScroll(cScrollHelper*, float) {}

float cScrollHelper::GetMaximumPosition() const { return std::fmax(float(mRowCount) - visibleRows, 0.0f); }

void cScrollHelper::MoveTo(float position)
{
    position = ClampTo(position, 0.0f, GetMaximumPosition());
    if (position == mPosition)
        return;
    mPosition = position;
    if (listener)
        listener->OnScroll(this, mPosition);
}

void cScrollHelper::SetRowCount(int32_t count)
{
    mRowCount = count;
    if (mSelectedRow >= count)
    {
        mSelectedRow = count - 1;
        if (listener)
            listener->OnRowSelected(this, mSelectedRow);
    }
    MoveTo(mPosition);
    mPreviousPosition = mPosition;
    mVelocity = 0.0f;
}

void cScrollHelper::SetPosition(float position, bool stop)
{
    if (!std::isfinite(position))
        return;
    MoveTo(position);
    if (!stop)
        return;
    mPreviousPosition = mPosition;
    mVelocity = 0.0f;
}

float cScrollHelper::GetRowHeight() const
{
    if (visibleRows < kTiny)
        return 0.0f;
    return (area.yMax - area.yMin - insets[1] - insets[3]) / visibleRows;
}

cRect cScrollHelper::GetRowRect(int32_t row) const
{
    const float height = GetRowHeight();
    const float top = (float(row) - mPosition) * height + area.yMin;
    return {area.xMin, top, area.xMax, top + height};
}

const cScrollHelper::cVisibleRange& cScrollHelper::GetVisibleRows()
{
    const float height = GetRowHeight();
    mVisible.firstRow = int32_t(mPosition);
    mVisible.lastRow = std::min(mVisible.firstRow + int32_t(std::ceil(visibleRows)), mRowCount - 1);
    mVisible.rowHeight = height;
    mVisible.x0 = area.xMin + insets[0];
    mVisible.x1 = area.xMax - insets[2];
    mVisible.y0 = area.yMin + insets[1] + (float(mVisible.firstRow) - mPosition) * height;
    mVisible.y1 = mVisible.y0 + height;
    return mVisible;
}

bool cScrollHelper::CanScroll() const
{
    return area.xMax - area.xMin >= kTiny && area.yMax - area.yMin >= kTiny && mRowCount > 0 &&
           visibleRows >= kTiny;
}

// Rows are found over the whole area, insets included.
void cScrollHelper::SelectAt(const cTouch* touch)
{
    const float areaHeight = area.yMax - area.yMin;
    if (areaHeight < 1.0f)
        return;
    const int32_t row = int32_t((touch->position.Y - area.yMin) / areaHeight * visibleRows + mPosition);
    if (row < 0 || row >= mRowCount || !listener)
        return;
    const cRect rowRect = GetRowRect(row);
    cVector2 point = touch->position;
    rowRect.ClampPoint(point);
    if (!listener->OnRowTouched(this, row, rowRect, point))
        return;
    mSelectedRow = row;
    listener->OnRowSelected(this, row);
}

bool cScrollHelper::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!CanScroll())
    {
        state = kIdle;
        return false;
    }
    if (captor != owner && !area.Contains(touch->position))
        return false;
    switch (state)
    {
    case kIdle:
        if (type != kTouchDown)
            return true;
        if (AllRowsFit())
            SelectAt(touch);
        else
        {
            if (owner)
                owner->CaptureTouch(touch->id);
            mLastTouch = touch->position;
            state = kPressed;
        }
        return true;
    case kPressed:
        mPreviousPosition = mPosition;
        mVelocity = 0.0f;
        if (type == kTouchMove && std::fabs(touch->position.Y - mLastTouch.Y) > kDragThreshold)
            state = kDragging;
        else if (type == kTouchUp)
        {
            SelectAt(touch);
            state = kIdle;
        }
        return true;
    default:
        if (type == kTouchMove)
        {
            if (AllRowsFit())
                SetPosition(0.0f, true);
            else
            {
                const float areaHeight = area.yMax - area.yMin;
                MoveTo(mPosition + (mLastTouch.Y - touch->position.Y) * visibleRows / areaHeight);
                mLastTouch = touch->position;
            }
        }
        else if (type == kTouchUp)
            state = kIdle;
        return true;
    }
}

void cScrollHelper::Update()
{
    if (state == kDragging)
    {
        mVelocity = mPosition - mPreviousPosition;
        mPreviousPosition = mPosition;
    }
    else if (state == kIdle)
    {
        mVelocity = ClampTo(mVelocity, -kMaximumVelocity, kMaximumVelocity) * kDecay;
        MoveTo(mPosition + mVelocity);
    }
}
