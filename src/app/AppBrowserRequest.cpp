#include "app/AppBrowserRequest.h"

#include "app/MainUI.h"
#include "project/ui/WidgetFileBrowser.h"

cWidgetFileBrowser* cAppBrowserRequest::Open(const char* title, const char* rootFolder)
{
    cMainUI* ui = cMainUI::GetInstance();
    mBrowser = ui ? ui->GetFileBrowser() : nullptr;
    if (!mBrowser)
        return nullptr;
    mBrowser->Reset();
    mBrowser->SetName(title);
    mBrowser->rootFolder.Assign(rootFolder);
    return mBrowser;
}

void cAppBrowserRequest::Show(uint32_t flags, const cDelegate& completion)
{
    mCompletion = completion;
    mBrowser->Show(flags, cDelegate(this, &cAppBrowserRequest::OnChosen));
}

intptr_t cAppBrowserRequest::OnChosen(int32_t result, cWidgetFileBrowser* browser)
{
    const cDelegate completion = mCompletion;
    mCompletion.Clear();
    const bool accepted = result == 1;
    completion.Invoke(accepted ? 1 : 0, accepted ? browser->path.CStr() : "");
    return 0;
}
