#include "editors/SequencerUI.h"

#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/EditGeometryBatch.h"
#include "editors/PianoRoll.h"
#include "editors/SongRoll.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr float kFrameMargin = 0.1f;

// The song roll frames the song with a margin of a tenth on each side and
// shows every row without one.
void FrameSong(cSongRoll& roll)
{
    const cSongEditModel::cExtent extent = roll.GetModel().GetExtent();
    roll.ZoomToRange(extent.earliestStart, extent.latestEnd - extent.earliestStart, kFrameMargin, false);
    roll.ZoomRows(0.0f, extent.highestRow - extent.lowestRow, 0.0f, false);
}

void Hide(cWidget* roll)
{
    roll->CancelInputRecursive(true);
    roll->SetVisible(false);
}
} // namespace

cSequencerUI::cSequencerUI() : mBatch(new cEditGeometryBatch())
{
    SetName("Sequencer");
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mPianoRoll = new cPianoRoll(this);
    mPianoRoll->SetVisible(false);
    AddChild(mPianoRoll);
    mSongRoll = new cSongRoll(this);
    AddChild(mSongRoll);
    mExitRequest.exchange(0);
    mPatternChanges.exchange(0);
    mSongChanges.exchange(0);
    InstallHooks();
}

cSequencerUI::~cSequencerUI()
{
    RemoveHooks();
    RemoveAllChildren();
    mPianoRoll->Release();
    mSongRoll->Release();
    delete mBatch;
}

// Under the sequencer lock, which the recording thread holds while it calls them.
void cSequencerUI::InstallHooks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLockIfAny lock(sequencer ? sequencer->GetLock() : nullptr);
    OnPatternEventChanged.Bind(this, &cSequencerUI::OnEventsChanged);
    OnPatternInstanceChanged.Bind(this, &cSequencerUI::OnPartsChanged);
}

// A hook left pointing at a deleted page would be called by the next
// recorded note; one that another page has taken since stays.
void cSequencerUI::RemoveHooks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLockIfAny lock(sequencer ? sequencer->GetLock() : nullptr);
    if (OnPatternEventChanged.IsBoundTo(this))
        OnPatternEventChanged.Clear();
    if (OnPatternInstanceChanged.IsBoundTo(this))
        OnPatternInstanceChanged.Clear();
}

void cSequencerUI::ResetToSongView(cTrackList* tracks)
{
    mSongRoll->SetTrackList(tracks, true);
    FrameSong(*mSongRoll);
    UnbindPianoRoll();
    ShowSongView();
}

void cSequencerUI::ShowSongView()
{
    if (mViewMode == kSongView)
        return;
    cPatternInstance* part = mPianoRoll->GetPart();
    if (part && part->pattern && mPianoRoll->GetModel().GetBackup())
        mSongRoll->CommitPatternEdit(part->pattern, mPianoRoll->GetModel().GetBackup());
    mPianoRoll->ForgetHistory();
    Hide(mPianoRoll);
    UnbindPianoRoll();
    mSongRoll->SetVisible(true);
    mSongRoll->ModifyFlags(kWidgetStateDirty, 0, true);
    mViewMode = kSongView;
}

void cSequencerUI::EditPart(cPatternInstance* part)
{
    if (mViewMode == kPatternView || !part)
        return;
    Hide(mSongRoll);
    mPianoRoll->ForgetHistory();
    mPianoRoll->BindPart(part);
    mOpenPart.store(part);
    mPianoRoll->RebuildForPart(true);
    mPianoRoll->ResetViewForPart();
    mPianoRoll->SetVisible(true);
    mViewMode = kPatternView;
}

// No part open and the unsaved copy dropped rather than kept as a step.
void cSequencerUI::UnbindPianoRoll()
{
    mOpenPart.store(nullptr);
    mPianoRoll->BindPart(nullptr);
}

void cSequencerUI::OnEventsChanged(int32_t kind, const cPatternEventChange* change)
{
    MarkProjectModified();
    const cPatternInstance* open = mOpenPart.load();
    if (open && change && open->pattern == change->pattern)
        mPatternChanges.fetch_or(kind == kModelChanged ? kRefresh : kRebuild);
    mSongChanges.fetch_or(kRefresh);
}

// A part changed in place keeps its view, so a refill shows it; only parts
// added or removed need the views made again, which also empties the song
// history (it holds views) and would lose the "Edit part" step that leaving
// a lengthened open part has just made.
void cSequencerUI::OnPartsChanged(int32_t kind, cPatternInstance* part)
{
    MarkProjectModified();
    mSongChanges.fetch_or(kind == kModelChanged ? kRefresh : kRebuild);
    if (part && part == mOpenPart.load() && kind != kModelAdded)
        mExitRequest.fetch_or(1u);
}

bool cSequencerUI::Draw(cDrawList&)
{
    PollExitRequest();
    if (mViewMode == kPatternView)
        PollPatternChanges();
    else
        PollSongChanges();
    return false;
}

void cSequencerUI::PollExitRequest()
{
    if (mExitRequest.exchange(0) != 0 && mViewMode == kPatternView)
        ShowSongView();
}

void cSequencerUI::PollPatternChanges()
{
    const uint32_t changes = mPatternChanges.exchange(0);
    if (changes & kRebuild)
        mPianoRoll->RebuildForPart(false);
    else if (changes & kRefresh)
        mPianoRoll->RefreshFromRecorder();
}

void cSequencerUI::PollSongChanges()
{
    const uint32_t changes = mSongChanges.exchange(0);
    if (changes & kRebuild)
    {
        cSequencer* sequencer = cSequencer::GetInstance();
        mSongRoll->SetTrackList(sequencer ? sequencer->GetTrackList() : mSongRoll->GetTrackList(), false);
    }
    else if (changes & kRefresh)
        mSongRoll->Refresh();
}
