#include <algorithm>

#include "audio/Transport.h"
#include "base/Delegate.h"
#include "editors/EditorHost.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/PatternEditAction.h"
#include "editors/PianoRoll.h"
#include "editors/PatternToolsUI.h"
#include "editors/PianoRollOwner.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"

namespace
{
constexpr float kZoomMargin = 0.05f;

void ShowStatus(const char* text) { GetEditorHost().ShowStatusMessage(text, cEditorHost::kMessageSeconds); }

int32_t CountControllers(const cPattern* pattern)
{
    int32_t count = 0;
    for (const cPatternEvent* event = pattern ? pattern->head : nullptr; event; event = event->next)
        count += event->IsController() ? 1 : 0;
    return count;
}
} // namespace

void cPianoRoll::ShowCount(int32_t count, const char* verb)
{
    cGenStringFixed<96> text;
    text.Printf(count == 1 ? "%d event %s" : "%d events %s", int(count), verb);
    ShowStatus(text.CStr());
}

void cPianoRoll::CloseMenus(const cWidget* except)
{
    for (int32_t tool : {kToolHistory, kToolZoom, kToolSelect})
        if (GetMenu(tool) != except && GetMenu(tool)->IsMenuOpen())
            GetMenu(tool)->CancelInput();
    if (except != mQuantize && mQuantize->IsShown())
        mQuantize->Hide();
    if (except != mChooser && mChooser->IsOpen())
        mChooser->Close();
}

void cPianoRoll::AfterEdit()
{
    RefreshButtons();
    UpdateScrollBars();
    UpdateHandles();
}

void cPianoRoll::AfterCommand()
{
    mFlingTicks = mFlingValues = 0.0f;
    AfterEdit();
    if (mState != kDrawing && mState != kSelectTap && (mState < kNoteShift || mState > kControllerShift))
        StopAudition();
}

void cPianoRoll::RefreshButtons()
{
    const bool selected = mModel.GetSelectionCount() > 0;
    mTools[kToolDelete]->SetEnabled(selected);
    mTools[kToolCopy]->SetEnabled(selected);
    mTools[kToolQuantize]->SetEnabled(selected);
    mTools[kToolQuantize]->value = mQuantize->IsShown() ? 1 : 0;
    mTools[kToolTools]->value = mPatternTools->IsVisible() ? 1 : 0;
}

intptr_t cPianoRoll::OnTool(intptr_t, cWidgetButton* button)
{
    const int32_t tool = button->GetTag();
    CloseMenus(tool == kToolQuantize ? mQuantize : nullptr);
    mFlingTicks = mFlingValues = 0.0f;
    switch (tool)
    {
    case kToolDraw:
        if (!IsDrawToolOn())
            StopAudition();
        break;
    case kToolDelete: Delete(); break;
    case kToolCopy: Copy(); break;
    case kToolQuantize: ToggleQuantize(); break;
    case kToolDone: Done(); return 0;
    case kToolTools: mPatternTools->Show(GetPart() ? GetPart()->patternNumber : -1); break;
    default: break;
    }
    AfterCommand();
    return 0;
}

intptr_t cPianoRoll::OnSideButton(intptr_t, cWidgetButton* button)
{
    CloseMenus(nullptr);
    mFlingTicks = mFlingValues = 0.0f;
    const int32_t tag = button->GetTag();
    if (tag >= 0)
    {
        const bool vertical = tag >= 2;
        const bool in = (tag & 1) == 0;
        const float factor = in ? 0.5f : 2.0f;
        const bool selected = mModel.GetSelectionCount() > 0;
        const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
        float earliest = 0.0f, latest = 0.0f, lowest = 0.0f, highest = 0.0f;
        mModel.GetVisibleBounds(&earliest, &latest, &lowest, &highest);
        const bool shown = latest > earliest || highest > lowest;
        if (!vertical)
        {
            float centre = mTarget.firstTick + mTarget.tickSpan * 0.5f;
            const cPatternInstance* part = GetPart();
            const float position = part ? float(gTransport.position.load() - part->start) : -1.0f;
            if (selected)
                centre = (b.earliestStart + b.latestEnd) * 0.5f;
            else if (position >= mTarget.firstTick && position <= mTarget.firstTick + mTarget.tickSpan)
                centre = position;
            else if (!shown || mTarget.firstTick + mTarget.tickSpan > latest)
                centre = shown ? earliest : 0.0f;
            ZoomTicksAround(centre, factor);
        }
        else
        {
            float centre = mTarget.lowestValue + mTarget.valueSpan * 0.5f;
            if (selected)
                centre = (b.lowestBottom + b.highestTop) * 0.5f;
            else if (shown)
                centre = (lowest + highest) * 0.5f;
            ZoomValuesAround(centre, factor);
        }
    }
    AfterCommand();
    return 0;
}

void cPianoRoll::OnLaneChoice(const void* cell, cEventTypeSelectUI*)
{
    if (!cell)
    {
        // The grid opened: nothing else may stay open over it.
        CloseMenus(mChooser);
        mFlingTicks = mFlingValues = 0.0f;
        StopAudition();
        return;
    }
    SwitchLane(static_cast<const cEventTypeSelectUI::cCell*>(cell)->key);
    AfterCommand();
}

