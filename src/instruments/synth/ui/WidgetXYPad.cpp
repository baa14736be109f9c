#include "instruments/synth/ui/WidgetXYPad.h"

#include <algorithm>
#include <cmath>

#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "platform/DeviceServices.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"
#include "ui/LayoutBuilders.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr int32_t kThumbSprite = 134;
constexpr int32_t kPadSprite = 149;
constexpr int32_t kActiveMarker = 150;
constexpr int32_t kPadInner = 151;
constexpr int32_t kPadAlignment = 51;
constexpr float kNearLow = 0.01f;
constexpr float kNearHigh = 0.99f;
// The glow fades by a tenth of itself per frame: gone after about 30.
constexpr float kGlowDecay = 0.1f;
// The thumb's side as a share of the pad's width, growing with the glow,
// and its opacity, fuller while touched.
constexpr float kThumbBase = 0.3f;
constexpr float kThumbGlow = 0.8f;
constexpr float kAlphaBase = 0.8f;
constexpr float kAlphaGlow = 0.2f;
constexpr float kMarkerInset = 16.0f;

cRect Intersect(const cRect& a, const cRect& b)
{
    return {std::max(a.xMin, b.xMin), std::max(a.yMin, b.yMin), std::min(a.xMax, b.xMax), std::min(a.yMax, b.yMax)};
}
} // namespace

cWidgetXYPad::cWidgetXYPad(cAnalogueSynthUI* owner) : mOwner(owner)
{
    mPad.SetSprites(SynthSprite(kPadSprite), SynthSprite(kPadSprite), SynthSprite(kPadInner));
    mPad.alignment = kPadAlignment;
}

void cWidgetXYPad::GetSizePreferences(cVector2* minimum, cVector2* preferred) { mPad.GetSize(*minimum, *preferred); }

void cWidgetXYPad::OnLayout()
{
    mPad.Layout(GetRect(), {0.0f, 0.0f});
    const cRect& pad = mPad.layoutRect;
    const float margin = MillimetresToPixels(kTouchMarginMillimetres);
    mTouchRect = {pad.xMin - margin, pad.yMin - margin, pad.xMax + margin, pad.yMax + margin};
    const cAtlasSprite* image = SynthSprite(kPadSprite);
    const cAtlasSprite* active = SynthSprite(kActiveMarker);
    mActive = {pad.xMin + (active->x0 - image->x0), pad.yMin + (active->y0 - image->y0),
               pad.xMax + (active->x1 - image->x1), pad.yMax + (active->y1 - image->y1)};
}

void cWidgetXYPad::SetXY(float x, float y, float threshold)
{
    mX = std::clamp(x, 0.0f, 1.0f);
    if (mX < kNearLow || mX > kNearHigh || std::fabs(mLastSentX - mX) > threshold)
    {
        mLastSentX = mX;
        valueDelegate.Invoke(xIndex, mX);
    }
    mY = std::clamp(y, 0.0f, 1.0f);
    if (mY < kNearLow || mY > kNearHigh || std::fabs(mLastSentY - mY) > threshold)
    {
        mLastSentY = mY;
        valueDelegate.Invoke(yIndex, mY);
    }
}

void cWidgetXYPad::ShowXY(float x, float y)
{
    mX = std::clamp(x, 0.0f, 1.0f);
    mY = std::clamp(y, 0.0f, 1.0f);
}

void cWidgetXYPad::SetTiltMode(bool on)
{
    if (on == mTiltMode)
        return;
    if (on)
        CancelInputRecursive(false);
    mTiltMode = on;
}

void cWidgetXYPad::TouchToValues(const cTouch* touch)
{
    const cRect& rect = GetRect();
    const float x = (touch->position.X - rect.xMin) / (rect.xMax - rect.xMin);
    const float y = 1.0f - (touch->position.Y - rect.yMin) / (rect.yMax - rect.yMin);
    SetXY(x, y, kTouchThreshold);
}

void cWidgetXYPad::ReportTouch(bool touching)
{
    touchDelegate.Invoke(xIndex, int32_t(touching));
    touchDelegate.Invoke(yIndex, int32_t(touching));
}

bool cWidgetXYPad::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (mTiltMode || !HasFlags(kWidgetShown))
    {
        mTouching = false;
        return false;
    }
    if (type == kTouchDown)
    {
        if (!mTouchRect.Contains(touch->position))
            return false;
        if (mTouching)
            return true;
        ReportTouch(true);
        CaptureTouch(touch->id);
        TouchToValues(touch);
        mTouching = true;
        return true;
    }
    if (type != kTouchMove && type != kTouchUp)
        return false;
    if (captor != this || !mTouching)
        return true;
    if (type == kTouchMove)
        TouchToValues(touch);
    else
    {
        mTouching = false;
        ReportTouch(false);
    }
    return true;
}

void cWidgetXYPad::CancelInput()
{
    if (!mTouching)
        return;
    ReportTouch(false);
    mTouching = false;
}

void cWidgetXYPad::FollowTilt()
{
    const cDeviceMotion* motion = cDeviceMotion::GetInstance();
    const float tiltX = motion ? motion->motion[0] : 0.0f;
    const float tiltY = motion ? motion->motion[1] : 0.0f;
    SetXY(tiltX + 0.5f, 0.5f - tiltY, kTiltThreshold);
}

cRect cWidgetXYPad::GetThumbRect() const
{
    const cRect& rect = const_cast<cWidgetXYPad*>(this)->GetRect();
    const float half = (kThumbBase + kThumbGlow * mGlow) * (rect.xMax - rect.xMin) * (1.0f + level) * 0.5f;
    const float centreX = mActive.xMin + (mActive.xMax - mActive.xMin) * mX;
    const float centreY = mActive.yMax - (mActive.yMax - mActive.yMin) * mY;
    return {centreX - half, centreY - half, centreX + half, centreY + half};
}

uint32_t cWidgetXYPad::GetThumbColour() const
{
    const uint32_t alpha = uint32_t(int32_t((kAlphaBase + kAlphaGlow * mGlow) * 255.0f));
    return alpha << 24 | 0x00ffffffu;
}

bool cWidgetXYPad::Draw(cDrawList& list)
{
    if (mTiltMode)
        FollowTilt();
    mGlow = mTouching ? 1.0f : std::max(0.0f, mGlow - kGlowDecay * mGlow);
    mPad.Draw(GetRect(), list, false);
    cRect clip = mActive;
    if (mOwner)
        clip = Intersect(clip, mOwner->GetScroller()->GetRect());
    {
        cScopedClipRect scoped(list, clip);
        DrawSprite(list, SynthSprite(kThumbSprite), GetThumbRect(), GetThumbColour());
        const cRect& rect = GetRect();
        DrawRecordBlinkMarker(list, rect.xMin + kMarkerInset, rect.yMin + kMarkerInset);
    }
    return false;
}
