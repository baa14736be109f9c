#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "base/Math.h"
#include "ui/Widget.h"

class cAnalogueSynthUI;
class cWidgetButton;

// A side strip of the synthesizer editor: an up and a down arrow that step
// at a quickening repeat while held and jump on a vertical swipe, and one
// toggle. What a step or a jump does is the editor's: the cheek only calls
// its two delegates with the direction (1 up, 0 down).
class cAnalogueSynthPanelCheek : public cWidget
{
public:
    enum eSide : uint8_t
    {
        kSideRight = 0, // steps the pages; its toggle shows the scale chooser
        kSideLeft = 1,  // moves the keyboard; its toggle lets it scroll
    };
    enum eDirection : int32_t
    {
        kDown = 0,
        kUp = 1,
    };
    enum eTouchState : int32_t
    {
        kIdle = 0,
        kOnArrow = 1,
        kSwiping = 2,
    };
    enum eArrow : int32_t
    {
        kNoArrow = 0,
        kArrowUp = 1,
        kArrowDown = 2,
    };
    // The arrows sit at most this far apart.
    static constexpr float kArrowSpacingMillimetres = 21.0f;
    static constexpr float kSwipeStep = 25.0f;

    cAnalogueSynthPanelCheek(cAnalogueSynthUI* owner, eSide side);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // The editor greys an arrow that has nowhere to go.
    void SetArrowEnabled(int32_t direction, bool enabled);
    bool IsArrowEnabled(int32_t direction) const { return direction == kUp ? mUpEnabled : mDownEnabled; }

    const cRect& GetUpArrowRect() const { return mUpRect; }
    const cRect& GetDownArrowRect() const { return mDownRect; }
    const cRect& GetTouchArea() const { return mTouchArea; }
    // The side's toggle.
    cWidgetButton* GetToggle() const;
    int32_t GetTouchState() const { return mTouchState; }
    int32_t GetArrow() const { return mArrow; }

    cDelegate stepDelegate; // (direction)
    cDelegate jumpDelegate; // (direction)

protected:
    ~cAnalogueSynthPanelCheek() override;

private:
    struct cToggle
    {
        int32_t present = 0;
        cWidgetButton* button = nullptr;
    };

    void OnToggle(int32_t value, cWidget* sender);
    int32_t ArrowAt(const cVector2& point) const;
    void SwipeCheck(const cVector2& point);
    void RepeatTick();
    void DrawArrow(cDrawList& list, int32_t sprite, const cRect& rect, bool enabled, bool held) const;

    cAnalogueSynthUI* mOwner;
    int32_t mCentreSprite;
    int32_t mUpperEdgeSprite;
    int32_t mLowerEdgeSprite;
    cRect mCentreRect = {};
    cRect mUpperEdgeRect = {};
    cRect mLowerEdgeRect = {};
    cRect mUpRect = {};
    cRect mDownRect = {};
    cRect mUpHit = {};
    cRect mDownHit = {};
    cRect mTouchArea = {};
    int32_t mRepeatAccumulator = 0;
    int32_t mRepeatSpeed = 0;
    int32_t mRepeatCountdown = 0;
    int32_t mTouchState = kIdle;
    eSide mSide;
    bool mUpEnabled = true;
    bool mDownEnabled = true;
    int32_t mArrow = kNoArrow;
    cVector2 mAnchor = {0.0f, 0.0f};
    cToggle mToggles[2];
};
