#include "sequencer/Track.h"

#include <algorithm>
#include <climits>

#include "audio/AudioEvent.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"

namespace
{
constexpr float kMeterPerVelocity = 0.003f;
constexpr float kMeterPerNote = 0.25f;
constexpr float kMeterDecayPerFrame = 0.00002f;
constexpr float kMeterWhileSounding = 0.2f;
constexpr float kControllerScale = 3.051851e-05f; // 1 / 32767
constexpr uint32_t kAutomationSource = 1;           // a module parameter played by a track

int32_t SongPosition() { return gTransport.position.load(); }
} // namespace

void cTrack::cNoteList::InsertAfter(cSoundingNote* record, cSoundingNote* position)
{
    record->previous = position;
    record->next = position ? position->next : head;
    if (record->next)
        record->next->previous = record;
    else
        tail = record;
    if (position)
        position->next = record;
    else
        head = record;
    ++count;
}

void cTrack::cNoteList::Remove(cSoundingNote* record)
{
    if (record->previous)
        record->previous->next = record->next;
    else
        head = record->next;
    if (record->next)
        record->next->previous = record->previous;
    else
        tail = record->previous;
    record->previous = record->next = nullptr;
    --count;
}

cTrack::cTrack() : mRecorder(this)
{
    for (cSoundingNote& record : mRecords)
        mFree.InsertAfter(&record, mFree.tail);
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
    mFree.InsertAfter(record, mFree.tail);
}

void cTrack::ReleaseSoundingNote(cSoundingNote* record)
{
    PostNoteOff(*record);
    FreeRecord(record);
}

void cTrack::StopSoundingNotes()
{
    while (mSounding.head)
        ReleaseSoundingNote(mSounding.head);
}

void cTrack::StopAndReload()
{
    StopSoundingNotes();
    PostReloadParameters();
}

void cTrack::ReleaseEventNote(const cPatternEvent* event)
{
    for (cSoundingNote* record = mSounding.head; record;)
    {
        cSoundingNote* next = record->next;
        if (record->event == event)
            ReleaseSoundingNote(record);
        record = next;
    }
}

// A note sounds for at least one block: its note-off waits for a later block
// even when its end has already passed.
void cTrack::ReleaseEndedNotes()
{
    while (cSoundingNote* first = mSounding.head)
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

void cTrack::PlayEvent()
{
    cPatternEvent* event = mCursor;
    if (event->IsController())
        PlayController(event);
    else
        PlayNote(event);
    mCursor = event->next;
}

void cTrack::PlayNote(cPatternEvent* event)
{
    cSoundingNote* record = mFree.head;
    if (!record)
        return;
    mFree.Remove(record);
    record->event = event;
    record->end = event->time + event->length;
    record->note = event->data1;
    record->voiceId = MakeVoiceId(kVoiceSourceSequencer);
    record->blockCounter = mBlockCounter;
    cSoundingNote* position = mSounding.tail;
    while (position && position->end > record->end)
        position = position->previous;
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
    const float floor = mSounding.count > 0 ? kMeterWhileSounding : 0.0f;
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
