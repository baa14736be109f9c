#include "editors/SongEditModel.h"

#include <algorithm>

#include "audio/Transport.h"
#include "base/ProjectModified.h"
#include "editors/EditorHost.h"
#include "editors/SongEditAction.h"
#include "editors/SongEditLock.h"
#include "render/Material.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"
#include "ui/WidgetAlert.h"

namespace
{
// Fill and edge of the parts on shared pattern n, by n mod 8.
constexpr uint32_t kSharedColours[8][2] = {
    {0xb97d71f0, 0xb94b3fbb}, {0xb970e182, 0xb93cae4f}, {0xb9df73f2, 0xb9aa3dbb}, {0xb9f07171, 0xb9bb3c3c},
    {0xb9e1f173, 0xb9abbb3c}, {0xb973f2cb, 0xb93dbb9b}, {0xb9f173ba, 0xb9bb3d85}, {0xb9739df2, 0xb93e68bb},
};

cMaterial* MakeMaterial(uint32_t colour)
{
    auto* material = new cMaterial(kBlendAlpha);
    material->colour = colour;
    return material;
}
} // namespace

bool cSongViewInfo::operator==(const cSongViewInfo& other) const
{
    return rect.xMin == other.rect.xMin && rect.yMin == other.rect.yMin && rect.xMax == other.rect.xMax &&
           rect.yMax == other.rect.yMax && leftTick == other.leftTick && widthTicks == other.widthTicks &&
           topRow == other.topRow && rows == other.rows;
}

float cSongViewInfo::TickToX(float tick) const
{
    return widthTicks > 0.0f ? rect.xMin + (tick - leftTick) * (rect.xMax - rect.xMin) / widthTicks : rect.xMin;
}

float cSongViewInfo::RowToY(float row) const
{
    return rows > 0.0f ? rect.yMin + (row - topRow) * (rect.yMax - rect.yMin) / rows : rect.yMin;
}

cSongEditModel::cSongEditModel(cEditGeometryBatch* batch)
    : mBatch(batch), mSelectionMaterial(MakeMaterial(kSelectionColour)),
      mNoteLineMaterial(MakeMaterial(kNoteLineColour))
{
    for (cPartView& view : mViews)
        mFreeViews.PushBack(&view);
    for (cSelectionNode& node : mNodes)
        mFreeNodes.PushBack(&node);
}

cSongEditModel::~cSongEditModel()
{
    ClearHistory();
    delete mSelectionMaterial;
    delete mNoteLineMaterial;
}

void cSongEditModel::BindTracks(cTrackList* tracks)
{
    Reset();
    mTracks = tracks;
    if (tracks)
    {
        cSongEditLock lock(cSongEditLock::kRead);
        for (int32_t index = 0; index < tracks->GetCount() && !mFreeViews.IsEmpty(); ++index)
            for (cPatternInstance* part = tracks->GetTrack(index)->GetFirstPart(); part && !mFreeViews.IsEmpty();
                 part = part->next)
                AddView(part, false);
    }
    SetChanged();
}

void cSongEditModel::RefreshAllViews()
{
    {
        cSongEditLock lock(cSongEditLock::kRead);
        RefillViews();
    }
    SetChanged();
    // The selection keeps its pending drag; only the geometry under it moved.
    const cSelectionBounds kept = mBounds;
    UpdateSelectionBounds(kept.timeOffset, kept.rowOffset, kept.lengthDelta);
    mBounds.ghostStart = kept.ghostStart;
    mBounds.ghostEnd = kept.ghostEnd;
}

void cSongEditModel::RefillViews()
{
    for (cPartView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        FillView(view, view->part);
}

void cSongEditModel::Reset()
{
    FreeAllViews();
    mSavedCount = 0;
    ClearHistory();
    ClearSelection();
    SetChanged();
}

void cSongEditModel::FreeAllViews()
{
    while (cPartView* view = mUsedViews.GetLast())
        FreeView(view);
}

void cSongEditModel::SetChanged()
{
    mPartsDirty = true;
    mExtentDirty = true;
    mHighlightsDirty = true;
}

cSongEditModel::cPartView* cSongEditModel::AddView(cPatternInstance* part, bool select)
{
    if (!part || mFreeViews.IsEmpty())
        return nullptr;
    cPartView* view = mFreeViews.PopFront();
    mUsedViews.PushBack(view);
    FillView(view, part);
    if (select)
        SelectView(view, false);
    mPartsDirty = true;
    mExtentDirty = true;
    return view;
}

void cSongEditModel::FreeView(cPartView* view)
{
    if (cSelectionNode* node = view->selection)
    {
        mSelection.Remove(node);
        node->view = nullptr;
        mFreeNodes.PushFront(node);
        view->selection = nullptr;
        mHighlightsDirty = true;
    }
    mUsedViews.Remove(view);
    *view = cPartView();
    // Last freed, first given out again: see the class comment.
    mFreeViews.PushFront(view);
    mPartsDirty = true;
    mExtentDirty = true;
}

void cSongEditModel::FillView(cPartView* view, cPatternInstance* part)
{
    view->part = part;
    view->start = float(part->start);
    view->end = float(part->start) + float(part->length);
    view->top = part->owner ? float(part->owner->GetIndex()) : 0.0f;
    view->bottom = view->top + 1.0f;
    const int32_t number = part->patternNumber;
    if (number >= 0 && number < cPattern::kSharedCount)
    {
        view->fillColour = kSharedColours[number % 8][0];
        view->edgeColour = kSharedColours[number % 8][1];
    }
    else
    {
        view->fillColour = kPrivateFill;
        view->edgeColour = kPrivateEdge;
    }
}

cSongEditModel::cPartView* cSongEditModel::FindView(const cPatternInstance* part) const
{
    for (cPartView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        if (view->part == part)
            return view;
    return nullptr;
}

int32_t cSongEditModel::CountParts() const
{
    if (!mTracks)
        return 0;
    cSongEditLock lock(cSongEditLock::kRead);
    return mTracks->CountParts();
}

float cSongEditModel::TicksPerBar() const { return float(gTransport.ticksPerBar.load()); }

void cSongEditModel::ShowAlert(const char* title, const char* firstLine, const char* secondLine) const
{
    cWidgetAlert* alert = GetEditorHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(kAlertIconOnNo | kAlertIconOnOK);
    alert->SetName(title);
    alert->firstLine.AssignCStr(firstLine);
    alert->secondLine.AssignCStr(secondLine);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

// --- History ---

cSongEditAction* cSongEditModel::BeginAction()
{
    MarkProjectModified();
    return mHistory.Begin(this);
}

cSongEditAction* cSongEditModel::GoToHistoryStep(int32_t step)
{
    cSongEditAction* last = mHistory.GoTo(step);
    if (!last)
        return nullptr;
    SetChanged();
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return last;
}

cSongEditAction* cSongEditModel::UndoStep()
{
    return CanUndo() ? GoToHistoryStep(mHistory.GetCurrent() - 1) : nullptr;
}

cSongEditAction* cSongEditModel::RedoStep()
{
    return CanRedo() ? GoToHistoryStep(mHistory.GetCurrent() + 1) : nullptr;
}

void cSongEditModel::ClearHistory() { mHistory.Clear(); }

cSongEditAction* cSongEditModel::Run(uint32_t kind, const cSongEditParameters& parameters)
{
    cSongEditAction* action = BeginAction();
    action->kind = cSongEditAction::eKind(kind);
    action->SetParameters(parameters);
    action->Execute();
    SetChanged();
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return action;
}
