#pragma once

#include <cstdint>

#include "ui/SetupPanel.h"

class cWidgetButton;

// The "Help" tab: one button that opens the program's own manual, a page of
// the resource folder, in the desktop's web browser. When the browser
// cannot be started the status bar says so, for its short message's time.
// Main thread only.
class cSetupPanelHelp : public cSetupPanel
{
public:
    cSetupPanelHelp();

    bool Draw(cDrawList& list) override;

    cWidgetButton* GetExternalButton() const { return mExternalButton; }

protected:
    ~cSetupPanelHelp() override;

private:
    void OnShowExternal(int32_t value, cWidgetButton* button);

    cWidgetButton* mExternalButton;
};
