#include "editors/PatternToolsUI.h"

#include <algorithm>

#include "editors/QuantizeSettingsUI.h"
#include "platform/GlobalSettingValues.h"
#include "render/DrawList.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetSpinButton.h"
#include "ui/WidgetTabView.h"

namespace
{
constexpr uint32_t kActionButtonStyle = 37;
constexpr uint32_t kDescriptionColour = 0xff1e1e1e;
constexpr int32_t kLowestSource = 1;
constexpr int32_t kHighestSource = 99;
const char* const kPageNames[cPatternToolsUI::kPageCount] = {"Grid", "Copy", "Clean", "Preferences"};
const char* const kDescriptions[cPatternToolsPanelClean::kKindCount] = {
    "Remove events with the same note and start time.", "Remove unnecessary controller events.",
    "Remove all controller events from the pattern."};

cLayoutItem* Gap(int32_t axis, float stretch)
{
    auto* gap = new cLayoutItemSpacer(kPolicyPref, kPolicyPref, cLayoutValue(), cLayoutValue());
    AxisOf(gap->stretch, axis) = stretch;
    return gap;
}

cLayoutItem* Item(cWidget* widget, int32_t axis, float stretch)
{
    auto* item = new cLayoutItemWidget(widget, kPolicyPref, kPolicyPref);
    AxisOf(item->stretch, axis) = stretch;
    return item;
}

void SetMargins(cLayoutLinear* layout, float left, float top, float right, float bottom)
{
    layout->margins[0].value = left;
    layout->margins[1].value = top;
    layout->margins[2].value = right;
    layout->margins[3].value = bottom;
}

template <class T>
T* Adopt(cWidget* parent, T* child)
{
    parent->AddChild(child);
    child->Release();
    return child;
}
} // namespace

// --- The panels' shared layout ---

void cPatternToolsPanel::LayOutRow(cWidget* spin, float spinStretch, cWidget* button)
{
    auto* row = new cLayoutLinear(kAxisX, 3);
    row->AddItem(Item(spin, kAxisX, spinStretch));
    row->AddItem(Gap(kAxisX, 0.5f));
    row->AddItem(Item(button, kAxisX, 1.0f));
    auto* column = new cLayoutLinear(kAxisY, 3);
    SetMargins(column, 30.0f, 20.0f, 20.0f, 20.0f);
    column->AddItem(Gap(kAxisY, 1.0f));
    column->AddItem(row);
    column->AddItem(Gap(kAxisY, 1.0f));
    SetLayout(column);
}

void cPatternToolsPanel::DrawDescription(cDrawList& list, const char* text, const cWidget* spin)
{
    const cRect& panel = GetRect();
    const cRect& box = const_cast<cWidget*>(spin)->GetRect();
    list.DrawTextSized(box.xMin, (panel.yMin + box.yMin) * 0.5f, kDescriptionColour, 0x10, text,
                       GetTextSize(kTextSizeStandard));
}

// --- Grid ---

cPatternToolsPanelGrid::cPatternToolsPanelGrid(cPatternToolsUI* dialogue)
    : cPatternToolsPanel(dialogue),
      mSettings(Adopt(this, new cQuantizeSettingsUI(cQuantizeSettingsUI::kShowOff))),
      mSnap(Adopt(this, CreateToggleButton("Snap to Grid")))
{
    mSettings->SetName("Grid");
    mSettings->changeDelegate = cDelegate(this, &cPatternToolsPanelGrid::OnSettings);
    mSnap->clickDelegate = cDelegate(this, &cPatternToolsPanelGrid::OnSnap);
    auto* column = new cLayoutLinear(kAxisY, 3);
    SetMargins(column, 30.0f, 10.0f, 20.0f, 10.0f);
    column->AddItem(Gap(kAxisY, 0.1f));
    column->AddItem(Item(mSettings, kAxisY, 1.0f));
    column->AddItem(Item(mSnap, kAxisY, 0.1f));
    SetLayout(column);
}

