#pragma once

#include "instruments/pads/ui/TriggerPadUIHost.h"

// The main screen's side of what the pad editor asks: the status bar's
// title and messages, the shared alert and progress overlay, the last
// sample folder and the open project's folder. The file browser and the
// sampler keep the quiet answers until their screens join the main UI.
class cAppTriggerPadHost : public cTriggerPadUIHost
{
public:
    void SetTitle(const char* text) override;
    void ShowStatusMessage(const char* text, float seconds) override;
    cWidgetAlert* GetAlert() override;
    cWidgetProgress* GetProgress() override;
    const char* GetLastFolder() override;
    void SetLastFolder(const char* path) override;
    const char* GetProjectFolder() override;
};
