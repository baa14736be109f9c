#include "sequencer/Track.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "audio/AudioEvent.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "base/File.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/Sequencer.h"
#include "sequencer/SongFileFormat.h"

namespace
{
constexpr float kMeterPerVelocity = 0.003f;
constexpr float kMeterPerNote = 0.25f;
constexpr float kMeterDecayPerFrame = 0.00002f;
constexpr float kMeterWhileSounding = 0.2f;
constexpr float kControllerScale = 3.051851e-05f; // 1 / 32767
constexpr uint32_t kAutomationSource = 1;           // a module parameter played by a track

int32_t SongPosition() { return gTransport.position.load(); }

int32_t CurrentSession()
{
    const cSequencer* sequencer = cSequencer::GetInstance();
    return sequencer ? sequencer->GetRecordSessionId() : 0;
}

// The bar line after a time (a time on a bar line goes to the next one) and
// the one at or before it, in the float ticks per bar.
int64_t CeilBar(int64_t ticks)
{
    const float bar = gTransport.ticksPerBarFloat.load();
    const float time = static_cast<float>(ticks);
    return static_cast<int64_t>(time + bar - std::fmod(time, bar));
}

int64_t FloorBar(int64_t ticks)
{
    const float time = static_cast<float>(ticks);
    return static_cast<int64_t>(time - std::fmod(time, gTransport.ticksPerBarFloat.load()));
}
} // namespace

cTrack::cTrack() : mRecorder(this)
{
    for (cSoundingNote& record : mRecords)
        mFree.InsertAfter(&record, mFree.GetLast());
}

cTrack::~cTrack() { Clear(); }

void cTrack::Clear()
{
    StopAndReload();
    mRecorder.DiscardHeldNotes();
    while (cPatternInstance* part = mFirstPart)
    {
        UnlinkPart(part);
        part->Release();
    }
    mMuteSolo = kNormal;
    mAudible = 1;
    mMeter = 0.0f;
    mCurrentPart = nullptr;
    mCursor = nullptr;
    mOffsetInPart = mPositionInLoop = mLoopPass = 0;
}

// --- Posting into the instrument ---

void cTrack::PostToInstrument(cAudioEvent& event) const
{
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!slots || mChannel < 0 || mChannel >= slots->GetCount())
        return;
    const cInstrument* instrument = slots->GetInstrument(mChannel);
    if (!instrument || !instrument->GetModule())
        return;
    event.slot = static_cast<uint8_t>(mChannel);
    instrument->GetModule()->PostEvent(event);
}

void cTrack::PostReloadParameters() const
{
    cAudioEvent event;
    event.type = kAudioEventReloadParams;
    PostToInstrument(event);
}

void cTrack::PostNoteOff(const cSoundingNote& record) const
{
    cAudioEvent event;
    event.type = kAudioEventNoteOff;
    event.SetNote(record.note, record.event->data2);
    event.wordB = record.voiceId;
    PostToInstrument(event);
}

void cTrack::SendPartProgramChange(const cPatternInstance* part)
{
    if (!mAudible || !part)
        return;
    for (const cPatternInstance* p = part; p; p = p->previous)
    {
        if (!p->HasProgramChange())
            continue;
        cAudioEvent kind;
        kind.type = kAudioEventSetIntParam;
        kind.wordA = 0;
        kind.wordB = static_cast<uint32_t>(p->GetPresetKind());
        PostToInstrument(kind);
        cAudioEvent preset = kind;
        preset.wordA = 1;
        preset.wordB = static_cast<uint32_t>(p->GetPresetId());
        PostToInstrument(preset);
        break;
    }
    const cPatternInstance* next = part->next;
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!next || !next->HasProgramChange() || !slots)
        return;
    cAudioEvent prepare;
    prepare.type = kAudioEventPrepareProgram;
    prepare.slot = static_cast<uint8_t>(mChannel);
    prepare.wordA = static_cast<uint32_t>(next->GetPresetKind());
    prepare.wordB = static_cast<uint32_t>(next->GetPresetId());
    slots->PostEvent(prepare);
}

// --- Sounding notes ---

void cTrack::FreeRecord(cSoundingNote* record)
{
    mSounding.Remove(record);
    record->event = nullptr;
    mFree.InsertAfter(record, mFree.GetLast());
}

