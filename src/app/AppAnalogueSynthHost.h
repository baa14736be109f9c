#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"

class cWidgetFileBrowser;

// The main screen's side of what the synthesizer's editor asks: its shared
// text keyboard, the shared file browser and the last sample folder. The
// sampler keeps the quiet answers until its page joins the main UI.
class cAppAnalogueSynthHost : public cAnalogueSynthUIHost
{
public:
    bool PromptName(const cKeyboardRequest& request, const cDelegate& completion) override;
    bool ShowFileBrowser(const cSynthBrowserRequest& request, const cDelegate& completion) override;
    const char* GetLastFolder() override;
    void SetLastFolder(const char* path) override;

private:
    intptr_t OnFileChosen(int32_t result, cWidgetFileBrowser* browser);

    cDelegate mCompletion;
};
