#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;

enum eButtonMode : int32_t
{
    kButtonPush = 0,
    kButtonMomentary = 1,
    kButtonCycle = 2,
    // A cycle button that looks lit only while it is held.
    kButtonCyclePressedLook = 3,
};

enum eButtonLabelPlacement : int32_t
{
    kLabelOnBackground = 0,
    kLabelIconLeft = 1,
    kLabelIconAbove = 2,
};

// The one button of the toolkit: push, momentary (hold), toggle and
// multi-state cycle buttons differ only in their mode. It draws a skinned
// background, an optional icon and its name as the label, follows one finger
// or a key shortcut, and reports every click or state change to its click
// delegate as (value, button). A value set from code reports nothing.
// The images' sprites belong to the atlas tables. Main thread only.
class cWidgetButton : public cWidget
{
public:
    // A press survives the finger drifting this far outside the touch rect.
    static constexpr float kPressSlack = 20.0f;

    // Both backgrounds size by sizeSprite and draw drawnSprite (or sizeSprite
    // when that is null).
    cWidgetButton(int32_t mode, const cAtlasSprite* sizeSprite, const cAtlasSprite* drawnSprite);

    // Puts the icon left of the text with this gap, at the next layout.
    void SetIconTextGap(float gap);
    // Puts the icon above the text with this gap, at the next layout.
    void SetIconAboveText(float gap);
    // Both need flag 0x8000 (set here) to work.
    void SetKeyShortcut(int32_t keyCode);
    void SetCharShortcut(int32_t character);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;
    // Minimum and natural size of the lit background.
    void GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize) override;

    int32_t GetMode() const { return mMode; }
    bool IsPressed() const { return mPressed; }
    // The lit look: held and lit, or (except in the pressed-look mode) idle
    // with a value other than 0.
    bool LooksLit() const;
    const cRect& GetTouchRect() const { return mTouchRect; }
    const cRect& GetLabelRect() const { return mLabelRect; }
    const cRect& GetContentBounds() const { return mContentBounds; }
    int32_t GetLabelPlacement() const { return mLabelPlacement; }

    cDelegate clickDelegate;
    cImage background;
    cImage litBackground;
    cImage icon;
    cImage litIcon;
    // Left, top, right, bottom growth of the touch rect.
    float touchMargins[4] = {10.0f, 10.0f, 10.0f, 10.0f};
    cVector2 iconOffset = {0.0f, 0.0f};
    cTextStyle labelStyle;
    // Owners set the value and its range directly; the tap count is that of
    // the touch behind the last report (1 for keys, 0 after a cancel).
    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 1;
    int32_t tapCount = 0;

protected:
    ~cWidgetButton() override;

    // The click delegate with the value.
    void Report();
    bool IsKeyMatch(const cKeyEvent* event) const;

private:
    void SetLabelPlacement(int32_t placement, float gap);
    void PlaceLabel();
    void AlignContent();
    void AdvanceCycle();
    bool PressFromTouch(cTouch* touch);
    bool FollowTouch(int32_t type, cTouch* touch);

    cRect mContentBounds = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTouchRect = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t mMode;
    int32_t mLabelPlacement = kLabelOnBackground;
    float mIconTextGap = 0.0f;
    cVector2 mPlacedIconOffset = {0.0f, 0.0f};
    cRect mLabelRect = {0.0f, 0.0f, 0.0f, 0.0f};
    bool mPressed = false;
    bool mLit = false;
    int32_t mKeyShortcut = -1;
    int32_t mCharShortcut = -1;
};
