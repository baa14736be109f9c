#include "app/SetupPanelMIDIMappingPage.h"

#include "audio/AudioEvent.h"
#include "audio/AudioLock.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/MIDIControllerMap.h"
#include "base/GenString.h"
#include "platform/DisplayMetrics.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/SetupPanel.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr float kRowHeight = 30.0f;
constexpr float kTabletRowHeight = 50.0f;
constexpr int32_t kMinimumRows = 4;
constexpr uint32_t kTeachStyle = 17;
constexpr float kGapMillimetres = 4.0f;
constexpr float kPackageIndent = 10.0f;
constexpr float kParameterIndent = 80.0f;
// The controller text starts this many text sizes left of the row's end.
constexpr float kControllerTextSizes = 11.0f;

cProject* CurrentProject()
{
    const cProjectList* projects = cProjectList::GetInstance();
    return projects ? projects->GetCurrentProject() : nullptr;
}

uint32_t CurrentEventCount()
{
    const cProject* project = CurrentProject();
    return project ? project->GetMIDIEventCounter() : 0;
}

cMappingRow* AsRow(cWidgetList::cItem* item) { return static_cast<cMappingRow*>(item); }

const cMIDIControllerMap* MapOf(const cMappingRow& row) { return row.package ? row.package->GetControllerMap() : nullptr; }

bool IsInsideMap(const cMappingRow& row)
{
    return MapOf(row) && row.parameterIndex >= 0 && row.parameterIndex < cMIDIControllerMap::kSlotCount;
}

void DrawRowText(cDrawList& list, const cFontHandle& font, const cRect& row, float left, const char* text)
{
    list.GetTextBatch().DrawTextInRect({left, row.yMin, row.xMax, row.yMax}, font, list.depth,
                                       cSetupPanelMIDIMappingPage::kTextColour, kTextAlignCentreY, text);
}
} // namespace

// ------------------------------------------------------------------- rows

int32_t cMappingRow::GetController() const
{
    return IsInsideMap(*this) ? MapOf(*this)->GetAssignment(parameterIndex) : cMIDIControllerMap::kUnassigned;
}

void cMappingRow::SetController(int32_t controller) const
{
    cMIDIControllerMap* map = package ? package->GetControllerMap() : nullptr;
    if (!map || map->GetAssignment(parameterIndex) == controller)
        return;
    cScopedAudioLock lock;
    map->SetAssignment(parameterIndex, controller);
}

void cMappingRow::GetControllerText(cGenString& out) const
{
    const int32_t controller = GetController();
    if (controller >= 0)
        out.Printf("MIDI Ctrl CC %d", controller);
    else
        out.AssignCStr("None");
}

// ------------------------------------------------------------ data source

cWidgetList::cItem* cSetupPanelMIDIMappingPage::cListDataSource::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetHead();
}

cWidgetList::cItem* cSetupPanelMIDIMappingPage::cListDataSource::GetLastChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetTail();
}

cWidgetList::cItem* cSetupPanelMIDIMappingPage::cListDataSource::GetNext(cWidgetList::cItem* item)
{
    return item ? AsRow(item)->next : nullptr;
}

void cSetupPanelMIDIMappingPage::cListDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list,
                                                          const cRect& row)
{
    const cMappingRow* mapping = AsRow(item);
    if (item->flags & cWidgetList::kItemSelected)
    {
        const cAtlasSprite* selection = &gTex8888AtlasTable[kSelectionSprite];
        list.DrawQuad(row, {selection->u0, selection->v0}, {selection->u1, selection->v1}, 0xffffffffu, 0);
    }
    DrawRowText(list, font, row, row.xMin + kPackageIndent, mapping->package ? mapping->package->GetName() : "");
    DrawRowText(list, font, row, row.xMin + kParameterIndent, mapping->parameterName);
    if (mapping->fixed)
        DrawRowText(list, font, row, (row.xMin + row.xMax) * 0.5f, "(Fixed)");
    cGenStringFixed<32> controller;
    mapping->GetControllerText(controller);
    DrawRowText(list, font, row, row.xMax - kControllerTextSizes * GetStandardTextSize(), controller.CStr());
}

// ------------------------------------------------------------------- page

cSetupPanelMIDIMappingPage::cSetupPanelMIDIMappingPage()
    : mList(CreateList("")), mControllerSpin(CreateSpinButton("")), mTeachButton(CreateButton("Teach", kButtonCycle, kTeachStyle))
{
    mDataSource.font.Select(GetStandardTextSize());
    mList->SetListener(this);
    mList->ModifyFlags(kWidgetStateDirty, 0, false);
    mList->SetRowHeight(gDisplayMetrics.deviceClass == kDeviceClassTablet ? kTabletRowHeight : kRowHeight, kMinimumRows);
    mList->SetDataSource(&mDataSource);
    mList->MarkForReload();
    AddChild(mList);

    mControllerSpin->minimum = cMIDIControllerMap::kUnassigned;
    mControllerSpin->maximum = cMIDIControllerMap::kControllerCount - 1;
    mControllerSpin->SetValue(mControllerSpin->GetValue());
    mControllerSpin->valueDelegate = cDelegate(this, &cSetupPanelMIDIMappingPage::OnSpinChanged);
    AddChild(mControllerSpin);

    mTeachButton->SetTag(0);
    mTeachButton->clickDelegate = cDelegate(this, &cSetupPanelMIDIMappingPage::OnTeachButton);
    AddChild(mTeachButton);
    BuildLayout();
}

