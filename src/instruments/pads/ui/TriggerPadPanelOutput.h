#pragma once

#include <cstdint>

#include "instruments/pads/ui/TriggerPadPanel.h"

class cLayoutLinear;
class cTriggerPadButton1LED;
class cTriggerPadButton3LED;
class cWidgetKnob;

// One output bus of the pad instrument: its two send levels, its filter's
// switch, type, cutoff and resonance. The sends and the cutoff are module
// parameters that MIDI controllers and recorded automation move as well,
// so their knobs post module-parameter events that the sequencer may
// record, follow values moved elsewhere, and show the recording marker;
// the switch, type and Q write the bus in the pad set.
class cTriggerPadPanelOutput : public cTriggerPadPanel
{
public:
    enum eKnob : int32_t
    {
        kKnobSend1 = 0,
        kKnobSend2 = 1,
        kKnobCutoff = 2,
        kKnobQ = 3,
        kKnobCount = 4,
        kModuleKnobCount = 3,
    };

    explicit cTriggerPadPanelOutput(cTriggerPadUI* owner);

    // A new bus cancels whatever the user was turning first.
    void SetBus(int32_t bus);
    int32_t GetBus() const { return mBus; }
    // Two rows stacked for three buses at once, three rows for one bus.
    void UseShortLayout(bool shortLayout);
    bool UsesShortLayout() const { return mUsesShort; }

    void OnModuleKnob(float value, cWidgetKnob* knob);
    void OnKnobHeld(int32_t held, cWidgetKnob* knob);
    // Shows the module's value unless the user holds the knob; unforced,
    // only when the value changed since it was last shown.
    void RefreshKnob(int32_t knob, bool forced);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetKnob(int32_t knob) const { return mKnobs[knob]; }
    cTriggerPadButton1LED* GetFilterSwitch() const { return mFilter; }
    cTriggerPadButton3LED* GetFilterType() const { return mFilterType; }

protected:
    ~cTriggerPadPanelOutput() override;

private:
    void BuildLayouts();
    // The instrument's slot, or -1 without an instrument.
    int32_t Slot() const;

    int32_t mBus = -1;
    // Each arrangement with the box its background fills.
    cLayoutLinear* mTall = nullptr;
    cLayoutLinear* mTallBox = nullptr;
    cLayoutLinear* mShort = nullptr;
    cLayoutLinear* mShortBox = nullptr;
    bool mUsesShort = false;
    cWidgetKnob* mKnobs[kKnobCount] = {};
    cTriggerPadButton1LED* mFilter = nullptr;
    cTriggerPadButton3LED* mFilterType = nullptr;
};
