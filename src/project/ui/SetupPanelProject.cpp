#include "project/ui/SetupPanelProject.h"

#include <algorithm>
#include <strings.h>

#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/UniqueFileName.h"
#include "project/Project.h"
#include "project/ProjectFolders.h"
#include "project/ProjectHost.h"
#include "project/ProjectList.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/ProjectPageSprites.h"
#include "project/ui/WidgetFileBrowser.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kAlertStyle = kAlertIconOnNo | kAlertIconOnOK;
constexpr int32_t kExportOverlayStyle = 2;
constexpr const char* kLoadWarningTitle = "Sound Bank Not Loaded";
constexpr uint32_t kSaveFlags = cWidgetFileBrowser::kFlagSave | cWidgetFileBrowser::kFlagNameAtOnce;
constexpr uint32_t kIconButtonStyle = 0;
// Progress-bar frame and fill of the colour atlas, as the overlay's.
constexpr int kBarFrame = 424;
constexpr int kBarFill = 425;
// Relative heights of the page's bands, top to bottom.
constexpr float kMarginStretch = 0.3f;
constexpr float kRowStretch = 1.2f;
constexpr float kMeterStretch = 0.7f;
constexpr float kFillerStretch = 2.0f;
constexpr float kInnerMargin = 10.0f;
constexpr float kMeterWidthShare = 0.6f;
constexpr float kCPUFull = 100.0f;
constexpr int64_t kOneMB = 1048576;
// A file type no file has: only folders and projects show.
constexpr const char* kNoFileType = "???";

struct cButtonDef
{
    const char* label;
    int sprite;
};

constexpr cButtonDef kButtonDefs[cSetupPanelProject::kButtonCount] = {
    {"Save", ProjectPageSprite::kSave},       {"Save As...", ProjectPageSprite::kSaveAs},
    {"New", ProjectPageSprite::kNew},         {"Export QPK", ProjectPageSprite::kExport},
    {"Load", ProjectPageSprite::kLoad},       {"Mixdown", ProjectPageSprite::kMixdown},
    {"Share", ProjectPageSprite::kShare},     {"Email File", ProjectPageSprite::kEmail},
};

cProject* CurrentProject()
{
    const cProjectList* list = cProjectList::GetInstance();
    return list ? list->GetCurrentProject() : nullptr;
}

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

cGenStringFixed<260> DisplayName(const cGenString& path)
{
    cGenStringFixed<260> name(path);
    GetProjectDisplayName(name);
    return name;
}

void AddButtonRow(cLayoutLinear* outer, cWidgetButton* const (&buttons)[4])
{
    auto* row = new cLayoutLinear(kAxisX, 7);
    for (int32_t i = 0; i < 4; ++i)
    {
        if (i > 0)
            AddGapItem(row, kMarginStretch);
        AddWidgetItem(row, buttons[i], kPolicyPref, kPolicyPref)->stretch = {1.0f, 1.0f};
    }
    AddLayoutItem(outer, row, kPolicyPref, kPolicyPref)->stretch = {1.0f, kRowStretch};
}
} // namespace

cSetupPanelProject::cSetupPanelProject(cFileBrowserHost* host) : mHost(host)
{
    BuildButtons();
    mTranspose = CreateSpinButton("Key Transpose");
    mTranspose->minimum = -kTransposeRange;
    mTranspose->maximum = kTransposeRange;
    mTranspose->valueDelegate = cDelegate(this, &cSetupPanelProject::OnTransposeChanged);
    AddChild(mTranspose);
    BuildLayout();
    // Neither service exists on this platform.
    mButtons[kButtonShare]->SetVisible(false);
    mButtons[kButtonEmail]->SetVisible(false);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
}

cSetupPanelProject::~cSetupPanelProject()
{
    for (cWidgetButton* button : mButtons)
        button->Release();
    mTranspose->Release();
}

