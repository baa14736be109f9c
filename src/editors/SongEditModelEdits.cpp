#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/ProjectModified.h"
#include "editors/SongEditAction.h"
#include "editors/SongEditLock.h"
#include "editors/SongEditModel.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
int32_t RoundTicks(float ticks) { return int32_t(std::round(ticks)); }
} // namespace

int32_t cSongEditModel::ResizeSelected(float delta)
{
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    // No part gets shorter than a tick, whatever the caller asks.
    const int32_t ticks = std::max(RoundTicks(delta), 1 - RoundTicks(mBounds.shortestLength));
    if (mSelection.IsEmpty() || ticks == 0)
        return GetSelectedCount();
    cSongEditParameters parameters;
    parameters.deltaTicks = ticks;
    Run(cSongEditAction::kLength, parameters);
    return GetSelectedCount();
}

void cSongEditModel::MoveSelected(float deltaTicks, float deltaRows)
{
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    if (mSelection.IsEmpty() || !mTracks)
        return;
    // Parts stay inside the song and on its tracks, whatever the caller asks.
    int32_t ticks = std::max(RoundTicks(deltaTicks), -RoundTicks(mBounds.earliestStart));
    if (ticks > 0)
        ticks = std::min(ticks, std::max(0, RoundTicks(kSongEnd - mBounds.latestEnd)));
    const int32_t rows = std::clamp(RoundTicks(deltaRows), -RoundTicks(mBounds.lowestRow),
                                    std::max(0, mTracks->GetCount() - RoundTicks(mBounds.highestRow)));
    if (ticks == 0 && rows == 0)
        return;
    cSongEditParameters parameters;
    parameters.deltaTicks = ticks;
    parameters.deltaRows = rows;
    Run(cSongEditAction::kMove, parameters);
}

int32_t cSongEditModel::DeleteSelected()
{
    const int32_t count = GetSelectedCount();
    if (count > 0)
        Run(cSongEditAction::kDelete, cSongEditParameters());
    return count;
}

int32_t cSongEditModel::DuplicateSelected()
{
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    if (mSelection.IsEmpty() || CountParts() >= kMaxParts)
        return 0;
    float width = GetSelectionWidth();
    // The copies end at the song end at the latest.
    width -= std::max(0.0f, mBounds.latestEnd + width - kSongEnd);
    if (RoundTicks(width) <= 0)
        return 0;
    cSongEditParameters parameters;
    parameters.deltaTicks = RoundTicks(width);
    Run(cSongEditAction::kCopy, parameters);
    return GetSelectedCount();
}

int32_t cSongEditModel::SplitParts(int32_t position)
{
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    if (mSelection.IsEmpty() || CountParts() >= kMaxParts)
        return 0;
    const int32_t bar = RoundTicks(TicksPerBar());
    // A position in the last quarter of a bar splits at the next bar line.
    const int32_t tick = bar * int32_t(std::floor((float(position) + 0.25f * float(bar)) / float(bar)));
    if (RoundTicks(mBounds.earliestStart) < position && position < RoundTicks(mBounds.latestEnd))
    {
        const int32_t before = GetViewCount();
        cSongEditParameters parameters;
        parameters.deltaTicks = tick;
        if (Run(cSongEditAction::kSplit, parameters)->GetCreatedCount() > 0)
            return GetViewCount() - before;
    }
    ShowAlert("Split Parts", "No suitable parts per found to split.", "Move the song pointer inside the selection.");
    return 0;
}

int32_t cSongEditModel::MergeParts()
{
    char firstLine[64];
    const char* secondLine = "Please select two adjacent parts.";
    std::snprintf(firstLine, sizeof(firstLine), "%s", "No suitable parts per found to merge.");
    if (GetSelectedCount() == 2)
    {
        const cPatternInstance* a = mSelection.GetFirst()->view->part;
        const cPatternInstance* b = mSelection.GetLast()->view->part;
        if (a->owner == b->owner && (a->next == b || b->next == a))
        {
            if (b->start >= a->GetEnd() || a->start >= b->GetEnd())
            {
                const int32_t before = GetViewCount();
                Run(cSongEditAction::kJoin, cSongEditParameters());
                return before - GetViewCount();
            }
            std::snprintf(firstLine, sizeof(firstLine), "%s", "Cannot merge overlapping parts.");
            secondLine = "";
        }
    }
    else
        std::snprintf(firstLine, sizeof(firstLine), "%d parts are selected.", GetSelectedCount());
    ShowAlert("Merge Parts", firstLine, secondLine);
    return 0;
}

int32_t cSongEditModel::DrawPart(int32_t row, float tickA, float tickB)
{
    if (!mTracks || row < 0 || row >= mTracks->GetCount())
        return 0;
    const int32_t before = GetViewCount();
    cSongEditParameters parameters;
    parameters.row = row;
    parameters.tickA = tickA;
    parameters.tickB = tickB;
    Run(cSongEditAction::kDraw, parameters);
    return GetViewCount() - before;
}

int32_t cSongEditModel::ConvertToPattern()
{
    if (mSelection.IsEmpty())
        return 0;
    return Run(cSongEditAction::kToPattern, cSongEditParameters())->GetSubjectCount();
}

int32_t cSongEditModel::ConvertToPart()
{
    if (mSelection.IsEmpty())
        return 0;
    return Run(cSongEditAction::kToPart, cSongEditParameters())->GetSubjectCount();
}

void cSongEditModel::CommitPatternEdit(cPattern* edited, const cPattern* backup)
{
    if (!edited || !backup)
        return;
    cSongEditAction* action = BeginAction();
    action->kind = cSongEditAction::kEditPart;
    action->SetPatternEdit(edited, *backup);
    action->Execute();
    SetChanged();
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

void cSongEditModel::AddTrack(int32_t slot)
{
    cSongEditParameters parameters;
    parameters.slot = slot;
    Run(cSongEditAction::kAddTrack, parameters);
}

void cSongEditModel::DeleteTrack(int32_t index)
{
    cSongEditParameters parameters;
    parameters.track = index;
    Run(cSongEditAction::kDeleteTrack, parameters);
}

void cSongEditModel::AddInstrument(cInstrumentPackage* package, const char* name, int32_t slot)
{
    cSongEditParameters parameters;
    parameters.package = package;
    parameters.name = name;
    parameters.slot = slot;
    Run(cSongEditAction::kAddInstrument, parameters);
}

void cSongEditModel::SwapInstrument(cInstrumentPackage* package, const char* name, int32_t slot)
{
    cSongEditParameters parameters;
    parameters.package = package;
    parameters.name = name;
    parameters.slot = slot;
    Run(cSongEditAction::kSwapInstrument, parameters);
}

void cSongEditModel::DeleteInstrument(int32_t slot)
{
    cSongEditParameters parameters;
    parameters.slot = slot;
    Run(cSongEditAction::kDeleteInstrument, parameters);
}

void cSongEditModel::SetPartPattern(cPartView* view, int32_t patternNumber)
{
    if (!view || !view->part)
        return;
    {
        cSongEditLock lock(cSongEditLock::kChange);
        cPatternInstance* part = view->part;
        if (part->owner)
            part->owner->SetPartPattern(part, patternNumber);
        else
            part->SetPattern(patternNumber);
        FillView(view, part);
    }
    // Kept in the song file, so a save must know.
    MarkProjectModified();
    mPartsDirty = true;
}
