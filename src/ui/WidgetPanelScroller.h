#pragma once

#include "ui/Widget.h"

// Shows one of its visible children (panels) at a time, filling its rect,
// and scrolls vertically to another with an eased animation: the current
// panel moves up out of view while the next comes up from below, or the
// reverse. Hidden children are skipped. Touches reach the current panel only
// at rest; scrolling is driven by the operations below, never by touches.
class cWidgetPanelScroller : public cWidget
{
public:
    cWidgetPanelScroller() = default;

    // Cancels the input of the panel that was current.
    void SetCurrentPanel(cWidget* panel);
    // Current and target at once, without animation.
    void JumpToPanel(cWidget* panel);
    // The target moves one visible panel back or on.
    void ScrollToPrevious();
    void ScrollToNext();
    void GoToFirst(bool animate);
    void GoToLast(bool animate);
    cWidget* GetCurrentPanel() const { return mCurrent; }
    cWidget* GetTargetPanel() const { return mTarget; }
    // True when no visible panel lies before (after) the target, or there is
    // no target: page buttons disable themselves by these.
    bool IsAtFirst() const;
    bool IsAtLast() const;
    // Visible panels from one to the other: negative backwards, 0 when the
    // other is not found.
    float GetPanelDistance(cWidget* from, cWidget* to) const;
    // Scroll position in panel heights: 0 at rest, towards 1 while moving on.
    float GetOffset() const { return mOffset; }

    // One step of the animation; Draw runs it once per frame.
    void Update();
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

private:
    cWidget* FirstVisibleFrom(cWidget* child) const;
    cWidget* LastVisibleFrom(cWidget* child) const;
    void GoTo(cWidget* panel, bool animate);
    // Panels taken out of the child list are forgotten before they are used.
    void ForgetRemovedPanels();
    bool HoldsChild(const cWidget* widget) const;
    void DrawPanelClipped(cWidget* panel, cDrawList& list, const cRect& bounds);

    float mOffset = 0.0f;
    cWidget* mCurrent = nullptr;
    cWidget* mTarget = nullptr;
};
