#pragma once

#include <cstdint>

#include "audio/AudioEvent.h"
#include "instruments/pads/ui/FixedPoolList.h"
#include "instruments/pads/ui/TriggerPadTile.h"
#include "ui/Widget.h"

class cTriggerPad;
class cTriggerPadUI;

// The 4 x 4 pad grid ("Pads"), where fingers and computer keys play the
// instrument: a press posts a note on with a fresh voice id straight into
// the module's ring, a slide moves the note to the pad under the finger, a
// release posts its note off. In mute mode the same gestures toggle mutes,
// along a row or column as the finger slides. Pad 0 is bottom left, pad 15
// top right; the keys 1-4, Q-R, A-F and Z-V play the rows from the top.
// Every way an input can end (release, cancel, detach) posts its note off.
// Nothing is allocated while playing. Main thread only.
class cTriggerPadWidget : public cWidget
{
public:
    static constexpr int32_t kHeldCapacity = 12;
    static constexpr int32_t kFirstNote = 48;
    // Scan codes at or above this play nothing.
    static constexpr int32_t kKeyMapSize = 48;

    struct cHeldTouch
    {
        cAudioEvent event; // the last one posted: the note off reuses it
        int32_t touchId = -1;
        int32_t pad = -1;
        int32_t column = 0;
        int32_t row = 0;
        uint8_t muteMode = 0; // the press toggled mutes instead of playing
    };
    struct cHeldKey
    {
        cAudioEvent event;
        int32_t scanCode = -1;
        int32_t pad = -1;
        uint8_t muteMode = 0;
    };

    // The pad of a set-1 scan code, or -1.
    static int32_t PadOfScanCode(int32_t scanCode);

    explicit cTriggerPadWidget(cTriggerPadUI* owner);

    // Flips the pad's mute and tells the module.
    void ToggleMute(int32_t pad);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;

    cTriggerPadTile& GetTile(int32_t pad) { return mTiles[pad]; }
    uint32_t GetMuteMask() const { return mMuteMask; }
    int32_t GetHeldTouchCount() const { return mHeldTouches.GetActiveCount(); }
    int32_t GetHeldKeyCount() const { return mHeldKeys.GetActiveCount(); }

protected:
    ~cTriggerPadWidget() override;

private:
    using tTouchNode = cFixedPoolList<cHeldTouch>::cNode;
    using tKeyNode = cFixedPoolList<cHeldKey>::cNode;

    void CellAt(const cVector2& point, int32_t& column, int32_t& row);
    cTriggerPad* Module() const;
    void PostNoteOn(cAudioEvent& event, int32_t pad);
    void PostNoteOff(cAudioEvent& event);
    void ToggleAlong(const cHeldTouch& held, int32_t column, int32_t row);
    bool PressTouch(cTouch* touch, int32_t column, int32_t row);
    void MoveTouch(tTouchNode* node, int32_t column, int32_t row);
    tTouchNode* FindTouch(int32_t id) const;
    tKeyNode* FindKey(int32_t scanCode) const;

    cTriggerPadUI* mOwner;
    cFixedPoolList<cHeldTouch> mHeldTouches;
    cFixedPoolList<cHeldKey> mHeldKeys;
    uint32_t mMuteMask = 0;
    cTriggerPadTile mTiles[16];
};
