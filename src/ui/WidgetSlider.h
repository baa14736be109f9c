#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// The vertical fader of the mixing desk: a track with a thumb that a finger
// drags (after it has moved more than 5 pixels), where a tap nudges the
// value by 0.02 towards the side it touched, and a glow beside the thumb
// that fades in while held; the owner draws the glow after its own drawing.
// Every drag step and tap is reported as (value, slider), even when the
// value stays; a value set from code reports nothing. Main thread only.
class cWidgetSlider : public cWidget
{
public:
    static constexpr float kDragThreshold = 5.0f;
    static constexpr float kTapStep = 0.02f;

    cWidgetSlider();

    void SetValue(float value);
    float GetValue() const { return mValue; }
    int32_t GetGlowLevel() const { return mGlowLevel; }
    const cRect& GetTouchRect() const { return mTouchRect; }
    // The glow on both sides of the thumb; nothing while it has faded out.
    void DrawTouchHighlight(cDrawList& list);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    // The track's size.
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    cDelegate valueDelegate; // (float value, slider)
    cDelegate touchDelegate; // (1 on press, 0 on release or cancel, slider)
    cImage trackImage;
    cImage thumbImage;
    // The thumb's centre at value 0.5, from the track's top-left corner.
    cVector2 thumbOffset = {0.0f, 0.0f};
    // Pixels between the thumb at value 0 and at value 1.
    float travel = 0.0f;
    const cAtlasSprite* glowSprite = nullptr;
    float glowWidth = 0.0f;
    // Its alpha is the glow's full level.
    uint32_t glowColour = 0xffffffffu;
    float touchMargins[4] = {0.0f, 0.0f, 0.0f, 0.0f};

protected:
    ~cWidgetSlider() override;

private:
    enum eState : int32_t
    {
        kIdle = 0,
        kPressed = 1,
        kDragging = 2,
    };

    void EndPress();
    void Drag(const cTouch* touch);
    void SetValueFromTouch(float value);

    int32_t mGlowLevel = 0;
    cRect mTouchRect = {0, 0, 0, 0};
    cVector2 mDragPosition = {0.0f, 0.0f};
    float mDragValue = 0.0f;
    int32_t mState = kIdle;
    float mValue = 0.0f;
};
