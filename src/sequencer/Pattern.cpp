#include "sequencer/Pattern.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "audio/Transport.h"
#include "base/File.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/TrackList.h"

namespace
{
cTrackList* Tracks() { return cTrackList::GetInstance(); }

int32_t RoundHalfAwayFromZero(float ticks) { return static_cast<int32_t>(std::round(ticks)); }

bool SameController(const cPatternEvent& a, const cPatternEvent& b)
{
    return a.IsController() && a.data3 == b.data3 && a.GetSession() == b.GetSession();
}

bool SameNote(const cPatternEvent* a, const cPatternEvent& b)
{
    return a && !a->IsController() && a->data1 == b.data1 && a->time == b.time;
}
} // namespace

cPattern::~cPattern() { Clear(); }

void cPattern::Clear()
{
    while (cPatternEvent* event = head)
    {
        head = event->next;
        cPatternEvent::Free(event);
    }
    tail = nullptr;
    count = 0;
    referenceCount = 0;
    loopLength = 4 * gTransport.ticksPerBar.load();
}

void cPattern::Release()
{
    if (IsPrivate() && referenceCount == 1)
        Clear();
    else if (referenceCount > 0)
        --referenceCount;
}

cPatternEvent* cPattern::FindInsertPosition(int32_t time, cPatternEvent* hint) const
{
    if (!head)
        return nullptr;
    cPatternEvent* event = hint;
    if (!event)
    {
        const int64_t fromHead = int64_t(time) - head->time;
        event = fromHead <= (int64_t(tail->time) - head->time) / 2 ? head : tail;
    }
    if (event->time <= time)
    {
        while (event->next && event->next->time <= time)
            event = event->next;
        return event;
    }
    while (event && event->time > time)
        event = event->previous;
    return event;
}

void cPattern::InsertAfter(cPatternEvent* event, cPatternEvent* position)
{
    if (!position || !head)
    {
        event->previous = nullptr;
        event->next = head;
        if (head)
            head->previous = event;
        else
            tail = event;
        head = event;
    }
    else
    {
        event->previous = position;
        event->next = position->next;
        if (position->next)
            position->next->previous = event;
        else
            tail = event;
        position->next = event;
    }
    ++count;
}

void cPattern::InsertAndFixCursors(cPatternEvent* event, cPatternEvent* position)
{
    InsertAfter(event, position);
    if (cTrackList* tracks = Tracks())
        tracks->OnEventInserted(this, event);
}

void cPattern::InsertEventSorted(cPatternEvent* event)
{
    InsertAndFixCursors(event, FindInsertPosition(event->time, nullptr));
}

void cPattern::Unlink(cPatternEvent* event)
{
    if (event->previous)
        event->previous->next = event->next;
    else
        head = event->next;
    if (event->next)
        event->next->previous = event->previous;
    else
        tail = event->previous;
    event->previous = event->next = nullptr;
    --count;
}

void cPattern::RemoveEvent(cPatternEvent* event)
{
    if (cTrackList* tracks = Tracks())
        tracks->OnEventRemoved(this, event);
    Unlink(event);
}

void cPattern::MoveEvent(cPatternEvent* event, int32_t delta, const cQuantizeGrid* grid)
{
    cPatternEvent* before = event->previous;
    cPatternEvent* after = event->next;
    RemoveEvent(event);
    event->time += delta;
    if (grid)
        event->time = RoundHalfAwayFromZero(grid->Snap(static_cast<float>(event->time)));
    // The search starts where the event was, on the side it moved to.
    InsertAndFixCursors(event, FindInsertPosition(event->time, delta < 1 ? before : after));
}

cPatternEvent* cPattern::CopyEventFrom(const cPattern& source, const cPatternEvent* event, cPattern& destination,
                                       int32_t offset)
{
    cPatternEvent* copy = cPatternEvent::Allocate();
    copy->CopyFrom(*event);
    copy->time = event->time + offset;
    cPatternEvent* hint = &source == &destination ? const_cast<cPatternEvent*>(event) : nullptr;
    destination.InsertAndFixCursors(copy, destination.FindInsertPosition(copy->time, hint));
    return copy;
}