void cSetupPanelProject::BuildButtons()
{
    for (int32_t id = 0; id < kButtonCount; ++id)
    {
        cWidgetButton* button = CreateButton(kButtonDefs[id].label, kButtonPush, kIconButtonStyle);
        SetButtonIcon(button, Sprite(kButtonDefs[id].sprite));
        button->SetTag(id);
        button->clickDelegate = cDelegate(this, &cSetupPanelProject::OnButton);
        AddChild(button);
        mButtons[id] = button;
    }
}

void cSetupPanelProject::BuildLayout()
{
    auto* outer = new cLayoutLinear(kAxisY, 7);
    AddGapItem(outer, kMarginStretch);
    AddButtonRow(outer, {mButtons[kButtonNew], mButtons[kButtonSaveAs], mButtons[kButtonSave], mButtons[kButtonLoad]});
    mSampleGap = AddGapItem(outer, kMeterStretch);
    AddButtonRow(outer,
                 {mButtons[kButtonMixdown], mButtons[kButtonShare], mButtons[kButtonEmail], mButtons[kButtonExport]});
    mCPUGap = AddGapItem(outer, kMeterStretch);
    auto* bottom = new cLayoutLinear(kAxisX, 2);
    AddGapItem(bottom, kFillerStretch);
    AddWidgetItem(bottom, mTranspose, kPolicyPref, kPolicyFixed);
    AddLayoutItem(outer, bottom, kPolicyPref, kPolicyPref);
    AddGapItem(outer, kMarginStretch);
    auto* page = new cLayoutLinear(kAxisX, 3);
    AddGapItem(page, kMarginStretch);
    AddLayoutItem(page, outer, kPolicyPref, kPolicyPref)->stretch = {10.0f, 1.0f};
    AddGapItem(page, kMarginStretch);
    for (cLayoutValue& margin : page->margins)
        margin = {kInnerMargin, kUnitPixels};
    SetLayout(page);
}

// ---------------------------------------------------------------- buttons

void cSetupPanelProject::OnButton(int32_t, cWidgetButton* button)
{
    cProject* project = CurrentProject();
    if (!project)
        return;
    switch (button->GetTag())
    {
    case kButtonSave:
        mPendingAction = kPendingSave;
        StartSaveJob(project, project->GetPath());
        break;
    case kButtonSaveAs:
        mPendingAction = kPendingSaveAs;
        ShowSaveAsBrowser(project);
        break;
    case kButtonNew:
        if (project->IsModified())
        {
            AskToSaveChanges(project, "New Project");
            mPendingAction = kPendingNewAskedToSave;
        }
        else
        {
            ShowNewProjectBrowser();
            mPendingAction = kPendingNew;
        }
        break;
    case kButtonExport:
        mPendingAction = kPendingExport;
        ShowExportBrowser(project);
        break;
    case kButtonLoad:
        if (project->IsModified())
        {
            AskToSaveChanges(project, "Load Project");
            mPendingAction = kPendingLoadAskedToSave;
        }
        else
        {
            ShowLoadBrowser(project);
            mPendingAction = kPendingLoad;
        }
        break;
    case kButtonMixdown: mHost->ShowMixdown(); break;
    // Hidden: there is no share page on this platform.
    case kButtonShare: mHost->ShowSharePage(0.0f); break;
    case kButtonEmail: ShowEmailUnavailable(); break;
    default: mPendingAction = kPendingNone; break;
    }
}

void cSetupPanelProject::AskToSaveChanges(cProject* project, const char* title)
{
    cGenStringFixed<300> question;
    question.Printf("Save changes to '%s'?", project->GetName().CStr());
    cWidgetAlert* alert = mHost->GetAlert();
    alert->Reset(kAlertStyle);
    alert->SetName(title);
    alert->firstLine.Assign(question);
    alert->SetButton(kAlertNo, "No");
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cSetupPanelProject::OnAlertDone));
}

void cSetupPanelProject::ShowEmailUnavailable()
{
    mPendingAction = kPendingEmail;
    ShowAlert(kAlertStyle, "Email File", "Email services are unavailable.", "", true);
}

