#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// A layer's key range, edited by learning: a tap on the low or the high box
// makes it blink and the text read "PRESS KEY"; the next note the owner
// passes to Learn becomes that end. The other end follows when the range
// would turn over. The owner gives the three box sprites.
class cWidgetKeyRange : public cWidget
{
public:
    enum eLearn : int32_t
    {
        kLearnNone = 0,
        kLearnHigh = 1,
        kLearnLow = 2,
    };
    // Each box takes touches this far beyond its outer side.
    static constexpr float kTouchGrowth = 12.0f;
    static constexpr float kTouchRise = 15.0f;

    cWidgetKeyRange(const cAtlasSprite* middle, const cAtlasSprite* low, const cAtlasSprite* high);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // The owner's last touched note, every frame; negative notes and a
    // range not learning are ignored.
    void Learn(int32_t note);
    // The range as the caller stored it; no delegate is told.
    void SetRange(int32_t low, int32_t high);
    // 1 high box, 2 low box, 0 neither.
    int32_t HitTest(const cVector2& point) const;

    int32_t GetLearnMode() const { return mLearn; }
    int32_t GetLow() const { return mLow; }
    int32_t GetHigh() const { return mHigh; }
    // "PRESS KEY" while learning, else "C-1-G9".
    void GetValueText(cGenString& text) const;
    const cRect& GetLowBox() const { return mLowBox; }
    const cRect& GetHighBox() const { return mHighBox; }

    cDelegate lowChangedDelegate;  // (note, this widget)
    cDelegate highChangedDelegate; // (note, this widget)

protected:
    ~cWidgetKeyRange() override = default;

private:
    const cAtlasSprite* mMiddleSprite;
    const cAtlasSprite* mLowSprite;
    const cAtlasSprite* mHighSprite;
    cRect mLowBox = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mHighBox = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTextBox = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mLowTouch = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mHighTouch = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTouchArea = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t mBlink = 0;
    int32_t mLearn = kLearnNone;
    int32_t mLow = 0;
    int32_t mHigh = 127;
};
