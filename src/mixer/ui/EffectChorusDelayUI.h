#pragma once
#include "mixer/ui/EffectUI.h"

class cWidgetButton;
class cWidgetKnob;
class cWidgetSpinButton;

// The chorus/delay's editor ("ChorusDelayUI"): "ON", the mode spinner, the
// chorus knobs for "Chorus" and "Flanger", the delay knobs and "BEAT SYNC"
// for "Delay" and "X-Delay", with "TIME" or the "BEAT" stops by Sync. Also
// shown, with an instance, on the synthesizer's effects page.
class cEffectChorusDelayUI : public cEffectUI
{
public:
    static constexpr uint32_t kModeOnColour = 0xff00a8ff;
    static constexpr uint32_t kModeOffColour = 0x5a00a8ff;
    enum eKnob : int32_t
    {
        kKnobRate = 0,
        kKnobDelay = 1,
        kKnobDepth = 2,
        kKnobChorusFeedback = 3,
        kKnobTime = 4,
        kKnobBeat = 5,
        kKnobDelayFeedback = 6,
        kKnobDryWet = 7,
        kKnobCount = 8,
    };

    explicit cEffectChorusDelayUI(cEffectPackage* package);

    void OnModeSpin(int32_t type, cWidgetSpinButton* spin);
    void OnSyncButton(int32_t sync, cWidgetButton* button);

    void OnStateChange() override;
    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetKnob(int32_t knob) const { return mKnobs[knob]; }
    cWidgetSpinButton* GetModeSpin() const { return mMode; }
    cWidgetButton* GetOnButton() const { return mOn; }
    cWidgetButton* GetSyncButton() const { return mSync; }

protected:
    ~cEffectChorusDelayUI() override;

private:
    // Which controls the mode and Sync show, and the spinner's text.
    void ApplyMode(int32_t type, int32_t sync);
    void Show(cWidget* control, bool show);

    cWidgetKnob* mKnobs[kKnobCount] = {};
    cWidgetSpinButton* mMode = nullptr;
    cWidgetButton* mOn = nullptr;
    cWidgetButton* mSync = nullptr;
};
