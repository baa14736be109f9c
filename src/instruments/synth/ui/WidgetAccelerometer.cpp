#include "instruments/synth/ui/WidgetAccelerometer.h"

#include <cmath>

#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "platform/DeviceServices.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr int32_t kBallSprite = 134;
constexpr float kBallSize = 10.0f;
// The window's centre and the ball's reach from it, from the widget's corner.
constexpr float kCentre = 21.0f;
constexpr float kReach = 12.0f;
constexpr float kLampX = 52.0f;
constexpr float kLampY = 22.0f;
constexpr cRect kLine = {40.0f, 21.0f, 46.0f, 22.0f};
constexpr uint32_t kBallOn = 0xc8ffffffu;
constexpr uint32_t kBallOff = 0x40ffffffu;
} // namespace

cWidgetAccelerometer::cWidgetAccelerometer(const cAtlasSprite* window) : mWindowSprite(window) {}

void cWidgetAccelerometer::OnLayout()
{
    const cRect& rect = GetRect();
    mWindow = {rect.xMin, rect.yMin, rect.xMin + mWindowSprite->width, rect.yMin + mWindowSprite->height};
}

bool cWidgetAccelerometer::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown) || captor == this || type != kTouchDown)
        return false;
    const cRect& rect = GetRect();
    const cRect area = {rect.xMin - kTouchMargin, rect.yMin - kTouchMargin, rect.xMax + kTouchMargin,
                        rect.yMax + kTouchMargin};
    if (!area.Contains(touch->position))
        return false;
    CaptureTouch(touch->id);
    mOn = !mOn;
    toggledDelegate.Invoke(mOn, static_cast<cWidget*>(this));
    return true;
}

cVector2 cWidgetAccelerometer::GetBallCentre() const
{
    const cRect& rect = const_cast<cWidgetAccelerometer*>(this)->GetRect();
    const cDeviceMotion* motion = cDeviceMotion::GetInstance();
    if (!mOn || !motion)
        return {rect.xMin + kCentre, rect.yMin + kCentre};
    // Squares the tilt's square onto the round window.
    const float x = motion->motion[0], y = motion->motion[1];
    const float roundX = x * std::sqrt(1.0f - y * y / 2.0f);
    const float roundY = y * std::sqrt(1.0f - x * x / 2.0f);
    return {rect.xMin + kCentre + kReach * roundX, rect.yMin + kCentre + kReach * roundY};
}

cVector2 cWidgetAccelerometer::GetLampCentre() const
{
    const cRect& rect = const_cast<cWidgetAccelerometer*>(this)->GetRect();
    return {rect.xMin + kLampX, rect.yMin + kLampY};
}

bool cWidgetAccelerometer::Draw(cDrawList& list)
{
    const cRect& rect = GetRect();
    list.FillRect({rect.xMin + kLine.xMin, rect.yMin + kLine.yMin, rect.xMin + kLine.xMax, rect.yMin + kLine.yMax},
                  SynthColour::kTeal);
    DrawSprite(list, mWindowSprite, mWindow, SynthColour::kWhite);
    const cVector2 ball = GetBallCentre();
    const float half = 0.5f * kBallSize;
    DrawSprite(list, SynthSprite(kBallSprite), {ball.X - half, ball.Y - half, ball.X + half, ball.Y + half},
               mOn ? kBallOn : kBallOff);
    const cVector2 lamp = GetLampCentre();
    const cAtlasSprite* lampSprite = SynthSprite(mOn ? kSynthLEDLit : kSynthLEDUnlit);
    DrawSprite(list, lampSprite, SpriteRectAt(lampSprite, lamp.X, lamp.Y), SynthColour::kWhite);
    return false;
}
