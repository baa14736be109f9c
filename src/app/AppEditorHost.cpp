#include "app/AppEditorHost.h"

#include <cstring>

#include "app/MainUI.h"
#include "base/Delegate.h"
#include "platform/PlatformServices.h"

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

cWidgetProgress* cAppEditorHost::GetProgress()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetProgress() : nullptr;
}

bool cAppEditorHost::ChooseMIDIFile(const cFileRequest& request, const cDelegate& completion)
{
    if (!request.save)
        return false;
    // Shown without the leading "User/", as the browser shows paths.
    const char* shown = request.fileName;
    if (std::strncmp(shown, "User/", 5) == 0)
        shown += 5;
    const cFileChoice choice{request.fileName, shown};
    completion.Invoke(1, &choice);
    return true;
}

void cAppEditorHost::OpenFolder(const char* nativePath) { OpenURLInBrowser(nativePath); }
