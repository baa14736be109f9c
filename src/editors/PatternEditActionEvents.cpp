#include "editors/PatternEditAction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"

// The kinds that take events out of the pattern, copy them or draw new ones.
// The model's free views form a stack. An undo gives views back and takes
// them again in exactly the reverse order of its run, and a redo repeats its
// run's order exactly, so every event gets back the view it had and the
// views that earlier and later steps hold keep showing their own events.

namespace
{
constexpr int32_t kVelocity = 100;        // of drawn notes
constexpr float kTapTicks = 8.0f;         // a press and release closer than this is a tap
constexpr int32_t kControllerLength = 16; // of drawn controller events
// Redundant controller events: ids below 16 are thinned; an event closer
// than 16 ticks to the last one kept, or within 16 of its value, goes,
// except values near zero or the ends of the range, which always stay.
constexpr int32_t kThinnedControllers = 16;
constexpr int32_t kThinTicks = 16;
constexpr int32_t kThinValues = 16;
constexpr int32_t kLowestThinnedValue = 17;
constexpr int32_t kHighestThinnedValue = 32750;
constexpr float kFarTick = 1.0e9f;

int32_t Round(float ticks) { return int32_t(std::round(ticks)); }

cQuantizeGrid GridOf(float interval, float swing)
{
    cQuantizeGrid grid;
    grid.on = 1;
    grid.interval = interval;
    grid.swingOffset = swing;
    return grid;
}

bool IsDuplicateOf(const cPatternEvent& event, const cPatternEvent& other)
{
    if (event.IsController())
        return other.IsController() && other.data3 == event.data3;
    return !other.IsController() && other.data1 == event.data1;
}
} // namespace

bool cPatternEditAction::CanCreate() const
{
    return mModel->GetFreeViewCount() > 0 && mPattern->count < cPatternEditModel::kMaxEvents;
}

void cPatternEditAction::Create(cPatternEvent* event)
{
    mPattern->InsertEventSorted(event);
    mCreated.push_back(mModel->AddView(event, true));
}

void cPatternEditAction::RemoveView(cEventView* view)
{
    cPatternEvent* event = view->event;
    mPattern->RemoveEvent(event);
    mRemoved.push_back(event);
    mModel->FreeView(view);
}

// The undo of a removal: each event back in time order with a selected view.
// The views become the items in the order their events were removed, for a
// redo to remove them again in that order.
void cPatternEditAction::PutBackRemoved()
{
    mItems.assign(mRemoved.size(), nullptr);
    for (size_t i = mRemoved.size(); i-- > 0;)
    {
        mPattern->InsertEventSorted(mRemoved[i]);
        mItems[i] = mModel->AddView(mRemoved[i], true);
    }
    mRemoved.clear();
}

// In the items' order; a redo's items are the views an undo put back.
void cPatternEditAction::RemoveItems()
{
    const std::vector<cEventView*> putBack = std::move(mItems);
    mItems.clear();
    for (cEventView* view : putBack)
        if (view)
            RemoveView(view);
}

void cPatternEditAction::FreeCreated()
{
    for (size_t i = mCreated.size(); i-- > 0;)
    {
        cEventView* view = mCreated[i];
        cPatternEvent* event = view->event;
        mPattern->RemoveEvent(event);
        mModel->FreeView(view);
        cPatternEvent::Free(event);
    }
    mCreated.clear();
}

void cPatternEditAction::DeleteItems()
{
    if (IsFirstRun())
        mRemoved.reserve(mItems.size());
    mRemoved.clear();
    RemoveItems();
    mModel->ClearSelection();
}

void cPatternEditAction::DeleteAllViews()
{
    if (IsFirstRun())
    {
        mItems.clear();
        mRemoved.reserve(size_t(mModel->GetViewCount()));
    }
    mRemoved.clear();
    if (!IsFirstRun())
        RemoveItems();
    while (cEventView* view = mModel->mUsedViews.GetFirst())
        RemoveView(view);
    mModel->ClearSelection();
}

void cPatternEditAction::CopyItems()
{
    mModel->ClearSelection();
    if (IsFirstRun())
        mCreated.reserve(mItems.size());
    mCreated.clear();
    for (cEventView* view : mItems)
    {
        if (!CanCreate())
            break;
        cPatternEvent* copy = cPattern::CopyEventFrom(*mPattern, view->event, *mPattern, parameters.amount);
        mCreated.push_back(mModel->AddView(copy, true));
    }
}

// The copies go; the events copied are selected again.
void cPatternEditAction::UncopyItems()
{
    const size_t copied = mCreated.size();
    FreeCreated();
    for (size_t i = 0; i < copied; ++i)
        mModel->Select(mItems[i], false);
}

