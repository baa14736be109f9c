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
    cWidgetFileBrowser* browser = mBrowserRequest.Open(request.title, request.rootFolder);
    if (!browser)
        return false;
    browser->path = *request.startFile ? request.startFile : request.rootFolder;
    browser->extension = request.extension;
    browser->AddFileType(request.extension, request.icon);
    const uint32_t flags = request.save ? cWidgetFileBrowser::kFlagSave : cWidgetFileBrowser::kFlagOpen;
    mBrowserRequest.Show(flags, completion);
    return true;
}

void cAppMixingDeskHost::ShowInstrumentPage(cInstrument* instrument)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (ui && instrument)
        ui->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageInstrument, instrument->GetSlot());
}
