#include "SongEditExerciser.h"

#include <algorithm>
#include <climits>
#include <tuple>
#include <sstream>
#include <cmath>
#include <unordered_set>

#include "audio/Instrument.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/SongEditAction.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
using cPartView = cSongEditModel::cPartView;

enum eOperation : uint32_t
{
    kSelectOne,
    kToggle,
    kSelectAll,
    kClearSelection,
    kSelectRect,
    kInvert,
    kSelectTracks,
    kSelectToEnd,
    kSelectToStart,
    kUndo,
    kRedo,
    kGoToStep,
    kRebind,
    kDragMove,
    kDragResize,
    kDragRows,
    kPianoRoll,
    kCommand,
    kOperationCount,
};

enum eCommand : uint32_t
{
    kDelete,
    kDuplicate,
    kSplit,
    kMerge,
    kDraw,
    kToPattern,
    kToPart,
    kAddTrack,
    kDeleteTrack,
    kAddInstrument,
    kSwapInstrument,
    kDeleteInstrument,
    kMoveBy,
    kResizeBy,
    kCommandCount,
};

constexpr int32_t kBar = 1024;
constexpr int32_t kSlots = 4;
} // namespace

cSongEditExerciser::cSongEditExerciser(cChoiceSource& choices) : mChoices(choices), mModel(mWorld.model)
{
    SetProjectModifiedFlag(&mActionBegun);
    mWorld.sequencer.SetBeatsPerBar(4);
}

cSongEditExerciser::~cSongEditExerciser() { SetProjectModifiedFlag(nullptr); }

void cSongEditExerciser::Fill()
{
    mWorld.slots.SetSlot(2, mWorld.package.CreateInstrument(0), false);
    for (int32_t slot = 0; slot < 3; ++slot)
        for (int32_t tracks = 1 + int32_t(mChoices.Next(2)); tracks > 0; --tracks)
        {
            cTrack* track = mWorld.AddTrack(slot);
            for (int32_t bar = int32_t(mChoices.Next(3)); bar < 24; bar += 1 + int32_t(mChoices.Next(6)))
            {
                const int32_t length = (1 + int32_t(mChoices.Next(4))) * kBar;
                cPatternInstance* part =
                    mChoices.Next(2) ? mWorld.AddPrivatePart(track, bar * kBar, length)
                                     : mWorld.AddSharedPart(track, 1 + int32_t(mChoices.Next(6)), bar * kBar, length,
                                                            kBar * (1 + int32_t(mChoices.Next(2))));
                if (part->pattern->count == 0)
                    for (int32_t notes = int32_t(mChoices.Next(5)); notes > 0; --notes)
                        mWorld.AddNote(*part->pattern, int32_t(mChoices.Next(uint32_t(length))),
                                       40 + int32_t(mChoices.Next(40)), 1 + int32_t(mChoices.Next(500)));
                bar += length / kBar;
            }
        }
    mWorld.Bind();
    mStates.assign(1, Snapshot());
}

cSongRecord cSongEditExerciser::Snapshot() const
{
    cSongRecord record = cSongRecord::Of(*mWorld.sequencer.GetTrackList());
    // Private patterns are whichever the pool hands out, and a part put back
    // on a track goes after others of its start.
    for (cTrackRecord& track : record.tracks)
    {
        for (cPartRecord& part : track.parts)
            if (part.patternNumber >= cPattern::kSharedCount)
                part.patternNumber = cPattern::kSharedCount;
        std::stable_sort(track.parts.begin(), track.parts.end(), [](const cPartRecord& a, const cPartRecord& b) {
            return std::tie(a.start, a.length, a.patternNumber, a.loopLength, a.events) <
                   std::tie(b.start, b.length, b.patternNumber, b.loopLength, b.events);
        });
    }
    return record;
}

cPartView* cSongEditExerciser::NextView()
{
    const int32_t count = mModel.GetViewCount();
    if (count == 0)
        return nullptr;
    cPartView* view = mModel.GetViews().GetFirst();
    for (int32_t i = int32_t(mChoices.Next(uint32_t(count))); i > 0; --i)
        view = view->GetNext();
    return view;
}

int32_t cSongEditExerciser::NextRow()
{
    return int32_t(mChoices.Next(uint32_t(mWorld.sequencer.GetTrackList()->GetCount() + 1)));
}

