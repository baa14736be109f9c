#include <algorithm>
#include <cmath>

#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/EditorHost.h"
#include "editors/PartPropertiesUI.h"
#include "editors/SongEditAction.h"
#include "editors/SongRoll.h"
#include "editors/SongRollOwner.h"
#include "editors/SongToolsUI.h"
#include "project/ProjectSlots.h"
#include "sequencer/PatternTable.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr float kZoomMargin = 0.1f;

float NearestBar(float ticks)
{
    const float bar = float(gTransport.ticksPerBar.load());
    return bar * std::floor((ticks + 0.5f * bar) / bar);
}
} // namespace

void cSongRoll::ShowStatus(const char* text) { GetEditorHost().ShowStatusMessage(text, cEditorHost::kMessageSeconds); }

void cSongRoll::ShowPartCountStatus(int32_t count, const char* word)
{
    cGenStringFixed<64> text;
    text.Printf(count == 1 ? "%d part %s" : "%d parts %s", int(count), word);
    ShowStatus(text.CStr());
}

bool cSongRoll::CanDeleteTrack(int32_t row) const
{
    const cTrack* track = IsRowOnTrack(row) ? mTracks->GetTrack(row) : nullptr;
    if (!track)
        return false;
    const cTrackList::cGroup& group = mTracks->GetGroup(track->GetChannel());
    return group.end - group.first > 1;
}

bool cSongRoll::CanAddTrackAfter(int32_t row) const
{
    const cTrack* track = IsRowOnTrack(row) ? mTracks->GetTrack(row) : nullptr;
    if (!track || TrackCount() >= kMaxTracks)
        return false;
    const cTrackList::cGroup& group = mTracks->GetGroup(track->GetChannel());
    return group.end - group.first < kMaxTracksPerInstrument && row == group.end - 1;
}

// --- The toolbar ---

void cSongRoll::CloseMenus(const cWidget* except)
{
    for (int32_t tool : {kToolHistory, kToolZoom, kToolSelect, kToolMore})
        if (GetMenu(tool) != except && GetMenu(tool)->IsMenuOpen())
            GetMenu(tool)->CancelInput();
}

void cSongRoll::AfterCommand()
{
    CloseMenus(nullptr);
    mFlingTicks = mFlingRows = 0.0f;
    RefreshToolbar();
    UpdateScrollRanges();
    UpdateHandles();
}

void cSongRoll::RefreshToolbar()
{
    const int32_t selected = mModel.GetSelectedCount();
    // "Draw", "Delete" and "Copy" take the slots from the fifth on, only
    // those shown, so with nothing selected slots 5 to 7 stay free.
    mTools[kToolDelete]->SetVisible(selected > 0);
    mTools[kToolCopy]->SetVisible(selected > 0);
    mTools[kToolMore]->SetVisible(selected > 0);
    mTools[kToolEdit]->SetEnabled(selected == 1);
    mTools[kToolTools]->value = mSongTools->IsShown() ? 1 : 0; // lit only while the song tools show
    LayoutToolbar();
}

intptr_t cSongRoll::OnTool(intptr_t, cWidgetButton* button)
{
    switch (button->GetTag())
    {
    case kToolTools: ToggleSongTools(); break;
    case kToolDraw:
        mModel.HideInsertPreview();
        break;
    case kToolDelete: Delete(); break;
    case kToolCopy: Copy(); break;
    case kToolEdit: Edit(); break;
    default: break;
    }
    AfterCommand();
    return 0;
}

void cSongRoll::Delete()
{
    if (const int32_t deleted = mModel.DeleteSelected())
    {
        ShowPartCountStatus(deleted, "deleted");
        UpdateScrollRanges();
    }
}

void cSongRoll::Copy()
{
    if (mModel.DuplicateSelected() == 0)
        return;
    ShowPartCountStatus(mModel.GetSelectedCount(), "copied");
    UpdateScrollRanges();
    ScrollToSelection();
}

void cSongRoll::Edit()
{
    const cSongEditModel::cSelectionNode* node = mModel.GetSelection().GetFirst();
    if (node && mOwner)
        mOwner->EditPart(node->view->part);
}

intptr_t cSongRoll::OnMenu(intptr_t value, cWidgetButton* button)
{
    const int32_t tool = button->GetTag();
    if (value < 0)
    {
        // An open menu hangs over the roll's other controls and takes their touches.
        RaiseChild(button);
        CloseMenus(button);
        switch (tool)
        {
        case kToolHistory: FillHistoryMenu(); break;
        case kToolZoom: FillZoomMenu(); break;
        case kToolSelect: FillSelectMenu(); break;
        case kToolMore: FillMoreMenu(); break;
        default: break;
        }
        return 0;
    }
    switch (tool)
    {
    case kToolHistory: PickHistory(int32_t(value)); break;
    case kToolZoom: PickZoom(int32_t(value)); break;
    case kToolSelect: PickSelect(int32_t(value)); break;
    case kToolMore: PickMore(int32_t(value)); break;
    default: break;
    }
    AfterCommand();
    return 0;
}

