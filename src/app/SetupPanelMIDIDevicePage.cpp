#include "app/SetupPanelMIDIDevicePage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/SetupPanel.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetMultiButton.h"

namespace
{
constexpr int32_t kColumns = 8;
constexpr int32_t kRows = 2;
// Toggle cells tracked to the release, deselectable, dimmed while disabled,
// as high as the lit cell sprite; small square cells stretched across.
constexpr uint32_t kGridFlags = 0x2d01;
constexpr uint32_t kGridStyle = 37;
constexpr const char* kGridTitle = "Channel Enable";
constexpr const char* kNotSelected = "<NotSelected>";
constexpr const char* kNoPorts = "No MIDI input devices found";
constexpr float kRowHeight = 30.0f;
constexpr float kTabletRowHeight = 50.0f;
constexpr int32_t kMinimumRows = 3;
constexpr float kGapMillimetres[2] = {2.0f, 4.0f};
constexpr float kPresentAlpha = 255.0f;
constexpr float kAbsentAlpha = 100.0f;
constexpr float kNameIndent = 10.0f;
constexpr uint32_t kCentred = kTextAlignCentreX | kTextAlignCentreY;
constexpr uint32_t kLeftCentredShortened = kTextShortenMiddle | kTextAlignCentreY;
// A light shows a channel busier than this.
constexpr float kActivityThreshold = 0.1f;
constexpr float kLightInset = 2.0f;
constexpr float kLightSize = 7.0f;

const cAtlasSprite* Sprite(int32_t index) { return &gTex8888AtlasTable[index]; }

cMIDIPortSettings* FindPort(const cGenString& name)
{
    cMIDIManager* midi = cMIDIManager::GetInstance();
    return midi ? midi->FindPortByName(name.CStr()) : nullptr;
}

cPortRow* AsRow(cWidgetList::cItem* item) { return static_cast<cPortRow*>(item); }

bool Inside(const cRect& rect, const cVector2& point)
{
    return point.X >= rect.xMin && point.X <= rect.xMax && point.Y >= rect.yMin && point.Y <= rect.yMax;
}

void DrawRowButton(cDrawList& list, const cFontHandle& font, const cRect& rect, bool on, const char* label,
                   uint32_t imageColour, uint32_t textColour)
{
    const int32_t sprite = on ? cSetupPanelMIDIDevicePage::kOmniOnSprite : cSetupPanelMIDIDevicePage::kOmniOffSprite;
    list.DrawNinePatch(rect, Sprite(sprite), nullptr, imageColour, true);
    list.GetTextBatch().DrawTextInRect(rect, font, list.depth, textColour, kCentred, label);
}
} // namespace

cRect GetPortRowButtonRect(const cRect& row, int32_t offset)
{
    const float rowHeight = row.yMax - row.yMin;
    const float width = std::min(0.2f * (row.xMax - row.xMin), 60.0f);
    const float height = std::min(0.8f * rowHeight, 40.0f);
    const float x0 = std::floor(row.xMax - rowHeight * 0.5f - 15.0f - width * 0.5f + 0.5f);
    const float y0 = std::floor((row.yMin + row.yMax) * 0.5f + 0.5f - height * 0.5f + 0.5f);
    const float x1 = std::floor(x0 + width + 0.5f);
    const float y1 = std::floor(y0 + height + 0.5f);
    const float shift = float(offset) * (width - 1.0f);
    return {x0 - shift, y0, x1 - shift, y1};
}

// ------------------------------------------------------------ data source

cWidgetList::cItem* cSetupPanelMIDIDevicePage::cListDataSource::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetHead();
}

cWidgetList::cItem* cSetupPanelMIDIDevicePage::cListDataSource::GetLastChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetTail();
}

cWidgetList::cItem* cSetupPanelMIDIDevicePage::cListDataSource::GetNext(cWidgetList::cItem* item)
{
    return item ? AsRow(item)->next : nullptr;
}