void cSetupPanelProject::ShowAlert(int32_t style, const char* title, const char* firstLine, const char* secondLine,
                                   bool answered)
{
    cWidgetAlert* alert = mHost->GetAlert();
    alert->Reset(style);
    alert->SetName(title);
    alert->firstLine.AssignCStr(firstLine);
    alert->secondLine.AssignCStr(secondLine);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(answered ? cDelegate(this, &cSetupPanelProject::OnAlertDone) : cDelegate());
}

// What a load left out (a bank that did not load) is told, the project
// being there all the same.
void cSetupPanelProject::ShowLoadWarning(const cGenString& warning)
{
    cWidgetAlert* alert = mHost->GetAlert();
    alert->Reset(kAlertStyle);
    alert->SetName(kLoadWarningTitle);
    alert->SetText(warning.CStr());
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

// --------------------------------------------------------------- browsers

void cSetupPanelProject::ResetBrowser(const char* title, const char* fileName)
{
    cWidgetFileBrowser* browser = mHost->GetFileBrowser();
    browser->Reset();
    browser->SetName(title);
    browser->rootFolder.AssignCStr(kProjectsFolder);
    browser->path.AssignCStr(fileName);
    browser->AddPackageType("prj", Sprite(BrowserSprite::kProjectIcon));
}

void cSetupPanelProject::ShowNewProjectBrowser()
{
    cGenStringFixed<260> path;
    path.AssignCStr(kUntitledPath);
    MakeUniqueFileName(path, false);
    ResetBrowser("New Project", path.CStr());
    cWidgetFileBrowser* browser = mHost->GetFileBrowser();
    browser->extension.AssignCStr("prj");
    browser->AddFileType(kNoFileType, nullptr);
    browser->Show(kSaveFlags, cDelegate(this, &cSetupPanelProject::OnBrowserDone));
}

void cSetupPanelProject::ShowSaveAsBrowser(cProject* project)
{
    cGenStringFixed<260> path(project->GetPath());
    MakeUniqueFileName(path, true);
    ResetBrowser("Save Project", path.CStr());
    cWidgetFileBrowser* browser = mHost->GetFileBrowser();
    browser->extension.AssignCStr("prj");
    browser->AddFileType(kNoFileType, nullptr);
    browser->Show(kSaveFlags, cDelegate(this, &cSetupPanelProject::OnBrowserDone));
}

void cSetupPanelProject::ShowExportBrowser(cProject* project)
{
    cGenStringFixed<260> path(project->GetPath());
    PathRemoveExtension(path);
    path.AppendCString(".qpk");
    MakeUniqueFileName(path, true);
    ResetBrowser("Export Project", path.CStr());
    cWidgetFileBrowser* browser = mHost->GetFileBrowser();
    browser->extension.AssignCStr("qpk");
    browser->AddFileType("qpk", Sprite(BrowserSprite::kArchiveIcon));
    browser->Show(kSaveFlags, cDelegate(this, &cSetupPanelProject::OnBrowserDone));
}

void cSetupPanelProject::ShowLoadBrowser(cProject* project)
{
    ResetBrowser("Load Project", project->GetPath().CStr());
    cWidgetFileBrowser* browser = mHost->GetFileBrowser();
    browser->AddFileType("qpk", Sprite(BrowserSprite::kArchiveIcon));
    browser->Show(cWidgetFileBrowser::kFlagOpen, cDelegate(this, &cSetupPanelProject::OnBrowserDone));
}

void cSetupPanelProject::OnBrowserDone(int32_t result, cWidgetFileBrowser* browser)
{
    cProject* project = CurrentProject();
    if (result != 1 || !project)
    {
        mPendingAction = kPendingNone;
        return;
    }
    const cGenStringFixed<260> chosen(browser->path);
    switch (mPendingAction)
    {
    case kPendingSaveAs: StartSaveJob(project, chosen); break;
    case kPendingExport: StartExportJob(project, chosen); break;
    case kPendingNew: CreateNewProject(project, chosen); break;
    case kPendingLoad: StartLoadJob(project, chosen); break;
    default: mPendingAction = kPendingNone; break;
    }
}

// ----------------------------------------------------------------- alerts

void cSetupPanelProject::OnAlertDone(int32_t index)
{
    cProject* project = CurrentProject();
    if (!project)
        return;
    switch (mPendingAction)
    {
    case kPendingNone: break;
    case kPendingExport:
        if (index == kAlertOther)
            ShowExportFolder();
        MarkChanged();
        mPendingAction = kPendingNone;
        break;
    case kPendingNewAskedToSave:
        if (index == kAlertNo)
        {
            ShowNewProjectBrowser();
            mPendingAction = kPendingNew;
        }
        else if (index == kAlertOK)
            StartSaveJob(project, project->GetPath());
        else
            mPendingAction = kPendingNone;
        break;
    case kPendingLoadAskedToSave:
        if (index == kAlertNo)
        {
            ShowLoadBrowser(project);
            mPendingAction = kPendingLoad;
        }
        else if (index == kAlertOK)
            StartSaveJob(project, project->GetPath());
        else
            mPendingAction = kPendingNone;
        break;
    default: mPendingAction = kPendingNone; break;
    }
}

// The folder that holds the chosen archive, on the disk.
void cSetupPanelProject::ShowExportFolder()
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!documents)
        return;
    cGenStringFixed<520> folder(*documents->GetRootPath());
    if (!PathAppend(folder, mHost->GetFileBrowser()->path))
        return;
    folder.RemoveTrailingSeparator();
    PathStripToDirectory(folder);
    mHost->OpenFolder(folder.CStr());
}