void cPatternToolsPanelGrid::OnStateChange()
{
    mSettings->SetSettings(gGridQuantizeSettings);
    mSnap->value = gGridQuantizeSettings.on != 0 ? 1 : 0;
}

void cPatternToolsPanelGrid::OnSettings(const cQuantizeSettings* settings, cQuantizeSettingsUI*)
{
    requestDelegate.Invoke(settings, this);
}

// Snapping off keeps interval, feel and swing for when it comes back on.
void cPatternToolsPanelGrid::OnSnap(int32_t value, cWidgetButton*)
{
    mSettings->settings.on = value != 0 ? 1 : 0;
    requestDelegate.Invoke(&mSettings->settings, this);
}

// --- Copy ---

cPatternToolsPanelCopy::cPatternToolsPanelCopy(cPatternToolsUI* dialogue)
    : cPatternToolsPanel(dialogue), mSource(Adopt(this, CreateSpinButton("Copy all events from:"))),
      mCopy(Adopt(this, CreateButton("Copy", kButtonPush, kActionButtonStyle)))
{
    mSource->minimum = kLowestSource;
    mSource->maximum = kHighestSource;
    mSource->valueDelegate = cDelegate(this, &cPatternToolsPanelCopy::OnSource);
    mCopy->clickDelegate = cDelegate(this, &cPatternToolsPanelCopy::OnCopy);
    OnSource(kLowestSource, mSource);
    LayOutRow(mSource, 2.0f, mCopy);
}

void cPatternToolsPanelCopy::OnSource(int32_t value, cWidgetSpinButton*)
{
    const int32_t source = std::clamp(value, kLowestSource, kHighestSource);
    mSource->SetValue(source);
    cGenStringFixed<16> text;
    text.Printf("Pattern %02d", int(source));
    mSource->SetText(text.CStr());
}

bool cPatternToolsPanelCopy::Draw(cDrawList&)
{
    const int32_t source = mSource->GetValue();
    const cPatternTable* table = cPatternTable::GetInstance();
    const cPattern* pattern = table ? table->GetPattern(source) : nullptr;
    const int32_t events = pattern ? pattern->count : 0;
    if (source == mDialogue->GetDestination())
        mLabel.AssignCStr("Same as dest.");
    else if (events == 0)
        mLabel.AssignCStr("No events");
    else if (events == 1)
        mLabel.AssignCStr("Copy 1 event");
    else
        mLabel.Printf("Copy %d events", int(events));
    mCopy->SetName(mLabel.CStr());
    mCopy->SetEnabled(events > 0 && source != mDialogue->GetDestination());
    return false;
}

void cPatternToolsPanelCopy::OnCopy(int32_t, cWidgetButton* button) { requestDelegate.Invoke(mSource->GetValue(), button); }

// --- Clean ---

const char* const cPatternToolsPanelClean::kKindNames[kKindCount] = {"Identical Events", "Redundant Ctrl",
                                                                    "All Controller"};

cPatternToolsPanelClean::cPatternToolsPanelClean(cPatternToolsUI* dialogue)
    : cPatternToolsPanel(dialogue), mKind(Adopt(this, CreateSpinButton(""))),
      mClean(Adopt(this, CreateButton("Clean", kButtonPush, kActionButtonStyle)))
{
    mKind->minimum = 0;
    mKind->maximum = kKindCount - 1;
    mKind->SetLabelWidth(kKindNames, kKindCount);
    mKind->valueDelegate = cDelegate(this, &cPatternToolsPanelClean::OnKind);
    mClean->clickDelegate = cDelegate(this, &cPatternToolsPanelClean::OnClean);
    OnKind(0, mKind);
    LayOutRow(mKind, 2.0f, mClean);
}

void cPatternToolsPanelClean::OnStateChange() { OnKind(0, mKind); }

