#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/Image.h"
#include "ui/Widget.h"

class cAnalogueSynthUI;

// A square pad whose thumb sets two values in 0..1 at once, X to the right
// and Y upward. Changes go to the value delegate per axis, the start and
// end of a touch to the touch delegate per axis. In tilt mode the pad
// follows the device's motion record and takes no touches. The owner gives
// the axes their indices and captions and sets the level the thumb grows
// with.
class cWidgetXYPad : public cWidget
{
public:
    // Touches count this far outside the pad image.
    static constexpr float kTouchMarginMillimetres = 1.0f;
    static constexpr float kTouchThreshold = 0.025f;
    static constexpr float kTiltThreshold = 0.05f;

    explicit cWidgetXYPad(cAnalogueSynthUI* owner);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    // Clamps each axis to 0..1; an axis is reported when it is near an end
    // or has moved more than the threshold from its last report.
    void SetXY(float x, float y, float threshold);
    // Shown and target position, without a report (values from the module).
    void ShowXY(float x, float y);
    // Tilt mode: follows the device's motion record; touches are refused.
    void SetTiltMode(bool on);

    float GetX() const { return mX; }
    float GetY() const { return mY; }
    float GetGlow() const { return mGlow; }
    bool IsTouching() const { return mTouching; }
    bool IsTiltMode() const { return mTiltMode; }
    const cRect& GetPadRect() const { return mPad.layoutRect; }
    const cRect& GetTouchRect() const { return mTouchRect; }
    const cRect& GetActiveArea() const { return mActive; }
    // Where the thumb is drawn now, and its tint.
    cRect GetThumbRect() const;
    uint32_t GetThumbColour() const;

    cDelegate valueDelegate; // (axis index, float value)
    cDelegate touchDelegate; // (axis index, 1 touching or 0)
    int32_t xIndex = 0;
    int32_t yIndex = 0;
    cGenStringFixed<32> xCaption;
    cGenStringFixed<32> yCaption;
    // The owner's meter level, set every frame.
    float level = 0.0f;

protected:
    ~cWidgetXYPad() override = default;

private:
    void TouchToValues(const cTouch* touch);
    void ReportTouch(bool touching);
    void FollowTilt();

    cAnalogueSynthUI* mOwner;
    cImage mPad;
    cRect mTouchRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mActive = {0.0f, 0.0f, 0.0f, 0.0f};
    float mGlow = 0.0f;
    bool mTouching = false;
    float mLastSentX = 0.0f;
    float mLastSentY = 0.0f;
    float mX = 0.0f;
    float mY = 0.0f;
    bool mTiltMode = false;
};
