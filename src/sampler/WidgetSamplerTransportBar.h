#pragma once
#include <cstdint>

#include "ui/Widget.h"

class cWidgetButton;
class cWidgetSampler;

// Stop, play and loop of the sampler page's audition, at the page's top
// right. Stop ends a playing audition; with nothing playing a double tap
// puts the editor's selection back at frame 0, and just after a stop it
// takes a triple tap, so the taps that stopped playback do not also lose
// the selection. Main thread only.
class cWidgetSamplerTransportBar : public cWidget
{
public:
    enum : int32_t
    {
        kStop = 0,
        kPlay = 1,
        kLoop = 2,
        kButtonCount = 3,
    };
    static constexpr int32_t kTapsToRewind = 2;
    static constexpr int32_t kTapsAfterStop = 3;
    static constexpr float kStopSeconds = 0.3f;

    explicit cWidgetSamplerTransportBar(cWidgetSampler& page);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void OnButton(int32_t state, cWidgetButton* button);

    // Width and height of the three overlapping buttons.
    float GetBarWidth() const;
    float GetBarHeight() const;
    bool IsLoopOn() const;
    cWidgetButton* GetButton(int32_t index) const { return mButtons[index]; }
    int32_t GetTapsNeeded() const { return mTapsNeeded; }

protected:
    ~cWidgetSamplerTransportBar() override;

private:
    void AddButton(int32_t index, int32_t mode, int icon);
    void Stop(const cWidgetButton* button);
    void FollowRewindTimer();

    cWidgetSampler& mPage;
    int32_t mTapsNeeded = kTapsToRewind;
    float mRewindTimer = 0.0f;
    cWidgetButton* mButtons[kButtonCount] = {};
};
