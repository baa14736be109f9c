#include "ui/SequencerPresetPanel.h"

void cSequencerPresetPanel::SetValues(bool on, int32_t bank, int32_t preset)
{
    mOn = on;
    mBank = bank;
    mPreset = preset;
    ModifyFlags(kWidgetStateDirty, 0, false);
}
