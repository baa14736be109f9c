#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// Shows and edits a window [start, end] inside a range [minimum, maximum],
// vertically or horizontally: a finger on the bar drags the window by what
// it moves. The owner keeps bar and view in step through the setters, which
// report nothing, and the two delegates, which report the user's changes.
// The window is always fitted into the range. Main thread only.
class cWidgetScrollBar : public cWidget
{
public:
    explicit cWidgetScrollBar(bool vertical);

    void SetRange(float minimum, float maximum);
    void SetWindow(float start, float end);
    // Keeps the window's size.
    void SetWindowStart(float start);
    // Keeps the window's start.
    void SetWindowSize(float size);
    // Move the window by its size towards the maximum (minimum) unless it is
    // there already; true when it moved.
    bool PageDown();
    bool PageUp();
    // Recomputes the thumb; owners call it when they change the window or
    // the layout.
    void UpdateThumb();
    // Fits the stored window into the range; true when it changed.
    bool ClampWindow();
    // Moves the window by a finger's movement along the bar.
    void DragBy(float pixels);
    // A window of size pixels' worth of the range around centre pixels'
    // worth, reported as its new size.
    void ZoomWindow(float centre, float size);

    bool IsVertical() const { return mVertical; }
    float GetMinimum() const { return mRange[0]; }
    float GetMaximum() const { return mRange[1]; }
    float GetWindowStart() const { return mWindow[0]; }
    float GetWindowEnd() const { return mWindow[1]; }
    const cRect& GetThumbRect() const { return mThumbRect; }
    bool IsDragging() const { return mState != kIdle; }

    void OnLayout() override;
    // Also ends a drag.
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    cDelegate windowMovedDelegate;   // (float window start, bar)
    cDelegate windowResizedDelegate; // (float window size, bar)
    // Three-patches along the bar; the thumb sprite's length is the thumb's
    // shortest.
    const cAtlasSprite* trackSprite = nullptr;
    const cAtlasSprite* thumbSprite = nullptr;
    // Drawn centred on the thumb when it fits.
    const cAtlasSprite* gripSprite = nullptr;
    // The thumb's travel stops this far from both ends of the track.
    float thumbEndInset = 0.0f;
    float thumbSideInset = 0.0f;
    // Left, top, right, bottom growth of the rect for touches.
    float touchMargins[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint32_t thumbColour = 0xffffffffu;
    uint32_t trackColour = 0xffffffffu;
    // The two-finger zoom's centre and base size, in pixels.
    float zoomCentre = 0.0f;
    float zoomBase = 0.0f;

protected:
    ~cWidgetScrollBar() override;

private:
    enum eState : int32_t
    {
        kIdle = 0,
        kDragging = 1,
        // Two fingers resize the window; no gesture starts it yet.
        kZooming = 2,
    };

    float Along(const cVector2& v) const { return mVertical ? v.Y : v.X; }
    float Length();
    void FitWindow();
    void WindowChanged();
    bool Zoom(int32_t type, cTouch* touch);

    cTouch* mFirstTouch = nullptr;
    cTouch* mSecondTouch = nullptr;
    bool mVertical;
    float mRange[2] = {0.0f, 1.0f};
    float mWindow[2] = {0.0f, 0.25f};
    cRect mThumbRect = {0, 0, 0, 0};
    int32_t mState = kIdle;
};
