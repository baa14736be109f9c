#pragma once

#include "app/AppBrowserRequest.h"
#include "base/Delegate.h"
#include "instruments/pads/ui/TriggerPadUIHost.h"

class cWidgetSampler;

// The main screen's side of what the pad editor asks: the status bar's
// title and messages, the shared alert, progress overlay and file browser,
// the last sample folder and the open project's folder, and the sampler page.
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
    bool HasSampler() override;
    void ShowSampler(cSample* sample, const cDelegate& result) override;

private:
    intptr_t OnSamplerDone(int32_t result, cWidgetSampler* page);

    cAppBrowserRequest mBrowserRequest;
    cDelegate mSamplerCompletion;
};
