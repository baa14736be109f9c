#pragma once

#include <cstdint>

#include "ui/Widget.h"

class cTriggerPad;
class cTriggerPadUI;

// The base of every panel of the pad editor. It knows the editor and turns
// a control's change into a set-float or set-int event to the shown pad
// module: the control's tag is the parameter identifier. Every such change
// marks the open project modified. Main thread only.
class cTriggerPadPanel : public cWidget
{
public:
    explicit cTriggerPadPanel(cTriggerPadUI* owner);

    // Delegates of knobs (value, knob) and of buttons and spins (value, control).
    void OnFloatControl(float value, cWidget* control);
    void OnIntControl(int32_t value, cWidget* control);

    cTriggerPadUI* GetOwner() const { return mOwner; }

protected:
    ~cTriggerPadPanel() override;

    // The shown instrument's module, or null.
    cTriggerPad* Module() const;
    // Posts into the module's ring, when there is one; dropped when full.
    void Post(uint32_t id, int32_t value) const;
    void PostFloat(uint32_t id, float value) const;

    cTriggerPadUI* mOwner;
};
