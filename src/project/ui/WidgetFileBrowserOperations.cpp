#include <cstring>
#include <strings.h>

#include "audio/Sample.h"
#include "base/FileSystem.h"
#include "base/PathUtils.h"
#include "mixer/AuditionPlayer.h"
#include "platform/PlatformServices.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "ui/KeyboardRequest.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"

// The browser's operations on its entries: the buttons, the name prompts
// and their answers, the alerts, audition and the copy into the project.

namespace
{
using tPath = cGenStringFixed<cWidgetFileBrowser::kPathCapacity>;
using tLine = cGenStringFixed<cWidgetAlert::kLineCapacity>;

constexpr int32_t kInfoAlert = 0x600;
constexpr int32_t kQuestionAlert = 0x700;
constexpr const char* kChooseAnother = "Please choose a different name.";

bool HasExtension(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    return dot && dot[1] != '\0';
}

const char* Noun(uint32_t flags) { return (flags & cWidgetFileBrowser::kFlagFolder) ? "folder" : "file"; }
} // namespace

cWidgetFileBrowser::cJobCopySample::cJobCopySample(const cGenString& source, const cGenString& destination)
    : sourcePath(source), destinationPath(destination)
{
}

void cWidgetFileBrowser::cJobCopySample::Run(JobQueue::cJobQueue*)
{
    result = cSample::CopySampleFile(sourcePath.CStr(), destinationPath.CStr());
}

intptr_t cWidgetFileBrowser::OnButtonClicked(int32_t, cWidgetButton* button)
{
    OnButton(button->GetTag(), button);
    return 0;
}

void cWidgetFileBrowser::OnButton(int32_t id, cWidgetButton*)
{
    const bool selected = GetSelectedEntry() != nullptr;
    switch (id)
    {
    case kButtonUp: GoUp(); break;
    case kButtonDelete:
        if (selected)
            AskDelete();
        break;
    case kButtonSaveAs:
        mPendingAction = kActionSaveName;
        PromptSaveName(false);
        break;
    case kButtonNewFolder: PromptNewFolder(); break;
    case kButtonAccept:
        if (selected)
            Accept();
        break;
    case kButtonLoadCopy:
        if (selected)
        {
            mCopyName.AssignCStr(GetSelectedEntry()->name.c_str());
            mPendingAction = kActionCopy;
            CheckCopyTarget();
        }
        break;
    case kButtonAudition: Audition(mSelection); break;
    case kButtonOpenFolder: ShowOpenFolder(); break;
    case kButtonCopyToPasteboard:
        if (selected)
            CopyToPasteboard();
        break;
    case kButtonPasteFromPasteboard: PasteFromPasteboard(); break;
    case kButtonRename:
        if (selected)
            AskRename();
        break;
    default: break;
    }
}

void cWidgetFileBrowser::PromptSaveName(bool atOnce)
{
    cKeyboardRequest request;
    request.maxLength = kLongestTypedName;
    request.title.AssignCStr(GetName());
    request.title.AppendCString(" : ");
    request.title.Append(mDisplayFolder);
    PathAddTrailingSlash(request.title);
    const cEntry* entry = GetSelectedEntry();
    const bool fromRow = !atOnce && entry && entry->kind != kKindFolder;
    request.text.AssignCStr(fromRow ? entry->displayName.c_str() : mName.CStr());
    request.defaultExtension = extension;
    request.selectAll = fromRow ? 0 : 1;
    request.fileNameMode = 1;
    request.browse = 1;
    request.showPath = 1;
    request.reserved = 1;
    request.hideBelow = atOnce ? 1 : 0;
    mHost->PromptName(request, cDelegate(this, &cWidgetFileBrowser::OnNameEntered));
}

void cWidgetFileBrowser::PromptNewFolder()
{
    mPendingAction = kActionNewFolder;
    cKeyboardRequest request;
    request.maxLength = kLongestTypedName;
    request.title.AssignCStr("New Folder : ");
    request.title.Append(mDisplayFolder);
    PathAddTrailingSlash(request.title);
    request.fileNameMode = 1;
    request.showPath = 1;
    mHost->PromptName(request, cDelegate(this, &cWidgetFileBrowser::OnNameEntered));
}

