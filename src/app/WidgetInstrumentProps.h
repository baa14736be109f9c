#pragma once

#include <cstdint>

#include "ui/PooledRowList.h"
#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetList.h"

struct cAtlasSprite;
class cInstrument;
class cInstrumentPackage;
class cInstrumentTrackCommands;
class cWidgetButton;
class cWidgetKeyboard;
class cWidgetMainMenu;
class cWidgetSpinButton;

// One row of the type list: an instrument package, or none.
struct cInstrumentTypeRow : public cWidgetList::cItem
{
    void Release() {}

    cInstrumentTypeRow* prev = nullptr;
    cInstrumentTypeRow* next = nullptr;
    cInstrumentPackage* package = nullptr;
    const cAtlasSprite* icon = nullptr;
};

// The dialogue a long press on an instrument-grid cell opens: the type of
// instrument the slot holds (slot 0 only the mixing desk; the others "None"
// or any other package), its name through the on-screen keyboard, and the
// slot's MIDI input channel and transpose in the open project. Channel and
// transpose apply at once; type and name only with OK, the type through the
// song's undoable instrument commands. Owned by the main menu, which places
// it; shown on the root's modal layers. Main thread only.
class cWidgetInstrumentProps : public cWidgetDialogue, public cWidgetList::cListener
{
public:
    static constexpr int32_t kNameCapacity = 32;
    static constexpr float kDepth = 0.2f;
    static constexpr float kRowHeight = 50.0f;
    static constexpr float kNameIndent = 50.0f;

    enum : int32_t
    {
        kButtonOK = 0,
        kButtonRename = 1,
    };

    // The type entries, from a pool of rows; a checked entry (the current
    // type) carries the list's selected bit.
    class cInstrumentListDataSource : public cWidgetList::cDataSource
    {
    public:
        cInstrumentListDataSource() : cDataSource(0) {}

        cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetLastChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;

        cPooledRowList<cInstrumentTypeRow> rows;
        cFontHandle font;
    };

    // The commands may be null (no song editor), and then a type change is
    // not made. Renaming uses the main UI's keyboard.
    explicit cWidgetInstrumentProps(cWidgetMainMenu* menu);

    void SetTrackCommands(cInstrumentTrackCommands* commands) { mCommands = commands; }
    // Loads the slot and pushes the dialogue; the delegate runs with the slot
    // when it closes.
    void Show(int32_t slot, const cDelegate& afterClose);
    void SetSlot(int32_t slot);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void OnDismiss(int32_t fromCloseButton) override;
    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;

    void OnButton(int32_t value, cWidgetButton* button);
    void OnChannelChanged(int32_t value, cWidgetSpinButton* spin);
    void OnTransposeChanged(int32_t value, cWidgetSpinButton* spin);
    void OnRenamed(int32_t result, cWidgetKeyboard* keyboard);

    int32_t GetSlot() const { return mSlot; }
    const char* GetLoadedName() const { return mLoadedName.CStr(); }
    const char* GetNameText() const { return mName.CStr(); }
    cInstrumentPackage* GetSelectedPackage() const { return mSelectedPackage; }
    cWidgetList* GetTypeList() const { return mTypeList; }
    cWidgetButton* GetOKButton() const { return mOKButton; }
    cWidgetButton* GetRenameButton() const { return mRenameButton; }
    cWidgetSpinButton* GetChannelSpin() const { return mChannelSpin; }
    cWidgetSpinButton* GetTransposeSpin() const { return mTransposeSpin; }
    const cPooledRowList<cInstrumentTypeRow>& GetRows() const { return mDataSource.rows; }

protected:
    ~cWidgetInstrumentProps() override;

private:
    void BuildLayout();
    void UpdateTitle();
    void RebuildEntries();
    void AddEntry(cInstrumentPackage* package);
    void OnTypeSelected(cInstrumentTypeRow* row);
    void ApplyType();
    void StartRename();
    void HideForKeyboard(cWidget* widget);
    void Close();

    cInstrumentListDataSource mDataSource;
    cWidgetMainMenu* mMenu;
    cInstrumentTrackCommands* mCommands = nullptr;
    cInstrumentPackage* mSelectedPackage = nullptr;
    int32_t mSlot = 0;
    cInstrument* mInstrument = nullptr;
    cInstrumentPackage* mCurrentPackage = nullptr;
    cGenStringFixed<kNameCapacity + 1> mLoadedName;
    cGenStringFixed<kNameCapacity + 1> mName;
    cDelegate mAfterClose;
    cWidgetButton* mOKButton;
    cWidgetButton* mRenameButton;
    cWidgetSpinButton* mChannelSpin;
    cWidgetSpinButton* mTransposeSpin;
    cWidgetList* mTypeList;
};
