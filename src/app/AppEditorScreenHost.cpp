#include "app/AppEditorScreenHost.h"

#include "app/MainUI.h"
#include "app/WidgetStatusBar.h"

void cAppEditorScreenHost::ShowStatusMessage(const char* text)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->ShowStatusMessage(text);
}

void cAppEditorScreenHost::SetHintText(const char* text)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (cWidgetStatusBar* bar = ui ? ui->GetStatusBar() : nullptr)
        bar->GetTitleText().AssignCStr(text);
}

cWidgetAlert* cAppEditorScreenHost::GetAlert()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetAlert() : nullptr;
}
