#include "app/AppEditorHost.h"

#include <cstring>

#include "app/MainUI.h"
#include "platform/PlatformServices.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/WidgetFileBrowser.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"

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
    cMainUI* ui = cMainUI::GetInstance();
    cWidgetFileBrowser* browser = ui ? ui->GetFileBrowser() : nullptr;
    if (!browser)
        return false;
    browser->Reset();
    browser->SetName(request.title);
    browser->rootFolder = "User";
    browser->path = request.save ? request.fileName : request.folder;
    browser->extension = "mid";
    browser->actionLabel = request.button;
    const cAtlasSprite* icon = &gTex8888AtlasTable[BrowserSprite::kMidiFileIcon];
    browser->AddFileType("mid", icon);
    browser->AddFileType("midi", icon);
    mMIDIFileCompletion = completion;
    const uint32_t flags = request.save ? cWidgetFileBrowser::kFlagSave | cWidgetFileBrowser::kFlagNameAtOnce
                                        : cWidgetFileBrowser::kFlagOpen;
    browser->Show(flags, cDelegate(this, &cAppEditorHost::OnMIDIFileChosen));
    return true;
}

// Paths are shown without the "User/" every one of them starts with.
intptr_t cAppEditorHost::OnMIDIFileChosen(int32_t result, cWidgetFileBrowser* browser)
{
    const cDelegate completion = mMIDIFileCompletion;
    mMIDIFileCompletion.Clear();
    if (result != 1)
    {
        completion.Invoke(0, static_cast<const cFileChoice*>(nullptr));
        return 0;
    }
    const char* path = browser->path.CStr();
    const char* shown = std::strncmp(path, "User/", 5) == 0 ? path + 5 : path;
    const cFileChoice choice{path, shown};
    completion.Invoke(1, &choice);
    return 0;
}

void cAppEditorHost::OpenFolder(const char* nativePath) { OpenURLInBrowser(nativePath); }