// --- Delete and copy ---

void cPianoRoll::Delete()
{
    const int32_t selected = mModel.GetSelectionCount();
    if (selected == 0)
        return;
    const cPattern* pattern = mModel.GetPattern();
    const int32_t controllers = CountControllers(pattern);
    const int32_t notes = pattern ? pattern->count - controllers : 0;
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (alert && mModel.GetLane() != cPatternEditModel::kLaneController && selected >= notes && controllers > 0)
    {
        alert->Reset(0);
        alert->SetName("Delete All Notes");
        alert->firstLine.Printf("This pattern contains %d control events.", int(controllers));
        alert->secondLine.AssignCStr("Would you like to delete those too?");
        alert->SetButton(kAlertNo, "No");
        alert->SetButton(kAlertCancel, "Cancel");
        alert->SetButton(kAlertOK, "OK");
        alert->Show(cDelegate(this, &cPianoRoll::OnDeleteAnswer));
        return;
    }
    ShowCount(mModel.DeleteSelected(), "deleted");
}

intptr_t cPianoRoll::OnDeleteAnswer(intptr_t button, void*)
{
    if (button == kAlertNo)
        ShowCount(mModel.DeleteSelected(), "deleted");
    else if (button == kAlertOK)
        ShowCount(mModel.DeleteAll(), "deleted");
    AfterCommand();
    return 0;
}

void cPianoRoll::Copy()
{
    const int32_t copied = mModel.CopySelection(gGridQuantizeGrid);
    if (copied == 0)
        return;
    ShowCount(copied, "copied");
    const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
    const float centre = (b.earliestStart + b.latestEnd) * 0.5f;
    if (centre < mTarget.firstTick || centre > mTarget.firstTick + mTarget.tickSpan)
        ZoomToTicks(centre - mTarget.tickSpan * 0.5f, mTarget.tickSpan, 0.0f, true);
}

// --- Quantize ---

void cPianoRoll::ToggleQuantize()
{
    if (mQuantize->IsShown())
    {
        mQuantize->Hide();
        return;
    }
    const int32_t selected = mModel.GetSelectionCount();
    cGenStringFixed<48> title;
    title.Printf(selected == 1 ? "Quantize %d Event" : "Quantize %d Events", int(selected));
    mQuantize->SetName(title.CStr());
    cQuantizeSettings shown = gGridQuantizeSettings;
    shown.on = 1;
    if (shown.interval == cQuantizeSettings::kIntervalOff)
        shown.interval = cQuantizeSettings::kInterval16th;
    mQuantize->GetSettingsUI()->SetSettings(shown);
    mQuantize->Show();
}

void cPianoRoll::OnQuantizeChosen(const cQuantizeSettings* settings, void*)
{
    QuantizeSelection(*settings);
}

void cPianoRoll::QuantizeSelection(const cQuantizeSettings& settings)
{
    mQuantize->Hide();
    if (settings.on == 0 || mModel.GetSelectionCount() == 0)
    {
        AfterCommand();
        return;
    }
    cQuantizeGrid grid;
    grid.Apply(settings);
    const int32_t count = mModel.Quantize(settings.on, grid.interval, grid.swingOffset);
    cGenStringFixed<48> gridText;
    QuantizeSettingsToText(gridText, settings, true);
    cGenStringFixed<64> verb;
    verb.Printf("quantized to %s", gridText.CStr());
    ShowCount(count, verb.CStr());
    AfterCommand();
}

// --- Done ---

void cPianoRoll::Done()
{
    if (mModel.GetLane() != cPatternEditModel::kLaneNotes)
    {
        SwitchLane(kLaneKeyNotes);
        AfterCommand();
        return;
    }
    StopAudition();
    if (mOwner)
        mOwner->ShowSongView();
}

// --- The pattern tools' requests ---

void cPianoRoll::OnGridRequest(const cQuantizeSettings* settings, cPatternToolsPanel*) { SetGrid(*settings); }

void cPianoRoll::OnCopyRequest(int32_t patternNumber, cWidgetButton*)
{
    mPatternTools->Close();
    CopyFromPattern(patternNumber);
}

void cPianoRoll::OnCleanRequest(int32_t kind, cWidgetButton*)
{
    mPatternTools->Close();
    CleanPattern(kind);
}

void cPianoRoll::OnPatternToolsClosed(int32_t, cWidgetTabbedProperties*)
{
    ModifyFlags(kWidgetStateDirty, 0, false);
    AfterCommand();
}

void cPianoRoll::SetGrid(const cQuantizeSettings& settings)
{
    SetGridQuantizeSettings(settings);
}

void cPianoRoll::CopyFromPattern(int32_t patternNumber)
{
    ShowCount(mModel.CopyPattern(patternNumber), "copied");
    AfterCommand();
}

