#include "ui/WidgetNavButtonUpDown.h"

#include <algorithm>

#include "ui/NavButtonSprites.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"

namespace
{
// Room around the arrows that still counts as pressing them.
constexpr float kRegionSideMargin = 5.0f;
constexpr float kRegionEndMargin = 15.0f;
// A repeat step fires once the accumulator passes a byte.
constexpr int32_t kStepThreshold = 255;
constexpr int32_t kFullFade = 255;
constexpr float kFadePerSecond = 1000.0f;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

uint32_t WithAlpha(uint32_t rgb, int32_t alpha) { return (uint32_t(alpha) << 24) | (rgb & 0x00ffffffu); }

cRect Union(const cRect& a, const cRect& b)
{
    return {std::min(a.xMin, b.xMin), std::min(a.yMin, b.yMin), std::max(a.xMax, b.xMax), std::max(a.yMax, b.yMax)};
}
} // namespace

cWidgetNavButtonUpDown::cWidgetNavButtonUpDown(const cAtlasSprite* background)
    : mBackground(background ? background : Sprite(NavButtonSprite::kBackground)),
      mUp(Sprite(NavButtonSprite::kUpArrow)), mDown(Sprite(NavButtonSprite::kDownArrow))
{
    SetName("NavButtonUpDown");
}

cWidgetNavButtonUpDown::~cWidgetNavButtonUpDown() = default;

void cWidgetNavButtonUpDown::SetActive(bool active)
{
    if (active == mActive)
        return;
    mActive = active;
    if (active)
        mFade = 0;
}

int32_t cWidgetNavButtonUpDown::HitPart(const cVector2& point) const
{
    if (mUpRegion.Contains(point))
        return kPartUp;
    if (mDownRegion.Contains(point))
        return kPartDown;
    return kPartNone;
}

void cWidgetNavButtonUpDown::OnLayout()
{
    const cRect& rect = GetRect();
    const float cx = (rect.xMin + rect.xMax) * 0.5f;
    const float cy = (rect.yMin + rect.yMax) * 0.5f;
    mBackgroundRect = SpriteRectAt(mBackground, cx, cy);
    mUpRect = SpriteRectAt(mUp, cx, rect.yMin);
    const cRect down = SpriteRectAt(mDown, cx, 0.0f);
    mDownRect = {down.xMin, rect.yMax - (down.yMax - down.yMin), down.xMax, rect.yMax};
    mUpRegion = {mUpRect.xMin - kRegionSideMargin, mUpRect.yMin - kRegionEndMargin, mUpRect.xMax + kRegionSideMargin,
                 cy};
    mDownRegion = {mDownRect.xMin - kRegionSideMargin, cy, mDownRect.xMax + kRegionSideMargin,
                   mDownRect.yMax + kRegionEndMargin};
    mTouchRect = Union(mUpRegion, mDownRegion);
}

bool cWidgetNavButtonUpDown::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && !(type == kTouchDown && mTouchRect.Contains(touch->position)))
        return false;
    switch (mState)
    {
    case kIdle:
        if (type != kTouchDown)
            return false;
        BeginTouch(touch);
        return true;
    case kHolding:
        if (type == kTouchUp)
            CancelInput();
        else if (type == kTouchMove)
            HoldMove(touch);
        return true;
    default:
        if (type == kTouchUp)
            CancelInput();
        else if (type == kTouchMove)
            SwipeStep(touch);
        return true;
    }
}

void cWidgetNavButtonUpDown::BeginTouch(const cTouch* touch)
{
    CaptureTouch(touch->id);
    mReference = touch->position;
    mHeldPart = HitPart(touch->position);
    if (mHeldPart == kPartNone)
        return;
    mState = kHolding;
    // The first step fires on the next frame.
    mAccumulator = kStepThreshold + 1;
    mRate = kFirstRate;
    mCountdown = 0;
}

void cWidgetNavButtonUpDown::HoldMove(const cTouch* touch)
{
    const float dy = touch->position.Y - mReference.Y;
    if (dy > kSwipeDistance || dy < -kSwipeDistance)
    {
        SwipeStep(touch);
        mState = kSwiping;
        return;
    }
    const int32_t part = HitPart(touch->position);
    if (part == mHeldPart)
        return;
    // Sliding onto the other arrow starts its repeat afresh, without a step.
    mHeldPart = part;
    mAccumulator = 0;
    mRate = kFirstRate;
    mCountdown = 0;
}

void cWidgetNavButtonUpDown::SwipeStep(const cTouch* touch)
{
    const float dy = touch->position.Y - mReference.Y;
    if (dy > kSwipeDistance)
    {
        mHeldPart = kPartDown;
        swipeDelegate.Invoke(false, this);
    }
    else if (dy < -kSwipeDistance)
    {
        mHeldPart = kPartUp;
        swipeDelegate.Invoke(true, this);
    }
    else
        return;
    mReference = touch->position;
}

void cWidgetNavButtonUpDown::CancelInput()
{
    mState = kIdle;
    mHeldPart = kPartNone;
}

void cWidgetNavButtonUpDown::StepFade()
{
    const int32_t change = int32_t(gFramePeriod * kFadePerSecond);
    mFade = mActive ? std::min(kFullFade, mFade + change) : std::max(0, mFade - change);
}

void cWidgetNavButtonUpDown::StepRepeat()
{
    if (mState != kHolding || mHeldPart == kPartNone)
        return;
    if (--mCountdown > 0)
        return;
    mCountdown = gFrameMultiple;
    if (mAccumulator > kStepThreshold)
    {
        repeatDelegate.Invoke(mHeldPart == kPartUp, this);
        mAccumulator &= 0xff;
    }
    mRate = std::min(kMaximumRate, mRate + mRate * 6 / 256 + 1);
    mAccumulator += mRate;
}

void cWidgetNavButtonUpDown::DrawArrow(cDrawList& list, const cAtlasSprite* sprite, const cRect& rect, bool enabled,
                                       int32_t part) const
{
    uint32_t colour = WithAlpha(enabled ? 0xffffff : kDisabledArrowColour, mFade);
    if (part == mHeldPart)
        colour = HalveColour(colour);
    list.DrawQuad(rect, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1}, colour, arrowFlip);
}

bool cWidgetNavButtonUpDown::Draw(cDrawList& list)
{
    StepFade();
    StepRepeat();
    DrawSprite(list, mBackground, mBackgroundRect, WithAlpha(0xffffff, mFade));
    DrawArrow(list, mUp, mUpRect, upEnabled, kPartUp);
    DrawArrow(list, mDown, mDownRect, downEnabled, kPartDown);
    return false;
}