// A port the last scan did not see is dimmed; a port gone from the manager
// shows only its name.
void cSetupPanelMIDIDevicePage::cListDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row)
{
    const cPortRow* portRow = AsRow(item);
    const cMIDIPortSettings* port = FindPort(portRow->name);
    const uint32_t alpha = uint32_t(port && port->IsPresent() ? kPresentAlpha : kAbsentAlpha);
    const uint32_t imageColour = (alpha << 24) | 0xffffffu;
    const uint32_t textColour = (alpha << 24) | kTextColour;
    if (item->flags & cWidgetList::kItemSelected)
    {
        const cAtlasSprite* selection = Sprite(kSelectionSprite);
        list.DrawQuad(row, {selection->u0, selection->v0}, {selection->u1, selection->v1}, imageColour, 0);
    }
    if (port)
    {
        DrawRowButton(list, font, GetPortRowButtonRect(row, 1), port->IsOmni(), "OMNI", imageColour, textColour);
        DrawRowButton(list, font, GetPortRowButtonRect(row, 0), (port->GetEnableFlags() & cMIDIPortSettings::kEnableBit) != 0,
                      "ENABLE", imageColour, textColour);
    }
    list.GetTextBatch().DrawTextInRect({row.xMin + kNameIndent, row.yMin, row.xMax, row.yMax}, font, list.depth,
                                       textColour, kLeftCentredShortened, portRow->name.CStr());
}

// ------------------------------------------------------------------- page

cSetupPanelMIDIDevicePage::cSetupPanelMIDIDevicePage()
    : mList(CreateList("")), mChannelGrid(CreateMultiButton("", kColumns, kRows, kGridFlags, kGridStyle))
{
    mDataSource.font.Select(GetStandardTextSize());
    mList->SetListener(this);
    mList->ModifyFlags(kWidgetStateDirty, 0, false);
    mList->SetRowHeight(gDisplayMetrics.deviceClass == kDeviceClassTablet ? kTabletRowHeight : kRowHeight, kMinimumRows);
    mList->SetDataSource(&mDataSource);
    mList->MarkForReload();
    AddChild(mList);

    mChannelGrid->SetName(kGridTitle);
    mChannelGrid->selectionDelegate = cDelegate(this, &cSetupPanelMIDIDevicePage::OnChannelCell);
    AddChild(mChannelGrid);
    for (int32_t channel = 0; channel < kColumns * kRows; ++channel)
    {
        cGenStringFixed<4> label;
        label.Printf("%d", channel + 1);
        mChannelGrid->items[size_t(channel)].text.Assign(label);
    }

    BuildLayout();
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->AddChangeListener(cDelegate(this, &cSetupPanelMIDIDevicePage::OnPortsChanged));
}

cSetupPanelMIDIDevicePage::~cSetupPanelMIDIDevicePage()
{
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->RemoveChangeListener(cDelegate(this, &cSetupPanelMIDIDevicePage::OnPortsChanged));
    mList->SetDataSource(nullptr);
    mList->Release();
    mChannelGrid->Release();
}

void cSetupPanelMIDIDevicePage::BuildLayout()
{
    auto* column = new cLayoutLinear(kAxisY, 3);
    AddWidgetItem(column, mList, kPolicyPref, kPolicyPref);
    AddGapItem(column, 0.5f, MillimetresToPixels(kGapMillimetres[0]), MillimetresToPixels(kGapMillimetres[1]));
    AddWidgetItem(column, mChannelGrid, kPolicyExpand, kPolicyFixed);
    SetLayout(column);
}

// The rows are rebuilt at the next frame the page is drawn.
void cSetupPanelMIDIDevicePage::OnPortsChanged(cMIDIManager*) { ModifyFlags(kWidgetStateDirty, 0, false); }

void cSetupPanelMIDIDevicePage::AppendPorts(bool outputs, bool present)
{
    const cMIDIManager* midi = cMIDIManager::GetInstance();
    for (int32_t i = 0; midi && i < midi->GetPortCount(); ++i)
    {
        const cMIDIPortSettings* port = midi->GetPort(i);
        if (port->IsOutput() != outputs || (!outputs && port->IsPresent() != present))
            continue;
        mDataSource.rows.Append()->name.Assign(port->GetName());
    }
}

// Outputs, then the ports present, then those only the settings know; the
// selection stays on the port of the same name.
void cSetupPanelMIDIDevicePage::OnStateChange()
{
    cGenString remembered(mSelectedRow ? mSelectedRow->name : cGenString(kNotSelected));
    mSelectedRow = nullptr;
    mDataSource.rows.Clear();
    AppendPorts(true, false);
    AppendPorts(false, true);
    AppendPorts(false, false);
    cPortRow* selected = mDataSource.rows.GetHead();
    for (cPortRow* row = selected; row; row = row->next)
        if (std::strcmp(row->name.CStr(), remembered.CStr()) == 0)
        {
            selected = row;
            break;
        }
    if (selected)
        selected->flags |= cWidgetList::kItemSelected;
    mList->MarkForReload();
    OnItemSelected(mList, selected);
}

