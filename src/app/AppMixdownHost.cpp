#include "app/AppMixdownHost.h"

#include "app/MainUI.h"
#include "platform/PlatformServices.h"
#include "project/ui/WidgetFileBrowser.h"

cWidgetAlert* cAppMixdownHost::GetAlert() { return cMainUI::GetInstance()->GetAlert(); }

cWidgetProgress* cAppMixdownHost::GetProgress() { return cMainUI::GetInstance()->GetProgress(); }

// The shared file browser asks, under the request's root; without an
// extension (a stem folder) it lists no file type of its own.
void cAppMixdownHost::AskForOutput(const cWidgetMixdown::cOutputRequest& request, const cDelegate& completion)
{
    cWidgetFileBrowser* browser = mBrowserRequest.Open(request.title.CStr(), request.root.CStr());
    if (!browser)
    {
        completion.Invoke(0, "");
        return;
    }
    browser->path.Assign(request.startPath);
    browser->extension.Assign(request.extension);
    browser->AddFileType(request.extension.IsEmpty() ? "???" : request.extension.CStr(), request.icon);
    mBrowserRequest.Show(uint32_t(request.flags), completion);
}

void cAppMixdownHost::OpenFolder(const char* nativePath) { OpenURLInBrowser(nativePath); }