void cPattern::SetLoopLength(int32_t ticks)
{
    loopLength = ticks;
    if (cTrackList* tracks = Tracks())
        tracks->OnLoopLengthChanged(this);
}

void cPattern::SwapContents(cPattern& other)
{
    std::swap(loopLength, other.loopLength);
    std::swap(count, other.count);
    std::swap(head, other.head);
    std::swap(tail, other.tail);
    if (cTrackList* tracks = Tracks())
        tracks->OnContentsSwapped(this, &other);
}

void cPattern::ShiftEvents(int32_t delta)
{
    for (cPatternEvent* event = head; event; event = event->next)
        event->time += delta;
}

void cPattern::CopyRange(const cPattern& source, int32_t from, int32_t to)
{
    loopLength = source.loopLength;
    for (const cPatternEvent* event = source.head; event; event = event->next)
    {
        if (event->time < from || event->time >= to)
            continue;
        cPatternEvent* copy = cPatternEvent::Allocate();
        copy->CopyFrom(*event);
        Append(copy);
    }
}

void cPattern::CopyRepeated(const cPattern& source, int32_t length)
{
    int32_t loop = source.loopLength;
    if (loop == 0 || loop > length)
        loop = length;
    // Nothing to repeat without a loop of at least a tick.
    if (loop < 1)
        return;
    for (int64_t offset = 0;; offset += loop)
    {
        bool copied = false;
        for (const cPatternEvent* event = source.head; event && event->time < loop; event = event->next)
        {
            const int64_t time = event->time + offset;
            if (time >= length || count >= kMaxEvents)
                return;
            cPatternEvent* copy = cPatternEvent::Allocate();
            copy->CopyFrom(*event);
            copy->time = static_cast<int32_t>(time);
            Append(copy);
            copied = true;
        }
        // A source whose events all lie past its loop gives nothing to repeat.
        if (!copied)
            return;
    }
}

cPatternEvent* cPattern::FindController(cPatternEvent* position, const cPatternEvent& added, int32_t window) const
{
    for (cPatternEvent* event = position; event && event->time > added.time - window; event = event->previous)
        if (SameController(*event, added))
            return event;
    for (cPatternEvent* event = position ? position->next : head; event && event->time < added.time + window;
         event = event->next)
        if (SameController(*event, added))
            return event;
    return nullptr;
}

void cPattern::Serialise(File::cFile& stream)
{
    if (stream.IsReading())
        Clear();
    stream.SerialiseInt32(&loopLength);
    uint32_t stored = static_cast<uint32_t>(count);
    stream.SerialiseUInt32(&stored);
    if (!stream.IsReading())
    {
        for (cPatternEvent* event = head; event; event = event->next)
            event->Serialise(stream);
        return;
    }
    bool ordered = true;
    for (uint32_t i = 0; i < stored; ++i)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->Serialise(stream);
        ordered = ordered && (!tail || tail->time <= event->time);
        Append(event);
    }
    if (!ordered)
        SortByTime();
}

// Stable, so events of one time keep the file's order.
void cPattern::SortByTime()
{
    std::vector<cPatternEvent*> events;
    events.reserve(size_t(count));
    for (cPatternEvent* event = head; event; event = event->next)
        events.push_back(event);
    std::stable_sort(events.begin(), events.end(),
                     [](const cPatternEvent* a, const cPatternEvent* b) { return a->time < b->time; });
    head = tail = nullptr;
    count = 0;
    for (cPatternEvent* event : events)
        Append(event);
}

cPatternEvent* cPattern::FindNoteAt(cPatternEvent* position, const cPatternEvent& added) const
{
    if (!position)
        return SameNote(head, added) ? head : nullptr;
    // The position is the last event of its tick: a chord recorded again
    // finds each of its notes among those before it.
    for (cPatternEvent* event = position; event && event->time == added.time; event = event->previous)
        if (SameNote(event, added))
            return event;
    return SameNote(position->next, added) ? position->next : nullptr;
}