// Every event of the source that ends within the edited part's loop, at its
// own time; a pattern without a loop of its own loops at the part's length.
void cPatternEditAction::CopyPattern()
{
    mModel->ClearSelection();
    mItems.clear();
    const cPattern* source = cPatternTable::GetInstance()->GetPattern(parameters.amount);
    if (IsFirstRun())
        mCreated.reserve(size_t(source->count));
    mCreated.clear();
    const int64_t loop = mPart->GetLoopLength();
    for (const cPatternEvent* event = source->head; event && CanCreate(); event = event->next)
    {
        if (int64_t(event->time) + event->length > loop)
            break;
        mCreated.push_back(mModel->AddView(cPattern::CopyEventFrom(*source, event, *mPattern, 0), true));
    }
}

void cPatternEditAction::Clean()
{
    mModel->ClearSelection();
    mRemoved.clear();
    if (!IsFirstRun())
    {
        RemoveItems();
        for (cEventView* view : mKept)
            mModel->Select(view, false);
        return;
    }
    mItems.clear();
    mKept.clear();
    mRemoved.reserve(size_t(mPattern->count));
    mModel->IndexViewsByEvent();
    switch (parameters.amount)
    {
    case kCleanIdentical: CleanIdentical(); break;
    case kCleanRedundantControllers: CleanRedundantControllers(); break;
    default: CleanAllControllers(); break;
    }
}

// Later events at the same tick with the same note (or controller) go; the
// event that stays is selected.
void cPatternEditAction::CleanIdentical()
{
    for (cEventView* view = mModel->mUsedViews.GetFirst(); view; view = view->GetNext())
    {
        const cPatternEvent* event = view->event;
        bool found = false;
        for (cPatternEvent* other = event->next; other && other->time == event->time;)
        {
            cPatternEvent* next = other->next;
            cEventView* otherView = IsDuplicateOf(*event, *other) ? mModel->FindIndexedView(other) : nullptr;
            if (otherView)
            {
                RemoveView(otherView);
                if (!found)
                {
                    mModel->Select(view, true);
                    mKept.push_back(view);
                }
                found = true;
            }
            other = next;
        }
    }
}

void cPatternEditAction::CleanRedundantControllers()
{
    int32_t keptTime[kThinnedControllers];
    int32_t keptValue[kThinnedControllers] = {};
    std::fill(keptTime, keptTime + kThinnedControllers, -2 * kThinTicks);
    for (cPatternEvent* event = mPattern->head; event;)
    {
        cPatternEvent* next = event->next;
        const int32_t id = event->data3;
        if (event->IsController() && id < kThinnedControllers)
        {
            const int32_t value = event->GetControllerValue();
            const int32_t size = std::abs(value);
            const bool redundant = int64_t(event->time) - keptTime[id] < kThinTicks ||
                                   (size >= kLowestThinnedValue && size <= kHighestThinnedValue &&
                                    std::abs(value - keptValue[id]) < kThinValues);
            // Only events the editor shows are edited; the rest stay.
            cEventView* view = redundant ? mModel->FindIndexedView(event) : nullptr;
            if (view)
                RemoveView(view);
            else
            {
                keptTime[id] = event->time;
                keptValue[id] = value;
            }
        }
        event = next;
    }
}

void cPatternEditAction::CleanAllControllers()
{
    for (cEventView* view = mModel->mUsedViews.GetFirst(); view;)
    {
        cEventView* next = view->GetNext();
        if (view->event->IsController())
            RemoveView(view);
        view = next;
    }
}

// A tap on a note of the row deletes it. Otherwise the row is cleared over
// the span and refilled: one note per grid cell (a swung cell is the
// interval plus or minus the swing), or one note over the span without a grid.
void cPatternEditAction::DrawNotes()
{
    mModel->ClearSelection();
    if (IsFirstRun())
    {
        mItems.clear();
        mRemoved.reserve(size_t(mPattern->count));
    }
    mRemoved.clear();
    mCreated.clear();
    const int32_t note = int32_t(parameters.valueA);
    const float press = parameters.tickA;
    const float interval = parameters.interval, swing = parameters.swing;
    const cQuantizeGrid grid = GridOf(interval, swing);
    const bool drag = std::fabs(press - parameters.tickB) > kTapTicks;
    float a = press, b = drag ? parameters.tickB : press;
    if (b < a)
        std::swap(a, b);
    bool snapped = false;
    if (interval <= 0.0f)
    {
        if (b <= a)
            b = a + kTapTicks;
    }
    else if (drag)
    {
        a = grid.Floor(a);
        b = grid.Ceil(b, true);
        snapped = true;
    }

    const bool hit = ClearRow(a, b, [note](const cPatternEvent& e) { return !e.IsController() && e.data1 == note; });
    if (hit && !drag)
        return;

    if (IsFirstRun())
        mCreated.reserve(interval > 0.0f ? size_t(std::max(0, cPatternEditModel::kMaxEvents - mPattern->count)) : 1);
    if (interval <= 0.0f)
    {
        if (CanCreate())
            Create(NewNote(Round(a), Round(b - a)));
        return;
    }
    if (!snapped)
    {
        a = grid.Floor(a);
        b = grid.Ceil(b, true);
    }
    b -= 0.5f;
    for (int64_t k = int64_t(a / interval); a < b && CanCreate();)
    {
        Create(NewNote(Round(a), Round((k & 1) ? interval - swing : interval + swing)));
        ++k;
        a = float(k) * interval + ((k & 1) ? swing : 0.0f);
    }
}

