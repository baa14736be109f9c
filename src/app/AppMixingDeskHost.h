#pragma once

#include "app/AppBrowserRequest.h"
#include "mixer/ui/MixingDeskUIHost.h"

// The main screen's side of what the mixing desk and the chain editor ask:
// the status bar's title and messages, the shared alert and file browser,
// and the main menu that shows an instrument's page.
class cAppMixingDeskHost : public cMixingDeskUIHost
{
public:
    void SetTitle(const char* text) override;
    void ShowStatusMessage(const char* text, float seconds) override;
    cWidgetAlert* GetAlert() override;
    bool ShowChainBrowser(const cChainBrowserRequest& request, const cDelegate& completion) override;
    void ShowInstrumentPage(cInstrument* instrument) override;

private:
    cAppBrowserRequest mBrowserRequest;
};