// ------------------------------------------------------------------- jobs

void cSetupPanelProject::StartJob(int32_t style, const char* titleFormat, const cGenString& path,
                                  cWidgetProgress::cJob* job)
{
    cWidgetProgress* overlay = mHost->GetProgress();
    overlay->Setup(style);
    cGenStringFixed<300> title;
    title.Printf(titleFormat, DisplayName(path).CStr());
    overlay->SetName(title.CStr());
    overlay->SetJob(job);
}

// The recent project changes only once the job has succeeded: a save is
// whole or not there at all, so a save or load cut short (the program
// killed, a crash) leaves the next start opening the project as it last
// was, never forgetting it.
void cSetupPanelProject::StartSaveJob(cProject* project, const cGenString& path)
{
    StartJob(0, "Saving Project '%s'", path, new cJobSaveProject(project, path));
    mHost->GetProgress()->Start(cDelegate(this, &cSetupPanelProject::OnJobDone));
}

void cSetupPanelProject::StartLoadJob(cProject* project, const cGenString& path)
{
    if (project->IsActive())
        project->Deactivate();
    StartJob(0, "Loading Project '%s'", path, new cJobLoadProject(project, path));
    mHost->GetProgress()->Start(cDelegate(this, &cSetupPanelProject::OnJobDone));
}

void cSetupPanelProject::StartExportJob(cProject* project, const cGenString& path)
{
    StartJob(kExportOverlayStyle, "Exporting Project '%s'", path, new cJobExportProject(project, path));
    mHost->GetProgress()->Start(cDelegate(this, &cSetupPanelProject::OnJobDone));
}

void cSetupPanelProject::OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    cProject* project = CurrentProject();
    switch (mPendingAction)
    {
    case kPendingExport: OnExportDone(static_cast<cJobExportProject*>(job)); break;
    case kPendingLoad: OnLoadDone(project, static_cast<cJobLoadProject*>(job)); break;
    case kPendingSave:
    case kPendingSaveAs:
    case kPendingNew:
    case kPendingNewAskedToSave:
    case kPendingLoadAskedToSave: OnSaveDone(project, static_cast<cJobSaveProject*>(job)); break;
    default:
        // Every job this page starts is one of the three; nothing else is
        // pending while one runs.
        mPendingAction = kPendingNone;
        delete job;
        break;
    }
}

