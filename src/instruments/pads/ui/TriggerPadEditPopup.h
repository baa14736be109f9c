#pragma once

#include <cstdint>

#include "audio/AudioEvent.h"
#include "instruments/pads/ui/TriggerPadEditControls.h"
#include "instruments/pads/ui/TriggerPadTile.h"

class cLayoutItem;
class cWidgetButton;

// The phone's pad editor, over the control panel and the grid: the pad
// editor's controls, a bus button, DONE to go back, and the pad itself to
// audition while it is held. Opening it stops note repeat and puts the
// velocity back to 100.
class cTriggerPadEditPopup : public cTriggerPadEditControls
{
public:
    static constexpr uint32_t kAuditionFlags = 10; // not recorded, sounds even when muted
    static constexpr uint32_t kAuditionOffFlags = 2;

    explicit cTriggerPadEditPopup(cTriggerPadUI* owner);

    void OnDone(int32_t value, cWidget* button);
    // Value 1 when the pad is pressed, 0 when released or the press is
    // cancelled (hidden, covered by a dialogue): the note always ends.
    void OnAudition(int32_t value, cWidget* button);
    void OnBusButton(int32_t value, cWidget* button);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetButton* GetDoneButton() const { return mDone; }
    cWidgetButton* GetAuditionButton() const { return mAudition; }
    cTriggerPadButton* GetBusButton() const { return mBus; }
    const cTriggerPadTile& GetTile() const { return mTile; }

protected:
    ~cTriggerPadEditPopup() override;

private:
    void BuildLayout();
    void ShowBus(int32_t bus);
    void PlaceTile();

    cWidgetButton* mDone = nullptr;
    cWidgetButton* mAudition = nullptr;
    cTriggerPadButton* mBus = nullptr;
    cTriggerPadTile mTile;
    cRect mTileButtonRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cAudioEvent mAuditionNote;
    bool mHeld = false;
};
