#include "sequencer/RecordUndoJournal.h"

#include <algorithm>

#include "sequencer/BlockPool.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

namespace
{
cBlockPool<cRecordUndoJournal::cEntry, cRecordUndoJournal::kPoolBlock> gEntryPool;

void FreeKeptEvents(cRecordUndoJournal::cEntry& entry)
{
    while (cPatternEvent* event = entry.removed)
    {
        entry.removed = event->next;
        cPatternEvent::Free(event);
    }
}
} // namespace

cRecordUndoJournal::cRecordUndoJournal() : cSingleton(this) {}

cRecordUndoJournal::~cRecordUndoJournal() { Clear(); }

void cRecordUndoJournal::TopUpPool(int32_t reserve) { gEntryPool.TopUp(reserve); }

int32_t cRecordUndoJournal::GetPoolFreeCount() { return gEntryPool.GetFreeCount(); }

void cRecordUndoJournal::BeginSession(int32_t sessionId)
{
    if (sessionId == mSessionId)
        return;
    Clear();
    mSessionId = sessionId;
}

cRecordUndoJournal::cEntry* cRecordUndoJournal::FindEntry(const cPatternInstance* part) const
{
    for (cEntry* entry = mFirst; entry; entry = entry->next)
        if (entry->part == part)
            return entry;
    return nullptr;
}

cRecordUndoJournal::cEntry* cRecordUndoJournal::GetEntry(cPatternInstance* part)
{
    if (cEntry* entry = FindEntry(part))
        return entry;
    cEntry* entry = gEntryPool.Allocate();
    entry->part = part;
    entry->length = part->length;
    if (mLast)
        mLast->next = entry;
    else
        mFirst = entry;
    mLast = entry;
    return entry;
}

void cRecordUndoJournal::JournalRemovedEvent(cPatternEvent* event, cPatternInstance* part)
{
    // Undo would take away the part, or the event itself, anyway.
    const bool inSession = mSessionId != 0;
    if (!part || (inSession && part->recordSessionId == mSessionId))
    {
        cPatternEvent::Free(event);
        return;
    }
    if (inSession && event->GetSession() == mSessionId)
    {
        cPatternEvent::Free(event);
        mAddedCount = std::max(mAddedCount - 1, 0);
        return;
    }
    cEntry* entry = GetEntry(part);
    event->previous = nullptr;
    event->next = entry->removed;
    entry->removed = event;
    ++mRemovedCount;
}

cRecordUndoJournal::cEntry* cRecordUndoJournal::TakeEntries()
{
    cEntry* entries = mFirst;
    mFirst = mLast = nullptr;
    mRemovedCount = 0;
    mAddedCount = 0;
    return entries;
}

void cRecordUndoJournal::ReleaseEntry(cEntry* entry)
{
    FreeKeptEvents(*entry);
    gEntryPool.Free(entry);
}

void cRecordUndoJournal::Clear()
{
    cEntry* entry = TakeEntries();
    while (entry)
    {
        cEntry* next = entry->next;
        ReleaseEntry(entry);
        entry = next;
    }
}

bool cRecordUndoJournal::Undo()
{
    if (mSessionId == 0 || !mFirst)
        return false;
    int32_t added = mAddedCount;
    // Taken out first: relocating a track may commit what it still records,
    // which journals into a new list rather than the one being undone.
    cEntry* entry = TakeEntries();
    mUndoing = true;
    while (entry)
    {
        cEntry* next = entry->next;
        if (entry->part->recordSessionId == mSessionId)
            UndoCreatedPart(entry->part);
        else
            UndoChangedPart(*entry, added);
        ReleaseEntry(entry);
        entry = next;
    }
    mUndoing = false;
    return true;
}

void cRecordUndoJournal::UndoCreatedPart(cPatternInstance* part)
{
    NotifyPatternInstanceChanged(kModelRemoved, part);
    if (part->owner)
        part->owner->RemovePart(part);
    part->Release();
}

void cRecordUndoJournal::UndoChangedPart(cEntry& entry, int32_t& added)
{
    cPatternInstance* part = entry.part;
    if (part->length != entry.length)
    {
        if (part->owner)
            part->owner->SetPartLength(part, entry.length);
        else
            part->length = entry.length;
        NotifyPatternInstanceChanged(kModelChanged, part);
    }
    cPattern* pattern = part->pattern;
    if (!pattern)
        return;
    for (cPatternEvent* event = pattern->head; event && added > 0;)
    {
        cPatternEvent* next = event->next;
        if (event->GetSession() == mSessionId)
        {
            NotifyPatternEventChanged(kModelRemoved, pattern, event);
            pattern->RemoveEvent(event);
            cPatternEvent::Free(event);
            --added;
        }
        event = next;
    }
    while (cPatternEvent* event = entry.removed)
    {
        entry.removed = event->next;
        event->next = nullptr;
        pattern->InsertEventSorted(event);
        NotifyPatternEventChanged(kModelAdded, pattern, event);
    }
}

void cRecordUndoJournal::OnPartReleased(const cPatternInstance* part)
{
    if (!mUndoing && FindEntry(part))
        Clear();
}

void cRecordUndoJournal::ForgetSession(int32_t sessionId)
{
    for (cEntry* entry = mFirst; entry; entry = entry->next)
        for (cPatternEvent* event = entry->removed; event; event = event->next)
            if (event->GetSession() == sessionId)
                event->flags &= cPatternEvent::kFlagController;
}

void cRecordUndoJournal::OnTrackRemoved(const cTrack* track)
{
    for (cEntry* entry = mFirst; entry; entry = entry->next)
    {
        if (entry->part->owner == track)
        {
            Clear();
            return;
        }
    }
}
