#include "app/AppMixingDeskHost.h"

#include "app/MainUI.h"
#include "app/WidgetMainMenu.h"
#include "audio/Instrument.h"
#include "project/ui/WidgetFileBrowser.h"

void cAppMixingDeskHost::SetTitle(const char* text)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->SetTitleText(text);
}

void cAppMixingDeskHost::ShowStatusMessage(const char* text, float seconds)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->ShowTimedMessage(text, seconds, false);
}

cWidgetAlert* cAppMixingDeskHost::GetAlert()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetAlert() : nullptr;
}

bool cAppMixingDeskHost::ShowChainBrowser(const cChainBrowserRequest& request, const cDelegate& completion)
{
    cMainUI* ui = cMainUI::GetInstance();
    cWidgetFileBrowser* browser = ui ? ui->GetFileBrowser() : nullptr;
    if (!browser)
        return false;
    browser->Reset();
    browser->SetName(request.title);
    browser->rootFolder = request.rootFolder;
    browser->path = *request.startFile ? request.startFile : request.rootFolder;
    browser->extension = request.extension;
    browser->AddFileType(request.extension, request.icon);
    mCompletion = completion;
    const uint32_t flags = request.save ? cWidgetFileBrowser::kFlagSave : cWidgetFileBrowser::kFlagOpen;
    browser->Show(flags, cDelegate(this, &cAppMixingDeskHost::OnChainFileChosen));
    return true;
}

intptr_t cAppMixingDeskHost::OnChainFileChosen(int32_t result, cWidgetFileBrowser* browser)
{
    const cDelegate completion = mCompletion;
    mCompletion.Clear();
    completion.Invoke(result == 1 ? 1 : 0, result == 1 ? browser->path.CStr() : static_cast<const char*>(nullptr));
    return 0;
}

void cAppMixingDeskHost::ShowInstrumentPage(cInstrument* instrument)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (ui && instrument)
        ui->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageInstrument, instrument->GetSlot());
}