void cTrack::ReleaseSoundingNote(cSoundingNote* record)
{
    PostNoteOff(*record);
    FreeRecord(record);
}

void cTrack::StopSoundingNotes()
{
    while (mSounding.GetFirst())
        ReleaseSoundingNote(mSounding.GetFirst());
}

void cTrack::StopAndReload()
{
    StopSoundingNotes();
    PostReloadParameters();
}

void cTrack::ReleaseEventNote(const cPatternEvent* event)
{
    for (cSoundingNote* record = mSounding.GetFirst(); record;)
    {
        cSoundingNote* next = record->GetNext();
        if (record->event == event)
            ReleaseSoundingNote(record);
        record = next;
    }
}

// A note sounds for at least one block: its note-off waits for a later block
// even when its end has already passed.
void cTrack::ReleaseEndedNotes()
{
    while (cSoundingNote* first = mSounding.GetFirst())
    {
        if (first->blockCounter == mBlockCounter || first->end > mPositionInLoop)
            return;
        ReleaseSoundingNote(first);
    }
}

// --- Parts ---

bool cTrack::IsInside(const cPatternInstance* part, int32_t ticks) const
{
    return ticks >= part->start && ticks < part->GetEnd();
}

void cTrack::LinkPart(cPatternInstance* part)
{
    cPatternInstance* before = mLastPart;
    while (before && before->start > part->start)
        before = before->previous;
    LinkPartAfter(part, before);
}

void cTrack::LinkPartAfter(cPatternInstance* part, cPatternInstance* before)
{
    part->previous = before;
    part->next = before ? before->next : mFirstPart;
    if (part->next)
        part->next->previous = part;
    else
        mLastPart = part;
    if (before)
        before->next = part;
    else
        mFirstPart = part;
    part->owner = this;
    ++mPartCount;
}

void cTrack::UnlinkPart(cPatternInstance* part)
{
    if (part->previous)
        part->previous->next = part->next;
    else
        mFirstPart = part->next;
    if (part->next)
        part->next->previous = part->previous;
    else
        mLastPart = part->previous;
    part->previous = part->next = nullptr;
    --mPartCount;
}

void cTrack::InsertPart(cPatternInstance* part)
{
    LinkPart(part);
    const int32_t position = SongPosition();
    const int32_t lower = part->previous ? part->previous->GetEnd() : INT32_MIN;
    if (!mCurrentPart || (position >= lower && position < part->GetEnd()))
        Locate(position);
}

void cTrack::RemovePart(cPatternInstance* part)
{
    UnlinkPart(part);
    if (part != mCurrentPart)
        return;
    mCurrentPart = nullptr;
    mCursor = nullptr;
    Locate(SongPosition());
}

bool cTrack::SetPartLength(cPatternInstance* part, int32_t length)
{
    if (length < 1)
        return false;
    const int32_t position = SongPosition();
    const bool wasInside = IsInside(part, position);
    part->length = length;
    if (part->pattern && part->pattern->IsPrivate())
        part->pattern->loopLength = length;
    if (IsInside(part, position) != wasInside)
        Locate(position);
    return true;
}

void cTrack::MovePart(cPatternInstance* part, int32_t delta)
{
    RemovePart(part);
    part->start += delta;
    InsertPart(part);
}

bool cTrack::SetPartPattern(cPatternInstance* part, int32_t patternNumber)
{
    if (!part->SetPattern(patternNumber))
        return false;
    if (part == mCurrentPart)
    {
        mCursor = nullptr;
        Locate(SongPosition());
    }
    return true;
}

cPatternInstance* cTrack::FindPartAt(int32_t ticks, cPatternInstance* hint) const
{
    if (!mFirstPart)
        return nullptr;
    ticks = std::max(ticks, 0);
    cPatternInstance* part = hint;
    if (!part)
    {
        const int64_t fromFirst = int64_t(ticks) - mFirstPart->start;
        part = fromFirst <= int64_t(mLastPart->start) - ticks ? mFirstPart : mLastPart;
    }
    while (part->next && part->next->start <= ticks)
        part = part->next;
    while (part->previous && part->start > ticks)
        part = part->previous;
    // Parts that cannot play are passed over: the nearest earlier one, else the next.
    for (cPatternInstance* earlier = part; earlier; earlier = earlier->previous)
        if (earlier->IsPlayable())
            return earlier;
    for (cPatternInstance* later = part->next; later; later = later->next)
        if (later->IsPlayable())
            return later;
    return nullptr;
}

