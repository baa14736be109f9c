#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "ui/ScrollHelper.h"
#include "ui/WidgetDialogueDropDown.h"
#include "ui/WidgetProgress.h"

struct cAtlasSprite;
class cFileBrowserHost;
class cWidgetButton;
class cWidgetScrollBar;
namespace File
{
class cFileSystem;
}

// The one file and folder chooser of the program. A caller fills in a
// request (the title is the widget's name, then the root folder, the start
// path, the default extension, the accept label and the file and package
// types listed) between Reset and Show; the completion later runs once as
// (1 accepted, browser) with the chosen "Doc" path in path, or (0, browser).
// The user walks the folders below the root, selects, hears WAV files, types
// names, makes folders, deletes, renames and copies entries into the project,
// fenced by the folders' protection. Names are the file system's bytes,
// never changed or cut: a path that does not fit is refused instead. Main
// thread only.
class cWidgetFileBrowser : public cWidgetDialogueDropDown, public cScrollHelper::cListener
{
public:
    static constexpr int32_t kPathCapacity = 260;
    static constexpr int32_t kExtensionCapacity = 8;
    static constexpr int32_t kFileTypeSlots = 8;
    static constexpr int32_t kPackageTypeSlots = 2;
    static constexpr int32_t kLongestTypedName = 32;

    // Request flags.
    enum : uint32_t
    {
        kFlagOpen = 0x01,
        kFlagSave = 0x02,
        kFlagNameAtOnce = 0x04,
        kFlagLoadCopy = 0x08,
        kFlagAudition = 0x10,
        kFlagShowBackups = 0x20,
        kFlagNoOverwrite = 0x40,
        kFlagFolder = 0x80,
    };

    enum : int32_t
    {
        kKindFile = 0,
        kKindFolder = 1,
        kKindPackage = 2,
        kKindPackageBackup = 3,
        kKindPackageAutosave = 4,
    };

    // Button ids; no button carries the pasteboard's 8 and 9.
    enum : int32_t
    {
        kButtonUp = 0,
        kButtonDelete = 1,
        kButtonSaveAs = 2,
        kButtonNewFolder = 3,
        kButtonAccept = 4,
        kButtonLoadCopy = 5,
        kButtonAudition = 6,
        kButtonOpenFolder = 7,
        kButtonCopyToPasteboard = 8,
        kButtonPasteFromPasteboard = 9,
        kButtonRename = 10,
        kButtonCount = 11,
    };

    // What the next keyboard or alert answer is for.
    enum : int32_t
    {
        kActionNone = 0,
        kActionNewFolder = 1,
        kActionSaveName = 2,
        kActionDelete = 3,
        kActionCopy = 4,
        kActionRename = 5,
    };

    // Entry flags: a WAV file the open project uses.
    static constexpr int32_t kEntryInUse = 2;

    struct cEntry
    {
        std::string name;
        std::string displayName;
        int32_t kind = kKindFile;
        int32_t flags = 0;
        const cAtlasSprite* icon = nullptr;
    };

    struct cType
    {
        cGenStringFixed<kExtensionCapacity> extension;
        const cAtlasSprite* icon = nullptr;
    };

    // Copies a file into the project on the job thread.
    class cJobCopySample : public cWidgetProgress::cJob
    {
    public:
        cJobCopySample(const cGenString& source, const cGenString& destination);
        void Run(JobQueue::cJobQueue* queue) override;

        cGenStringFixed<kPathCapacity> sourcePath;
        cGenStringFixed<kPathCapacity> destinationPath;
        bool result = false;
    };

    explicit cWidgetFileBrowser(cFileBrowserHost* host);

    // Empties the request; the copy name stays.
    void Reset();
    // False, and nothing stored, once the slots are full.
    bool AddFileType(const char* extension, const cAtlasSprite* icon);
    bool AddPackageType(const char* extension, const cAtlasSprite* icon);
    void Show(uint32_t flags, const cDelegate& completion);

    // Request fields.
    cGenStringFixed<kPathCapacity> rootFolder;
    cGenStringFixed<kPathCapacity> path;
    cGenStringFixed<kExtensionCapacity> extension;
    cGenStringFixed<16> actionLabel;

    // The pieces of a request's walk, public for the operations' callers.
    void Refresh();
    void Select(int32_t index);
    bool SelectByName(const char* name);
    bool EnterFolder(const char* name);
    void GoUp();
    void Accept();
    void Cancel();
    void OnButton(int32_t id, cWidgetButton* button);
    void OnRowTapped(int32_t row);

    // The checks the browser applies to names, for every caller.
    bool PassesFileFilter(const char* name) const;
    int32_t FindPackageType(const char* name) const;
    // Empty, "." or "..", holding '/' or '\\' (both separate paths here)
    // or not UTF-8: refused.
    static bool IsAcceptableName(const char* name);
    // The text drawn for a plain folder: its name without its extension.
    static void FolderDisplayName(const char* name, std::string& out);