void cSetupPanelMIDIDevicePage::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    cPortRow* row = AsRow(item);
    if (row == mSelectedRow)
        return;
    mSelectedRow = row;
    if (!row)
    {
        mChannelGrid->SetEnabled(false);
        mChannelGrid->SetName(kGridTitle);
        return;
    }
    mChannelGrid->SetName(row->name.CStr());
    const cMIDIPortSettings* port = FindPort(row->name);
    mChannelGrid->SetEnabled(port && port->IsPresent());
    ShowChannelMask(port ? port->GetChannels() : 0);
}

cMIDIPortSettings* cSetupPanelMIDIDevicePage::SelectedPort() const
{
    return mSelectedRow ? FindPort(mSelectedRow->name) : nullptr;
}

void cSetupPanelMIDIDevicePage::ShowChannelMask(uint32_t mask)
{
    for (size_t cell = 0; cell < mChannelGrid->items.size(); ++cell)
        mChannelGrid->items[cell].on = (mask >> cell) & 1u;
}

// The grid toggles its own cell; the port's mask decides what stays lit, so
// a press with no port behind the grid leaves nothing lit.
void cSetupPanelMIDIDevicePage::OnChannelCell(int32_t index, cWidgetMultiButton*)
{
    cMIDIPortSettings* port = SelectedPort();
    if (!port || index < 0)
    {
        ShowChannelMask(0);
        return;
    }
    port->SetChannels(port->GetChannels() ^ (1u << (index % 32)));
    ShowChannelMask(port->GetChannels());
}

// ENABLE wins the pixel column it shares with OMNI. A row whose port has
// gone takes the touch and changes nothing.
bool cSetupPanelMIDIDevicePage::OnItemTapped(cWidgetList*, cWidgetList::cItem* item, const cRect& row,
                                            const cVector2& point)
{
    if (!item)
        return false;
    cMIDIPortSettings* port = FindPort(AsRow(item)->name);
    if (!port)
        return true;
    if (Inside(GetPortRowButtonRect(row, 0), point))
        port->SetEnableFlags(port->GetEnableFlags() ^ cMIDIPortSettings::kEnableBit);
    else if (Inside(GetPortRowButtonRect(row, 1), point))
        port->SetOmni(!port->IsOmni());
    return true;
}

bool cSetupPanelMIDIDevicePage::Draw(cDrawList& list)
{
    cSetupPanel::SetStatusTitle("MIDI Devices");
    DrawChildren(list);
    DrawActivityLights(list);
    // An empty list would read as a broken page.
    if (mDataSource.rows.GetCount() == 0)
        list.GetTextBatch().DrawTextInRect(mList->GetRect(), mDataSource.font, list.depth, 0xff000000u | kTextColour,
                                           kCentred, kNoPorts);
    return true;
}

void cSetupPanelMIDIDevicePage::DrawActivityLights(cDrawList& list)
{
    const cRect& grid = mChannelGrid->GetRect();
    const float cellWidth = (grid.xMax - grid.xMin) / float(kColumns);
    const float cellHeight = (grid.yMax - grid.yMin) / float(kRows);
    const cMIDIPortSettings* port = SelectedPort();
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c)
        {
            const float x = grid.xMin + kLightInset + float(c) * cellWidth;
            const float y = grid.yMin + kLightInset + float(r) * cellHeight;
            const cRect light = {std::floor(x + 0.5f), std::floor(y + 0.5f), std::floor(x + kLightSize + 0.5f),
                                 std::floor(y + kLightSize + 0.5f)};
            list.FillRect(light, kLightFrameColour);
            const float level = port ? port->GetActivity(r * kColumns + c) : 0.0f;
            if (level > kActivityThreshold)
                list.FillRect({light.xMin + 1.0f, light.yMin + 1.0f, light.xMax - 1.0f, light.yMax - 1.0f},
                              (uint32_t(level * 255.0f) << 24) | kActivityColour);
        }
}
