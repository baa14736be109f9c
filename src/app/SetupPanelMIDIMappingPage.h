#pragma once

#include <cstdint>

#include "ui/PooledRowList.h"
#include "render/FontHandle.h"
#include "ui/Widget.h"
#include "ui/WidgetList.h"

class cGenString;
class cInstrumentPackage;
class cWidgetButton;
class cWidgetSpinButton;

// One (package, parameter) pair of the mapping list and the controller its
// package's map gives the parameter.
struct cMappingRow : public cWidgetList::cItem
{
    // -1 when the parameter is outside the map (or there is no map).
    int32_t GetController() const;
    // Stores a changed controller and rebuilds the map's reverse lists under
    // the audio manager's lock: the project's MIDI sink routes controllers
    // through them on the audio thread.
    void SetController(int32_t controller) const;
    // "MIDI Ctrl CC %d", or "None".
    void GetControllerText(cGenString& out) const;
    void Release() {}

    cMappingRow* prev = nullptr;
    cMappingRow* next = nullptr;
    cInstrumentPackage* package = nullptr;
    const char* parameterName = ""; // the package's
    int32_t parameterIndex = 0;
    int32_t fixed = 0;
};

// The "Mappings" sub-page of the MIDI tab: which MIDI controller (CC 0..127)
// moves each controllable parameter of each instrument package. The selected
// row's controller is set with the spin button or learnt with "Teach" from
// the next controller message the current project receives. The rows are
// built at the first show and kept: every package registers at start-up.
// Main thread only.
class cSetupPanelMIDIMappingPage : public cWidget, public cWidgetList::cListener
{
public:
    static constexpr uint32_t kTextColour = 0xffdcdcdcu;
    static constexpr int32_t kSelectionSprite = 225;

    class cListDataSource : public cWidgetList::cDataSource
    {
    public:
        cListDataSource() : cDataSource(0) {}

        cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetLastChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;

        cPooledRowList<cMappingRow> rows;
        cFontHandle font;
    };

    cSetupPanelMIDIMappingPage();

    // Switches Teach off; builds the rows the first time.
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;

    cWidgetList* GetList() const { return mList; }
    cWidgetSpinButton* GetControllerSpin() const { return mControllerSpin; }
    cWidgetButton* GetTeachButton() const { return mTeachButton; }
    cMappingRow* GetSelectedRow() const { return mSelectedRow; }
    const cPooledRowList<cMappingRow>& GetRows() const { return mDataSource.rows; }

protected:
    ~cSetupPanelMIDIMappingPage() override;

private:
    void BuildLayout();
    void BuildRows();
    void OnSpinChanged(int32_t value, cWidgetSpinButton* spin);
    void OnTeachButton(int32_t lit, cWidgetButton* button);
    void PollTeach();
    void ShowSelectedController();

    cMappingRow* mSelectedRow = nullptr;
    cWidgetList* mList;
    cListDataSource mDataSource;
    cWidgetSpinButton* mControllerSpin;
    cWidgetButton* mTeachButton;
    bool mNeedsRebuild = true;
    uint32_t mSeenEventCount = 0;
};
