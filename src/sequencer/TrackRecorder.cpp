#include "sequencer/TrackRecorder.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "audio/AudioEvent.h"
#include "audio/Transport.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"

namespace
{
constexpr int32_t kRecordedControllerLength = 16;
constexpr int32_t kDefaultControllerWindow = 16; // ticks, when the record grid has no interval
constexpr float kControllerFullScale = 32767.0f;

int32_t CurrentSession()
{
    const cSequencer* sequencer = cSequencer::GetInstance();
    return sequencer ? sequencer->GetRecordSessionId() : 0;
}

// Where a live event lands: on the record grid, rounded half away from zero,
// never before the song's start.
int32_t QuantisedTime(int32_t position)
{
    const float snapped = gRecordQuantizeGrid.Snap(static_cast<float>(position));
    return std::max(static_cast<int32_t>(std::round(snapped)), 0);
}

// A module parameter's value as the signed 16 bits a controller event keeps;
// values past full scale stay at the end they passed, a non-number is 0.
int32_t ControllerValue(float value)
{
    const float scaled = value * kControllerFullScale;
    if (scaled != scaled)
        return 0;
    return static_cast<int32_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

int32_t PositiveModulo(int32_t value, int32_t modulus)
{
    const int32_t remainder = value % modulus;
    return remainder < 0 ? remainder + modulus : remainder;
}

void CountChange() { ++gTransport.changeCounter; }
} // namespace

cTrackRecorder::cTrackRecorder(cTrack* track) : mTrack(track)
{
    for (cRecord& record : mRecords)
        mFree.InsertAfter(&record, mFree.GetLast());
}

cTrackRecorder::~cTrackRecorder() { DiscardHeldNotes(); }

// --- Capture ---

void cTrackRecorder::HandleEvent(const cAudioEvent& event, int32_t position)
{
    const bool ownTime = (event.flags & kAudioEventFlagOwnTime) != 0;
    const int32_t time = ownTime ? event.position : position;
    if (event.type == kAudioEventNoteOff)
        EndNote(event, time, position);
    else if (event.type == kAudioEventNoteOn || event.type == kAudioEventModuleParam)
        BeginEvent(event, time, position, ownTime);
}

void cTrackRecorder::EndNote(const cAudioEvent& event, int32_t time, int32_t position)
{
    cRecord* record = mHeld.GetLast();
    while (record && (record->finished || record->id != event.wordB))
        record = record->GetPrev();
    if (!record)
        return;
    const int64_t length = int64_t(time) - record->start;
    if (length <= 0)
    {
        Drop(record);
        return;
    }
    record->event->length = static_cast<int32_t>(std::min<int64_t>(length, INT32_MAX));
    record->finished = true;
    CommitUpTo(position);
}

void cTrackRecorder::BeginEvent(const cAudioEvent& event, int32_t time, int32_t position, bool ownTime)
{
    if (!mFree.GetFirst())
        CommitUpTo(position);
    cRecord* record = mFree.GetFirst();
    if (!record)
        return;
    mFree.Remove(record);
    cPatternEvent* recorded = cPatternEvent::Allocate();
    recorded->time = ownTime ? std::max(time, 0) : QuantisedTime(time);
    record->event = recorded;
    record->start = time;
    if (event.type == kAudioEventNoteOn)
    {
        recorded->SetNote(event.GetNote());
        recorded->SetVelocity(event.GetVelocity());
        record->id = event.wordB;
        record->finished = false;
        Hold(record);
        return;
    }
    recorded->flags = cPatternEvent::kFlagController;
    recorded->length = kRecordedControllerLength;
    recorded->SetControllerValue(ControllerValue(event.valueF));
    recorded->data3 = static_cast<uint8_t>(std::min<uint32_t>(event.wordB, 255));
    record->id = 0;
    record->finished = true;
    Hold(record);
    CommitUpTo(position);
}

void cTrackRecorder::Hold(cRecord* record)
{
    cRecord* position = mHeld.GetLast();
    while (position && position->event->time > record->event->time)
        position = position->GetPrev();
    mHeld.InsertAfter(record, position);
}

void cTrackRecorder::ReturnRecord(cRecord* record)
{
    mHeld.Remove(record);
    record->event = nullptr;
    mFree.InsertAfter(record, mFree.GetLast());
}

void cTrackRecorder::Drop(cRecord* record)
{
    cPatternEvent::Free(record->event);
    ReturnRecord(record);
}

// --- Held records ---

void cTrackRecorder::FinishHeldNotes(int32_t position)
{
    for (cRecord* record = mHeld.GetFirst(); record;)
    {
        cRecord* next = record->GetNext();
        const int32_t time = record->event->time;
        if (!record->finished && time == position - 1)
            Drop(record);
        else if (!record->finished && time < position - 1)
        {
            record->event->length = position - time - 1;
            record->finished = true;
        }
        record = next;
    }
}

void cTrackRecorder::DiscardHeldNotes()
{
    while (mHeld.GetFirst())
        Drop(mHeld.GetFirst());
}

void cTrackRecorder::MoveHeldToStart(int32_t position)
{
    const uint32_t touched = mTrack->GetTouchedControllers();
    for (cRecord* record = mHeld.GetFirst(); record;)
    {
        cRecord* next = record->GetNext();
        const cPatternEvent& event = *record->event;
        const bool keep = event.IsController() ? (touched & (1u << (event.data3 % 32))) != 0 : !record->finished;
        if (keep)
            record->event->time = record->start = position;
        else
            Drop(record);
        record = next;
    }
}

void cTrackRecorder::ShiftHeld(int32_t delta)
{
    for (cRecord* record = mHeld.GetFirst(); record; record = record->GetNext())
    {
        record->event->time += delta;
        record->start += delta;
    }
}

// --- Commit ---

void cTrackRecorder::CommitUpTo(int32_t position)
{
    if (!mHeld.GetFirst())
        return;
    if (gTransport.state == cTransport::kRecordCountIn)
    {
        // Nothing is filed before the downbeat: what was played and let go is lost.
        for (cRecord* record = mHeld.GetFirst(); record;)
        {
            cRecord* next = record->GetNext();
            if (record->finished)
                Drop(record);
            record = next;
        }
        return;
    }
    int32_t window = static_cast<int32_t>(gRecordQuantizeGrid.interval);
    if (window == 0)
        window = kDefaultControllerWindow;
    for (cRecord* record = mHeld.GetFirst(); record && record->event->time < position;)
    {
        cRecord* next = record->GetNext();
        if (record->finished)
        {
            cPatternEvent* event = record->event;
            ReturnRecord(record);
            Commit(event, position, window);
        }
        record = next;
    }
}

void cTrackRecorder::Commit(cPatternEvent* event, int32_t position, int32_t window)
{
    // A record shifted back by a loop jump may lie before the song's start.
    event->time = std::max(event->time, 0);
    cPatternInstance* part = mTrack->GetRecordPatternInstance(event->time, event->length, position);
    cPattern* pattern = part ? part->pattern : nullptr;
    if (!pattern || pattern->count >= cPattern::kMaxEvents)
    {
        cPatternEvent::Free(event);
        return;
    }
    const int32_t session = CurrentSession();
    event->flags = static_cast<uint8_t>((session << cPatternEvent::kSessionShift) |
                                        (event->flags & cPatternEvent::kFlagController));
    // A shared pattern without a loop of its own repeats over the part's length.
    event->time = PositiveModulo(event->time - part->start, part->GetLoopLength());
    cPatternEvent* hint = mTrack->PlaysPattern(pattern) ? mTrack->GetCursor() : nullptr;
    cPatternEvent* at = pattern->FindInsertPosition(event->time, hint);
    cPatternEvent* existing =
        event->IsController() ? pattern->FindController(at, *event, window) : pattern->FindNoteAt(at, *event);
    if (existing && (event->IsController() || existing->GetSession() == session))
    {
        // Played again in this pass (or a controller within one grid step): the newest value wins.
        if (event->IsController())
            existing->data1 = event->data1;
        existing->data2 = event->data2;
        cPatternEvent::Free(event);
        NotifyPatternEventChanged(kModelChanged, pattern, existing);
        return;
    }
    if (existing)
    {
        if (at == existing)
            at = existing->previous;
        NotifyPatternEventChanged(kModelRemoved, pattern, existing);
        pattern->RemoveEvent(existing);
        CountChange();
        if (cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance())
            journal->JournalRemovedEvent(existing, part);
        else
            cPatternEvent::Free(existing);
    }
    pattern->InsertAfter(event, at);
    CountChange();
    cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance();
    if (journal && part->recordSessionId != session)
    {
        journal->GetEntry(part);
        journal->CountAddedEvent();
    }
    NotifyPatternEventChanged(kModelAdded, pattern, event);
}
