#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "project/Pasteboard.h"
#include "render/FontHandle.h"
#include "ui/PooledRowList.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetList.h"

class cFileBrowserHost;
class cWidgetButton;

// The dialogue that lists the audio pasteboard's clips ("Files", several may
// be chosen) and the applications that share them ("Apps"), asks before it
// pastes the chosen clips into a folder of "Doc", and reports the outcome.
// The file browser's paste action opens it; no button of this program carries
// that action. Every way out stops the audition player. Main thread only.
class cWidgetPasteboard : public cWidgetDialogue, public cWidgetList::cListener
{
public:
    static constexpr int32_t kPathCapacity = 260;

    enum : int32_t
    {
        kTabFiles = 0,
        kTabApps = 1,
    };

    enum : int32_t
    {
        kButtonPaste = 0,
        kButtonFiles = 1,
        kButtonApps = 2,
        kButtonClear = 3,
        kButtonAudition = 4,
        kButtonCount = 5,
    };

    // A compatible application's flags.
    enum : uint32_t
    {
        kAppInstalled = 0x1,
        kAppMarkerA = 0x2,
        kAppMarkerB = 0x4,
    };

    struct cApp
    {
        uint32_t flags = 0;
        cGenString name;
        const cAtlasSprite* icon = nullptr;
    };

    // One row; the record it shows is the model's entry or an application.
    struct cRow : public cWidgetList::cItem
    {
        void Release() { flags = 0; }

        cRow* prev = nullptr;
        cRow* next = nullptr;
        const cPasteboard::cEntry* entry = nullptr;
        const cApp* app = nullptr;
    };

    class cRowSource : public cWidgetList::cDataSource
    {
    public:
        explicit cRowSource(int32_t flags) : cDataSource(flags) {}

        cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetLastChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;

        cPooledRowList<cRow> rows;
        cFontHandle nameFont;
        cFontHandle infoFont;
    };

    class cFileListDataSource : public cRowSource
    {
    public:
        cFileListDataSource() : cRowSource(kMultipleSelection) {}
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;
    };

    class cCompatibleAppDataSource : public cRowSource
    {
    public:
        cCompatibleAppDataSource() : cRowSource(0) {}
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;
    };

    explicit cWidgetPasteboard(cFileBrowserHost* host);

    void SetTargetFolder(const char* path);
    // The completion is called with (0, "") when the page is dismissed and
    // with (1, const char* file name) after a paste that pasted files.
    void Show(const cDelegate& completion);
    void SelectTab(int32_t tab, bool force);
    void OnButton(int32_t id);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void OnDismiss(int32_t fromCloseButton) override;
    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;

    int32_t GetTab() const { return mTab; }
    const char* GetTargetFolder() const { return mTargetFolder.CStr(); }
    cWidgetButton* GetButton(int32_t id) const { return id >= 0 && id < kButtonCount ? mButtons[id] : nullptr; }
    cWidgetList* GetList() const { return mList; }
    const cPooledRowList<cRow>& GetFileRows() const { return mFiles.rows; }

protected:
    ~cWidgetPasteboard() override;

private:
    void MakeButtons();
    void UpdateButtons();
    void AskToPaste();
    intptr_t OnConfirmPaste(int32_t button, cWidget* alert);
    intptr_t OnPasteDone(const cPasteboard::cPasteResult* result);
    intptr_t OnButtonClicked(int32_t value, cWidgetButton* button);
    void ShowAlert(int32_t style, const char* title, const char* first, const char* second, const cDelegate& answer);
    void Leave();
    int32_t CountSelectedFiles() const;

    cFileBrowserHost* mHost;
    cDelegate mCompletion;
    cGenStringFixed<kPathCapacity> mTargetFolder;
    cGenStringFixed<64> mTitle;
    cWidgetButton* mButtons[kButtonCount] = {};
    cWidgetList* mList;
    cFileListDataSource mFiles;
    cCompatibleAppDataSource mApps;
    cRow* mSelectedFile = nullptr;
    cRow* mSelectedApp = nullptr;
    int32_t mTab = kTabFiles;
};
