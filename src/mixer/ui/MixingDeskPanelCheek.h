#pragma once

#include <cstdint>

#include "ui/LevelMeter.h"
#include "ui/Widget.h"

// A side cheek of the desk, holding a navigation button. The left one also
// shows the selected channel's meter while the insert chain fills the desk.
class cMixingDeskPanelCheek : public cWidget
{
public:
    enum eSide : int32_t
    {
        kRight = 0,
        kLeft = 1,
    };

    explicit cMixingDeskPanelCheek(int32_t side);

    // -26..0 dB for the master, -26..+6 dB for any other channel.
    void SetMeterRange(bool master);
    void SetMeterValues(float left, float right, bool clipLeft, bool clipRight);
    void SetMeterOpacity(int32_t opacity) { mOpacity = opacity; }

    int32_t GetSide() const { return mSide; }
    const cLevelMeter& GetMeter() const { return mMeter; }
    int32_t GetMeterOpacity() const { return mOpacity; }
    bool GetClip(int32_t side) const { return mClip[side]; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

private:
    int32_t mSide;
    cLevelMeter mMeter;
    float mValues[2] = {0.0f, 0.0f};
    bool mClip[2] = {false, false};
    int32_t mOpacity = 0;
};