bool cSongEditExerciser::Step()
{
    const uint32_t operation = mChoices.Next(kOperationCount + 6);
    Operate(operation >= kOperationCount ? uint32_t(kCommand) : operation);
    return Check("step");
}

void cSongEditExerciser::Operate(uint32_t operation)
{
    mActionBegun = false;
    const int32_t before = mModel.GetCurrentStep();
    switch (operation)
    {
    case kSelectOne:
        mModel.ClearSelection();
        mModel.SelectView(NextView(), true);
        break;
    case kToggle:
        if (cPartView* view = NextView())
            mModel.ToggleSelected(view);
        break;
    case kSelectAll: mModel.SelectAll(); break;
    case kClearSelection: mModel.ClearSelection(); break;
    case kSelectRect: mModel.SelectInRect(NextTick(), float(NextRow()), NextTick(), float(NextRow())); break;
    case kInvert: mModel.InvertSelection(); break;
    case kSelectTracks: mModel.SelectTracksOfSelection(); break;
    case kSelectToEnd: mModel.SelectToEnd(); break;
    case kSelectToStart: mModel.SelectToStart(); break;
    case kUndo: mModel.UndoStep(); break;
    case kRedo: mModel.RedoStep(); break;
    case kGoToStep: mModel.GoToHistoryStep(int32_t(mChoices.Next(7)) - 2); break;
    case kRebind:
        if (mChoices.Next(8) == 0)
        {
            mWorld.Bind();
            mStates.assign(1, Snapshot());
        }
        return;
    case kDragMove:
    case kDragResize:
    case kDragRows: Drag(operation); break;
    case kPianoRoll: VisitPianoRoll(); break;
    default: Command(mChoices.Next(kCommandCount)); break;
    }
    if (mActionBegun)
    {
        // A new step: the redo steps go, and beyond four the oldest.
        ++mEdits;
        mStates.resize(size_t(before + 2));
        mStates.push_back(Snapshot());
        if (mStates.size() > size_t(cSongEditModel::kHistorySteps + 1))
            mStates.pop_front();
    }
}

void cSongEditExerciser::Drag(uint32_t kind)
{
    const cSongEditModel::cSelectionBounds& bounds = mModel.GetBounds();
    if (kind == kDragMove)
    {
        mModel.ConstrainMove(mChoices.NextFloat(-20000.0f, 20000.0f));
        mModel.MoveSelected(std::round(bounds.timeOffset), 0.0f);
    }
    else if (kind == kDragResize)
    {
        mModel.ConstrainResize(mChoices.NextFloat(-8000.0f, 8000.0f));
        mModel.ResizeSelected(std::round(bounds.lengthDelta));
    }
    else
    {
        mModel.ConstrainTrackMove(mChoices.NextFloat(-6.0f, 6.0f), 0.0f,
                                  float(mWorld.sequencer.GetTrackList()->GetCount()));
        mModel.MoveSelected(0.0f, std::round(bounds.rowOffset));
    }
}

void cSongEditExerciser::VisitPianoRoll()
{
    cPartView* view = NextView();
    if (!view || !view->part->pattern)
        return;
    cPattern* pattern = view->part->pattern;
    cPattern backup;
    {
        cScopedLock lock(mWorld.sequencer.GetLock());
        backup.CopyRange(*pattern, 0, INT_MAX);
        if (pattern->head && mChoices.Next(2))
        {
            cPatternEvent* event = pattern->head;
            pattern->RemoveEvent(event);
            cPatternEvent::Free(event);
        }
        else
            mWorld.AddNote(*pattern, int32_t(mChoices.Next(uint32_t(std::max(1, view->part->length)))), 64, 100);
        pattern->loopLength = pattern->loopLength == 0 ? 0 : int32_t(mChoices.Next(2) + 1) * kBar;
    }
    mModel.CommitPatternEdit(pattern, &backup);
    cScopedLock lock(mWorld.sequencer.GetLock());
    backup.Clear();
}

