#pragma once
#include <cstdint>

#include "base/Singleton.h"

class cPatternInstance;
class cTrack;
struct cPatternEvent;

// What the last record session changed, so that it can be undone in one
// step: per part, its length before the session and the events the session
// removed from it (kept, not freed); parts the session created are known by
// their session ID, events it added by theirs. One per program, owned by the
// sequencer; used under the sequencer lock on the audio thread (recording,
// erasing) and the main thread (undo, clear).
class cRecordUndoJournal : public Base::cSingleton<cRecordUndoJournal>
{
public:
    static constexpr int32_t kPoolBlock = 16;

    struct cEntry
    {
        cEntry* next = nullptr;
        cPatternInstance* part = nullptr;
        int32_t length = 0;                   // the part's length when the entry was made
        cPatternEvent* removed = nullptr;     // kept events, linked through their next pointers
    };

    cRecordUndoJournal();
    ~cRecordUndoJournal();
    cRecordUndoJournal(const cRecordUndoJournal&) = delete;
    cRecordUndoJournal& operator=(const cRecordUndoJournal&) = delete;

    // A new session forgets the last one.
    void BeginSession(int32_t sessionId);
    // The part's entry, made with its current length when missing.
    cEntry* GetEntry(cPatternInstance* part);
    // An event recorded into a part that existed before the session.
    void CountAddedEvent() { ++mAddedCount; }
    // An event recording replaced or playback erased, already unlinked: kept
    // for undo, or freed when undo would remove it anyway.
    void JournalRemovedEvent(cPatternEvent* event, cPatternInstance* part);
    // Takes back the session: its parts go, its events go, what it removed
    // comes back and lengths are restored. False when there is nothing to undo.
    // The caller counts the change.
    bool Undo();
    // Frees what was kept and forgets every entry; the session stays.
    void Clear();
    // A part or track going away outside undo: an entry would point at freed
    // records, so the journal is dropped.
    void OnPartReleased(const cPatternInstance* part);
    void OnTrackRemoved(const cTrack* track);
    // An older session's ID taken again: the kept events no longer carry it.
    void ForgetSession(int32_t sessionId);

    int32_t GetSessionId() const { return mSessionId; }
    bool HasEntries() const { return mFirst != nullptr; }
    int32_t GetRemovedCount() const { return mRemovedCount; }
    int32_t GetAddedCount() const { return mAddedCount; }

    // Main thread: free entries ready for a recording pass (cBlockPool::TopUp).
    static void TopUpPool(int32_t reserve);
    static int32_t GetPoolFreeCount();

private:
    cEntry* FindEntry(const cPatternInstance* part) const;
    // Entries as a list of their own, the journal left empty.
    cEntry* TakeEntries();
    static void ReleaseEntry(cEntry* entry);
    void UndoCreatedPart(cPatternInstance* part);
    void UndoChangedPart(cEntry& entry, int32_t& added);

    int32_t mSessionId = 0; // 0 before the first session
    int32_t mRemovedCount = 0;
    int32_t mAddedCount = 0;
    cEntry* mFirst = nullptr; // in the order they were made
    cEntry* mLast = nullptr;
    bool mUndoing = false;
};