int32_t cTrack::GetEndTime() const { return mLastPart ? mLastPart->GetEnd() : 0; }

// --- Recording into parts ---

bool cTrack::IsRecordedInSession(const cPatternInstance* part) const
{
    const int32_t session = CurrentSession();
    return session != 0 && part->recordSessionId == session && !part->IsShared() && part->pattern;
}

cPatternInstance* cTrack::GetRecordPatternInstance(int32_t time, int32_t length, int32_t seekPosition)
{
    const int64_t end = int64_t(time) + std::max(length, 0);
    cPatternInstance* part = FindPartAt(time, mCurrentPart);
    if (part && IsInside(part, time))
    {
        if (end < part->GetEnd())
            return part;
        if (!part->pattern || part->pattern->count >= cPattern::kMaxEvents)
            return nullptr;
        // A shared pattern's part keeps its length; the note's tail runs past it.
        return part->IsShared() ? part : ExtendRecordedPart(part, end);
    }
    // Past the end of a part this session made: that part grows to take it.
    if (part && time >= part->GetEnd() && IsRecordedInSession(part) && part->pattern->count < cPattern::kMaxEvents)
        return ExtendRecordedPart(part, end);
    cPatternInstance* next = part && time < part->start ? part : (part ? part->next : nullptr);
    if (next && IsRecordedInSession(next))
        return MoveRecordedPartBack(next, time);
    return CreateRecordedPart(time, end, seekPosition);
}

cPatternInstance* cTrack::ExtendRecordedPart(cPatternInstance* part, int64_t end)
{
    const int32_t limit = part->next ? part->next->start : cSequencer::kSongEnd;
    const int32_t newEnd = static_cast<int32_t>(std::min<int64_t>(CeilBar(end), limit));
    if (newEnd <= part->GetEnd())
        return newEnd > part->start ? part : nullptr;
    ++gTransport.changeCounter;
    // The entry keeps the length from before.
    if (cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance())
        journal->GetEntry(part);
    part->length = newEnd - part->start;
    part->pattern->loopLength = part->length;
    NotifyPatternInstanceChanged(kModelChanged, part);
    // Only the part playing here needs its cursor found again; clearing another
    // part's would silence the rest of its pass.
    if (part == mCurrentPart)
        mCursor = nullptr;
    return part;
}

cPatternInstance* cTrack::MoveRecordedPartBack(cPatternInstance* part, int32_t time)
{
    const int32_t lower = part->previous ? part->previous->GetEnd() : 0;
    const int32_t newStart = static_cast<int32_t>(std::max<int64_t>(FloorBar(time), lower));
    if (newStart > time || newStart >= part->start)
        return nullptr;
    const int32_t delta = part->start - newStart;
    part->start = newStart;
    part->length += delta;
    part->pattern->loopLength = part->length;
    part->pattern->ShiftEvents(delta);
    NotifyPatternInstanceChanged(kModelChanged, part);
    return part;
}

cPatternInstance* cTrack::CreateRecordedPart(int32_t time, int64_t end, int32_t seekPosition)
{
    cPatternInstance* before = mLastPart;
    while (before && before->start > time)
        before = before->previous;
    cPatternInstance* after = before ? before->next : mFirstPart;
    const int32_t lower = before ? before->GetEnd() : 0;
    const int32_t upper = after ? after->start : cSequencer::kSongEnd;
    const cSequencer* sequencer = cSequencer::GetInstance();
    const int32_t windowStart = sequencer ? std::min(sequencer->GetRecordWindowStart(), time) : time;
    const int32_t start = static_cast<int32_t>(std::max<int64_t>(lower, FloorBar(windowStart)));
    const int32_t newEnd = static_cast<int32_t>(std::min<int64_t>(CeilBar(end), upper));
    if (start > time || newEnd - start < 1)
        return nullptr;
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    if (!part)
        return nullptr;
    part->start = start;
    part->length = newEnd - start;
    part->pattern->loopLength = part->length;
    part->recordSessionId = CurrentSession();
    LinkPart(part);
    ++gTransport.changeCounter;
    if (cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance())
        journal->GetEntry(part);
    NotifyPatternInstanceChanged(kModelAdded, part);
    SetCurrentPart(part, seekPosition);
    return part;
}

