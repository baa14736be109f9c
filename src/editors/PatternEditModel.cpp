#include "editors/PatternEditModel.h"

#include <algorithm>
#include <functional>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "editors/PatternEditAction.h"
#include "editors/SongEditLock.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

namespace
{
// Controller bars and the grey note bars behind them in the controller lane.
constexpr uint32_t kControllerBottomColour = 0xC8EBE1E1;
constexpr uint32_t kControllerTopColour = 0xC8CCB258;
constexpr uint32_t kNoteBehindControllerColour = 0xFF404040;

// Light and pale for soft notes, deep blue for loud ones.
uint32_t VelocityColour(int32_t velocity)
{
    const uint32_t red = uint32_t(225 - 137 * velocity / 127);
    const uint32_t green = uint32_t(225 - 47 * velocity / 127);
    const uint32_t blue = uint32_t(235 - 31 * velocity / 127);
    return 200u << 24 | blue << 16 | green << 8 | red;
}

const cInstrumentPackage* PianoRollBlockOf(const cPatternInstance* part)
{
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!slots || !part->owner)
        return nullptr;
    const cInstrument* instrument = slots->GetInstrument(part->owner->GetChannel());
    return instrument ? instrument->GetPackage() : nullptr;
}
} // namespace

cPatternEditModel::cPatternEditModel()
{
    for (cEventView& view : mViews)
        mFreeViews.PushBack(&view);
    for (cSelectionNode& node : mNodes)
        mFreeNodes.PushBack(&node);
}

cPatternEditModel::~cPatternEditModel()
{
    ClearHistory();
    DropBackup();
}

cPattern* cPatternEditModel::GetPattern() const { return mPart ? mPart->pattern : nullptr; }

const cInstrumentPackage::cControllerParam* cPatternEditModel::GetControllerEntry() const
{
    return mPianoRollBlock ? mPianoRollBlock->GetControllerParam(mControllerIndex) : nullptr;
}

void cPatternEditModel::Bind(cPatternInstance* part)
{
    DropBackup();
    Reset();
    mPart = part;
    mPianoRollBlock = part ? PianoRollBlockOf(part) : nullptr;
}

void cPatternEditModel::Reset()
{
    ClearSelection();
    FreeAllViews();
    ForgetSelection();
    ClearHistory();
}

void cPatternEditModel::FreeAllViews()
{
    while (cEventView* view = mUsedViews.GetLast())
        FreeView(view);
}

void cPatternEditModel::RebuildViews()
{
    Reset();
    if (cPattern* pattern = GetPattern())
    {
        cSongEditLock lock(cSongEditLock::kRead);
        for (cPatternEvent* event = pattern->head; event && !mFreeViews.IsEmpty(); event = event->next)
            AddView(event, false);
    }
    eventGeometryDirty = true;
    visibleBoundsDirty = true;
}

void cPatternEditModel::RefreshViews()
{
    {
        cSongEditLock lock(cSongEditLock::kRead);
        UpdateAllViews();
    }
    SetDirty();
}

void cPatternEditModel::UpdateAllViews()
{
    for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        UpdateView(view, view->event);
}

void cPatternEditModel::SetDirty()
{
    eventGeometryDirty = true;
    visibleBoundsDirty = true;
    selectionGeometryDirty = true;
}