void cSetupPanelProject::OnExportDone(cJobExportProject* job)
{
    cGenStringFixed<300> title;
    cWidgetAlert* alert = mHost->GetAlert();
    alert->Reset(kAlertStyle);
    if (job->result)
    {
        title.Printf("Exported Project '%s.qpk'", job->name.CStr());
        alert->firstLine.AssignCStr("You can keep this file as a backup of your project");
        alert->secondLine.AssignCStr("or transfer it to your device using Dockline.");
        alert->SetButton(kAlertOther, "Show File");
    }
    else
    {
        title.Printf("Failed to Export Project '%s'", job->name.CStr());
        alert->firstLine.Assign(job->errorText);
    }
    alert->SetName(title.CStr());
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cSetupPanelProject::OnAlertDone));
    delete job;
}

void cSetupPanelProject::OnLoadDone(cProject* project, cJobLoadProject* job)
{
    const cGenStringFixed<260> name = DisplayName(job->path);
    if (job->result && project)
    {
        AnnounceDone("Loaded Project '%s'", job->path);
        mHost->SetRecentProject(project->GetPath().CStr());
        project->Activate();
        if (!project->GetLoadWarning().IsEmpty())
            ShowLoadWarning(project->GetLoadWarning());
        else if (job->nameChanged)
        {
            cGenStringFixed<300> text;
            text.Printf("Project was renamed to '%s'", name.CStr());
            ShowAlert(kAlertStyle, "Imported Project Successfully", text.CStr(), "", false);
        }
    }
    else if (project)
    {
        ResetToUntitled(project);
        cGenStringFixed<300> title;
        title.Printf("Failed to load project '%s'", name.CStr());
        ShowAlert(kAlertStyle, title.CStr(), job->errorText.CStr(), "", true);
    }
    MarkChanged();
    mPendingAction = kPendingNone;
    delete job;
}

// A save that failed ends the flow at its alert: going on to a new or loaded
// project would discard the changes that were not saved.
void cSetupPanelProject::OnSaveDone(cProject* project, cJobSaveProject* job)
{
    const bool saved = job->result != 0;
    if (saved)
    {
        AnnounceDone("Saved Project '%s'", job->path);
        if (project)
        {
            mHost->SetRecentProject(project->GetPath().CStr());
            // A save under a new name moves the project: the folders'
            // protection must follow it, or the browser would offer the open
            // project's new folder for deletion.
            GetProjectHost().SetCurrentProjectPath(project->GetPath().CStr());
        }
    }
    else
    {
        cGenStringFixed<300> title;
        title.Printf("Failed to Save Project '%s'", DisplayName(job->path).CStr());
        mPendingAction = kPendingNone;
        ShowAlert(kAlertStyle, title.CStr(), job->errorText.CStr(), "", true);
    }
    delete job;
    if (saved && mPendingAction == kPendingLoadAskedToSave && project)
    {
        ShowLoadBrowser(project);
        mPendingAction = kPendingLoad;
    }
    else if (saved && mPendingAction == kPendingNewAskedToSave)
    {
        ShowNewProjectBrowser();
        mPendingAction = kPendingNew;
    }
    else
    {
        MarkChanged();
        mPendingAction = kPendingNone;
    }
}

void cSetupPanelProject::AnnounceDone(const char* format, const cGenString& path)
{
    cGenStringFixed<300> text;
    text.Printf(format, DisplayName(path).CStr());
    mHost->ShowTimedMessage(text.CStr(), kMessageSeconds);
}

// -------------------------------------------------------------- projects

// The new project's folder exists from its activation on and stays empty
// until the first save.
void cSetupPanelProject::CreateNewProject(cProject* project, const cGenString& path)
{
    if (project->IsActive())
        project->Deactivate();
    project->NewDefault(path, 1);
    project->Activate();
    mHost->SetRecentProject(path.CStr());
    cGenStringFixed<300> text;
    text.Printf("Created '%s'", project->GetName().CStr());
    mHost->ShowTimedMessage(text.CStr(), kMessageSeconds);
    MarkChanged();
}

void cSetupPanelProject::ResetToUntitled(cProject* project)
{
    if (project->IsActive())
        project->Deactivate();
    cGenStringFixed<260> path;
    path.AssignCStr(kUntitledPath);
    MakeUniqueFileName(path, false);
    mHost->SetRecentProject(path.CStr());
    project->NewDefault(path, 0);
    project->Activate();
    MarkChanged();
}