void cWidgetFileBrowser::PromptRename(const char* name)
{
    cKeyboardRequest request;
    request.maxLength = kLongestTypedName;
    request.title.Printf("Rename '%s' to : ", name);
    request.text.AssignCStr(name);
    request.selectAll = 1;
    request.fileNameMode = 1;
    request.showPath = 1;
    request.reserved = 1;
    mHost->PromptName(request, cDelegate(this, &cWidgetFileBrowser::OnNameEntered));
}

void cWidgetFileBrowser::PromptCopyName()
{
    cKeyboardRequest request;
    request.maxLength = kLongestTypedName;
    request.title.AssignCStr("Enter a new name for the copy");
    request.text = mCopyName;
    request.fileNameMode = 1;
    request.browse = 1;
    mHost->PromptName(request, cDelegate(this, &cWidgetFileBrowser::OnNameEntered));
}

intptr_t cWidgetFileBrowser::OnNameEntered(int32_t result, const char* text)
{
    const int32_t action = mPendingAction;
    if (result == cFileBrowserHost::kPromptCancelled && mAutoPrompt && action == kActionSaveName)
    {
        mAutoPrompt = false;
        Cancel();
        return 0;
    }
    mAutoPrompt = false;
    if (result != cFileBrowserHost::kPromptEntered)
    {
        mPendingAction = kActionNone;
        return 0;
    }
    if (!IsAcceptableName(text))
    {
        mPendingAction = kActionNone;
        RefuseName(action == kActionNewFolder ? "Create Folder" : GetName());
        return 0;
    }
    switch (action)
    {
    case kActionSaveName: OnSaveNameEntered(text); break;
    case kActionNewFolder: OnNewFolderEntered(text); break;
    case kActionRename: OnRenameEntered(text); break;
    case kActionCopy:
        mCopyName.AssignCStr(text);
        CheckCopyTarget();
        break;
    default: mPendingAction = kActionNone; break;
    }
    return 0;
}

// Names that cannot be files here, and paths too long to reach, are refused
// before anything is touched.
void cWidgetFileBrowser::RefuseName(const char* title) { ShowAlert(kInfoAlert, title, kChooseAnother, "", false); }

void cWidgetFileBrowser::OnSaveNameEntered(const char* text)
{
    tPath chosen;
    bool fits = JoinCurrent(text, chosen);
    if (fits && !extension.IsEmpty() && !HasExtension(text))
    {
        const int32_t length = chosen.Length();
        chosen.AppendChar('.');
        chosen.Append(extension);
        fits = chosen.Length() == length + 1 + extension.Length();
    }
    if (!fits)
    {
        mPendingAction = kActionNone;
        RefuseName(GetName());
        return;
    }
    if (!mFiles || !mFiles->Exists(chosen))
    {
        path = chosen;
        Finish();
        Complete(1);
        return;
    }
    tLine line;
    if (mFlags & kFlagNoOverwrite)
    {
        mPendingAction = kActionNone;
        line.Printf("A %s with the name '%s' already exists", Noun(mFlags), text);
        ShowAlert(0x400, GetName(), line.CStr(), kChooseAnother, false);
        return;
    }
    path = chosen;
    line.Printf("A %s with the name '%s' already exists.", Noun(mFlags), text);
    ShowAlert(kQuestionAlert, GetName(), line.CStr(), "Do you want to overwrite it?", true);
}

void cWidgetFileBrowser::OnNewFolderEntered(const char* text)
{
    mPendingAction = kActionNone;
    tPath folder;
    tLine line;
    if (!JoinCurrent(text, folder) || !mFiles)
    {
        RefuseName("Create Folder");
        return;
    }
    if (mFiles->Exists(folder))
    {
        line.Printf("The folder '%s' already exists", text);
        ShowAlert(kInfoAlert, "Create Folder", line.CStr(), "", false);
        return;
    }
    mFiles->CreateFolder(folder);
    if (mFiles->GetLastError() == File::kErrorNone)
    {
        Refresh();
        SelectByName(text);
        return;
    }
    line.Printf("Couldn't create folder '%s'", text);
    ShowAlert(kInfoAlert, "Create Folder", line.CStr(), "", false);
}