bool cPatternEditModel::SetLane(int32_t lane, int32_t controllerIndex, bool keepSelection)
{
    const int32_t previous = mLane;
    mLane = lane;
    mControllerIndex = controllerIndex;
    const cInstrumentPackage::cControllerParam* entry = GetControllerEntry();
    mNoteScale = entry ? (entry->maximum - entry->minimum) /
                             (mPianoRollBlock->GetKeyRangeHigh() - mPianoRollBlock->GetKeyRangeLow())
                       : 0.0f;

    bool kept = false;
    {
        cSongEditLock lock(cSongEditLock::kRead);
        if (keepSelection && previous == kLaneVelocity && lane == kLaneNotes)
            kept = true;
        else if (keepSelection && previous == kLaneNotes && lane == kLaneVelocity)
        {
            kept = true;
            if (!mSelection.IsEmpty())
            {
                // Only the selected notes are shown and editable as velocities.
                for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
                    view->flags &= ~kViewShown;
                for (cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
                    UpdateView(node->view, node->view->event);
            }
        }
        if (!kept)
            ClearSelection();
        if (!kept || mSelection.IsEmpty() || lane == kLaneNotes)
            UpdateAllViews();
    }
    SetDirty();
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return kept;
}

cPatternEditModel::cEventView* cPatternEditModel::AddView(cPatternEvent* event, bool select)
{
    if (!event || mFreeViews.IsEmpty())
        return nullptr;
    cEventView* view = mFreeViews.PopFront();
    mUsedViews.PushBack(view);
    UpdateView(view, event);
    if (select && (view->flags & kViewSelectable))
        Select(view, false);
    return view;
}

void cPatternEditModel::FreeView(cEventView* view)
{
    if (view->selection)
    {
        mSelection.Remove(view->selection);
        mFreeNodes.PushFront(view->selection);
        view->selection->view = nullptr;
        view->selection = nullptr;
    }
    mUsedViews.Remove(view);
    view->event = nullptr;
    view->flags = 0;
    mFreeViews.PushFront(view);
}

cPatternEditModel::cEventView* cPatternEditModel::FindViewOfEvent(const cPatternEvent* event) const
{
    for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        if (view->event == event)
            return view;
    return nullptr;
}

void cPatternEditModel::IndexViewsByEvent()
{
    mIndexCount = 0;
    for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        mIndex[mIndexCount++] = {view->event, view};
    std::sort(mIndex, mIndex + mIndexCount, [](const cIndexEntry& a, const cIndexEntry& b)
              { return std::less<const cPatternEvent*>()(a.event, b.event); });
}

cPatternEditModel::cEventView* cPatternEditModel::FindIndexedView(const cPatternEvent* event) const
{
    const cIndexEntry* end = mIndex + mIndexCount;
    const cIndexEntry* found = std::lower_bound(mIndex, end, event, [](const cIndexEntry& entry, const cPatternEvent* e)
                                                { return std::less<const cPatternEvent*>()(entry.event, e); });
    return found != end && found->event == event && found->view->event == event ? found->view : nullptr;
}

void cPatternEditModel::UpdateView(cEventView* view, cPatternEvent* event)
{
    view->event = event;
    view->start = float(event->time);
    view->end = float(event->time) + float(event->length);
    view->note = event->IsController() ? 0 : event->data1;
    view->bottom = 0.0f;
    view->top = 0.0f;
    view->flags = 0;
    if (event->IsController())
    {
        const cInstrumentPackage::cControllerParam* entry = GetControllerEntry();
        if (mLane != kLaneController || !entry)
            return;
        view->bottom = entry->centred ? (entry->minimum + entry->maximum) * 0.5f : entry->minimum;
        view->top = float(event->GetControllerValue());
        view->bottomColour = kControllerBottomColour;
        view->topColour = kControllerTopColour;
        view->flags = uint32_t(event->data3) == uint32_t(entry->paramIndex) ? uint32_t(kViewShown) : 0u;
        return;
    }
    if (mLane == kLaneController)
    {
        const cInstrumentPackage::cControllerParam* entry = GetControllerEntry();
        if (!entry)
            return;
        // The instrument's note range stretched over the controller's range.
        view->bottom = float(event->data1 - mPianoRollBlock->GetKeyRangeLow()) * mNoteScale + entry->minimum;
        view->top = view->bottom + mNoteScale;
        view->bottomColour = view->topColour = kNoteBehindControllerColour;
        view->flags = kViewDrawn;
        return;
    }
    view->bottomColour = view->topColour = VelocityColour(event->data2);
    view->flags = kViewShown;
    if (mLane == kLaneNotes)
    {
        view->bottom = float(event->data1);
        view->top = float(event->data1 + 1);
    }
    else
        view->top = float(event->data2);
}

