#pragma once

#include <cstdint>

#include "instruments/pads/ui/TriggerPadEditControls.h"

// The EDIT page's panel on the tablet and desktop: the pad editor laid out
// in the control panel, with a "BUS" button that routes the pad to one of
// the three output buses. While it shows, a tap on a pad of the grid
// selects that pad here.
class cTriggerPadPanelEdit : public cTriggerPadEditControls
{
public:
    explicit cTriggerPadPanelEdit(cTriggerPadUI* owner);

    void OnBusButton(int32_t value, cWidget* button);

    void OnLayout() override {}
    void OnStateChange() override;

    cTriggerPadButton* GetBusButton() const { return mBusButton; }

protected:
    ~cTriggerPadPanelEdit() override;

private:
    void BuildLayout();
    void ShowBus(int32_t bus);

    cTriggerPadButton* mBusButton = nullptr;
};
