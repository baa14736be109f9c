#include "app/AppAnalogueSynthHost.h"

#include "app/MainUI.h"

bool cAppAnalogueSynthHost::PromptName(const cKeyboardRequest& request, const cDelegate& completion)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (!ui)
        return false;
    ui->PromptName(request, completion);
    return true;
}
