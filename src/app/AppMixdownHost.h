#pragma once

#include "sampler/WidgetMixdown.h"

// The application's side of what the mixdown dialogue asks of the screens:
// the main UI's alert and progress overlay, the file browser and the file
// manager.
class cAppMixdownHost : public cWidgetMixdown::cHost
{
public:
    cWidgetAlert* GetAlert() override;
    cWidgetProgress* GetProgress() override;
    void AskForOutput(const cWidgetMixdown::cOutputRequest& request, const cDelegate& completion) override;
    void OpenFolder(const char* nativePath) override;
};
