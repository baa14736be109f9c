#include "app/WidgetStartup.h"

#include <cstring>
#include <string>
#include <strings.h>

#include "app/MainUI.h"
#include "app/WidgetIntroHelp.h"
#include "app/WidgetStatusBarScreen.h"
#include "app/WidgetStatusBar.h"
#include "audio/AudioManager.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/JobQueue.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "base/UniqueFileName.h"
#include "platform/FrameTiming.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectFolders.h"
#include "project/ProjectList.h"
#include "project/ui/WidgetOpenURL.h"
#include "render/DrawList.h"
#include "render/FontHandle.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr float kCoverDepth = 0.2f;
constexpr float kLoadedMessageSeconds = 2.5f;
constexpr int32_t kAudioAlertStyle = kAlertIconOnNo | kAlertIconOnOK;
constexpr const char* kAudioFailedTitle = "Audio Failed to Initialize";
constexpr const char* kAudioFailedText = "Quilwright couldn't start the audio system.";
constexpr const char* kDataFolderTitle = "Can't Use the Data Folder";
constexpr const char* kSavingTo = "Saving to ";

cProject* CurrentProject()
{
    const cProjectList* list = cProjectList::GetInstance();
    return list ? list->GetCurrentProject() : nullptr;
}

cWidgetAlert* Alert() { return cMainUI::GetInstance()->GetAlert(); }

// A file handed to the program is asking where it goes, or being copied.
bool ImportRunning() { return cMainUI::GetInstance()->GetOpenURL()->GetState() == 0; }

void RememberRecent(const char* path) { cMainUI::GetInstance()->SetRecentProject(path); }

// A load at start is marked on the "Tmp" mount until it has ended, so a start
// that a load crashed or that was killed meanwhile is known to the next one.
constexpr const char* kOpeningMark = "Opening Project.txt";

File::cFileSystem* TempMount() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Tmp") : nullptr; }

void MarkOpening(const cGenString& path)
{
    File::cFileSystem* temp = TempMount();
    File::cFile* mark =
        temp ? temp->Open(cGenString(kOpeningMark), File::kModeWrite, File::kFlagSafeWrite | File::kFlagDropBackup)
             : nullptr;
    if (!mark)
        return;
    const bool written = mark->Write(path.CStr(), path.Length()) == path.Length();
    mark->Close(!written);
    delete mark;
}

// The path of a load the last start began and never ended; empty when none.
void ReadOpeningMark(cGenString& path)
{
    path.AssignCStr("");
    File::cFileSystem* temp = TempMount();
    File::cFile* mark = temp ? temp->Open(cGenString(kOpeningMark), File::kModeRead, 0) : nullptr;
    if (!mark)
        return;
    char text[264] = {};
    const int length = mark->Read(text, int(sizeof(text)) - 1);
    mark->Close(false);
    delete mark;
    path.AssignChars(text, length > 0 ? length : 0);
}

void ClearOpeningMark()
{
    if (File::cFileSystem* temp = TempMount())
        temp->Delete(cGenString(kOpeningMark));
}

// The folder of a project path, without an auto-save or backup suffix.
bool ProjectFolderExists(const cGenString& path)
{
    cGenStringFixed<260> folder(path);
    if (strcasecmp(PathGetExtension(folder).CStr(), "as") == 0 || strcasecmp(PathGetExtension(folder).CStr(), "bak") == 0)
        PathRemoveExtension(folder);
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    return documents && documents->Exists(folder);
}
} // namespace

void DescribeDataFolderFallback(const char* wanted, const char* reason, const char* used, const cFontHandle& font,
                                float width, cGenString& first, cGenString& second)
{
    first.AssignCStr(wanted[0] ? wanted : reason);
    font.TruncateMiddle(first, width);
    cGenStringFixed<260> folder(used);
    font.TruncateMiddle(folder, width - font.GetTextWidth(kSavingTo));
    second.AssignCStr(kSavingTo);
    second.Append(folder);
}