void cTrack::UpdateOffsets(int32_t ticks)
{
    const int32_t loop = mCurrentPart->GetLoopLength();
    mOffsetInPart = ticks - mCurrentPart->start;
    mPositionInLoop = mOffsetInPart % loop;
    mLoopPass = mOffsetInPart / loop;
}

void cTrack::SetCurrentPart(cPatternInstance* part, int32_t ticks)
{
    if (!part || !part->IsPlayable())
    {
        mCurrentPart = nullptr;
        mCursor = nullptr;
        mOffsetInPart = mPositionInLoop = mLoopPass = 0;
        return;
    }
    mCurrentPart = part;
    UpdateOffsets(ticks);
    mCursor = part->pattern ? part->pattern->head : nullptr;
    while (mCursor && mCursor->time < mPositionInLoop)
        mCursor = mCursor->next;
    SendPartProgramChange(part);
}

// --- Playback ---

void cTrack::CommitRecording(int32_t ticks)
{
    mRecorder.FinishHeldNotes(ticks);
    mRecorder.CommitUpTo(ticks);
}

void cTrack::Locate(int32_t ticks)
{
    StopAndReload();
    if (!mFirstPart)
        return;
    CommitRecording(ticks);
    mRecorder.DiscardHeldNotes();
    SetCurrentPart(FindPartAt(ticks, mCurrentPart), ticks);
}

void cTrack::Relocate(int32_t newTicks, int32_t oldTicks)
{
    StopAndReload();
    CommitRecording(oldTicks);
    if (mFirstPart)
        SetCurrentPart(FindPartAt(newTicks, mCurrentPart), newTicks);
    else
        SetCurrentPart(nullptr, newTicks);
    mRecorder.ShiftHeld(newTicks - oldTicks);
}

void cTrack::CrossPatternLoop(int32_t ticks)
{
    if (!mCurrentPart)
        return;
    const int32_t loop = mCurrentPart->pattern ? mCurrentPart->pattern->loopLength : 0;
    if (loop <= 0 || loop >= mCurrentPart->length)
        return;
    const int64_t boundary = int64_t(loop) * (mLoopPass + 1) + mCurrentPart->start;
    if (ticks < boundary)
        return;
    PlayUpTo(static_cast<int32_t>(boundary - 1));
    Relocate(static_cast<int32_t>(boundary), static_cast<int32_t>(boundary));
}

void cTrack::PlayUpTo(int32_t ticks)
{
    if (mCurrentPart)
    {
        UpdateOffsets(ticks);
        if (IsInside(mCurrentPart, ticks))
        {
            while (mCursor && mCursor->time <= mPositionInLoop)
                PlayEvent();
        }
        else
        {
            // Leaving a part ends its notes but reloads nothing.
            StopSoundingNotes();
            cPatternInstance* next = mCurrentPart->next;
            while (next && !next->IsPlayable())
                next = next->next;
            if (next && next->start <= ticks)
            {
                CommitRecording(next->start);
                SetCurrentPart(next, next->start);
                while (mCursor && mCursor->time <= mPositionInLoop)
                    PlayEvent();
            }
        }
    }
    ReleaseEndedNotes();
}

// Held keys (or everything, or a touched controller while recording) wipe
// what playback reaches; the record undo journal keeps it.
bool cTrack::ShouldErase(const cPatternEvent& event) const
{
    if (gTransport.eraseAll)
        return true;
    if (!event.IsController())
        return gTransport.eraseKeys && mHeldKeys[event.data1 & 127] != 0;
    return gTransport.state == cTransport::kRecording && (mTouchedControllers & (1u << (event.data3 % 32))) != 0;
}

void cTrack::Erase(cPatternEvent* event)
{
    cPattern* pattern = mCurrentPart->pattern;
    NotifyPatternEventChanged(kModelRemoved, pattern, event);
    // Moves the cursor past the event.
    pattern->RemoveEvent(event);
    ++gTransport.changeCounter;
    if (cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance())
        journal->JournalRemovedEvent(event, mCurrentPart);
    else
        cPatternEvent::Free(event);
}

