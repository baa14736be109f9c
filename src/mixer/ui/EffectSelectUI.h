#pragma once

#include <cstdint>
#include <vector>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetList.h"

class cEffectPackage;
class cEffectRackNode;
class cEffectRackUI;
class cWidgetAlert;
class cWidgetButton;
struct cAtlasSprite;

// One row of the chooser: "None" (no package) or an effect unit.
struct cEffectListItem : cWidgetList::cItem
{
    cEffectListItem* next = nullptr;
    cEffectListItem* previous = nullptr;
    cEffectPackage* package = nullptr;
    const cAtlasSprite* icon = nullptr;
};

// The chooser's rows come from blocks of 16: a block that fills up moves to
// the end, one that gets a row back moves to the front, and an empty block
// is freed.
class cEffectListItemPool
{
public:
    static constexpr int32_t kBlockSize = 16;

    cEffectListItemPool() = default;
    ~cEffectListItemPool();
    cEffectListItemPool(const cEffectListItemPool&) = delete;
    cEffectListItemPool& operator=(const cEffectListItemPool&) = delete;

    cEffectListItem* Take();
    void Return(cEffectListItem* item);
    int32_t GetBlockCount() const { return int32_t(mBlocks.size()); }

private:
    struct cBlock
    {
        cEffectListItem items[kBlockSize];
        bool used[kBlockSize] = {};
        int32_t usedCount = 0;
    };

    std::vector<cBlock*> mBlocks;
};

// The modal dialogue that puts an effect into one slot of a rack, and loads,
// saves or clears the rack's whole chain as a file. Owned by the chain
// editor's node strip; the result goes to the request's delegate as (node,
// package) from "OK", or (null, null) when the dialogue closes otherwise.
// Main thread only.
class cEffectSelectUI : public cWidgetDialogue, public cWidgetList::cListener
{
public:
    static constexpr int32_t kPathCapacity = 260;
    static constexpr float kRowHeight = 50.0f;
    static constexpr float kMessageSeconds = 2.5f;

    enum eMode : int32_t
    {
        kModeIdle = 0,
        kModeLoad = 1,
        kModeSave = 2,
        kModeClear = 3,
    };

    enum eButton : int32_t
    {
        kButtonOK = 0,
        kButtonLoad = 1,
        kButtonSave = 2,
        kButtonClear = 3,
        kButtonCount = 4,
    };

    // The rows the list shows.
    class cEffectListDataSource : public cWidgetList::cDataSource
    {
    public:
        cEffectListDataSource();
        ~cEffectListDataSource() override;

        void Clear();
        void Append(cEffectPackage* package, const cAtlasSprite* icon, bool selected);
        int32_t GetCount() const { return mCount; }

        cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;

    private:
        cEffectListItemPool mPool;
        int32_t mCount = 0;
        cEffectListItem* mFirst = nullptr;
        cEffectListItem* mLast = nullptr;
        cFontHandle mFont;
    };

    cEffectSelectUI();

    void Show(cEffectRackUI* chainEditor, cEffectRackNode* node, const cDelegate& result);

    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;
    intptr_t OnButton(intptr_t value, cWidgetButton* button);
    intptr_t OnChainFileChosen(int32_t result, const char* path);
    intptr_t OnClearConfirmed(int32_t result, cWidgetAlert* alert);
    void OnDismiss(int32_t fromCloseButton) override;
    void OnLayout() override;

    int32_t GetMode() const { return mMode; }
    cEffectPackage* GetChosenPackage() const { return mChosen; }
    const char* GetLastChainPath() const { return mLastChainPath.CStr(); }
    cWidgetList* GetList() const { return mList; }
    cWidgetButton* GetButton(int32_t index) const { return mButtons[index]; }
    const cEffectListDataSource& GetItems() const { return mItems; }

protected:
    ~cEffectSelectUI() override;

private:
    void BuildLayout();
    void OpenChainBrowser(bool save);
    void AskToClear();
    // False, with the rack or the previous file as they were, on failure.
    bool LoadChain(const char* path);
    bool SaveChain(const char* path);
    void ShowFailure(const char* title, const char* format, const char* path);
    // Calls the delegate with (null, null) and leaves the screen.
    void Finish();
    void Close();

    cGenStringFixed<kPathCapacity> mLastChainPath;
    cEffectListDataSource mItems;
    int32_t mMode = kModeIdle;
    cWidgetButton* mButtons[kButtonCount] = {};
    cWidgetList* mList = nullptr;
    cEffectPackage* mChosen = nullptr;
    cEffectRackUI* mChainEditor = nullptr;
    cEffectRackNode* mNode = nullptr;
    cDelegate mResult;
};