cWidgetStartup::cJobLoadProject::cJobLoadProject(cProject* project, const cGenString& path)
    : project(project), path(path)
{
}

void cWidgetStartup::cJobLoadProject::Run(JobQueue::cJobQueue*) { result = project->Load(path); }

cWidgetStartup::cWidgetStartup()
{
    SetName("Startup");
    ModifyFlags(kWidgetAbsoluteDepth, 0, false);
    SetDepth(kCoverDepth);
}

// A program closed during the start-up load never runs its completion; the
// job is the page's to delete once nothing can run it.
cWidgetStartup::~cWidgetStartup()
{
    if (mPendingLoad)
    {
        const int32_t state = mPendingLoad->mState.load();
        const bool idle = state == JobQueue::cJob::kStateFinished ||
                          (state == JobQueue::cJob::kStateQueued &&
                           (!JobQueue::gJobQueue || JobQueue::gJobQueue->Withdraw(mPendingLoad)));
        if (idle)
            delete mPendingLoad;
    }
    if (mIntroHelp)
    {
        mIntroHelp->Close();
        mIntroHelp->Release();
    }
}

void cWidgetStartup::Push()
{
    cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cWidgetStartup::OnStateChange()
{
    if (mState == kUndecided && CurrentProject())
        Decide();
}

void cWidgetStartup::Decide()
{
    mAlpha = 255;
    mState = kFinished;
    if (ShowDataFolderFallback())
        return;
    const cAudioManager* audio = cAudioManager::Get();
    if (!audio || !audio->IsInitialised())
    {
        ShowAudioFailure();
        return;
    }
    mState = kLoading;
    const cGenStringFixed<260> recent(gSettings.recentProject);
    ReadOpeningMark(mInterruptedLoad);
    if (!mInterruptedLoad.IsEmpty())
        OfferInterruptedLoad(mInterruptedLoad);
    else if (recent.IsEmpty())
        IntroHelpOrFade();
    else if (gSettings.autoSaved)
        OfferAutoSave(recent);
    else
        StartLoad(CurrentProject(), recent, false);
}

// Told once, before anything else: new saves go elsewhere than the user's
// earlier ones, and the screens may look like a first start.
bool cWidgetStartup::ShowDataFolderFallback()
{
    std::string wanted, reason;
    if (mDataFolderTold || !GetDocumentsFolderFallback(wanted, reason))
        return false;
    mDataFolderTold = true;
    mState = kDataFolderAlert;
    cWidgetAlert* alert = Alert();
    alert->Reset(kAlertIconOnOK);
    alert->SetName(kDataFolderTitle);
    DescribeDataFolderFallback(wanted.c_str(), reason.c_str(), GetDocumentsFolderPath(), alert->textFont,
                               cWidgetAlert::GetLineWidth(), alert->firstLine, alert->secondLine);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cWidgetStartup::OnAlert));
    return true;
}

void cWidgetStartup::ShowAudioFailure()
{
    mState = kAlertShowing;
    cWidgetAlert* alert = Alert();
    alert->Reset(kAudioAlertStyle);
    alert->SetName(kAudioFailedTitle);
    const cAudioManager* audio = cAudioManager::Get();
    alert->SetText(audio && audio->GetErrorText()[0] ? audio->GetErrorText() : kAudioFailedText);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cWidgetStartup::OnAlert));
}

void cWidgetStartup::OfferAutoSave(const cGenString& recent)
{
    cGenStringFixed<260> name(recent);
    GetProjectDisplayName(name);
    cGenStringFixed<300> title;
    title.Printf("Autosaved Project '%s'", name.CStr());
    cWidgetAlert* alert = Alert();
    alert->Reset(0);
    alert->SetName(title.CStr());
    alert->firstLine.AssignCStr("Quilwright automatically saved a more recent version.");
    alert->secondLine.AssignCStr("Do you wish to load the auto saved version?");
    alert->SetButton(kAlertOK, "Auto Save");
    alert->SetButton(kAlertNo, "My Last Save");
    alert->Show(cDelegate(this, &cWidgetStartup::OnAlert));
}

