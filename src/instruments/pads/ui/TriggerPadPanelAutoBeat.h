#pragma once

#include <cstdint>

#include "instruments/pads/ui/TriggerPadPanel.h"

class cLayoutLinear;
class cWidgetButton;
class cWidgetKnob;

// "AUTO BEAT": note repeat. Six note lengths (1/1 to 1/32) switch the
// engine's repeat on at that length or off again, a "VELOCITY" knob sets the
// velocity of the editor's presses and of the repeated notes, and a lamp
// flashes on every step of the repeat grid. The panel mirrors the engine:
// entering it reads the length back and puts the velocity back to 100.
class cTriggerPadPanelAutoBeat : public cTriggerPadPanel
{
public:
    static constexpr int32_t kButtonCount = 6;
    // The repeat length index of each button, in the order of the table.
    static constexpr int32_t kLengthLabelCount = 8;
    static const char* const kLengthLabels[kLengthLabelCount];
    // Each frame on the same step dims the lamp by this much.
    static constexpr int32_t kLampFade = 32;

    explicit cTriggerPadPanelAutoBeat(cTriggerPadUI* owner);

    void OnLengthButton(int32_t on, cWidgetButton* button);
    void OnVelocityKnob(float value, cWidgetKnob* knob);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // The button of repeat length index 1..6.
    cWidgetButton* GetLengthButton(int32_t index) const { return mButtons[index - 1]; }
    cWidgetKnob* GetVelocityKnob() const { return mKnob; }
    int32_t GetRepeatLengthIndex() const { return mRepeatLengthIndex; }
    int32_t GetLampAlpha() const { return mLampAlpha; }
    cVector2 GetLampCentre();

protected:
    ~cTriggerPadPanelAutoBeat() override;

private:
    void BuildLayout();
    void UpdateLamp();

    cWidgetButton* mButtons[kButtonCount] = {};
    cWidgetKnob* mKnob = nullptr;
    int32_t mLampStep = 0;
    int32_t mRepeatLengthIndex = 0;
    int32_t mLampAlpha = 0;
    cLayoutLinear* mLayout = nullptr;
};
