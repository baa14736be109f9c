#pragma once

#include "app/AppBrowserRequest.h"
#include "sampler/WidgetMixdown.h"

// The application's side of what the mixdown dialogue asks of the screens:
// the main UI's alert, progress overlay and file browser, and the file
// manager.
class cAppMixdownHost : public cWidgetMixdown::cHost
{
public:
    cWidgetAlert* GetAlert() override;
    cWidgetProgress* GetProgress() override;
    void AskForOutput(const cWidgetMixdown::cOutputRequest& request, const cDelegate& completion) override;
    void OpenFolder(const char* nativePath) override;

private:
    cAppBrowserRequest mBrowserRequest;
};
