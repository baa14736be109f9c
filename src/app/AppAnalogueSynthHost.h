#pragma once

#include <cstdint>

#include "app/AppBrowserRequest.h"
#include "base/Delegate.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"

class cWidgetSampler;

// The main screen's side of what the synthesizer's editor asks: its shared
// text keyboard, the shared file browser and alert, the last sample folder
// and the sampler page.
class cAppAnalogueSynthHost : public cAnalogueSynthUIHost
{
public:
    bool PromptName(const cKeyboardRequest& request, const cDelegate& completion) override;
    bool ShowFileBrowser(const cSynthBrowserRequest& request, const cDelegate& completion) override;
    cWidgetAlert* GetAlert() override;
    const char* GetLastFolder() override;
    void SetLastFolder(const char* path) override;
    bool HasSampler() override;
    void ShowSampler(cSample* sample, bool record, const cDelegate& completion) override;

private:
    intptr_t OnSamplerDone(int32_t result, cWidgetSampler* page);

    cAppBrowserRequest mBrowserRequest;
    cDelegate mSamplerCompletion;
};