void cTrack::PlayEvent()
{
    cPatternEvent* event = mCursor;
    if (ShouldErase(*event))
    {
        Erase(event);
        return;
    }
    if (event->IsController())
        PlayController(event);
    else
        PlayNote(event);
    mCursor = event->next;
}

void cTrack::PlayNote(cPatternEvent* event)
{
    cSoundingNote* record = mFree.GetFirst();
    if (!record)
        return;
    mFree.Remove(record);
    record->event = event;
    record->end = event->time + event->length;
    record->note = event->data1;
    record->voiceId = MakeVoiceId(kVoiceSourceSequencer);
    record->blockCounter = mBlockCounter;
    cSoundingNote* position = mSounding.GetLast();
    while (position && position->end > record->end)
        position = position->GetPrev();
    mSounding.InsertAfter(record, position);

    cAudioEvent on;
    on.type = kAudioEventNoteOn;
    on.SetNote(event->data1, event->data2);
    on.wordB = record->voiceId;
    PostToInstrument(on);
    mMeter = std::min(1.0f, mMeter + float(event->data2) * kMeterPerVelocity + kMeterPerNote);
}

void cTrack::PlayController(const cPatternEvent* event) const
{
    cAudioEvent controller;
    controller.type = kAudioEventModuleParam;
    controller.wordA = kAutomationSource;
    controller.wordB = event->data3;
    controller.valueF = float(event->GetControllerValue()) * kControllerScale;
    PostToInstrument(controller);
}

void cTrack::DecayMeter(int32_t frames)
{
    const float floor = mSounding.GetCount() > 0 ? kMeterWhileSounding : 0.0f;
    mMeter = std::max(mMeter - float(frames) * kMeterDecayPerFrame, floor);
}

void cTrack::OnTransportStateChanged(int32_t oldState)
{
    const int32_t position = SongPosition();
    switch (gTransport.state.load())
    {
    case cTransport::kStopped:
        StopAndReload();
        CommitRecording(position);
        mRecorder.DiscardHeldNotes();
        break;
    case cTransport::kPlaying:
    case cTransport::kPlayCountIn:
        if (oldState == cTransport::kRecording)
        {
            // Playback goes on without a break.
            CommitRecording(position);
            mRecorder.DiscardHeldNotes();
        }
        else
            Locate(position);
        break;
    case cTransport::kRecording:
        if (oldState == cTransport::kStopped)
            Locate(position);
        if (oldState == cTransport::kRecordCountIn)
            mRecorder.CommitUpTo(position);
        else if (oldState != cTransport::kRecording)
            mRecorder.DiscardHeldNotes();
        break;
    case cTransport::kRecordCountIn:
        if (oldState == cTransport::kStopped)
            Locate(position);
        mRecorder.DiscardHeldNotes();
        break;
    default:
        break;
    }
}

void cTrack::HandleLiveInput(const cAudioEvent& event, int32_t ticks, bool recording, bool eraseKeys, bool eraseAll)
{
    const bool keep = recording && !eraseKeys && !eraseAll;
    switch (event.type)
    {
    case kAudioEventNoteOn:
        // A note byte past 127 names no key.
        if (event.GetNote() > 127)
            return;
        if (mHeldKeys[event.GetNote()] < 255)
            ++mHeldKeys[event.GetNote()];
        if (keep)
            mRecorder.HandleEvent(event, ticks);
        break;
    case kAudioEventModuleParam:
        if (keep)
            mRecorder.HandleEvent(event, ticks);
        break;
    case kAudioEventNoteOff:
        if (event.GetNote() > 127)
            return;
        if (mHeldKeys[event.GetNote()] > 0)
            --mHeldKeys[event.GetNote()];
        if (recording)
            mRecorder.HandleEvent(event, ticks);
        break;
    case kAudioEventAllNotesOff:
        std::fill(std::begin(mHeldKeys), std::end(mHeldKeys), uint8_t(0));
        mTouchedControllers = 0;
        break;
    case kAudioEventParamTouch:
        if (event.wordB != 0)
            mTouchedControllers |= 1u << (event.wordA % 32);
        else
            mTouchedControllers &= ~(1u << (event.wordA % 32));
        break;
    default:
        break;
    }
}