void cWidgetFileBrowser::OnRenameEntered(const char* text)
{
    mPendingAction = kActionNone;
    const cEntry* entry = GetSelectedEntry();
    tPath from, to;
    if (!entry || !mFiles || !JoinCurrent(entry->name.c_str(), from))
        return;
    if (!JoinCurrent(text, to))
    {
        RefuseName(GetName());
        return;
    }
    mFiles->Rename(from, to);
    const int32_t row = mSelection;
    Refresh();
    Select(row);
}

void cWidgetFileBrowser::ShowAlert(int32_t style, const char* title, const char* first, const char* second,
                                   bool answered)
{
    cWidgetAlert* alert = mHost->GetAlert();
    if (!alert)
        return;
    alert->Reset(style);
    alert->SetName(title);
    alert->firstLine.AssignCStr(first);
    alert->secondLine.AssignCStr(second);
    if (answered)
        alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(answered ? cDelegate(this, &cWidgetFileBrowser::OnAlertButton) : cDelegate());
}

void cWidgetFileBrowser::AskDelete()
{
    const cEntry* entry = GetSelectedEntry();
    mPendingAction = kActionDelete;
    tLine first, second;
    const char* title = "Delete File";
    if (entry->kind == kKindFolder)
    {
        title = "Delete Folder";
        first = "Are you sure you want to delete the folder";
        second.Printf("'%s' and all its contents?", entry->displayName.c_str());
    }
    else if (entry->flags & kEntryInUse)
    {
        first.Printf("'%s' is in use by this project.", entry->displayName.c_str());
        second = "Are you sure you want to delete it?";
    }
    else
    {
        first = "Are you sure you want to delete";
        second.Printf("'%s'?", entry->displayName.c_str());
    }
    ShowAlert(kQuestionAlert, title, first.CStr(), second.CStr(), true);
}

void cWidgetFileBrowser::AskRename()
{
    const cEntry* entry = GetSelectedEntry();
    mPendingAction = kActionRename;
    if (!(entry->flags & kEntryInUse))
    {
        PromptRename(entry->displayName.c_str());
        return;
    }
    tLine first;
    first.Printf("'%s' is in use by this project.", entry->displayName.c_str());
    ShowAlert(kQuestionAlert, "Rename File", first.CStr(), "Are you sure you want to rename it?", true);
}

// A package's backup and autosave rows name files inside it; every other
// row is deleted whole (a link as the link, never what it points to).
void cWidgetFileBrowser::DeleteSelected()
{
    const cEntry* entry = GetSelectedEntry();
    tPath target;
    if (!entry || !mFiles || SelectedRowHoldsProject() || !JoinCurrent(entry->name.c_str(), target))
        return;
    if (entry->kind == kKindPackageBackup || entry->kind == kKindPackageAutosave)
    {
        tPath main = target;
        if (!PathAppend(main, cGenString("Package.")))
            return;
        main.AppendCString(PathGetExtension(target).CStr());
        const int32_t length = main.Length();
        main.AppendCString(entry->kind == kKindPackageBackup ? ".bak" : ".as");
        if (main.Length() == length)
            return;
        mFiles->Delete(main);
        if (entry->kind == kKindPackageAutosave)
        {
            const int32_t autosaveLength = main.Length();
            main.AppendCString(".bak");
            if (main.Length() > autosaveLength)
                mFiles->Delete(main);
        }
    }
    else
        mFiles->Delete(target);
    Refresh();
    Select(-1);
}