// Newest first, then "..." for the song before every step held.
void cSongRoll::FillHistoryMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolHistory);
    menu->ClearItems();
    const int32_t count = mModel.GetStepCount();
    for (int32_t step = count - 1; step >= 0; --step)
    {
        cGenString& text = mHistoryTexts[count - 1 - step];
        text.Printf("%d. %s", int(step + 1), mModel.GetStep(step)->GetName());
        menu->AddItem(text.CStr(), step, true);
    }
    menu->AddItem("...", -1, true);
    menu->SetSelectedItem(count - 1 - mModel.GetCurrentStep());
}

void cSongRoll::PickHistory(int32_t index)
{
    mModel.GoToHistoryStep(mModel.GetStepCount() - 1 - index);
    RecomputeRowLimits();
}

void cSongRoll::FillZoomMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolZoom);
    menu->SetSelectedItem(-1);
    menu->GetItem(kZoomSelection)->enabled = mModel.GetSelectedCount() > 0;
    menu->GetItem(kZoomAll)->enabled = mModel.GetPartRectCount() > 0;
}

void cSongRoll::PickZoom(int32_t index)
{
    switch (index)
    {
    case kZoomLoop:
    {
        const float begin = float(gTransport.loopStart.load());
        const float length = float(gTransport.loopEnd.load()) - begin;
        if (length >= float(gTransport.ticksPerBar.load()))
            ZoomToRange(begin, length, kZoomMargin, true);
        break;
    }
    case kZoomSelection:
        if (mModel.GetSelectedCount() > 0)
        {
            const cSongEditModel::cSelectionBounds& bounds = mModel.GetBounds();
            ZoomToRange(bounds.earliestStart, mModel.GetSelectionWidth(), kZoomMargin, true);
            ZoomRows(bounds.lowestRow, mModel.GetSelectionHeight(), 0.0f, true);
            ShowStatus("Zoom selected parts");
            break;
        }
        [[fallthrough]];
    case kZoomAll:
    {
        const cSongEditModel::cExtent extent = mModel.GetExtent();
        ZoomToRange(extent.earliestStart, extent.latestEnd - extent.earliestStart, kZoomMargin, true);
        ZoomRows(extent.lowestRow, extent.highestRow - extent.lowestRow, 0.0f, true);
        ShowStatus(index == kZoomAll ? "Zoom all parts" : "No parts selected");
        break;
    }
    case kZoomMin: ZoomOut(); break;
    default: break;
    }
}

void cSongRoll::ZoomOut()
{
    ZoomToRange(0.0f, std::max(kMinimumWidth, SongLength()), kZoomMargin, true);
    ZoomRows(mLowestRow, mMaximumRows, 0.0f, true);
    ShowStatus("Zoom out");
}

void cSongRoll::FillSelectMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolSelect);
    const bool parts = mModel.GetViewCount() > 0;
    const bool selected = mModel.GetSelectedCount() > 0;
    menu->GetItem(kSelectAll)->enabled = parts;
    menu->GetItem(kSelectInverse)->enabled = parts;
    menu->GetItem(kSelectTrack)->enabled = selected;
    menu->GetItem(kSelectToEnd)->enabled = selected;
    menu->GetItem(kSelectToStart)->enabled = selected;
    menu->SetSelectedItem(mAddToSelection ? kSelectAddTo : -1);
}

void cSongRoll::PickSelect(int32_t index)
{
    bool any = false;
    switch (index)
    {
    case kSelectAll: any = mModel.SelectAll(); break;
    case kSelectInverse: any = mModel.InvertSelection(); break;
    case kSelectTrack: any = mModel.SelectTracksOfSelection(); break;
    case kSelectToEnd: any = mModel.SelectToEnd(); break;
    case kSelectToStart: any = mModel.SelectToStart(); break;
    case kSelectAddTo:
        mAddToSelection = !mAddToSelection;
        ShowStatus(mAddToSelection ? "Add to selection = ON" : "Add to selection = OFF");
        return;
    default: return;
    }
    if (any)
        ShowPartCountStatus(mModel.GetSelectedCount(), "selected");
}

void cSongRoll::FillMoreMenu()
{
    cWidgetComboBox* menu = GetMenu(kToolMore);
    const int32_t selected = mModel.GetSelectedCount();
    menu->SetSelectedItem(-1);
    menu->GetItem(kMoreProperties)->enabled = selected == 1;
    menu->GetItem(kMoreJoin)->enabled = selected > 1;
    menu->GetItem(kMoreSplit)->enabled = selected > 0;
    menu->GetItem(kMoreLoopToSelection)->enabled = selected > 0;
}