void cPatternToolsPanelClean::OnKind(int32_t value, cWidgetSpinButton*)
{
    const int32_t kind = std::clamp(value, 0, kKindCount - 1);
    mKind->SetValue(kind);
    mKind->SetText(kKindNames[kind]);
}

bool cPatternToolsPanelClean::Draw(cDrawList& list)
{
    DrawDescription(list, kDescriptions[mKind->GetValue()], mKind);
    return false;
}

void cPatternToolsPanelClean::OnClean(int32_t, cWidgetButton* button) { requestDelegate.Invoke(mKind->GetValue(), button); }

// --- Preferences ---

cPatternToolsPanelPreferences::cPatternToolsPanelPreferences(cPatternToolsUI* dialogue)
    : cPatternToolsPanel(dialogue), mVolume(Adopt(this, CreateSpinButton("Audition Volume"))),
      mAudition(Adopt(this, CreateButton("Audition Edits", kButtonCycle, kActionButtonStyle)))
{
    mVolume->minimum = 0;
    mVolume->maximum = 100;
    mVolume->valueDelegate = cDelegate(this, &cPatternToolsPanelPreferences::OnVolume);
    mAudition->SetTag(0);
    mAudition->clickDelegate = cDelegate(this, &cPatternToolsPanelPreferences::OnAudition);
    LayOutRow(mVolume, 1.0f, mAudition);
}

void cPatternToolsPanelPreferences::ShowVolume()
{
    mVolume->SetValue(gSettings.auditionNoteVol);
    cGenStringFixed<16> text;
    text.Printf("%d%%", int(gSettings.auditionNoteVol));
    mVolume->SetText(text.CStr());
}

void cPatternToolsPanelPreferences::OnStateChange()
{
    ShowVolume();
    mAudition->value = gSettings.auditionNote == 1 ? 1 : 0;
}

void cPatternToolsPanelPreferences::OnVolume(int32_t value, cWidgetSpinButton*)
{
    gSettings.auditionNoteVol = std::clamp(value, 0, 100);
    ShowVolume();
}

void cPatternToolsPanelPreferences::OnAudition(int32_t value, cWidgetButton* button)
{
    if (button->GetTag() == 0)
        gSettings.auditionNote = value != 0 ? 1 : 0;
}

bool cPatternToolsPanelPreferences::Draw(cDrawList& list)
{
    DrawDescription(list, "Listen to the results as you draw or edit notes.", mVolume);
    return false;
}

// --- The dialogue ---

cPatternToolsUI::cPatternToolsUI()
    : cWidgetTabbedProperties(kPageCount), mGrid(new cPatternToolsPanelGrid(this)),
      mCopy(new cPatternToolsPanelCopy(this)), mClean(new cPatternToolsPanelClean(this)),
      mPreferences(new cPatternToolsPanelPreferences(this))
{
    SetName("Pattern Tools");
    cWidget* pages[kPageCount] = {mGrid, mCopy, mClean, mPreferences};
    for (int32_t i = 0; i < kPageCount; ++i)
    {
        cWidgetButton* tab = CreateTabButton(true);
        GetTabView()->AddPage(i, kPageNames[i], pages[i], tab);
        tab->Release();
        pages[i]->Release();
    }
    GetTabView()->SelectPage(kPageGrid, true);
}

cPatternToolsUI::~cPatternToolsUI() = default;

void cPatternToolsUI::Show(int32_t destinationPattern)
{
    mDestination = destinationPattern;
    cWidgetTabbedProperties::Show(-1);
}

void cPatternToolsUI::OnStateChange()
{
    cWidgetTabbedProperties::OnStateChange();
    GetTabView()->SelectPage(kPageGrid, false);
    ModifyChildFlags(kWidgetStateDirty, 0);
    mGrid->ModifyFlags(kWidgetStateDirty, 0, false);
    mClean->ModifyFlags(kWidgetStateDirty, 0, false);
    mPreferences->ModifyFlags(kWidgetStateDirty, 0, false);
}
