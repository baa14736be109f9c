#pragma once
#include "mixer/ui/EffectKnobPanel.h"

// The three-band EQ's editor ("3BandEQUI"): "ON", "GAIN COMP" and the seven
// band knobs, each showing its frequency, gain or width on the status bar.
class cEffect3BandEQUI : public cEffectKnobPanel
{
public:
    explicit cEffect3BandEQUI(cEffectPackage* package);

    bool Draw(cDrawList& list) override;

protected:
    bool DescribeKnob(uint32_t parameter, float value, char* text, int32_t capacity) const override;
};
