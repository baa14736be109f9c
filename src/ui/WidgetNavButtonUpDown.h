#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/Math.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// A small vertical control with an up and a down arrow. Holding an arrow
// steps repeatedly, slowly at first and then faster; dragging steps once
// for every 25 units of travel. It fades in and out with its active flag.
// Both delegates get (bool up, this button). Main thread only.
class cWidgetNavButtonUpDown : public cWidget
{
public:
    static constexpr float kSwipeDistance = 25.0f;
    static constexpr int32_t kFirstRate = 20;
    static constexpr int32_t kMaximumRate = 80;
    static constexpr uint32_t kDisabledArrowColour = 0x808080;

    enum ePart : int32_t
    {
        kPartNone = 0,
        kPartUp = 1,
        kPartDown = 2,
    };

    // Null takes the skin's background.
    explicit cWidgetNavButtonUpDown(const cAtlasSprite* background = nullptr);

    // Turning it on fades the control in from nothing; off fades it out.
    void SetActive(bool active);
    int32_t HitPart(const cVector2& point) const;

    int32_t GetFade() const { return mFade; }
    int32_t GetHeldPart() const { return mHeldPart; }
    const cRect& GetUpRegion() const { return mUpRegion; }
    const cRect& GetDownRegion() const { return mDownRegion; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    cDelegate repeatDelegate;
    cDelegate swipeDelegate;
    // Flip mode of both arrows' quads.
    int32_t arrowFlip = 0;
    bool upEnabled = true;
    bool downEnabled = true;

protected:
    ~cWidgetNavButtonUpDown() override;

private:
    enum eState : int32_t
    {
        kIdle = 0,
        kHolding = 1,
        kSwiping = 2,
    };

    void BeginTouch(const cTouch* touch);
    void HoldMove(const cTouch* touch);
    void SwipeStep(const cTouch* touch);
    void StepFade();
    void StepRepeat();
    void DrawArrow(cDrawList& list, const cAtlasSprite* sprite, const cRect& rect, bool enabled, int32_t part) const;

    const cAtlasSprite* mBackground;
    const cAtlasSprite* mUp;
    const cAtlasSprite* mDown;
    cRect mBackgroundRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mUpRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mDownRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mUpRegion = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mDownRegion = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTouchRect = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t mAccumulator = 0;
    int32_t mRate = kFirstRate;
    int32_t mCountdown = 0;
    int32_t mState = kIdle;
    int32_t mFade = 0;
    int32_t mHeldPart = kPartNone;
    bool mActive = true;
    cVector2 mReference = {0.0f, 0.0f};
};
