#include "app/AppTriggerPadHost.h"

#include "app/MainUI.h"
#include "audio/Sample.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/WidgetFileBrowser.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sampler/WidgetSampler.h"

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

// The browser draws its rows from the colour atlas, so a package row gets
// its archive icon rather than the editor's mono bank icon.
bool cAppTriggerPadHost::ShowFileBrowser(const cTriggerPadBrowserRequest& request, const cDelegate& completion)
{
    cWidgetFileBrowser* browser = mBrowserRequest.Open(request.title, request.rootFolder);
    if (!browser)
        return false;
    browser->path.Assign(request.path);
    browser->extension = request.extension;
    browser->actionLabel = request.actionLabel;
    for (int32_t index = 0; index < request.fileTypeCount; ++index)
        browser->AddFileType(request.fileTypes[index].extension, request.fileTypes[index].icon);
    const cAtlasSprite* packageIcon = &gTex8888AtlasTable[BrowserSprite::kArchiveIcon];
    for (int32_t index = 0; index < request.packageTypeCount; ++index)
        browser->AddPackageType(request.packageTypes[index].extension, packageIcon);
    mBrowserRequest.Show(request.flags, completion);
    return true;
}

bool cAppTriggerPadHost::HasSampler()
{
    const cMainUI* ui = cMainUI::GetInstance();
    return ui && ui->GetSampler();
}

void cAppTriggerPadHost::ShowSampler(cSample* sample, const cDelegate& result)
{
    cMainUI* ui = cMainUI::GetInstance();
    if (!ui)
        return;
    mSamplerCompletion = result;
    ui->ShowSampler(sample, cDelegate(this, &cAppTriggerPadHost::OnSamplerDone));
}

// The pad reloads from the file the page kept; the page still holds it here.
intptr_t cAppTriggerPadHost::OnSamplerDone(int32_t result, cWidgetSampler* page)
{
    const cDelegate completion = mSamplerCompletion;
    mSamplerCompletion.Clear();
    const cSample* sample = page->GetSample();
    const bool kept = result == cWidgetSampler::kResultSaved && sample;
    completion.Invoke(kept ? 1 : 0, kept ? sample->GetPath() : "");
    return 0;
}
