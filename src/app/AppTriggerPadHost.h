#pragma once

#include "base/Delegate.h"
#include "instruments/pads/ui/TriggerPadUIHost.h"

class cWidgetFileBrowser;

// The main screen's side of what the pad editor asks: the status bar's
// title and messages, the shared alert, progress overlay and file browser,
// the last sample folder and the open project's folder. The sampler keeps
// the quiet answer until its page joins the main UI.
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
    bool ShowFileBrowser(const cTriggerPadBrowserRequest& request, const cDelegate& completion) override;

private:
    intptr_t OnFileChosen(int32_t result, cWidgetFileBrowser* browser);

    cDelegate mBrowserCompletion;
};