// A load that never ended may crash again: it is offered, not retried
// unasked, and the project stays offered whatever is chosen.
void cWidgetStartup::OfferInterruptedLoad(const cGenString& path)
{
    cGenStringFixed<260> name(path);
    GetProjectDisplayName(name);
    cGenStringFixed<300> title;
    title.Printf("Project '%s' Did Not Open", name.CStr());
    cWidgetAlert* alert = Alert();
    alert->Reset(0);
    alert->SetName(title.CStr());
    alert->firstLine.AssignCStr("Quilwright closed while opening it at the last start.");
    alert->secondLine.AssignCStr("Do you wish to open it again?");
    alert->SetButton(kAlertOK, "Open");
    alert->SetButton(kAlertNo, "New Project");
    alert->Show(cDelegate(this, &cWidgetStartup::OnAlert));
}

intptr_t cWidgetStartup::OnAlert(intptr_t index)
{
    cProject* project = CurrentProject();
    if (!project)
        return 0;
    switch (mState)
    {
    case kIntroHelp: mState = kFadingOut; break;
    case kLoading:
    {
        if (!mInterruptedLoad.IsEmpty())
        {
            const cGenStringFixed<264> interrupted(mInterruptedLoad);
            mInterruptedLoad.AssignCStr("");
            ClearOpeningMark();
            if (index == kAlertOK)
                StartLoad(project, interrupted, true);
            else
                IntroHelpOrFade();
            break;
        }
        cGenStringFixed<264> path(gSettings.recentProject);
        if (index == kAlertOK)
            path.AppendCString(".as");
        StartLoad(project, path, true);
        break;
    }
    case kAlertShowing:
        mAlpha = 255;
        mState = kFadingOut;
        break;
    case kDataFolderAlert: Decide(); break;
    default: break;
    }
    return 0;
}

// The recent project stays as it is while its load runs; the mark of the
// load tells the next start when this one never ended, so a load that
// crashes the program is offered again rather than retried unasked.
void cWidgetStartup::StartLoad(cProject* project, const cGenString& path, bool visible)
{
    cGenStringFixed<260> name(path);
    GetProjectDisplayName(name);
    if (project->IsActive())
        project->Deactivate();
    cWidgetProgress* overlay = cMainUI::GetInstance()->GetProgress();
    overlay->Setup(visible ? 0 : cWidgetProgress::kFlagInvisible);
    cGenStringFixed<300> title;
    title.Printf("Loading Project '%s'", name.CStr());
    overlay->SetName(title.CStr());
    mPendingLoad = new cJobLoadProject(project, path);
    overlay->SetJob(mPendingLoad);
    MarkOpening(path);
    overlay->Start(cDelegate(this, &cWidgetStartup::OnLoadDone));
}

intptr_t cWidgetStartup::OnLoadDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    auto* load = static_cast<cJobLoadProject*>(job);
    mPendingLoad = nullptr;
    ClearOpeningMark();
    cGenStringFixed<260> name(load->path);
    GetProjectDisplayName(name);
    bool failureShown = false;
    if (mState == kLoading)
    {
        cProject* project = load->project;
        if (load->result)
        {
            cGenStringFixed<300> text;
            text.Printf("Loaded Project '%s'", name.CStr());
            cMainUI::GetInstance()->ShowTimedMessage(text.CStr(), kLoadedMessageSeconds, false);
            RememberRecent(project->GetPath().CStr());
            project->Activate();
            if (!project->GetLoadWarning().IsEmpty())
            {
                ShowLoadWarning(project->GetLoadWarning());
                failureShown = true;
            }
        }
        else
        {
            // A project that is there but does not load is said so, and
            // stays the recent project, offered again at the next start: a
            // silent swap for an empty one would look like the song was
            // lost. Looked at before the fallback, whose new project may take
            // the very folder a missing recent project named.
            const bool existed = ProjectFolderExists(load->path);
            const cGenStringFixed<256> error(project->GetErrorText());
            FallBackToNewProject(project, existed);
            if (existed)
            {
                ShowLoadFailure(load->path, error.CStr());
                failureShown = true;
            }
        }
    }
    delete load;
    if (!failureShown)
        IntroHelpOrFade();
    return 0;
}

