#pragma once
#include "instruments/pads/TriggerPadEditor.h"
#include "instruments/pads/ui/TriggerPadKeyStrip.h"

// The pad instrument's editor as the package sees it. Until its pages exist
// it remembers the instrument it shows and draws the piano roll's key strip.
class cTriggerPadUI : public cTriggerPadEditor
{
public:
    void ShowInstrument(cTriggerPadInstrument* instrument) override { mInstrument = instrument; }
    cTriggerPadInstrument* GetShownInstrument() const override { return mInstrument; }
    // The pad grid holds no touches yet.
    void CancelHeldPads() override {}
    void DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view,
                      const cTriggerPadInstrument& instrument) override
    {
        mKeyStrip.Draw(drawList, view, instrument);
    }

private:
    cTriggerPadInstrument* mInstrument = nullptr;
    cTriggerPadKeyStrip mKeyStrip;
};