cPatternEvent* cPatternEditAction::NewNote(int32_t time, int32_t length) const
{
    cPatternEvent* event = cPatternEvent::Allocate();
    event->time = time;
    event->length = length;
    event->SetNote(int32_t(parameters.valueA));
    event->SetVelocity(kVelocity);
    return event;
}

// Each note under the line gets the velocity of the line at its middle.
void cPatternEditAction::DrawVelocities()
{
    mModel->ClearSelection();
    if (IsFirstRun())
    {
        mItems.clear();
        mItems.reserve(size_t(mModel->GetViewCount()));
        mValues.reserve(size_t(mModel->GetViewCount()));
    }
    const float a = parameters.tickA, b = parameters.tickB;
    // A redo changes the notes the first run changed, whatever is shown now.
    if (IsFirstRun())
        for (cEventView* view = mModel->mUsedViews.GetFirst(); view; view = view->GetNext())
            if ((view->flags & cPatternEditModel::kViewSelectable) && !view->event->IsController() &&
                view->start < b && a < view->end)
                mItems.push_back(view);
    const float va = parameters.valueA, vb = parameters.valueB;
    const float low = std::min(va, vb), high = std::max(va, vb);
    const float span = std::max(b - a, 1.0f);
    mValues.clear();
    for (cEventView* view : mItems)
    {
        cPatternEvent* event = view->event;
        const float v = std::clamp(((view->start + view->end) * 0.5f - a) / span * (vb - va) + va, low, high);
        mValues.push_back(event->data2);
        event->SetVelocity(int32_t(std::clamp(v, 1.0f, 127.0f)));
        mModel->UpdateView(view, event);
        mModel->Select(view, false);
    }
}

// Removes the shown events that pass the test and overlap (start, end); true
// when one of them holds the press inside. A redo removes what the undo put
// back, so it takes out the same events as the first run whatever lane is
// shown by then.
template <class tTest>
bool cPatternEditAction::ClearRow(float start, float end, tTest test)
{
    const float press = parameters.tickA;
    bool hit = false;
    auto take = [&](cEventView* view)
    {
        hit = hit || (view->start < press && press < view->end);
        RemoveView(view);
    };
    if (!IsFirstRun())
    {
        const std::vector<cEventView*> putBack = std::move(mItems);
        mItems.clear();
        for (cEventView* view : putBack)
            if (view)
                take(view);
        return hit;
    }
    for (cEventView* view = mModel->mUsedViews.GetFirst(); view;)
    {
        cEventView* next = view->GetNext();
        if ((view->flags & cPatternEditModel::kViewSelectable) && test(*view->event) && view->start < end &&
            start < view->end)
            take(view);
        view = next;
    }
    return hit;
}

// The controller's events over the snapped span are replaced by one per
// grid line, following the line from the first value to the second.
void cPatternEditAction::DrawControllers()
{
    mModel->ClearSelection();
    if (IsFirstRun())
    {
        mItems.clear();
        mRemoved.reserve(size_t(mPattern->count));
    }
    mRemoved.clear();
    mCreated.clear();
    const float interval = parameters.interval, swing = parameters.swing;
    const cQuantizeGrid grid = GridOf(interval, swing);
    const float a = parameters.tickA, b = parameters.tickB;
    const float from = grid.Snap(a), to = grid.Snap(b);
    const float span = std::max(b - a, 1.0f);
    const float va = parameters.valueA, vb = parameters.valueB;
    const float low = std::min(va, vb), high = std::max(va, vb);
    const uint8_t controller = uint8_t(parameters.controller);

    // Ends included: an event on either snapped line is replaced.
    ClearRow(std::nextafter(from, -kFarTick), std::nextafter(to, kFarTick),
             [controller](const cPatternEvent& e) { return e.IsController() && e.data3 == controller; });

    if (IsFirstRun())
        mCreated.reserve(size_t(std::max(0, cPatternEditModel::kMaxEvents - mPattern->count)));
    float x = from;
    for (int64_t k = int64_t(from / interval); x <= to && CanCreate();)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->flags = cPatternEvent::kFlagController;
        event->data3 = controller;
        event->time = Round(x);
        event->length = kControllerLength;
        event->SetControllerValue(int32_t(std::clamp((x - a) / span * (vb - va) + va, low, high)));
        Create(event);
        ++k;
        x = float(k) * interval + ((k & 1) ? swing : 0.0f);
    }
}
