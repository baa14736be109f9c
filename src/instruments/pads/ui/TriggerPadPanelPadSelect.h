#pragma once

#include "instruments/pads/ui/TriggerPadPanel.h"
#include "render/Image.h"

class cLayoutItem;
class cLayoutLinear;

// The phone's EDIT page ("TAP PAD TO EDIT"): no room for the pad editor in
// the control panel, so it only asks for a tap on a pad, which opens the
// pad editor as a pop-up. In mute mode the prompt goes.
class cTriggerPadPanelPadSelect : public cTriggerPadPanel
{
public:
    explicit cTriggerPadPanelPadSelect(cTriggerPadUI* owner);

    bool Draw(cDrawList& list) override;

    // Where the prompt goes; empty while mute mode hides it.
    bool ShowsPrompt() const;
    cRect GetBoxRect() const;

protected:
    ~cTriggerPadPanelPadSelect() override;

private:
    cImage mIcon;
    cLayoutItem* mIconItem = nullptr;
    cLayoutLinear* mBox = nullptr;
};