void cWidgetStartup::FallBackToNewProject(cProject* project, bool keepRecent)
{
    if (project->IsActive())
        project->Deactivate();
    cGenStringFixed<260> path;
    path.AssignCStr(kFallbackPath);
    MakeUniqueFileName(path, true);
    if (!keepRecent)
        RememberRecent(path.CStr());
    project->NewDefault(path, 0);
    project->Activate();
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cWidgetStartup::ShowLoadFailure(const cGenString& path, const char* errorText)
{
    cGenStringFixed<260> name(path);
    GetProjectDisplayName(name);
    cGenStringFixed<300> title;
    title.Printf("Failed to load project '%s'", name.CStr());
    mState = kAlertShowing;
    cWidgetAlert* alert = Alert();
    alert->Reset(0);
    alert->SetName(title.CStr());
    alert->SetText(errorText);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cWidgetStartup::OnAlert));
}

// The project loaded without a bank: said with the bank's own fault.
void cWidgetStartup::ShowLoadWarning(const cGenString& warning)
{
    mState = kAlertShowing;
    cWidgetAlert* alert = Alert();
    alert->Reset(0);
    alert->SetName("Sound Bank Not Loaded");
    alert->SetText(warning.CStr());
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cWidgetStartup::OnAlert));
}

void cWidgetStartup::IntroHelpOrFade()
{
    if (StartIntroHelp())
        return;
    mAlpha = 255;
    mState = kFadingOut;
}

// Drawn over the import's name prompt, the help would hide it and take its
// keys: it waits for the import, and the cover leaves at once.
bool cWidgetStartup::StartIntroHelp()
{
    if (gSettings.introHelp >= kIntroHelpShowings)
        return false;
    if (ImportRunning())
    {
        mIntroHelpAfterImport = true;
        return false;
    }
    mState = kIntroHelp;
    mAlpha = 255;
    PushIntroHelp();
    return true;
}

void cWidgetStartup::ShowIntroHelpAfterImport()
{
    if (!mIntroHelpAfterImport || ImportRunning() || Alert()->IsShown())
        return;
    mIntroHelpAfterImport = false;
    PushIntroHelp();
}

void cWidgetStartup::PushIntroHelp()
{
    ++gSettings.introHelp;
    if (!mIntroHelp)
    {
        mIntroHelp = new cWidgetIntroHelp(cMainUI::GetInstance()->GetStatusBar()->GetScreen());
        mIntroHelp->SetName("Quilwright Help");
    }
    mIntroHelp->Show(cDelegate(this, &cWidgetStartup::OnIntroHelpClosed));
}

// The help shown after an import closes over the main screens: the cover
// has long gone.
intptr_t cWidgetStartup::OnIntroHelpClosed(cWidgetIntroHelp*)
{
    if (mState == kIntroHelp)
        mState = kFadingOut;
    return 0;
}

void cWidgetStartup::Finish()
{
    mAlpha = 0;
    mState = kFinished;
    if (mIntroHelp)
    {
        mIntroHelp->Close();
        mIntroHelp->Release();
        mIntroHelp = nullptr;
    }
    cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}

bool cWidgetStartup::Draw(cDrawList& list)
{
    if (mState == kFinished)
        return false;
    list.FlushAll();
    const int32_t step = int32_t(gFramePeriod * kFadePerSecond);
    if (mState == kIntroHelp)
        mAlpha = mAlpha > step ? mAlpha - step : 0;
    else if (mState == kFadingOut)
    {
        mAlpha -= step;
        if (mAlpha <= 0)
        {
            Finish();
            return false;
        }
    }
    else
        mAlpha = 255;
    if (mAlpha > 0)
        list.FillRect(cWidgetManager::GetInstance()->GetScreenRect(), (uint32_t(mAlpha) << 24) | kCoverRGB);
    return false;
}
