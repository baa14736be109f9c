#pragma once

#include <cstdint>

class cDelegate;
class cInstrument;
class cWidgetAlert;
struct cAtlasSprite;

// One question for the shared file browser, as the effect chooser asks it:
// its title, the folder the user cannot leave (also where it starts), the
// file to start on, the chain files' extension and icon, open or save.
struct cChainBrowserRequest
{
    const char* title = "";
    const char* rootFolder = "";
    const char* startFile = "";
    const char* extension = "";
    const cAtlasSprite* icon = nullptr;
    bool save = false;
};

// What the mixing desk and the chain editor need of the screens around them:
// the status bar's title and messages, the shared alert and file browser,
// and showing an instrument's page. The application installs its host at
// start-up; without one (tests, tools) nothing is shown. Main thread.
class cMixingDeskUIHost
{
public:
    virtual ~cMixingDeskUIHost() = default;

    virtual void SetTitle(const char* text);
    virtual void ShowStatusMessage(const char* text, float seconds);
    // Null while the screen has none.
    virtual cWidgetAlert* GetAlert();
    // Shows the browser and later calls the completion with (1 and the chosen
    // "Doc" path, or 0 and null); false, with no call, when there is none.
    virtual bool ShowChainBrowser(const cChainBrowserRequest& request, const cDelegate& completion);
    // Selects the instrument and shows its editor page.
    virtual void ShowInstrumentPage(cInstrument* instrument);
};

// The installed host, or one that does nothing.
cMixingDeskUIHost& GetMixingDeskUIHost();
// Null puts back the one that does nothing. The caller keeps the host alive.
void SetMixingDeskUIHost(cMixingDeskUIHost* host);
