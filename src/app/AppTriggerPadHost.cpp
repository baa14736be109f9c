#include "app/AppTriggerPadHost.h"

#include "app/MainUI.h"

void cAppTriggerPadHost::SetTitle(const char* text)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->SetTitleText(text);
}

void cAppTriggerPadHost::ShowStatusMessage(const char* text, float seconds)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->ShowTimedMessage(text, seconds, false);
}

cWidgetAlert* cAppTriggerPadHost::GetAlert()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetAlert() : nullptr;
}

cWidgetProgress* cAppTriggerPadHost::GetProgress()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetProgress() : nullptr;
}

const char* cAppTriggerPadHost::GetLastFolder()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetLastFolder() : "";
}

void cAppTriggerPadHost::SetLastFolder(const char* path)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->SetLastFolder(path);
}

// No project is open while the main UI holds no folder for it.
const char* cAppTriggerPadHost::GetProjectFolder()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui && *ui->GetCurrentProjectPath() ? ui->GetCurrentProjectPath() : nullptr;
}
