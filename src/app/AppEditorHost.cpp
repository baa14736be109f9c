#include "app/AppEditorHost.h"

#include "app/MainUI.h"

void cAppEditorHost::ShowStatusMessage(const char* text, float seconds)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->ShowTimedMessage(text, seconds, false);
}

void cAppEditorHost::SetStatusHint(const char* text)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->SetTitleText(text);
}

cWidgetAlert* cAppEditorHost::GetAlert()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetAlert() : nullptr;
}