void cSongRoll::PickMore(int32_t index)
{
    switch (index)
    {
    case kMoreJoin:
        if (mModel.MergeParts())
            ShowStatus("Parts joined");
        break;
    case kMoreSplit:
    {
        cGenStringFixed<64> text;
        text.Printf("%d new parts created", int(mModel.SplitParts(gTransport.position.load())));
        ShowStatus(text.CStr());
        break;
    }
    case kMoreLoopToSelection: LoopToSelection(); break;
    case kMoreProperties:
        if (mModel.GetSelectedCount() == 1)
            mPartProperties->Open();
        break;
    default: break;
    }
}

void cSongRoll::LoopToSelection()
{
    const cSongEditModel::cSelectionBounds& bounds = mModel.GetBounds();
    const float begin = NearestBar(bounds.earliestStart);
    const float end = NearestBar(bounds.latestEnd);
    cSequencer* sequencer = cSequencer::GetInstance();
    if (end - begin < float(gTransport.ticksPerBar.load()) || !sequencer)
        return;
    cScopedLock lock(sequencer->GetLock());
    sequencer->SetLoopRange(int32_t(begin), int32_t(end));
    sequencer->SetLoopEnabled(true);
    if (gTransport.position.load() >= int32_t(end))
        sequencer->SetPosition(int32_t(begin));
    // The loop is kept with the song.
    MarkProjectModified();
}

// --- Side controls ---

intptr_t cSongRoll::OnSideButton(intptr_t, cWidgetButton* button)
{
    if (button == mPanelToggle)
        SetPanelExpanded(mPanelToggle->value != 0);
    else if (button == mScrollModeToggle || button == mFollowToggle)
        mFlingTicks = mFlingRows = 0.0f;
    else
    {
        const bool vertical = button == mZoomButtons[1][0] || button == mZoomButtons[1][1];
        const bool in = button == mZoomButtons[0][0] || button == mZoomButtons[1][0];
        if (vertical)
            ZoomVertically(in);
        else
            ZoomHorizontally(in);
    }
    return 0;
}

void cSongRoll::ZoomHorizontally(bool in)
{
    const float width = in ? 0.5f * mTarget.width : 2.0f * mTarget.width;
    float centre = mTarget.left + 0.5f * mTarget.width;
    const float position = float(gTransport.position.load());
    const cSongEditModel::cExtent extent = mModel.GetExtent();
    if (mModel.GetSelectedCount() > 0)
        centre = mModel.GetSelectionCentreTick();
    else if (position >= mView.left && position <= mView.left + mView.width)
        centre = position;
    else if (extent.latestEnd < mView.left + mView.width)
        centre = mModel.GetViewCount() > 0 ? extent.earliestStart : 0.0f;
    ZoomToRange(centre - 0.5f * width, width, 0.0f, true);
}

void cSongRoll::ZoomVertically(bool in)
{
    const float rows = in ? 0.5f * mTarget.rows : 2.0f * mTarget.rows;
    float centre = mTarget.top + 0.5f * mTarget.rows;
    if (mModel.GetSelectedCount() > 0)
        centre = mModel.GetSelectionCentreRow();
    else if (mModel.GetViewCount() > 0)
    {
        const cSongEditModel::cExtent extent = mModel.GetExtent();
        centre = 0.5f * (extent.lowestRow + extent.highestRow);
    }
    ZoomRows(centre - 0.5f * rows, rows, 0.0f, true);
}

intptr_t cSongRoll::OnScrollBar(float start, cWidgetScrollBar* bar)
{
    mFlingTicks = mFlingRows = 0.0f;
    if (bar == mHorizontalBar)
    {
        mFollowToggle->value = 0;
        SetLeft(start, false);
    }
    else
        SetTop(start, false);
    return 0;
}

// --- The song tools' requests ---

void cSongRoll::ToggleSongTools()
{
    if (mSongTools->IsShown())
        mSongTools->Close();
    else
        mSongTools->Open(mTracks);
}

void cSongRoll::OnClearRequest(int32_t kind)
{
    OnSongToolsCommand(kind);
    mSongTools->Close();
}

void cSongRoll::OnSongToolsCommand(int32_t command)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!sequencer)
        return;
    mModel.ClearHistory();
    if (command == kNewSong)
    {
        sequencer->NewSong();
        CreateMissingInstrumentTracks();
        ShowStatus("New song created");
        SetTrackList(sequencer->GetTrackList(), true);
    }
    else if (command == kClearUnusedPatterns)
    {
        int32_t patterns = 0, events = 0;
        {
            cScopedLock lock(sequencer->GetLock());
            ClearUnusedPatterns(&patterns, &events);
        }
        cGenStringFixed<64> text;
        text.Printf("%d events cleared", int(events));
        ShowStatus(text.CStr());
        Refresh();
    }
    AfterCommand();
}