void cSongEditExerciser::Command(uint32_t command)
{
    const cTrackList& tracks = *mWorld.sequencer.GetTrackList();
    const int32_t slot = int32_t(mChoices.Next(kSlots));
    const bool occupied = mWorld.slots.GetInstrument(slot) != nullptr;
    switch (command)
    {
    case kDelete: mModel.DeleteSelected(); break;
    case kDuplicate: mModel.DuplicateSelected(); break;
    case kSplit: mModel.SplitParts(int32_t(NextTick())); break;
    case kMerge: mModel.MergeParts(); break;
    case kDraw: mModel.DrawPart(NextRow(), NextTick(), NextTick()); break;
    case kToPattern: mModel.ConvertToPattern(); break;
    case kToPart: mModel.ConvertToPart(); break;
    case kAddTrack:
        if (tracks.GetCount() < cTrackList::kMaxTracks)
            mModel.AddTrack(slot);
        break;
    case kDeleteTrack: mModel.DeleteTrack(NextRow()); break;
    case kAddInstrument:
        // The instrument properties dialogue adds only into an empty slot.
        if (!occupied && tracks.GetCount() < cTrackList::kMaxTracks)
            mModel.AddInstrument(&mWorld.package, "Added", slot);
        break;
    case kSwapInstrument:
        if (occupied)
            mModel.SwapInstrument(&mWorld.package, "Swapped", slot);
        break;
    case kDeleteInstrument:
        if (occupied)
            mModel.DeleteInstrument(slot);
        break;
    case kMoveBy: mModel.MoveSelected(NextTick() - 20000.0f, float(NextRow()) - 3.0f); break;
    case kResizeBy: mModel.ResizeSelected(NextTick() - 20000.0f); break;
    default: break;
    }
}

bool cSongEditExerciser::Fail(const std::string& text)
{
    mFailure = text;
    return false;
}

bool cSongEditExerciser::Check(const char* operation)
{
    if (!CheckViews() || !CheckHistory())
    {
        mFailure = std::string(operation) + ": " + mFailure;
        return false;
    }
    return true;
}

bool cSongEditExerciser::CheckViews()
{
    const cTrackList& tracks = *mWorld.sequencer.GetTrackList();
    std::unordered_set<const cPatternInstance*> parts;
    for (int32_t i = 0; i < tracks.GetCount(); ++i)
        for (const cPatternInstance* part = tracks.GetTrack(i)->GetFirstPart(); part; part = part->next)
        {
            if (part->owner != tracks.GetTrack(i))
                return Fail("a part whose owner is another track");
            parts.insert(part);
        }
    std::unordered_set<const cPatternInstance*> shown;
    for (const cPartView* view = mModel.GetViews().GetFirst(); view; view = view->GetNext())
    {
        const cPatternInstance* part = view->part;
        if (!part || !parts.count(part) || !shown.insert(part).second)
            return Fail("a view shows no part of the song, or a part has two views");
        if (view->start != float(part->start) || view->end != float(part->GetEnd()) ||
            view->top != float(part->owner->GetIndex()))
            return Fail("a view's geometry is not its part's");
    }
    if (mModel.GetViewCount() + mModel.GetFreeViewCount() != cSongEditModel::kMaxViews)
        return Fail("views lost from the pools");
    if (parts.size() <= size_t(cSongEditModel::kMaxViews) && shown.size() != parts.size())
        return Fail("a part without a view");
    for (const auto* node = mModel.GetSelection().GetFirst(); node; node = node->GetNext())
        if (!node->view->part || node->view->selection != node)
            return Fail("a selection node of a free view");
    return true;
}

bool cSongEditExerciser::CheckHistory()
{
    const int32_t current = mModel.GetCurrentStep();
    if (int32_t(mStates.size()) != mModel.GetStepCount() + 1)
        return Fail("the history holds " + std::to_string(mModel.GetStepCount()) + " steps, expected " +
                    std::to_string(mStates.size() - 1));
    const cSongRecord now = Snapshot();
    if (now == mStates[size_t(current + 1)])
        return true;
    std::string steps;
    for (int32_t i = 0; i < mModel.GetStepCount(); ++i)
        steps += std::string(" \"") + mModel.GetStep(i)->GetName() + "\"";
    std::ostringstream song;
    song << "\nnow:" << now << "\nthen:" << mStates[size_t(current + 1)];
    return Fail("the song differs from its state at step " + std::to_string(current) + " of" + steps + song.str());
}

bool cSongEditExerciser::UndoAllRedoAll()
{
    mModel.GoToHistoryStep(-1);
    if (!Check("undoing everything"))
        return false;
    mModel.GoToHistoryStep(mModel.GetStepCount() - 1);
    return Check("redoing everything");
}
