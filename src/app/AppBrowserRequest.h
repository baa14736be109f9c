#pragma once
#include <cstdint>

#include "base/Delegate.h"

class cWidgetFileBrowser;

// One requester's turn with the main UI's shared file browser: it comes back
// reset and titled under its root, and its answer is handed on as
// (1, chosen path) or (0, ""), so the editors asking never see the widget.
// Main thread only.
class cAppBrowserRequest
{
public:
    // Null while the main UI has no browser.
    cWidgetFileBrowser* Open(const char* title, const char* rootFolder);
    // Shows the browser Open gave; the completion is called once.
    void Show(uint32_t flags, const cDelegate& completion);

private:
    intptr_t OnChosen(int32_t result, cWidgetFileBrowser* browser);

    cWidgetFileBrowser* mBrowser = nullptr;
    cDelegate mCompletion;
};
