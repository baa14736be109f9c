#pragma once

#include <cstdint>

#include "ui/PooledRowList.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "ui/Widget.h"
#include "ui/WidgetList.h"

class cMIDIManager;
class cMIDIPortSettings;
class cWidgetMultiButton;

// One row of the port list. It names its port and looks it up each time it
// is needed, so a row never outlives the port it shows.
struct cPortRow : public cWidgetList::cItem
{
    // Lets the name go as the row returns to its pool.
    void Release() { name.Free(); }

    cPortRow* prev = nullptr;
    cPortRow* next = nullptr;
    cGenString name;
};

// The ENABLE button's rect (offset 0) in a row, or the OMNI button's just to
// its left (offset 1), the two sharing one pixel column.
cRect GetPortRowButtonRect(const cRect& row, int32_t offset);

// The "Inputs" sub-page of the MIDI tab: every MIDI port the manager knows,
// outputs first, then the ports present, then those only the settings
// remember (dimmed), each with its OMNI and ENABLE switches; under them the
// 16-channel grid of the selected port with a light per channel showing its
// activity. The rows are rebuilt on every show and after every scan that
// changed the ports; the selection follows the port's name. It edits the
// manager's port records directly. Main thread only.
class cSetupPanelMIDIDevicePage : public cWidget, public cWidgetList::cListener
{
public:
    static constexpr uint32_t kActivityColour = 0x2c7ae6u;
    static constexpr uint32_t kLightFrameColour = 0xff202020u;
    static constexpr uint32_t kTextColour = 0xdcdcdcu;
    static constexpr int32_t kOmniOnSprite = 182;
    static constexpr int32_t kOmniOffSprite = 181;
    static constexpr int32_t kSelectionSprite = 225;

    class cListDataSource : public cWidgetList::cDataSource
    {
    public:
        cListDataSource() : cDataSource(0) {}

        cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetLastChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;

        cPooledRowList<cPortRow> rows;
        cFontHandle font;
    };

    cSetupPanelMIDIDevicePage();

    // Rebuilds the rows.
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    bool OnItemTapped(cWidgetList* list, cWidgetList::cItem* item, const cRect& row, const cVector2& point) override;
    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;

    cWidgetList* GetList() const { return mList; }
    cWidgetMultiButton* GetChannelGrid() const { return mChannelGrid; }
    cPortRow* GetSelectedRow() const { return mSelectedRow; }
    const cPooledRowList<cPortRow>& GetRows() const { return mDataSource.rows; }

protected:
    ~cSetupPanelMIDIDevicePage() override;

private:
    void BuildLayout();
    void OnPortsChanged(cMIDIManager* manager);
    void OnChannelCell(int32_t index, cWidgetMultiButton* grid);
    void ShowChannelMask(uint32_t mask);
    void AppendPorts(bool outputs, bool present);
    void DrawActivityLights(cDrawList& list);
    cMIDIPortSettings* SelectedPort() const;

    cPortRow* mSelectedRow = nullptr;
    cWidgetList* mList;
    cListDataSource mDataSource;
    cWidgetMultiButton* mChannelGrid;
};
