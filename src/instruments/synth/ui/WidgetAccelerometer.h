#pragma once

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// A small toggle for tilt control: a round window whose ball shows the
// device's tilt while on (centred and faint while off), and a lamp beside
// it. On this platform the motion record stays at rest, so the ball sits in
// the middle either way.
class cWidgetAccelerometer : public cWidget
{
public:
    static constexpr float kTouchMargin = 10.0f;

    explicit cWidgetAccelerometer(const cAtlasSprite* window);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    bool IsOn() const { return mOn; }
    // Where the ball and the lamp are drawn now.
    cVector2 GetBallCentre() const;
    cVector2 GetLampCentre() const;
    const cRect& GetWindowRect() const { return mWindow; }

    cDelegate toggledDelegate; // (on, this widget)
    cGenStringFixed<32> texts[2];

protected:
    ~cWidgetAccelerometer() override = default;

private:
    const cAtlasSprite* mWindowSprite;
    cRect mWindow = {0.0f, 0.0f, 0.0f, 0.0f};
    bool mOn = false;
};