void cPianoRoll::CleanPattern(int32_t kind)
{
    static const char* const kNames[] = {"Identical Events", "Redundant Ctrl", "All Controller"};
    const int32_t removed = mModel.Clean(kind);
    ShowCount(removed, "cleaned");
    AfterCommand();
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(0);
    cGenStringFixed<48> title;
    title.Printf("Clean %s", kNames[std::clamp(kind, 0, 2)]);
    alert->SetName(title.CStr());
    if (removed == 0)
        alert->firstLine.AssignCStr("No events were found to clean.");
    else if (removed == 1)
        alert->firstLine.AssignCStr("1 event was removed.");
    else
        alert->firstLine.Printf("%d events were removed.", int(removed));
    alert->secondLine.AssignCStr("");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

// --- Menus ---

intptr_t cPianoRoll::OnMenu(intptr_t value, cWidgetButton* button)
{
    const int32_t tool = button->GetTag();
    if (value < 0)
    {
        // An open menu hangs over the roll's other controls and takes their touches.
        RaiseChild(button);
        CloseMenus(button);
        mFlingTicks = mFlingValues = 0.0f;
        switch (tool)
        {
        case kToolHistory: FillHistoryMenu(); break;
        case kToolZoom: FillZoomMenu(); break;
        case kToolSelect: FillSelectMenu(); break;
        default: break;
        }
        return 0;
    }
    switch (tool)
    {
    case kToolHistory: mModel.GoToHistoryStep(mModel.GetStepCount() - 1 - int32_t(value)); break;
    case kToolZoom: PickZoom(int32_t(value)); break;
    case kToolSelect: PickSelect(int32_t(value)); break;
    default: break;
    }
    AfterCommand();
    return 0;
}

// Newest first, then "..." for the pattern before every step held.
void cPianoRoll::FillHistoryMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolHistory);
    menu->ClearItems();
    const int32_t count = mModel.GetStepCount();
    for (int32_t step = count - 1; step >= 0; --step)
    {
        cGenString& text = mHistoryTexts[count - 1 - step];
        text.Printf("%d. %s", int(step + 1), mModel.GetStep(step)->GetName());
        menu->AddItem(text.CStr(), count - 1 - step, true);
    }
    menu->AddItem("...", count, true);
    menu->SetSelectedItem(count - 1 - mModel.GetCurrentStep());
}

void cPianoRoll::FillZoomMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolZoom);
    menu->SetSelectedItem(-1);
    menu->GetItem(kZoomSelection)->enabled = mModel.GetSelectionCount() > 0;
    menu->GetItem(kZoomAll)->enabled = mDrawnEvents > 0;
}

void cPianoRoll::PickZoom(int32_t index)
{
    float earliest = 0.0f, latest = 0.0f, lowest = 0.0f, highest = 0.0f;
    switch (index)
    {
    case kZoomSelection:
        if (mModel.GetSelectionCount() > 0)
        {
            const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
            ZoomToTicks(b.earliestStart, b.latestEnd - b.earliestStart, kZoomMargin, true);
            ZoomToValues(b.lowestBottom, b.highestTop - b.lowestBottom, 0.0f, true);
            ShowStatus("Zoom selected events");
            break;
        }
        mModel.GetVisibleBounds(&earliest, &latest, &lowest, &highest);
        ZoomToTicks(earliest, latest - earliest, kZoomMargin, true);
        ZoomToValues(lowest, highest - lowest, 0.0f, true);
        ShowStatus("No events selected");
        break;
    case kZoomAll:
        mModel.GetVisibleBounds(&earliest, &latest, &lowest, &highest);
        ZoomToTicks(earliest, latest - earliest, kZoomMargin, true);
        ZoomToValues(lowest, highest - lowest, 0.0f, true);
        ShowStatus("Zoom all events");
        break;
    case kZoomMin:
        ZoomOut(true);
        ShowStatus("Zoom out");
        break;
    default: break;
    }
}

void cPianoRoll::FillSelectMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolSelect);
    const bool selected = mModel.GetSelectionCount() > 0;
    menu->GetItem(kSelectAll)->enabled = true;
    menu->GetItem(kSelectInverse)->enabled = true;
    menu->GetItem(kSelectNote)->enabled = selected && mModel.GetLane() != cPatternEditModel::kLaneController;
    menu->GetItem(kSelectToEnd)->enabled = selected;
    menu->GetItem(kSelectToStart)->enabled = selected;
    menu->SetSelectedItem(mAddToSelection ? kSelectAddTo : -1);
}

void cPianoRoll::PickSelect(int32_t index)
{
    bool any = false;
    switch (index)
    {
    case kSelectAll: any = mModel.SelectAll(); break;
    case kSelectInverse: any = mModel.SelectInverse(); break;
    case kSelectNote: any = mModel.SelectSameNotes(); break;
    case kSelectToEnd: any = mModel.SelectToEnd(); break;
    case kSelectToStart: any = mModel.SelectToStart(); break;
    case kSelectAddTo:
        mAddToSelection = !mAddToSelection;
        ShowStatus(mAddToSelection ? "Add to selection ON" : "Add to selection OFF");
        return;
    default: return;
    }
    if (any)
        ShowCount(mModel.GetSelectionCount(), "selected");
}
