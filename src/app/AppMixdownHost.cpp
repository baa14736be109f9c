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
    cWidgetFileBrowser* browser = cMainUI::GetInstance()->GetFileBrowser();
    mCompletion = completion;
    browser->Reset();
    browser->SetName(request.title.CStr());
    browser->rootFolder.Assign(request.root);
    browser->path.Assign(request.startPath);
    browser->extension.Assign(request.extension);
    browser->AddFileType(request.extension.IsEmpty() ? "???" : request.extension.CStr(), request.icon);
    browser->Show(uint32_t(request.flags), cDelegate(this, &cAppMixdownHost::OnOutputChosen));
}

intptr_t cAppMixdownHost::OnOutputChosen(intptr_t result, cWidgetFileBrowser* browser)
{
    const cDelegate completion = mCompletion;
    mCompletion.Clear();
    completion.Invoke(result, browser->path.CStr());
    return 0;
}

void cAppMixdownHost::OpenFolder(const char* nativePath) { OpenURLInBrowser(nativePath); }
