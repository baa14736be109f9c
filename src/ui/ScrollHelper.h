#pragma once

#include <cstdint>

#include "base/Math.h"

class cTouch;
class cWidget;

// The scrolling of a list of equal rows, owned by the widget that draws them:
// a row count, the rows that fit in the area (perhaps a fraction) and a
// fractional position of the first visible row. A drag of more than 3
// pixels scrolls and, once let go, coasts at most 0.75 rows a frame, slowing
// by a tenth each frame; a tap selects the row under it through the
// listener. When all rows fit, a touch selects at once and nothing scrolls.
// The position stays in [0, rows - visible rows], and at 0 when the rows are
// fewer than fit. Constant time per event and frame: the owner draws the
// rows GetVisibleRows names. Main thread only.
class cScrollHelper
{
public:
    class cListener
    {
    public:
        virtual ~cListener();
        // Whether the touched row may be selected; the point is the touch
        // clamped into the row's rect.
        virtual bool OnRowTouched(cScrollHelper* helper, int32_t row, const cRect& rowRect, const cVector2& point);
        virtual void OnRowSelected(cScrollHelper* helper, int32_t row) = 0;
        virtual void OnScroll(cScrollHelper* helper, float position);
    };

    // What is on screen: the rows first..last and the first row's rect.
    struct cVisibleRange
    {
        int32_t firstRow;
        int32_t lastRow;
        float rowHeight;
        float x0, y0, x1, y1;
    };

    enum eState : int32_t
    {
        kIdle = 0, // or coasting
        kPressed = 1,
        kDragging = 2,
    };

    static constexpr float kDragThreshold = 3.0f;
    static constexpr float kMaximumVelocity = 0.75f;
    static constexpr float kDecay = 0.9f;

    // A selected row at or past the new count becomes the last row, and the
    // listener is told; the momentum stops.
    void SetRowCount(int32_t count);
    // With stop, the momentum stops too.
    void SetPosition(float position, bool stop);
    // True when taken.
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor);
    // The momentum's step; the owner calls it once per drawn frame.
    void Update();
    void Cancel() { state = kIdle; }
    cRect GetRowRect(int32_t row) const;
    const cVisibleRange& GetVisibleRows();
    float GetRowHeight() const;
    // The largest position: rows - visible rows, never below 0.
    float GetMaximumPosition() const;

    int32_t GetRowCount() const { return mRowCount; }
    int32_t GetSelectedRow() const { return mSelectedRow; }
    float GetPosition() const { return mPosition; }
    float GetVelocity() const { return mVelocity; }
    int32_t GetState() const { return state; }

    // Set by the owner.
    cWidget* owner = nullptr;
    cListener* listener = nullptr;
    cRect area = {0, 0, 0, 0};
    // Left, top, right, bottom insets of the rows inside the area.
    float insets[4] = {0, 0, 0, 0};
    float visibleRows = 0.0f;
    int32_t state = kIdle;

private:
    bool CanScroll() const;
    bool AllRowsFit() const { return visibleRows >= float(mRowCount); }
    void MoveTo(float position);
    void SelectAt(const cTouch* touch);

    cVector2 mLastTouch = {0, 0};
    int32_t mSelectedRow = 0;
    float mPosition = 0.0f;
    float mPreviousPosition = 0.0f;
    int32_t mRowCount = 0;
    float mVelocity = 0.0f;
    cVisibleRange mVisible = {0, 0, 0, 0, 0, 0, 0};
};