void cTrack::SetAudible(bool audible)
{
    if ((mAudible != 0) == audible)
        return;
    mAudible = audible ? 1 : 0;
    if (audible)
        Locate(SongPosition());
    else
        StopAndReload();
}

void cTrack::SetSelected(bool selected)
{
    if ((mSelected != 0) == selected)
        return;
    mSelected = selected ? 1 : 0;
    if (selected)
        return;
    const int32_t position = SongPosition();
    CommitRecording(position);
    mRecorder.DiscardHeldNotes();
}

// --- What pattern edits ask ---

bool cTrack::PlaysPattern(const cPattern* pattern) const
{
    return mCurrentPart && mCurrentPart->pattern == pattern;
}

// An event inserted just ahead of the cursor, later than the play position
// inside the loop, still plays in this pass.
void cTrack::OnEventInserted(cPatternEvent* event)
{
    if ((!mCursor || event->next == mCursor) && mPositionInLoop < event->time)
        mCursor = event;
}

void cTrack::OnEventRemoved(const cPatternEvent* event)
{
    ReleaseEventNote(event);
    if (mCursor == event)
        mCursor = event->next;
}

void cTrack::Reseek() { SetCurrentPart(mCurrentPart, SongPosition()); }

void cTrack::OnContentsSwapped()
{
    StopAndReload();
    mCursor = nullptr;
    Reseek();
}

// --- The song file ---

// Stable, so parts of one start keep the file's order.
void cTrack::SortPartsByStart()
{
    std::vector<cPatternInstance*> parts;
    parts.reserve(size_t(mPartCount));
    for (cPatternInstance* part = mFirstPart; part; part = part->next)
        parts.push_back(part);
    std::stable_sort(parts.begin(), parts.end(),
                     [](const cPatternInstance* a, const cPatternInstance* b) { return a->start < b->start; });
    mFirstPart = mLastPart = nullptr;
    mPartCount = 0;
    for (cPatternInstance* part : parts)
        LinkPartAfter(part, mLastPart);
}

// Before version 5 a track had only a mute flag; its slot and selection
// followed from its place in the file.
void cTrack::ReadOldTrackHeader(File::cFile& stream, uint32_t& parts)
{
    static const int32_t kFirstChannels[] = {1, 2, 3, 4, 5, 5};
    static const uint8_t kFirstSelected[] = {1, 1, 1, 1, 1, 0};
    constexpr int32_t kLastChannel = 15;
    uint8_t mute = 0;
    stream.SerialiseByte(&mute);
    stream.SerialiseUInt32(&parts);
    mMuteSolo = mute ? kMute : kNormal;
    const bool early = mIndex < 6;
    mChannel = early ? kFirstChannels[mIndex] : std::min(mIndex, kLastChannel);
    mSelected = early ? kFirstSelected[mIndex] : 1;
}

void cTrack::Serialise(File::cFile& stream)
{
    uint32_t parts = static_cast<uint32_t>(mPartCount);
    if (stream.IsReading() && stream.GetFileVersion() < SongFile::kFirstVersionWithChannels)
        ReadOldTrackHeader(stream, parts);
    else
    {
        int32_t state = mMuteSolo;
        int32_t channel = mChannel;
        uint8_t selected = mSelected;
        stream.SerialiseInt32(&state);
        stream.SerialiseInt32(&channel);
        stream.SerialiseByte(&selected);
        stream.SerialiseUInt32(&parts);
        mMuteSolo = state;
        mChannel = channel;
        mSelected = selected != 0 ? 1 : 0;
    }
    if (!stream.IsReading())
    {
        for (cPatternInstance* part = mFirstPart; part; part = part->next)
            part->Serialise(stream);
        return;
    }
    bool ordered = true;
    for (uint32_t i = 0; i < parts; ++i)
    {
        cPatternInstance* part = cPatternInstance::Create();
        part->Serialise(stream);
        ordered = ordered && (!mLastPart || mLastPart->start <= part->start);
        LinkPartAfter(part, mLastPart);
    }
    if (!ordered)
        SortPartsByStart();
}
