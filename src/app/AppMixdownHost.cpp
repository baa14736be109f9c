#include "app/AppMixdownHost.h"

#include "app/MainUI.h"
#include "platform/PlatformServices.h"

namespace
{
constexpr int32_t kAccepted = 1;
}

cWidgetAlert* cAppMixdownHost::GetAlert() { return cMainUI::GetInstance()->GetAlert(); }

cWidgetProgress* cAppMixdownHost::GetProgress() { return cMainUI::GetInstance()->GetProgress(); }

// There is no file browser yet: the proposed name, which is free, is taken
// as the user's answer.
void cAppMixdownHost::AskForOutput(const cWidgetMixdown::cOutputRequest& request, const cDelegate& completion)
{
    completion.Invoke(kAccepted, request.startPath.CStr());
}

void cAppMixdownHost::OpenFolder(const char* nativePath) { OpenURLInBrowser(nativePath); }
