#pragma once

#include <cstdint>

#include "base/Math.h"
#include "ui/LevelMeter.h"
#include "ui/Widget.h"

class cWidgetNavButtonUpDown;

// The two side pieces framing the sampler's Effects tab: the right one
// carries the rack editor's page button, the left one a stereo level meter
// of the audition whose clip LEDs stay lit for a few frames after a level
// above full scale. Fills the panel; draws only the cheeks. Main thread only.
class cEffectPanelEndCheeks : public cWidget
{
public:
    static constexpr int32_t kClipHoldFrames = 8;
    static constexpr int32_t kMeterSegments = 21;
    // The meter keeps this far inside the cheek's top and bottom.
    static constexpr float kMeterInset = 30.0f;

    cEffectPanelEndCheeks();

    // Linear levels, 1.0 full scale.
    void SetLevels(float left, float right);

    cWidgetNavButtonUpDown* GetPageButton() const { return mPageButton; }
    const cRect& GetLeftCheek() const { return mLeftCheek; }
    const cRect& GetRightCheek() const { return mRightCheek; }
    int32_t GetClipHold(int32_t side) const { return mClipHold[side]; }
    const cLevelMeter& GetMeter() const { return mMeter; }
    // The cheeks' width: the cheek image's.
    static float GetCheekWidth();

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

protected:
    ~cEffectPanelEndCheeks() override;

private:
    void FollowClip(int32_t side);

    cWidgetNavButtonUpDown* mPageButton;
    cRect mLeftCheek = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mRightCheek = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t mClipHold[2] = {0, 0};
    float mLevels[2] = {0.0f, 0.0f};
    cLevelMeter mMeter;
};
