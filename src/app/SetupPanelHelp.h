#pragma once

#include <cstdint>

#include "ui/SetupPanel.h"

class cWidgetButton;

// The "Help" tab: one button that opens the program's own manual, a page of
// the resource folder, in the desktop's web browser. When the browser
// cannot be started the status bar says so. Main thread only.
class cSetupPanelHelp : public cSetupPanel
{
public:
    static constexpr float kShortMessageSeconds = 1.5f;
    static constexpr const char* kOpenFailed = "Couldn't open the manual";

    cSetupPanelHelp();

    bool Draw(cDrawList& list) override;

    cWidgetButton* GetExternalButton() const { return mExternalButton; }

protected:
    ~cSetupPanelHelp() override;

private:
    void OnShowExternal(int32_t value, cWidgetButton* button);

    cWidgetButton* mExternalButton;
};
