#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/GenString.h"
#include "base/Math.h"
#include "mixer/ui/MixingDeskFaders.h"

class cMixerChannel;

// The row of channel titles: per strip the channel's name (one name over
// all the strips of a multi-output instrument), its insert chain's state,
// and its mute and solo buttons. A press selects the channel's insert
// chain; a drag on the names scrolls the strips; a press on mute or solo
// toggles it and, swiped across, toggles every strip passed.
class cMixingDeskInputTitles : public cMixingDeskStrip
{
public:
    static constexpr float kNameBand = 26.0f;
    static constexpr float kMuteBand = 25.0f;
    static constexpr float kTapTolerance = 0.3f; // strips
    static constexpr float kStatusSeconds = 1.5f;
    static constexpr int32_t kMaxSwipes = 4;

    enum eTouchState : int32_t
    {
        kIdle = 0,
        kDragging = 1,
        kSwiping = 2,
    };

    enum eAction : int32_t
    {
        kActionMute = 1,
        kActionSolo = 2,
    };

    struct cRecord
    {
        int32_t position = 0;
        cMixerChannel* channel = nullptr;
        bool valid = false;
        int32_t fxState = 0;
    };

    explicit cMixingDeskInputTitles(cMixingDeskPanelMixer* panel);

    void SetStripCount(int32_t count);
    void SetPosition(float position, bool force);
    void ToggleMute(int32_t strip);
    void ToggleSolo(int32_t strip);

    int32_t GetStripCount() const { return int32_t(mRecords.size()) - 1; }
    const cRecord& GetRecord(int32_t index) const { return mRecords[size_t(index)]; }
    float GetStripWidth() const { return mStripWidth; }
    int32_t GetTouchState() const { return mTouchState; }
    bool IsDragging() const { return mTouchState == kDragging; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

private:
    struct cSwipe
    {
        int32_t touchId;
        int32_t lastStrip;
        int32_t action;
    };

    void Rebind();
    int32_t StripAt(float x) const;
    void Apply(int32_t strip, int32_t action);
    void PressMuteOrSolo(const cTouch* touch, int32_t strip, bool soloBand);
    void SwipeTo(cSwipe& swipe, int32_t strip);
    void EndDrag();
    cSwipe* FindSwipe(int32_t touchId);
    void DrawRecord(cDrawList& list, int32_t index, float left);

    std::vector<cRecord> mRecords;
    int32_t mFirst = 0;
    float mStripWidth = 0.0f;
    float mRowLeft = 0.0f;
    float mOffset = 0.0f;
    int32_t mTouchState = kIdle;
    int32_t mDragTouch = -1;
    int32_t mPressedPosition = -1;
    float mPressX = 0.0f;
    float mPressScroll = 0.0f;
    std::vector<cSwipe> mSwipes;
    bool mHintWanted = false;
    cFontHandle mFont;
};

// "OUT" above the master's fader: its mute button and its chain's state. A
// press on the mute button mutes the output; elsewhere it selects the
// master's insert chain.
class cMixingDeskOutputTitle : public cMixingDeskStrip
{
public:
    explicit cMixingDeskOutputTitle(cMixingDeskPanelMixer* panel);

    void ToggleMute();
    const cRect& GetMuteRect() const { return mMuteRect; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

private:
    cRect mMuteRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cFontHandle mFont;
};
