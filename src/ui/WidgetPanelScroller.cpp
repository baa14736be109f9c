#include "ui/WidgetPanelScroller.h"

#include <algorithm>
#include <cmath>

#include "platform/FrameTiming.h"
#include "render/DrawList.h"

namespace
{
constexpr float kAtRest = 0.000001f;
// Per frame at 60 frames per second the offset moves a tenth of the
// remaining distance plus 0.005: the frame period times 30 times these.
constexpr float kEaseRate = 30.0f;
constexpr float kEaseConstant = 0.01f;
constexpr float kEaseProportion = 0.2f;

cMatrix44 VerticalShift(float dy) { return {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, dy, 0, 1}}; }
} // namespace

cWidget* cWidgetPanelScroller::FirstVisibleFrom(cWidget* child) const
{
    while (child && !child->IsVisible())
        child = child->GetNext();
    return child;
}

cWidget* cWidgetPanelScroller::LastVisibleFrom(cWidget* child) const
{
    while (child && !child->IsVisible())
        child = child->GetPrev();
    return child;
}

bool cWidgetPanelScroller::HoldsChild(const cWidget* widget) const
{
    for (const cWidget* child = GetFirstChild(); child; child = child->GetNext())
        if (child == widget)
            return true;
    return false;
}

// Compares addresses only: a removed panel may already be gone.
void cWidgetPanelScroller::ForgetRemovedPanels()
{
    if (mCurrent && !HoldsChild(mCurrent))
        mCurrent = nullptr;
    if (mTarget && !HoldsChild(mTarget))
        mTarget = nullptr;
}

void cWidgetPanelScroller::SetCurrentPanel(cWidget* panel)
{
    ForgetRemovedPanels();
    if (panel == mCurrent)
        return;
    if (mCurrent)
        mCurrent->CancelInputRecursive(true);
    mCurrent = panel;
    if (panel)
        panel->ModifyFlags(kWidgetStateDirty, 0, true);
}

void cWidgetPanelScroller::JumpToPanel(cWidget* panel)
{
    SetCurrentPanel(panel);
    mTarget = panel;
}

void cWidgetPanelScroller::ScrollToPrevious()
{
    ForgetRemovedPanels();
    if (!mCurrent || !mCurrent->IsVisible())
    {
        mTarget = FirstVisibleFrom(GetFirstChild());
        return;
    }
    if (cWidget* previous = LastVisibleFrom(mTarget ? mTarget->GetPrev() : GetLastChild()))
        mTarget = previous;
}

void cWidgetPanelScroller::ScrollToNext()
{
    ForgetRemovedPanels();
    if (!mCurrent || !mCurrent->IsVisible())
    {
        mTarget = LastVisibleFrom(GetLastChild());
        return;
    }
    if (cWidget* next = FirstVisibleFrom(mTarget ? mTarget->GetNext() : GetFirstChild()))
        mTarget = next;
}

void cWidgetPanelScroller::GoToFirst(bool animate) { GoTo(FirstVisibleFrom(GetFirstChild()), animate); }

void cWidgetPanelScroller::GoToLast(bool animate) { GoTo(LastVisibleFrom(GetLastChild()), animate); }

void cWidgetPanelScroller::GoTo(cWidget* panel, bool animate)
{
    if (animate)
    {
        mTarget = panel;
        return;
    }
    SetCurrentPanel(panel);
    mOffset = 0.0f;
    mTarget = mCurrent;
}

bool cWidgetPanelScroller::IsAtFirst() const
{
    return !mTarget || !HoldsChild(mTarget) || !LastVisibleFrom(mTarget->GetPrev());
}

bool cWidgetPanelScroller::IsAtLast() const
{
    return !mTarget || !HoldsChild(mTarget) || !FirstVisibleFrom(mTarget->GetNext());
}

float cWidgetPanelScroller::GetPanelDistance(cWidget* from, cWidget* to) const
{
    if (from == to || !from)
        return 0.0f;
    float count = 0.0f;
    for (cWidget* panel = LastVisibleFrom(from->GetPrev()); panel; panel = LastVisibleFrom(panel->GetPrev()))
    {
        count -= 1.0f;
        if (panel == to)
            return count;
    }
    count = 0.0f;
    for (cWidget* panel = FirstVisibleFrom(from->GetNext()); panel; panel = FirstVisibleFrom(panel->GetNext()))
    {
        count += 1.0f;
        if (panel == to)
            return count;
    }
    return 0.0f;
}

// Eases the offset towards the target, and changes the current panel at
// each whole panel passed: at once when scrolling back (the offset then falls
// from just below 1), when the offset reaches 1 when scrolling on.
void cWidgetPanelScroller::Update()
{
    ForgetRemovedPanels();
    if (!mCurrent || !mCurrent->IsVisible())
    {
        SetCurrentPanel(FirstVisibleFrom(GetFirstChild()));
        mTarget = mCurrent;
    }
    const float distance = GetPanelDistance(mCurrent, mTarget) - mOffset;
    if (std::fabs(distance) > kAtRest)
    {
        const float sign = distance > 0.0f ? 1.0f : -1.0f;
        mOffset += gFramePeriod * kEaseRate * (kEaseConstant * sign + kEaseProportion * distance);
        if (std::fabs(mOffset) < kAtRest)
            mOffset = 0.0f;
        mOffset = std::clamp(mOffset, -1.0f, 1.0f);
    }
    else
        mOffset = 0.0f;

    if (!mCurrent)
    {
        mTarget = nullptr;
        mOffset = 0.0f;
        return;
    }
    if (!mTarget)
        mTarget = mCurrent;
    if (mOffset < 0.0f)
    {
        cWidget* previous = LastVisibleFrom(mCurrent->GetPrev());
        if (!previous)
        {
            mOffset = 0.0f;
            return;
        }
        SetCurrentPanel(previous);
        mOffset += 1.0f;
    }
    else if (mOffset > 0.0f)
    {
        cWidget* next = FirstVisibleFrom(mCurrent->GetNext());
        if (!next)
            mOffset = 0.0f;
        else if (mOffset >= 1.0f)
        {
            SetCurrentPanel(next);
            mOffset -= 1.0f;
        }
    }
}

bool cWidgetPanelScroller::Draw(cDrawList& list)
{
    Update();
    if (!mCurrent)
        return true;
    if (mOffset == 0.0f)
    {
        mCurrent->DrawTree(list);
        return true;
    }
    const cRect bounds = GetRect();
    const float height = bounds.yMax - bounds.yMin;
    list.PushTransform(VerticalShift(-height * mOffset));
    DrawPanelClipped(mCurrent, list, bounds);
    if (cWidget* next = FirstVisibleFrom(mCurrent->GetNext()))
    {
        list.PushTransform(VerticalShift(height));
        DrawPanelClipped(next, list, bounds);
        list.PopMatrix();
    }
    list.PopMatrix();
    return true;
}

// Each panel is clipped to its own rect as moved, within the scroller.
void cWidgetPanelScroller::DrawPanelClipped(cWidget* panel, cDrawList& list, const cRect& bounds)
{
    list.PushMovedClipRect(panel->GetRect(), bounds);
    panel->DrawTree(list);
    list.PopClipRect();
}

bool cWidgetPanelScroller::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    ForgetRemovedPanels();
    if (!HasFlags(kWidgetShown) || mOffset != 0.0f || !mCurrent)
        return false;
    return mCurrent->HandleTouch(type, touch, captor);
}