void cSetupPanelProject::MarkChanged() { ModifyFlags(kWidgetStateDirty, 0, false); }

// -------------------------------------------------------------- transpose

void cSetupPanelProject::OnTransposeChanged(int32_t value, cWidgetSpinButton*)
{
    cProject* project = CurrentProject();
    if (!project)
        return;
    SetTransposeDisplay(value);
    project->SetTranspose(value);
    project->SetModified(true);
}

void cSetupPanelProject::SetTransposeDisplay(int32_t value)
{
    cGenStringFixed<16> text;
    text.Printf("%d", value);
    mTranspose->SetText(text.CStr());
    mTranspose->SetValue(value);
}

// ------------------------------------------------------------ page update

void cSetupPanelProject::OnStateChange()
{
    mPendingAction = kPendingNone;
    ReadSampleMemory();
    const cAudioManager* audio = cAudioManager::Get();
    mSmoothedCPU = mShownCPU = audio ? audio->GetCPULoad() : 0.0f;
    if (cProject* project = CurrentProject())
        SetTransposeDisplay(project->GetTranspose());
    mButtons[kButtonMixdown]->SetEnabled(audio && audio->IsInitialised());
    mButtons[kButtonEmail]->SetEnabled(false);
}

void cSetupPanelProject::ReadSampleMemory()
{
    const int64_t bytes = cSample::GetTotalMemory();
    if (bytes <= kOneMB)
        mSampleText.Printf("Samples %dKB", int32_t(bytes / 1024));
    else
        mSampleText.Printf("Samples %dMB", int32_t(bytes / kOneMB));
    mSampleFraction = std::min(float(double(bytes) / double(kSampleMemoryFull)), 1.0f);
}

bool cSetupPanelProject::Draw(cDrawList& list)
{
    list.DrawNinePatch(GetRect(), Sprite(ProjectPageSprite::kPanel), Sprite(ProjectPageSprite::kPanelInner),
                       0xffffffffu, true);
    cProject* project = CurrentProject();
    cGenStringFixed<300> title;
    const char* name = project ? project->GetName().CStr() : "";
    if (*name && strcasecmp(name, "Empty") != 0)
        title.Printf("Project '%s'", name);
    SetStatusTitle(title.CStr());
    if (!project)
        return false;
    mButtons[kButtonSave]->SetEnabled(project->IsModified() &&
                                      (mHost->GetFolderProtection(project->GetPath().CStr()) & 4) == 0);
    AdvanceCPU();
    DrawMeters(list);
    return false;
}

void cSetupPanelProject::AdvanceCPU()
{
    const cAudioManager* audio = cAudioManager::Get();
    const float current = audio ? audio->GetCPULoad() : 0.0f;
    mSmoothedCPU = std::min(mSmoothedCPU + (current - mSmoothedCPU) * kCPUSmoothing, kCPUFull);
    if (++mFrameCounter > kCPURefreshFrames)
    {
        mFrameCounter = 0;
        mShownCPU = mSmoothedCPU;
    }
    mCPUText.Printf("Audio CPU %.0f%%", double(mShownCPU));
}

// Each meter centred in the gap under its row of buttons.
void cSetupPanelProject::DrawMeters(cDrawList& list)
{
    const cAtlasSprite* frame = Sprite(kBarFrame);
    const cAtlasSprite* fill = Sprite(kBarFill);
    auto draw = [&](const cLayoutItemSpacer* gap, const char* caption, float fraction)
    {
        const cRect rect = gap->GetRect();
        const float width = (rect.xMax - rect.xMin) * kMeterWidthShare;
        const float x = (rect.xMin + rect.xMax - width) * 0.5f;
        const float y = (rect.yMin + rect.yMax) * 0.5f;
        DrawProgressBar(list, caption, x, y, width, 0.0f, fraction, true, frame, fill);
    };
    draw(mSampleGap, mSampleText.CStr(), mSampleFraction);
    draw(mCPUGap, mCPUText.CStr(), mShownCPU / kCPUFull);
}