    const std::vector<cEntry>& GetEntries() const { return mEntries; }
    int32_t GetSelection() const { return mSelection; }
    const char* GetCurrentFolder() const { return mCurrentFolder.CStr(); }
    const char* GetDisplayFolder() const { return mDisplayFolder.CStr(); }
    const char* GetInfoText1() const { return mInfoText1.CStr(); }
    const char* GetInfoText2() const { return mInfoText2.CStr(); }
    const char* GetCopyName() const { return mCopyName.CStr(); }
    const char* GetPreselectedPath() const { return mPreselectedPath.CStr(); }
    int32_t GetDepth() const { return mDepth; }
    int32_t GetRootDepth() const { return mRootDepth; }
    int32_t GetPendingAction() const { return mPendingAction; }
    uint32_t GetFlags() const { return mFlags; }
    bool IsInProject() const { return mInProject; }
    cWidgetButton* GetButton(int32_t id) const { return id >= 0 && id < kButtonCount ? mButtons[id] : nullptr; }
    cWidgetScrollBar* GetScrollBar() const { return mScrollBar; }
    const cRect& GetListRect() const { return mListRect; }
    cScrollHelper& GetScroller() { return mScroller; }
    // The status bar's title as the browser writes it each frame.
    void BuildTitle(cGenString& out) const;

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;

    void OnRowSelected(cScrollHelper* helper, int32_t row) override;

protected:
    ~cWidgetFileBrowser() override;

private:
    void MakeButtons();
    void NavigateTo(const cGenString& target, int32_t offset);
    void UpdateButtons();
    void DescribeSelection();
    void ScrollToSelection();
    void ListFolder(File::cFileSystem* files);
    void DrawRows(cDrawList& list, int32_t first, int32_t last, float position, const cFontHandle& name,
                  const cFontHandle& info);
    void DrawListFrame(cDrawList& list);
    void AddPackageRows(File::cFileSystem* files, const char* name, int32_t type);
    int32_t GetEntryFlags(const cGenString& entryPath, const char* name) const;
    bool SelectedRowHoldsProject() const;
    bool JoinCurrent(const char* name, cGenString& out) const;
    const cEntry* GetSelectedEntry() const;
    void StopAudition();
    void Audition(int32_t row);
    void Finish();
    void Complete(int32_t result);
    void RefuseName(const char* title);

    // The name prompts and their answers.
    void PromptSaveName(bool atOnce);
    void PromptNewFolder();
    void PromptRename(const char* name);
    void PromptCopyName();
    intptr_t OnNameEntered(int32_t result, const char* text);
    void OnSaveNameEntered(const char* text);
    void OnNewFolderEntered(const char* text);
    void OnRenameEntered(const char* text);

    // The alerts and their answers.
    void AskDelete();
    void AskRename();
    void DeleteSelected();
    intptr_t OnAlertButton(int32_t button, cWidget* alert);
    void ShowAlert(int32_t style, const char* title, const char* first, const char* second, bool answered);
    void ShowOpenFolder();

    // The pasteboard: the selected sample offered, or its page opened on the
    // current folder.
    void CopyToPasteboard();
    void PasteFromPasteboard();
    intptr_t OnPasteboardCopyDone(const void* result);
    intptr_t OnPasteDone(int32_t result, const char* fileName);

    // Copying into the project.
    void CheckCopyTarget();
    void StartCopyJob();
    intptr_t OnCopyJobDone(cJobCopySample* job, cWidgetProgress* overlay);

    intptr_t OnButtonClicked(int32_t value, cWidgetButton* button);
    intptr_t OnScrollBarMoved(float start, cWidgetScrollBar* bar);
    intptr_t OnBack();

    cFileBrowserHost* mHost;
    File::cFileSystem* mFiles = nullptr;
    cDelegate mCompletion;
    uint32_t mFlags = 0;
    cType mFileTypes[kFileTypeSlots];
    int32_t mFileTypeCount = 0;
    cType mPackageTypes[kPackageTypeSlots];
    int32_t mPackageTypeCount = 0;

    cGenStringFixed<kPathCapacity> mCurrentFolder;
    cGenStringFixed<kPathCapacity> mDisplayFolder;
    cGenStringFixed<kPathCapacity> mName;
    cGenStringFixed<kPathCapacity> mPreselectedPath;
    // The whole name: a cut one would lose its extension.
    cGenStringFixed<kPathCapacity> mCopyName;
    cGenStringFixed<64> mInfoText1;
    cGenStringFixed<64> mInfoText2;
    int32_t mDepth = 0;
    int32_t mRootDepth = 0;
    int32_t mFolderProtection = 0;
    int32_t mItemProtection = 0;
    int32_t mSelection = -1;
    int32_t mPendingAction = kActionNone;
    bool mInProject = false;
    bool mAutoPrompt = false;
    std::vector<cEntry> mEntries;

    cWidgetButton* mButtons[kButtonCount] = {};
    cWidgetScrollBar* mScrollBar = nullptr;
    cScrollHelper mScroller;
    cFontHandle mNameFont;
    cFontHandle mInfoFont;
    cRect mListRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mRowHeight = 0.0f;
    float mVisibleRows = 6.0f;
};
