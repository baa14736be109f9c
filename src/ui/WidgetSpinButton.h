#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/Image.h"
#include "ui/Widget.h"

enum eSpinStyle : uint32_t
{
    // Arrangements in bits 0-2: down, box and up in a row; the box above the
    // down and up buttons; up above the box above down.
    kSpinRow = 0,
    kSpinBoxAbove = 1,
    kSpinColumn = 2,
    kSpinArrangementMask = 0x7,
    // A press outside the buttons may still drag the value.
    kSpinDragAnywhere = 0x10,
};

// Edits an integer in [minimum, maximum] with an up and a down button around
// a value box. A held button steps at once, again after about 0.2 s and then
// ever faster, paced at 30 ticks a second; a vertical drag of more than 10
// pixels changes the value directly, at a rate scaled by the range and the
// widget manager's sensitivity. Each change by the user is reported as
// (value, spin button); owners format the value text themselves. Main
// thread only.
class cWidgetSpinButton : public cWidget
{
public:
    static constexpr float kDragThreshold = 10.0f;

    explicit cWidgetSpinButton(uint32_t style);

    // Clamped into the range; reports nothing.
    void SetValue(int32_t value);
    int32_t GetValue() const { return mValue; }
    void SetText(const char* text);
    const char* GetText() const { return mValueText.CStr(); }
    // The widest of the labels in the value font.
    void SetLabelWidth(const char* const* labels, int32_t count);
    // 0 none, 1 up, 2 down: the button that looks pressed.
    int32_t GetPressedZone() const { return mZone; }
    const cRect& GetUpZone() const { return mUpZone; }
    const cRect& GetDownZone() const { return mDownZone; }
    const cRect& GetTouchRect() const { return mTouchRect; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    cDelegate valueDelegate; // (int value, spin button)
    float gap = 0.0f;
    // Horizontal inset of the value text inside the box.
    float textInset = 0.0f;
    cImage upImagePressed;
    cImage upImage;
    cImage downImagePressed;
    cImage downImage;
    // Without a sprite neither the value text nor the caption is drawn.
    cImage valueBoxImage;
    cTextStyle captionStyle;
    cTextStyle valueTextStyle;
    // The widest value text the owner expects, for the size preferences.
    float labelWidth = 0.0f;
    // How far the buttons' zones reach beyond their images.
    float zoneMargin = 10.0f;
    int32_t minimum = 0;
    int32_t maximum = 0;

protected:
    ~cWidgetSpinButton() override;

private:
    enum eState : int32_t
    {
        kIdle = 0,
        kZoneHeld = 1,
        kHeldOutside = 2,
        kDragging = 3,
    };

    int32_t Arrangement() const { return int32_t(mStyle & kSpinArrangementMask); }
    void LayoutImages(const cRect& rect);
    void PlaceZones();
    int32_t ZoneAt(const cVector2& point) const;
    void RestartRepeat(int32_t zone, uint32_t accumulator);
    void StepRepeat();
    void DragBy(const cTouch* touch);
    void ChangeValue(int64_t value);

    uint32_t mStyle;
    cRect mUpZone = {0, 0, 0, 0};
    cRect mDownZone = {0, 0, 0, 0};
    cRect mContentRect = {0, 0, 0, 0};
    cRect mTouchRect = {0, 0, 0, 0};
    cRect mCaptionRect = {0, 0, 0, 0};
    cRect mValueTextRect = {0, 0, 0, 0};
    int32_t mState = kIdle;
    cVector2 mPressPosition = {0.0f, 0.0f};
    int32_t mZone = 0;
    // Steps x 256 waiting to be taken, and what each tick adds to them.
    uint32_t mRepeatAccumulator = 0;
    uint32_t mRepeatRate = 0;
    int32_t mRepeatCountdown = 0;
    int32_t mValue = 0;
    cGenString mValueText;
};