cSetupPanelMIDIMappingPage::~cSetupPanelMIDIMappingPage()
{
    mList->SetDataSource(nullptr);
    mList->Release();
    mControllerSpin->Release();
    mTeachButton->Release();
}

void cSetupPanelMIDIMappingPage::BuildLayout()
{
    auto* bottom = new cLayoutLinear(kAxisX, 3);
    AddWidgetItem(bottom, mTeachButton, kPolicyFixed, kPolicyPref);
    AddGapItem(bottom, 0.2f);
    AddWidgetItem(bottom, mControllerSpin, kPolicyPref, kPolicyPref);
    auto* page = new cLayoutLinear(kAxisY, 3);
    AddWidgetItem(page, mList, kPolicyPref, kPolicyPref);
    AddGapItem(page, 0.2f, 0.0f, MillimetresToPixels(kGapMillimetres));
    AddLayoutItem(page, bottom, kPolicyPref, kPolicyFixed);
    SetLayout(page);
}

void cSetupPanelMIDIMappingPage::OnStateChange()
{
    mTeachButton->value = 0;
    mSeenEventCount = CurrentEventCount();
    if (mNeedsRebuild)
        BuildRows();
}

// Every controllable parameter of every package, in registration order.
void cSetupPanelMIDIMappingPage::BuildRows()
{
    mNeedsRebuild = false;
    mSelectedRow = nullptr;
    mDataSource.rows.Clear();
    const cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    for (cInstrumentPackage* package = packages ? packages->GetFirst() : nullptr; package; package = package->GetNext())
    {
        const cInstrumentPackage::cControllerAssignment* parameters = package->GetDefaultAssignments();
        for (int32_t i = 0; i < package->GetDefaultAssignmentCount(); ++i)
        {
            cMappingRow* row = mDataSource.rows.Append();
            row->package = package;
            row->parameterIndex = parameters[i].paramIndex;
            const char* name = package->GetControllerName(parameters[i].paramIndex);
            row->parameterName = name ? name : "";
            row->fixed = parameters[i].flag;
        }
    }
    cMappingRow* first = mDataSource.rows.GetHead();
    if (first)
        first->flags |= cWidgetList::kItemSelected;
    mList->MarkForReload();
    OnItemSelected(mList, first);
}

// A message that arrived before a selection is never learnt into it.
void cSetupPanelMIDIMappingPage::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    cMappingRow* row = AsRow(item);
    if (row != mSelectedRow)
    {
        mSelectedRow = row;
        mControllerSpin->SetValue(row ? row->GetController() : 0);
    }
    mSeenEventCount = CurrentEventCount();
}

void cSetupPanelMIDIMappingPage::OnSpinChanged(int32_t value, cWidgetSpinButton*)
{
    if (mSelectedRow)
        mSelectedRow->SetController(value);
}

// Only messages after the press are learnt.
void cSetupPanelMIDIMappingPage::OnTeachButton(int32_t, cWidgetButton* button)
{
    if (CurrentProject() && button->GetTag() == 0)
        mSeenEventCount = CurrentEventCount();
}

// The newest event of the frame decides: a controller followed by a note in
// the same frame is not learnt. The sink writes the event and its counter
// holding the audio manager's lock, so they are read under it too.
void cSetupPanelMIDIMappingPage::PollTeach()
{
    if (!mSelectedRow || mSelectedRow->fixed || mTeachButton->value == 0)
        return;
    cProject* project = CurrentProject();
    if (!project)
        return;
    uint32_t count;
    cAudioEvent event;
    {
        cScopedAudioLock lock;
        count = project->GetMIDIEventCounter();
        event = project->GetLastMIDIEvent();
    }
    if (count == mSeenEventCount)
        return;
    if (event.type == kAudioEventModuleParam)
    {
        mSelectedRow->SetController(int32_t(event.wordB));
        mControllerSpin->SetValue(mSelectedRow->GetController());
    }
    mSeenEventCount = count;
}

void cSetupPanelMIDIMappingPage::ShowSelectedController()
{
    cGenStringFixed<32> text;
    mSelectedRow->GetControllerText(text);
    mControllerSpin->SetText(text.CStr());
    mControllerSpin->SetEnabled(!mSelectedRow->fixed);
}

bool cSetupPanelMIDIMappingPage::Draw(cDrawList&)
{
    PollTeach();
    cSetupPanel::SetStatusTitle("MIDI Mappings");
    if (mSelectedRow)
        ShowSelectedController();
    return false;
}
