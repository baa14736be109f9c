#include "project/ui/WidgetFileBrowser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

#include "audio/WavFile.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "base/UTF8.h"
#include "mixer/AuditionPlayer.h"
#include "project/ProjectSlots.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/FileBrowserHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/DrawHelpers.h"
#include "ui/StatusBarHost.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetScrollBar.h"

namespace
{
using tPath = cGenStringFixed<cWidgetFileBrowser::kPathCapacity>;

// Left and top from the parent's start, then width and height.
constexpr uint32_t kPlacedInParent = 0x1133;
constexpr uint32_t kButtonStyle = 0x11;
constexpr uint32_t kUpButtonStyle = 9;
constexpr uint32_t kOddRowColour = 0xff2c2c2cu;
constexpr uint32_t kEvenRowColour = 0xff404040u;
constexpr uint32_t kNameColour = 0xffdcdcdcu;
constexpr uint32_t kSelectedNameColour = 0xffffffffu;
constexpr uint32_t kFrameColour = 0xff808080u;
constexpr float kRowsPerPixel = 1.0f / 60.0f;
constexpr float kMinimumVisibleRows = 6.0f;
constexpr float kNameOffset = 38.0f;
constexpr float kIconOffset = 16.0f;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

// The text after the name's last '.', empty without one.
const char* ExtensionOf(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    const char* separator = std::strrchr(name, '/');
    return dot && (!separator || dot > separator) ? dot + 1 : "";
}

bool SameNoCase(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// The text after the last '/' or '\\'; the whole text without one.
const char* LastComponent(const char* path)
{
    const char* last = path;
    for (const char* c = path; *c; ++c)
        if (IsPathSeparator(*c))
            last = c + 1;
    return last;
}

void DropTrailingSeparator(cGenString& text)
{
    const int length = text.Length();
    if (length > 0 && IsPathSeparator(text.CStr()[length - 1]))
        text.Truncate(length - 1);
}

void ForwardSlashes(cGenString& text)
{
    PathToForwardSlashes(text);
    DropTrailingSeparator(text);
}
} // namespace

cWidgetFileBrowser::cWidgetFileBrowser(cFileBrowserHost* host) : mHost(host)
{
    SetName("");
    mScroller.owner = this;
    mScroller.listener = this;
    mNameFont.Select(GetTextSize(kTextSizeAlert));
    mInfoFont.Select(GetTextSize(kTextSizeToggle));
    MakeButtons();
    mScrollBar = CreateScrollBar(true, false);
    mScrollBar->windowMovedDelegate = cDelegate(this, &cWidgetFileBrowser::OnScrollBarMoved);
    AddChild(mScrollBar);
    Reset();
}

cWidgetFileBrowser::~cWidgetFileBrowser()
{
    for (cWidgetButton* button : mButtons)
        if (button)
            button->Release();
    mScrollBar->Release();
}

void cWidgetFileBrowser::MakeButtons()
{
    struct cButtonDef
    {
        int32_t id;
        const char* label;
        int32_t mode;
        uint32_t style;
    };
    static const cButtonDef kButtons[] = {
        {kButtonUp, "", kButtonPush, kUpButtonStyle},
        {kButtonDelete, "Delete", kButtonPush, kButtonStyle},
        {kButtonSaveAs, "Save As", kButtonPush, kButtonStyle},
        {kButtonNewFolder, "New Folder", kButtonPush, kButtonStyle},
        {kButtonAccept, "Open", kButtonPush, kButtonStyle},
        {kButtonLoadCopy, "Load Copy", kButtonPush, kButtonStyle},
        {kButtonAudition, "Audition", kButtonCycle, kButtonStyle},
        {kButtonOpenFolder, "Open Folder...", kButtonPush, kButtonStyle},
        {kButtonRename, "Rename", kButtonPush, kButtonStyle},
    };
    for (const cButtonDef& def : kButtons)
    {
        cWidgetButton* button = CreateButton(def.label, def.mode, def.style);
        button->SetTag(def.id);
        button->clickDelegate = cDelegate(this, &cWidgetFileBrowser::OnButtonClicked);
        AddChild(button);
        mButtons[def.id] = button;
    }
    SetButtonIcon(mButtons[kButtonUp], Sprite(BrowserSprite::kUpArrow));
    // The toggle starts on and keeps its state between requests.
    mButtons[kButtonAudition]->value = 1;
}

void cWidgetFileBrowser::Reset()
{
    SetName("");
    rootFolder = "";
    path = "";
    extension = "";
    actionLabel = "";
    mCurrentFolder = "";
    mDisplayFolder = "";
    mPreselectedPath = "";
    mName = "";
    mInfoText1 = "";
    mInfoText2 = "";
    for (cType& type : mFileTypes)
        type = cType();
    for (cType& type : mPackageTypes)
        type = cType();
    mFileTypeCount = 0;
    mPackageTypeCount = 0;
    mFlags = 0;
}

bool cWidgetFileBrowser::AddFileType(const char* text, const cAtlasSprite* icon)
{
    if (mFileTypeCount >= kFileTypeSlots)
        return false;
    mFileTypes[mFileTypeCount].extension = text;
    mFileTypes[mFileTypeCount].icon = icon;
    ++mFileTypeCount;
    return true;
}

bool cWidgetFileBrowser::AddPackageType(const char* text, const cAtlasSprite* icon)
{
    if (mPackageTypeCount >= kPackageTypeSlots)
        return false;
    mPackageTypes[mPackageTypeCount].extension = text;
    mPackageTypes[mPackageTypeCount].icon = icon;
    ++mPackageTypeCount;
    return true;
}

void cWidgetFileBrowser::Show(uint32_t flags, const cDelegate& completion)
{
    Open(cDelegate(this, &cWidgetFileBrowser::OnBack));
    mFiles = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    mFlags = flags;
    mCompletion = completion;
    mDepth = mRootDepth = 0;
    mFolderProtection = mItemProtection = 0;
    mSelection = -1;
    mPendingAction = kActionNone;
    mInProject = false;
    mAutoPrompt = false;
    mButtons[kButtonAudition]->SetVisible((flags & kFlagAudition) != 0);
    ForwardSlashes(rootFolder);
    ForwardSlashes(path);
    mCurrentFolder = "";
    mDisplayFolder = "";
    mPreselectedPath = "";
    mInfoText1 = "";
    mInfoText2 = "";
    mName = "";
    if (actionLabel.IsEmpty())
        actionLabel = (flags & kFlagSave) ? "Save" : "Load";
    NavigateTo(rootFolder, 0);
    mRootDepth = mDepth;
    if (mDisplayFolder.Length() >= 4 && strncasecmp(mDisplayFolder.CStr(), "User", 4) == 0)
    {
        const int32_t cut = IsPathSeparator(mDisplayFolder.CStr()[4]) ? 5 : 4;
        mDisplayFolder.Replace(0, cut, cGenString(""), 0);
    }
    const int32_t rootLength = rootFolder.Length();
    if (strncasecmp(path.CStr(), rootFolder.CStr(), size_t(rootLength)) == 0)
    {
        const int32_t offset = rootLength + ((rootLength > 0 && IsPathSeparator(path.CStr()[rootLength])) ? 1 : 0);
        NavigateTo(path, std::min(offset, path.Length()));
    }
    mName = LastComponent(path.CStr());
    path = "";
    Refresh();
    UpdateButtons();
    if ((flags & kFlagNameAtOnce) && SameNoCase(ExtensionOf(mName.CStr()), extension.CStr()))
    {
        mPendingAction = kActionSaveName;
        mAutoPrompt = true;
        PromptSaveName(true);
    }
}

void cWidgetFileBrowser::NavigateTo(const cGenString& target, int32_t offset)
{
    const char* text = target.CStr();
    int32_t start = offset;
    while (text[start] != '\0' && mFiles)
    {
        int32_t end = start;
        while (text[end] != '\0' && !IsPathSeparator(text[end]))
            ++end;
        if (end == start)
        {
            ++start;
            continue;
        }
        const std::string upToHere(text, size_t(end));
        const std::string component(text + start, size_t(end - start));
        // A start path, perhaps from a settings file, never climbs out of the
        // folders it names.
        if (component == "." || component == "..")
            return;
        File::sFileStatus status;
        if (!mFiles->Stat(cGenString(upToHere.c_str()), &status))
            return;
        if (status.IsFolder() && FindPackageType(component.c_str()) < 0)
        {
            if (!EnterFolder(component.c_str()))
                return;
            if (text[end] == '\0')
                return;
            start = end + 1;
            continue;
        }
        tPath joined;
        if (SelectByName(component.c_str()) && (mFlags & kFlagSave) && JoinCurrent(component.c_str(), joined))
            mPreselectedPath = joined;
        return;
    }
}

// Only paths the files layer can reach below its root are handed out.
bool cWidgetFileBrowser::JoinCurrent(const char* name, cGenString& out) const
{
    // The paths layer takes '\\' for a separator: such a name cannot be
    // reached unchanged.
    if (std::strchr(name, '\\'))
        return false;
    out.Assign(mCurrentFolder);
    if (out.Length() != mCurrentFolder.Length() || !PathAppend(out, cGenString(name)))
        return false;
    tPath native;
    if (!mFiles)
        return true;
    native = *mFiles->GetRootPath();
    return PathAppend(native, out);
}

// A folder whose path does not fit is not entered: the list stays where it is.
bool cWidgetFileBrowser::EnterFolder(const char* name)
{
    tPath folder, display;
    display = mDisplayFolder;
    if (!JoinCurrent(name, folder) || !PathAppend(display, cGenString(name)))
        return false;
    PathRemoveExtension(display);
    mCurrentFolder = folder;
    mDisplayFolder = display;
    ++mDepth;
    Refresh();
    Select(-1);
    return true;
}

void cWidgetFileBrowser::GoUp()
{
    if (mDepth <= mRootDepth)
        return;
    DropTrailingSeparator(mCurrentFolder);
    DropTrailingSeparator(mDisplayFolder);
    const std::string left = LastComponent(mCurrentFolder.CStr());
    const int32_t cut = mCurrentFolder.Length() - int32_t(left.size());
    mCurrentFolder.Truncate(cut > 0 ? cut - 1 : 0);
    const char* displayLast = LastComponent(mDisplayFolder.CStr());
    const int32_t displayCut = int32_t(displayLast - mDisplayFolder.CStr());
    mDisplayFolder.Truncate(displayCut > 0 ? displayCut - 1 : 0);
    --mDepth;
    Refresh();
    SelectByName(left.c_str());
    StopAudition();
}

bool cWidgetFileBrowser::PassesFileFilter(const char* name) const
{
    const char* ext = ExtensionOf(name);
    if (!(mFlags & kFlagShowBackups) && (SameNoCase(ext, "bak") || SameNoCase(ext, "tmp")))
        return false;
    if (mFileTypeCount == 0)
        return true;
    for (int32_t i = 0; i < mFileTypeCount; ++i)
        if (SameNoCase(ext, mFileTypes[i].extension.CStr()))
            return true;
    return false;
}

int32_t cWidgetFileBrowser::FindPackageType(const char* name) const
{
    if (mPackageTypeCount == 0 || !std::strchr(name, '.'))
        return -1;
    const char* ext = ExtensionOf(name);
    for (int32_t i = 0; i < mPackageTypeCount; ++i)
        if (SameNoCase(ext, mPackageTypes[i].extension.CStr()))
            return i;
    return -1;
}

bool cWidgetFileBrowser::IsAcceptableName(const char* name)
{
    if (!name || *name == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return !std::strchr(name, '/') && !std::strchr(name, '\\') && IsValidUTF8(name);
}

void cWidgetFileBrowser::FolderDisplayName(const char* name, std::string& out)
{
    const char* dot = std::strrchr(name, '.');
    out.assign(name, dot ? size_t(dot - name) : std::strlen(name));
}

int32_t cWidgetFileBrowser::GetEntryFlags(const cGenString& entryPath, const char* name) const
{
    if (!SameNoCase(ExtensionOf(name), "wav"))
        return 0;
    return IsSampleInUseByProject(entryPath) ? kEntryInUse : 0;
}

void cWidgetFileBrowser::Refresh()
{
    const char* project = mHost->GetProjectFolder();
    mInProject = project && *project && std::strcmp(mCurrentFolder.CStr(), project) == 0;
    mFolderProtection = mHost->GetFolderProtection(mCurrentFolder.CStr());
    mEntries.clear();
    if (mFiles)
        ListFolder(mFiles);
    mScroller.SetRowCount(int32_t(mEntries.size()));
    mScrollBar->SetRange(0.0f, float(mEntries.size()));
    mScrollBar->ClampWindow();
    if (mSelection >= int32_t(mEntries.size()))
        mSelection = -1;
}

void cWidgetFileBrowser::ListFolder(File::cFileSystem* files)
{
    File::cFileSystem::cFileIterator* iterator = files->NewIterator(mCurrentFolder);
    if (!iterator)
        return;
    for (bool found = iterator->First(); found; found = iterator->Next())
    {
        const char* name = iterator->GetName();
        if (!iterator->IsFolder() || FindPackageType(name) >= 0)
            continue;
        cEntry entry;
        entry.name = name;
        FolderDisplayName(name, entry.displayName);
        entry.kind = kKindFolder;
        entry.icon = Sprite(BrowserSprite::kFolderIcon);
        mEntries.push_back(std::move(entry));
    }
    tPath entryPath;
    for (bool found = iterator->First(); found; found = iterator->Next())
    {
        const char* name = iterator->GetName();
        if (iterator->IsFolder())
        {
            const int32_t type = FindPackageType(name);
            if (type >= 0)
                AddPackageRows(files, name, type);
            continue;
        }
        if (!PassesFileFilter(name))
            continue;
        cEntry entry;
        entry.name = name;
        entry.displayName = name;
        entry.kind = kKindFile;
        entry.flags = JoinCurrent(name, entryPath) ? GetEntryFlags(entryPath, name) : 0;
        for (int32_t i = 0; i < mFileTypeCount; ++i)
            if (SameNoCase(ExtensionOf(name), mFileTypes[i].extension.CStr()))
            {
                entry.icon = mFileTypes[i].icon;
                break;
            }
        mEntries.push_back(std::move(entry));
    }
    delete iterator;
}

void cWidgetFileBrowser::AddPackageRows(File::cFileSystem* files, const char* name, int32_t type)
{
    const cType& package = mPackageTypes[type];
    mEntries.push_back({name, name, kKindPackage, 0, package.icon});
    if (mFlags & (kFlagSave | kFlagNameAtOnce))
        return;
    tPath main;
    if (!JoinCurrent(name, main) || !PathAppend(main, cGenString("Package.")))
        return;
    main.Append(package.extension);
    const int32_t length = main.Length();
    main.AppendCString(".bak");
    if (main.Length() > length && files->Exists(main))
        mEntries.push_back({name, std::string(name) + " (bak)", kKindPackageBackup, 0, package.icon});
    main.Truncate(length);
    main.AppendCString(".as");
    if (main.Length() > length && files->Exists(main))
        mEntries.push_back({name, std::string(name) + " (autosave)", kKindPackageAutosave, 0, package.icon});
}

const cWidgetFileBrowser::cEntry* cWidgetFileBrowser::GetSelectedEntry() const
{
    return mSelection >= 0 && mSelection < int32_t(mEntries.size()) ? &mEntries[size_t(mSelection)] : nullptr;
}

void cWidgetFileBrowser::Select(int32_t index)
{
    const int32_t rows = int32_t(mEntries.size());
    if (index >= rows)
        index = rows - 1;
    mSelection = index < 0 ? -1 : index;
    mInfoText1 = "";
    if (mSelection < 0)
        mItemProtection = 0;
    else
        DescribeSelection();
    UpdateButtons();
    ScrollToSelection();
}

void cWidgetFileBrowser::DescribeSelection()
{
    const cEntry& entry = mEntries[size_t(mSelection)];
    tPath entryPath;
    const bool addressable = JoinCurrent(entry.name.c_str(), entryPath);
    mItemProtection = addressable ? mHost->GetFolderProtection(entryPath.CStr()) : 4;
    mInfoText2 = "";
    if (!addressable || !mFiles)
        return;
    if (entry.kind == kKindFile)
    {
        cGenString description;
        if (!mFiles->Describe(description, entryPath))
        {
            mInfoText1 = "Unknown size";
            return;
        }
        mInfoText1 = description;
        if (!SameNoCase(ExtensionOf(entry.name.c_str()), "wav"))
            return;
        tPath native;
        native = *mFiles->GetRootPath();
        if (!PathAppend(native, entryPath))
            return;
        cWavFile wav;
        if (wav.OpenRead(native.CStr()))
        {
            mInfoText1.AppendChar(' ');
            wav.Describe(mInfoText2);
        }
        return;
    }
    if (entry.kind == kKindFolder)
        return;
    const int32_t type = FindPackageType(entry.name.c_str());
    if (type < 0)
        return;
    tPath main = entryPath;
    if (!PathAppend(main, cGenString("Package.")))
        return;
    main.Append(mPackageTypes[type].extension);
    if (entry.kind == kKindPackageBackup)
        main.AppendCString(".bak");
    else if (entry.kind == kKindPackageAutosave)
        main.AppendCString(".as");
    cGenString description;
    if (mFiles->Describe(description, main))
        mInfoText1 = description;
}

void cWidgetFileBrowser::ScrollToSelection()
{
    if (mSelection < 0)
    {
        mScroller.SetPosition(0.0f, true);
        return;
    }
    const float first = mScroller.GetPosition();
    const float row = float(mSelection);
    if (row >= first && row <= first + mVisibleRows - 1.0f)
        return;
    const float position = std::floor(row - mVisibleRows * 0.5f + 0.5f);
    mScroller.SetPosition(std::clamp(position, 0.0f, mScroller.GetMaximumPosition()), true);
}

bool cWidgetFileBrowser::SelectByName(const char* name)
{
    for (size_t i = 0; i < mEntries.size(); ++i)
        if (SameNoCase(mEntries[i].name.c_str(), name))
        {
            Select(int32_t(i));
            return true;
        }
    Select(-1);
    return false;
}

// The open project's folder, or one holding it, keeps its name while the
// project is open: the project saves into it.
bool cWidgetFileBrowser::SelectedRowHoldsProject() const
{
    const cEntry* entry = GetSelectedEntry();
    const char* project = mHost->GetProjectFolder();
    tPath entryPath;
    if (!entry || entry->kind == kKindFile || !project || !*project || !JoinCurrent(entry->name.c_str(), entryPath))
        return false;
    const size_t length = size_t(entryPath.Length());
    return std::strncmp(project, entryPath.CStr(), length) == 0 &&
           (project[length] == '\0' || IsPathSeparator(project[length]));
}

void cWidgetFileBrowser::UpdateButtons()
{
    const cEntry* entry = GetSelectedEntry();
    const bool readOnlyFolder = (mFolderProtection & 4) != 0;
    mButtons[kButtonUp]->SetEnabled(mDepth > mRootDepth);
    mButtons[kButtonSaveAs]->SetVisible((mFlags & kFlagSave) != 0);
    mButtons[kButtonSaveAs]->SetEnabled(!readOnlyFolder);
    mButtons[kButtonNewFolder]->SetEnabled((mFolderProtection & 1) != 0);
    mButtons[kButtonLoadCopy]->SetVisible((mFlags & kFlagLoadCopy) != 0);
    mButtons[kButtonLoadCopy]->SetEnabled(entry && entry->kind != kKindFolder && !mInProject);
    mButtons[kButtonAccept]->SetEnabled(entry && (!(mFlags & kFlagSave) || !readOnlyFolder));
    bool canDelete = false, canRename = false;
    if (entry && entry->kind == kKindFolder)
        canDelete = canRename = !readOnlyFolder && (mItemProtection & 2) != 0;
    else if (entry)
    {
        canDelete = (mItemProtection & 4) == 0;
        canRename = canDelete && entry->kind != kKindPackageBackup && entry->kind != kKindPackageAutosave;
    }
    const bool holdsProject = SelectedRowHoldsProject();
    mButtons[kButtonDelete]->SetEnabled(canDelete && !holdsProject);
    mButtons[kButtonRename]->SetEnabled(canRename && !holdsProject);
    const char* label = entry && entry->kind == kKindFolder ? "Open" : actionLabel.CStr();
    if (std::strcmp(mButtons[kButtonAccept]->GetName(), label) != 0)
    {
        mButtons[kButtonAccept]->SetName(label);
        mButtons[kButtonAccept]->ModifyFlags(kWidgetLayoutDirty, 0, false);
    }
}

void cWidgetFileBrowser::OnRowSelected(cScrollHelper*, int32_t row) { OnRowTapped(row); }

void cWidgetFileBrowser::OnRowTapped(int32_t row)
{
    if (row < 0 || row >= int32_t(mEntries.size()))
        return;
    Audition(row);
    if (row != mSelection)
    {
        Select(row);
        return;
    }
    if (mEntries[size_t(row)].kind != kKindFolder)
        return;
    StopAudition();
    const std::string name = mEntries[size_t(row)].name;
    EnterFolder(name.c_str());
}

void cWidgetFileBrowser::Accept()
{
    const cEntry* entry = GetSelectedEntry();
    if (!entry)
        return;
    if (entry->kind == kKindFolder)
    {
        const std::string name = entry->name;
        StopAudition();
        EnterFolder(name.c_str());
        return;
    }
    tPath chosen;
    if (!JoinCurrent(entry->name.c_str(), chosen))
        return;
    if ((mFlags & kFlagSave) && SameNoCase(ExtensionOf(chosen.CStr()), extension.CStr()) &&
        !SameNoCase(chosen.CStr(), mPreselectedPath.CStr()))
    {
        cGenStringFixed<cWidgetAlert::kLineCapacity> line;
        if (mFlags & kFlagNoOverwrite)
        {
            mPendingAction = kActionNone;
            line.Printf("A %s with the name '%s' already exists.", (mFlags & kFlagFolder) ? "folder" : "file",
                        entry->displayName.c_str());
            ShowAlert(0x400, GetName(), line.CStr(), "Please choose a different name.", false);
            return;
        }
        mPendingAction = kActionSaveName;
        line.Printf("'%s'?", entry->displayName.c_str());
        ShowAlert(0x700, GetName(), "Do you want to overwrite", line.CStr(), true);
        return;
    }
    if (entry->kind == kKindPackageBackup)
        chosen.AppendCString(".bak");
    else if (entry->kind == kKindPackageAutosave)
        chosen.AppendCString(".as");
    path = chosen;
    Finish();
    Complete(1);
}

void cWidgetFileBrowser::Finish()
{
    StopAudition();
    mPendingAction = kActionNone;
    Close();
}

void cWidgetFileBrowser::Complete(int32_t result) { mCompletion.Invoke(result, this); }

void cWidgetFileBrowser::Cancel()
{
    Finish();
    path = "";
    Complete(0);
}

intptr_t cWidgetFileBrowser::OnBack()
{
    Cancel();
    return 0;
}

void cWidgetFileBrowser::BuildTitle(cGenString& out) const
{
    out.AssignCStr(GetName());
    out.AppendCString(" : ");
    if (!mDisplayFolder.IsEmpty())
    {
        out.Append(mDisplayFolder);
        out.AppendChar('/');
    }
    if (const cEntry* entry = GetSelectedEntry())
    {
        out.AppendCString(entry->displayName.c_str());
        if (entry->kind == kKindFolder)
            out.AppendChar('/');
    }
}

void cWidgetFileBrowser::OnLayout()
{
    cWidgetDialogueDropDown::OnLayout();
    const cButtonSkin skin = cButtonSkin::FromStyle(kButtonStyle);
    const float W = skin.size->width, H = skin.size->height;
    const cRect& rect = GetRect();
    const float height = rect.yMax - rect.yMin;
    const float pitch = std::min(std::round((height - 16.0f - 6.0f * H) / 5.0f) + H, std::round(1.4f * H));
    mListRect = {rect.xMin + 10.0f, rect.yMin + 16.0f, rect.xMax - (W + 8.0f) - 24.0f, rect.yMax - 8.0f - pitch};
    const float listHeight = mListRect.yMax - mListRect.yMin;
    mVisibleRows = std::max(listHeight * kRowsPerPixel, kMinimumVisibleRows);
    mRowHeight = (listHeight - 2.0f) / mVisibleRows;
    const float barLeft = mListRect.xMax;
    mScrollBar->SetAnchors(kPlacedInParent, barLeft - rect.xMin, mListRect.yMin - rect.yMin, 10.0f, listHeight);
    mScroller.area = {mListRect.xMin, mListRect.yMin + 1.0f, mListRect.xMax, mListRect.yMax - 1.0f};
    mScroller.visibleRows = mVisibleRows;
    const float bottomRow = rect.yMax - 8.0f - H;
    auto place = [&](int32_t id, float x, float y, float width)
    {
        mButtons[id]->SetAnchors(kPlacedInParent, std::round(x - rect.xMin), std::round(y - rect.yMin), width, H);
        mButtons[id]->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    };
    place(kButtonNewFolder, mListRect.xMin, bottomRow, W);
    place(kButtonDelete, mListRect.xMin + W + 8.0f, bottomRow, W);
    const float upWidth = cButtonSkin::FromStyle(kUpButtonStyle).size->width;
    place(kButtonUp, barLeft + 10.0f - upWidth, bottomRow, upWidth);
    const float column = rect.xMax - 7.0f - W;
    place(kButtonAccept, column, bottomRow, W);
    place(kButtonSaveAs, column, bottomRow - pitch, W);
    place(kButtonLoadCopy, column, bottomRow - pitch, W);
    place(kButtonAudition, column, bottomRow - 2.0f * pitch, W);
    place(kButtonRename, column, bottomRow - 3.0f * pitch, W);
    place(kButtonOpenFolder, column, mListRect.yMin, W);
    mScrollBar->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

bool cWidgetFileBrowser::Draw(cDrawList& list)
{
    cWidgetDialogueDropDown::Draw(list);
    mScroller.Update();
    const float position = mScroller.GetPosition();
    mScrollBar->SetWindow(position, position + mVisibleRows);
    const int32_t rows = int32_t(mEntries.size());
    const int32_t first = int32_t(position);
    const int32_t last = std::min(first + int32_t(std::ceil(mVisibleRows)), rows - 1);
    const cFontHandle& name = mNameFont;
    const cFontHandle& info = mInfoFont;
    DrawRows(list, first, last, position, name, info);
    DrawListFrame(list);
    if (cStatusBarHost* bar = GetStatusBarHost())
    {
        cGenStringFixed<kPathCapacity * 2> title;
        BuildTitle(title);
        bar->SetTitleText(title.CStr());
    }
    return false;
}

void cWidgetFileBrowser::DrawRows(cDrawList& list, int32_t first, int32_t last, float position,
                                  const cFontHandle& name, const cFontHandle& info)
{
    cScopedClipRect clip(list, mListRect);
    cTextBatch& text = list.GetTextBatch();
    for (int32_t r = first; r <= last; ++r)
    {
        const cEntry& entry = mEntries[size_t(r)];
        const float top = mListRect.yMin + 1.0f + (float(r) - position) * mRowHeight;
        // The clip would hide a row that starts below the list.
        if (top >= mListRect.yMax)
            break;
        const cRect row = {mListRect.xMin, top, mListRect.xMax, top + mRowHeight};
        const float centre = top + mRowHeight * 0.5f;
        if (r == mSelection)
            DrawSprite(list, Sprite(BrowserSprite::kSelection), row, 0xffffffffu);
        else
            DrawSprite(list, Sprite(kTex8888SolidFill), row, (r & 1) ? kOddRowColour : kEvenRowColour);
        if (entry.icon)
            DrawSprite(list, entry.icon, SpriteRectAt(entry.icon, row.xMin + kIconOffset, centre), 0xffffffffu);
        if (entry.flags & kEntryInUse)
        {
            const cAtlasSprite* badge = Sprite(BrowserSprite::kInUseBadge);
            DrawSprite(list, badge, SpriteRectAt(badge, row.xMin + 18.0f, centre + 4.0f), 0xffffffffu);
        }
        const cRect nameRect = {row.xMin + kNameOffset, top, row.xMax - 4.0f, top + mRowHeight};
        const bool withInfo = r == mSelection && !(mInfoText1.IsEmpty() && mInfoText2.IsEmpty());
        if (!withInfo)
        {
            text.DrawTextInRect(nameRect, name, list.depth, kNameColour, kTextAlignCentreY | kTextShortenMiddle,
                                entry.displayName.c_str());
            continue;
        }
        const cRect upper = {nameRect.xMin, top, nameRect.xMax, centre - 2.0f};
        text.DrawTextInRect(upper, name, list.depth, kSelectedNameColour, kTextAlignBottom | kTextShortenMiddle,
                            entry.displayName.c_str());
        cGenStringFixed<128> details;
        details = mInfoText1;
        details.Append(mInfoText2);
        const cRect lower = {nameRect.xMin, centre + 5.0f, nameRect.xMax, row.yMax};
        text.DrawTextInRect(lower, info, list.depth, kNameColour, kTextAlignTop | kTextShortenEnd, details.CStr());
    }
}

// One pixel outside the list and its scroll bar.
void cWidgetFileBrowser::DrawListFrame(cDrawList& list)
{
    const cAtlasSprite* solid = Sprite(kTex8888SolidFill);
    const float x0 = mListRect.xMin - 1.0f, y0 = mListRect.yMin - 1.0f;
    const float x1 = mListRect.xMax + 11.0f, y1 = mListRect.yMax + 1.0f;
    DrawSprite(list, solid, {x0, y0, x1, y0 + 1.0f}, kFrameColour);
    DrawSprite(list, solid, {x0, y1 - 1.0f, x1, y1}, kFrameColour);
    DrawSprite(list, solid, {x0, y0, x0 + 1.0f, y1}, kFrameColour);
    DrawSprite(list, solid, {x1 - 1.0f, y0, x1, y1}, kFrameColour);
}

void cWidgetFileBrowser::CancelInput() { mScroller.Cancel(); }

bool cWidgetFileBrowser::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (OfferTouchToChildren(type, touch, captor))
        return true;
    return mScroller.HandleTouch(type, touch, captor);
}

bool cWidgetFileBrowser::HandleKey(const cKeyEvent*) { return false; }

intptr_t cWidgetFileBrowser::OnScrollBarMoved(float start, cWidgetScrollBar*)
{
    mScroller.SetPosition(std::clamp(start, 0.0f, mScroller.GetMaximumPosition()), true);
    return 0;
}
