#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// The read-out panel in the middle of the status bar: a line of text (the
// page title or a message) on the left and, on the right, the song position
// as bar and beat or as minutes and seconds, with a bar showing where the
// position lies in the loop and the loop's icon. Holding it for a second
// runs the hold delegate once; a tap on the position switches between bars
// and time. Dialogues that show their title in such a screen only set its
// text. Main thread only.
class cWidgetStatusBarScreen : public cWidget
{
public:
    static constexpr int32_t kTextCapacity = 256;
    // Characters kept of a text; the rest of the buffer is left free.
    static constexpr int32_t kTextKept = 254;
    static constexpr float kHoldSeconds = 1.0f;
    // Packed colour words, red in the lowest byte.
    static constexpr uint32_t kPositionColour = 0xffe5b000;
    static constexpr uint32_t kGroundColour = 0xff4c3a00;
    static constexpr uint32_t kRecordPositionColour = 0xff0505c5;
    static constexpr uint32_t kRecordGroundColour = 0xff000050;

    cWidgetStatusBarScreen();

    // Copies at most 254 characters, never splitting one.
    void SetText(const char* text, uint32_t colour);
    const char* GetText() const { return mText.CStr(); }
    uint32_t GetTextColour() const { return mTextColour; }
    // Whether the position part is drawn.
    void SetSongPositionOption(bool show) { mShowPosition = show; }
    bool ShowsPosition() const { return mShowPosition; }
    bool ShowsTime() const { return mTimeFormat; }
    // The formatted position as last drawn.
    const char* GetPositionText() const { return mPositionText.CStr(); }
    const cRect& GetLoopBarRect() const { return mLoopBarRect; }
    float GetPositionTextLeft() const { return mPositionOrigin.X; }
    bool IsWide() const { return mWide; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // Run with the screen once it has been held for a second.
    cDelegate holdDelegate;

protected:
    ~cWidgetStatusBarScreen() override;

private:
    void AdvanceHold();
    void RefreshPositionText();
    void DrawTextLine(cDrawList& list);
    void DrawPosition(cDrawList& list);
    void DrawLoopBar(cDrawList& list, uint32_t fillColour, uint32_t groundColour);
    cRect InnerRect() const;

    cImage mBackground;
    const cAtlasSprite* mLoopIcon;
    const cAtlasSprite* mSecondIcon;
    cFontHandle mTextFont;
    cFontHandle mPositionFont;
    uint32_t mTextColour = kPositionColour;
    cGenStringFixed<kTextCapacity> mText;
    cGenStringFixed<kTextCapacity> mShortened;
    cGenStringFixed<16> mPositionText;
    cVector2 mTitlePosition = {0.0f, 0.0f};
    cRect mLoopIconRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mSecondIconRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mLoopBarRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cVector2 mPositionOrigin = {0.0f, 0.0f};
    bool mShowPosition = true;
    bool mWide = false;
    bool mTimeFormat = false;
    bool mHolding = false;
    int32_t mLastPosition;
    float mLastTempoArgument;
    float mHoldTime = 0.0f;
};