intptr_t cWidgetFileBrowser::OnAlertButton(int32_t button, cWidget*)
{
    const int32_t action = mPendingAction;
    switch (action)
    {
    case kActionSaveName:
        if (button == kAlertOK)
        {
            Finish();
            Complete(1);
            return 0;
        }
        path = "";
        break;
    case kActionDelete:
        if (button == kAlertOK)
            DeleteSelected();
        break;
    case kActionRename:
        if (button == kAlertOK && GetSelectedEntry())
        {
            PromptRename(GetSelectedEntry()->displayName.c_str());
            return 0;
        }
        break;
    case kActionCopy:
        if (button == kAlertOK)
        {
            StartCopyJob();
            return 0;
        }
        if (button == kAlertNo)
        {
            PromptCopyName();
            return 0;
        }
        break;
    default: break;
    }
    mPendingAction = kActionNone;
    return 0;
}

void cWidgetFileBrowser::StopAudition()
{
    if ((mFlags & kFlagAudition) && gAuditionPlayer)
    {
        gAuditionPlayer->SetLoopMode(0);
        gAuditionPlayer->Stop(false);
    }
}

void cWidgetFileBrowser::Audition(int32_t row)
{
    if (!(mFlags & kFlagAudition))
        return;
    StopAudition();
    if (row < 0 || row >= int32_t(mEntries.size()) || mButtons[kButtonAudition]->value == 0 || !gAuditionPlayer)
        return;
    const cEntry& entry = mEntries[size_t(row)];
    tPath file;
    if (entry.kind == kKindFile && strcasecmp(PathGetExtension(cGenString(entry.name.c_str())).CStr(), "wav") == 0 &&
        JoinCurrent(entry.name.c_str(), file))
        gAuditionPlayer->PlayFile(file.CStr());
}

void cWidgetFileBrowser::ShowOpenFolder()
{
    tPath native;
    if (!mFiles)
        return;
    native = *mFiles->GetRootPath();
    if (native.Length() == mFiles->GetRootPath()->Length() && PathAppend(native, mCurrentFolder))
        OpenURLInBrowser(native.CStr());
}

void cWidgetFileBrowser::CheckCopyTarget()
{
    const char* project = mHost->GetProjectFolder();
    if (!project || !*project || !mFiles)
    {
        mPendingAction = kActionNone;
        return;
    }
    tPath target(project);
    if (!PathAppend(target, mCopyName))
    {
        mPendingAction = kActionNone;
        RefuseName("Copy File to Project");
        return;
    }
    if (!mFiles->Exists(target))
    {
        StartCopyJob();
        return;
    }
    tPath bare(mCopyName);
    PathRemoveExtension(bare);
    tLine second;
    second.Printf("called '%s'.", bare.CStr());
    cWidgetAlert* alert = mHost->GetAlert();
    alert->Reset(kAlertCancelRightmost);
    alert->SetName("Copy File to Project");
    alert->firstLine = "The project already contains a file";
    alert->secondLine = second;
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "Replace");
    alert->SetButton(kAlertNo, "Rename");
    alert->Show(cDelegate(this, &cWidgetFileBrowser::OnAlertButton));
}

void cWidgetFileBrowser::StartCopyJob()
{
    const char* project = mHost->GetProjectFolder();
    const cEntry* entry = GetSelectedEntry();
    tPath source, destination(project ? project : "");
    if (!project || !*project || !entry || !JoinCurrent(entry->name.c_str(), source) ||
        !PathAppend(destination, mCopyName))
    {
        mPendingAction = kActionNone;
        return;
    }
    path = destination;
    cWidgetProgress* overlay = mHost->GetProgress();
    overlay->Setup(0);
    overlay->SetName("Copying Sample");
    overlay->SetJob(new cJobCopySample(source, destination));
    overlay->Start(cDelegate(this, &cWidgetFileBrowser::OnCopyJobDone));
}

intptr_t cWidgetFileBrowser::OnCopyJobDone(cJobCopySample* job, cWidgetProgress*)
{
    const bool copied = job->result;
    tPath name(PathGetFileName(job->destinationPath));
    delete job;
    if (copied)
    {
        Finish();
        Complete(1);
        return 0;
    }
    mPendingAction = kActionNone;
    path = "";
    PathRemoveExtension(name);
    tLine first;
    first.Printf("Couldn't copy sample file '%s'", name.CStr());
    ShowAlert(kInfoAlert, "Copy Failed", first.CStr(), "", false);
    return 0;
}
