#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "ui/Widget.h"

// The preset chooser an instrument lends the part properties: whether the
// part sends a program change, and which bank and preset. The instrument
// draws its own controls on it and reports the user's choices through the
// three delegates; the dialogue shows a part's values with SetValues.
class cSequencerPresetPanel : public cWidget
{
public:
    // Shown values; derived panels refresh their controls from them.
    virtual void SetValues(bool on, int32_t bank, int32_t preset);

    bool IsOn() const { return mOn; }
    int32_t GetBank() const { return mBank; }
    int32_t GetPreset() const { return mPreset; }

    cDelegate onDelegate;     // (bool on, cSequencerPresetPanel*)
    cDelegate bankDelegate;   // (int32_t bank, cSequencerPresetPanel*)
    cDelegate presetDelegate; // (int32_t preset, cSequencerPresetPanel*)

protected:
    ~cSequencerPresetPanel() override = default;

    bool mOn = false;
    int32_t mBank = 0;
    int32_t mPreset = 0;
};
