#include "app/AppAnalogueSynthHost.h"

#include "app/MainUI.h"
#include "project/ui/WidgetFileBrowser.h"
#include "sampler/WidgetSampler.h"

bool cAppAnalogueSynthHost::PromptName(const cKeyboardRequest& request, const cDelegate& completion)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (!ui)
        return false;
    ui->PromptName(request, completion);
    return true;
}
bool cAppAnalogueSynthHost::ShowFileBrowser(const cSynthBrowserRequest& request, const cDelegate& completion)
{
    cWidgetFileBrowser* browser = mBrowserRequest.Open(request.title, request.rootFolder);
    if (!browser)
        return false;
    browser->path = request.path.CStr();
    browser->AddFileType(request.fileType, request.fileIcon);
    mBrowserRequest.Show(request.flags, completion);
    return true;
}

cWidgetAlert* cAppAnalogueSynthHost::GetAlert()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetAlert() : nullptr;
}

const char* cAppAnalogueSynthHost::GetLastFolder()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetLastFolder() : "";
}

void cAppAnalogueSynthHost::SetLastFolder(const char* path)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->SetLastFolder(path);
}

bool cAppAnalogueSynthHost::HasSampler()
{
    const cMainUI* ui = cMainUI::GetInstance();
    return ui && ui->GetSampler();
}

// The program feeds no record input, so "record" asks nothing more of the page.
void cAppAnalogueSynthHost::ShowSampler(cSample* sample, bool, const cDelegate& completion)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (!ui)
        return;
    mSamplerCompletion = completion;
    ui->ShowSampler(sample, cDelegate(this, &cAppAnalogueSynthHost::OnSamplerDone));
}

// The layer takes the kept sample's path; the page still holds it here.
intptr_t cAppAnalogueSynthHost::OnSamplerDone(int32_t result, cWidgetSampler* page)
{
    const cDelegate completion = mSamplerCompletion;
    mSamplerCompletion.Clear();
    cSample* sample = page->GetSample();
    const bool kept = result == cWidgetSampler::kResultSaved && sample;
    completion.Invoke(kept ? 1 : 0, kept ? sample : nullptr);
    return 0;
}
