#include "sequencer/Sequencer.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Metronome.h"
#include "audio/Transport.h"
#include "sequencer/BlockPool.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr float kOneSixtieth = 0.016666668f;
constexpr int32_t kTicksPerBeat = cTransport::kTicksPerBeat;
constexpr float kMinTempo = 40.0f;
constexpr float kMaxTempo = 240.0f;
constexpr int32_t kMaxBeatsPerBar = 7;
constexpr int32_t kMaxSessionId = 127;
constexpr int32_t kFreeClockBars = 1024; // the stopped clock wraps after this many bars
// Free records a recording pass can take on the audio thread without allocating.
constexpr int32_t kReserveEvents = 1024;
constexpr int32_t kReserveParts = 128;
constexpr int32_t kReserveJournalEntries = 64;

// Float to whole samples or ticks, saturating instead of overflowing.
int32_t Truncate(float value)
{
    if (!(value > -2147483520.0f))
        return value != value ? 0 : INT32_MIN;
    if (value >= 2147483520.0f)
        return INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t Round(float value) { return Truncate(value + 0.5f); }

bool IsCountIn(int32_t state)
{
    return state == cTransport::kPlayCountIn || state == cTransport::kRecordCountIn ||
           state == cTransport::kMetronomeCountIn;
}

bool RoutesToTrack(uint8_t type)
{
    return type == kAudioEventNoteOn || type == kAudioEventNoteOff || type == kAudioEventAllNotesOff ||
           type == kAudioEventReleaseLiveNotes || type == kAudioEventParamTouch || type == kAudioEventModuleParam;
}
} // namespace

cSequencer::cSequencer()
    : cAudioModule(nullptr, kEventCapacity)
    , cSingleton(this)
    , mPatternTable(std::make_unique<cPatternTable>())
{
    ApplyRecordQuantize(cQuantizeSettings());
    mTrackList = std::make_unique<cTrackList>();
    mJournal = std::make_unique<cRecordUndoJournal>();
    gTransport.state = cTransport::kStopped;
    gTransport.position = 0;
    gTransport.samplePosition = 0;
    gTransport.sampleRate = 44100;
    mInverseSampleRate = 1.0f / 44100.0f;
    gTransport.tempo = 120.0f;
    SetBeatsPerBar(4);
    gTransport.loopOn = 0;
    gTransport.loopStart = 0;
    gTransport.loopEnd = 4096;
    gTransport.countInBars = 1;
    gTransport.metronomeMode = 1;
    gTransport.metronomeLevel = 0.7f;
    gTransport.clockCounter = 0;
    gTransport.clock = 0;
    gTransport.eraseKeys = 0;
    gTransport.eraseAll = 0;
    NewSong();
}

// The journal lets its parts go first, and the tracks theirs before the
// patterns are freed.
cSequencer::~cSequencer()
{
    mJournal->Clear();
    mTrackList.reset();
    mPatternTable.reset();
    mJournal.reset();
}

// --- Conversions ---

int32_t cSequencer::TicksFromSamples(int32_t samples) const
{
    const float tempo = gTransport.tempo.load();
    const float beats = static_cast<float>(gTransport.beatsPerBar.load());
    return Truncate(static_cast<float>(samples) * mInverseSampleRate * tempo * (kOneSixtieth / beats) *
                    gTransport.ticksPerBarFloat.load());
}

int32_t cSequencer::SamplesFromTicks(int32_t ticks) const
{
    const float tempo = gTransport.tempo.load();
    const float beats = static_cast<float>(gTransport.beatsPerBar.load());
    const float ticksPerSecond = (kOneSixtieth / beats) * gTransport.ticksPerBarFloat.load() * tempo;
    return Round(static_cast<float>(ticks) / ticksPerSecond * static_cast<float>(gTransport.sampleRate.load()));
}

// --- The module ---

float cSequencer::GetParamFloat(uint32_t id) { return id == kParamTempo ? gTransport.tempo.load() : 0.0f; }

int32_t cSequencer::GetParamInt(uint32_t id)
{
    switch (id)
    {
    case kParamState: return gTransport.state;
    case kParamLoopOn: return gTransport.loopOn;
    case kParamLoopStart: return gTransport.loopStart;
    case kParamLoopEnd: return gTransport.loopEnd;
    case kParamPosition: return gTransport.position;
    case kParamEraseKeys: return gTransport.eraseKeys;
    case kParamEraseAll: return gTransport.eraseAll;
    default: return 0;
    }
}

void cSequencer::SetParamInt(uint32_t id, int32_t value)
{
    switch (id)
    {
    case kParamState: SetState(value); break;
    case kParamLoopOn: SetLoopEnabled(value != 0); break;
    case kParamLoopToggle: SetLoopEnabled(gTransport.loopOn == 0); break;
    case kParamLoopStart: SetLoopStart(value); break;
    case kParamLoopEnd: SetLoopEnd(value); break;
    case kParamPosition: SetPosition(value); break;
    case kParamEraseKeys: gTransport.eraseKeys = value != 0; break;
    case kParamEraseAll: gTransport.eraseAll = value != 0; break;
    default: break;
    }
}

int32_t cSequencer::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    gMetronome.Render(info, buffer);
    return 0;
}

// Live input goes to the selected track of its slot's group; auditions, MIDI
// transport messages and slots without tracks are left alone.
int32_t cSequencer::HandleEvent(const cAudioEvent& event)
{
    if (event.type == kAudioEventMIDITransport || (event.flags & kAudioEventFlagAudition))
        return 0;
    if (RoutesToTrack(event.type))
    {
        if (event.slot >= cTrackList::kGroupCount)
            return 0;
        const cTrackList::cGroup& group = mTrackList->GetGroup(event.slot);
        cTrack* track = group.first == group.end ? nullptr : mTrackList->GetTrack(group.selected);
        const int32_t state = gTransport.state;
        if (track)
            track->HandleLiveInput(event, gTransport.position, state == cTransport::kRecording ||
                                                                   state == cTransport::kRecordCountIn,
                                   gTransport.eraseKeys != 0, gTransport.eraseAll != 0);
    }
    else if (event.type == kAudioEventSetFloatParam && event.wordA == kParamTempo)
        SetTempo(std::bit_cast<float>(event.wordB));
    else if (event.type == kAudioEventSetIntParam)
        SetParamInt(event.wordA, static_cast<int32_t>(event.wordB));
    return 0;
}

bool cSequencer::Serialise(Base::cSerialise&, cInstrument*, cSampleRelocator*) { return true; }

// --- Transport ---

void cSequencer::ClearEraseFlags()
{
    gTransport.eraseKeys = 0;
    gTransport.eraseAll = 0;
}

void cSequencer::CloseRecordSession()
{
    mRecordSessionOpen = 0;
    mRecordWindowStart = mRecordWindowEnd = gTransport.position;
}

void cSequencer::SetStateAndTell(int32_t state)
{
    const int32_t old = gTransport.state;
    gTransport.state = state;
    mTrackList->OnTransportStateChanged(old);
}

// The counter starts one sample before that many whole bars before zero.
void cSequencer::SetUpCountIn(int32_t bars)
{
    const float beats = static_cast<float>(gTransport.beatsPerBar.load());
    const float samples = static_cast<float>(int64_t(gTransport.sampleRate.load()) * bars);
    gTransport.clockCounter = -1 - Truncate(beats * 60.0f / gTransport.tempo.load() * samples);
    gTransport.clock = TicksFromSamples(gTransport.clockCounter);
}

void cSequencer::StartRecordSession()
{
    cScopedLock lock(&mLock);
    const int32_t old = gTransport.state;
    gTransport.state = cTransport::kRecording;
    if (!mRecordSessionOpen)
    {
        const int32_t position = gTransport.position;
        if (gTransport.loopOn)
        {
            mRecordWindowStart = std::min(position, gTransport.loopStart.load());
            mRecordWindowEnd = std::max(gTransport.loopEnd.load(), position);
        }
        else
        {
            mRecordWindowStart = position;
            mRecordWindowEnd = position + gTransport.ticksPerBar;
        }
        mRecordSessionId = NextRecordSessionId();
        if (IsSessionIdCarried(mRecordSessionId))
            ForgetRecordSession(mRecordSessionId);
        SetSessionIdCarried(mRecordSessionId, true);
        mJournal->BeginSession(mRecordSessionId);
        mRecordSessionOpen = 1;
    }
    // Held erasing carries on from a record count-in into the recording.
    if (old != cTransport::kRecordCountIn)
        ClearEraseFlags();
    mTrackList->OnTransportStateChanged(old);
}

void cSequencer::Play(int32_t countInBars)
{
    cScopedLock lock(&mLock);
    const int32_t state = gTransport.state;
    if (state == cTransport::kPlaying || state == cTransport::kPlayCountIn)
        return;
    mPlayCountInBars = countInBars;
    CloseRecordSession();
    ClearEraseFlags();
    if (state == cTransport::kStopped && countInBars > 0)
    {
        SetUpCountIn(countInBars);
        SetStateAndTell(cTransport::kPlayCountIn);
    }
    else
        SetStateAndTell(cTransport::kPlaying);
}

int32_t cSequencer::NextRecordSessionId() const
{
    return mRecordSessionId >= kMaxSessionId ? 1 : mRecordSessionId + 1;
}

void cSequencer::SetSessionIdCarried(int32_t id, bool carried)
{
    const uint64_t bit = uint64_t(1) << (id % 64);
    if (carried)
        mCarriedSessionIds[id / 64] |= bit;
    else
        mCarriedSessionIds[id / 64] &= ~bit;
}

void cSequencer::ForgetRecordSession(int32_t id)
{
    for (int32_t i = 0; i < mPatternTable->GetCount(); ++i)
        for (cPatternEvent* event = mPatternTable->GetPattern(i)->head; event; event = event->next)
            if (event->GetSession() == id)
                event->flags &= cPatternEvent::kFlagController;
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        for (cPatternInstance* part = mTrackList->GetTrack(i)->GetFirstPart(); part; part = part->next)
            if (part->recordSessionId == id)
                part->recordSessionId = 0;
    // What undo would put back must not carry it either.
    mJournal->ForgetSession(id);
    SetSessionIdCarried(id, false);
}

void cSequencer::TopUpPools()
{
    cPatternEvent::TopUpPool(kReserveEvents);
    cPatternInstance::TopUpPool(kReserveParts);
    cRecordUndoJournal::TopUpPool(kReserveJournalEntries);
}

void cSequencer::PrepareRecording()
{
    TopUpPools();
    // Done here rather than on the audio thread when the session starts.
    const int32_t next = NextRecordSessionId();
    if (!mRecordSessionOpen && IsSessionIdCarried(next))
        ForgetRecordSession(next);
}

void cSequencer::Record()
{
    cScopedLock lock(&mLock);
    PrepareRecording();
    ClearEraseFlags();
    const int32_t state = gTransport.state;
    if (state == cTransport::kPlaying)
        StartRecordSession();
    if (state != cTransport::kStopped)
        return;
    const int32_t bar = gTransport.ticksPerBar;
    SetPosition(gTransport.position / bar * bar);
    const int32_t bars = gTransport.countInBars;
    if (bars == 0)
    {
        StartRecordSession();
        return;
    }
    SetUpCountIn(bars);
    SetStateAndTell(cTransport::kRecordCountIn);
}

void cSequencer::Stop()
{
    cScopedLock lock(&mLock);
    if (gTransport.state == cTransport::kStopped)
        return;
    CloseRecordSession();
    ClearEraseFlags();
    SetStateAndTell(cTransport::kStopped);
}

void cSequencer::SetState(int32_t state)
{
    cScopedLock lock(&mLock);
    if (state < cTransport::kStopped || state > cTransport::kMetronomeCountIn || state == gTransport.state)
        return;
    if (state == cTransport::kRecording)
    {
        StartRecordSession();
        return;
    }
    switch (state)
    {
    case cTransport::kPlayCountIn:
        SetUpCountIn(mPlayCountInBars);
        CloseRecordSession();
        break;
    case cTransport::kRecordCountIn:
        SetUpCountIn(gTransport.countInBars);
        break;
    case cTransport::kMetronomeCountIn:
        SetUpCountIn(1);
        break;
    default: // stopped or playing
        CloseRecordSession();
        break;
    }
    ClearEraseFlags();
    SetStateAndTell(state);
}

void cSequencer::SetPosition(int32_t ticks)
{
    cScopedLock lock(&mLock);
    gTransport.position = ticks;
    mLastClickTick = ticks;
    gTransport.samplePosition = SamplesFromTicks(ticks);
    mTrackList->LocateAll(ticks);
    if (ticks % kTicksPerBeat == 0)
        mClickPending = 1;
}

void cSequencer::SetTempo(float beatsPerMinute)
{
    cScopedLock lock(&mLock);
    // A non-number counts as the slowest tempo.
    gTransport.tempo = beatsPerMinute >= kMinTempo ? std::min(beatsPerMinute, kMaxTempo) : kMinTempo;
    gTransport.samplePosition = SamplesFromTicks(gTransport.position);
}

void cSequencer::SetBeatsPerBar(int32_t beats)
{
    cScopedLock lock(&mLock);
    beats = std::clamp(beats, 1, kMaxBeatsPerBar);
    gTransport.beatsPerBar = beats;
    gTransport.ticksPerBar = beats * kTicksPerBeat;
    gTransport.ticksPerBarFloat = static_cast<float>(beats * kTicksPerBeat);
    gTransport.barsPerTick = 1.0f / static_cast<float>(beats * kTicksPerBeat);
}

void cSequencer::SetLoopEnabled(bool enabled)
{
    cScopedLock lock(&mLock);
    gTransport.loopOn = enabled ? 1 : 0;
    if (enabled && gTransport.position >= gTransport.loopEnd)
        SetPosition(gTransport.loopStart);
}

void cSequencer::SetLoopStart(int32_t ticks)
{
    cScopedLock lock(&mLock);
    gTransport.loopStart = ticks;
    if (gTransport.loopOn && gTransport.position >= gTransport.loopEnd)
        SetPosition(ticks);
}

void cSequencer::SetLoopEnd(int32_t ticks)
{
    cScopedLock lock(&mLock);
    gTransport.loopEnd = ticks;
    if (gTransport.loopOn && gTransport.position >= ticks)
        SetPosition(gTransport.loopStart);
}

void cSequencer::SetLoopRange(int32_t start, int32_t end)
{
    cScopedLock lock(&mLock);
    gTransport.loopStart = start;
    SetLoopEnd(end);
}

// --- The block ---

void cSequencer::ApplySampleRate(int32_t sampleRate)
{
    const int32_t old = gTransport.sampleRate;
    if (sampleRate == old)
        return;
    const float factor = static_cast<float>(sampleRate) / static_cast<float>(old);
    gTransport.sampleRate = sampleRate;
    mInverseSampleRate = 1.0f / static_cast<float>(sampleRate);
    gTransport.clockCounter = Round(static_cast<float>(gTransport.clockCounter) * factor);
    gTransport.samplePosition = Round(static_cast<float>(gTransport.samplePosition) * factor);
}

void cSequencer::AdvanceBlock(int32_t sampleRate, int32_t frames)
{
    // There is no time to advance at a rate of 0 or below.
    if (sampleRate <= 0)
        return;
    cScopedLock lock(&mLock);
    const cKeepEmptyPoolBlocks noFreeingHere;
    ApplySampleRate(sampleRate);
    DrainEvents();
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        mTrackList->GetTrack(i)->DecayMeter(frames);
    if (IsCountIn(gTransport.state) && !AdvanceCountIn(frames))
        return;
    if (gTransport.state == cTransport::kStopped)
    {
        AdvanceStopped(frames);
        return;
    }
    AdvancePlaying(frames);
    if (gTransport.position >= kSongEnd)
    {
        Stop();
        SetPosition(kSongEnd);
    }
}

bool cSequencer::AdvanceCountIn(int32_t frames)
{
    const int32_t previousBeat = -(gTransport.clock / kTicksPerBeat);
    gTransport.clockCounter = gTransport.clockCounter + frames;
    const int32_t clock = TicksFromSamples(gTransport.clockCounter);
    gTransport.clock = clock;
    if (clock < 0)
    {
        // Every beat of the count-in clicks, whatever the metronome mode.
        if (mClickPending || -clock / kTicksPerBeat != previousBeat)
            RequestClick(previousBeat);
        mClickPending = 0;
        return false;
    }
    const int32_t state = gTransport.state;
    if (state == cTransport::kMetronomeCountIn)
    {
        SetUpCountIn(1);
        return false;
    }
    // The downbeat at the end of the count-in clicks in the block that plays it.
    mClickPending = 1;
    mLastClickTick = gTransport.position;
    if (state == cTransport::kPlayCountIn)
    {
        CloseRecordSession();
        ClearEraseFlags();
        SetStateAndTell(cTransport::kPlaying);
        return true;
    }
    StartRecordSession();
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        mTrackList->GetTrack(i)->GetRecorder().MoveHeldToStart(gTransport.position);
    return true;
}

// Stopped, the clock runs on freely for the tempo-synced effects.
void cSequencer::AdvanceStopped(int32_t frames)
{
    const float beats = static_cast<float>(gTransport.beatsPerBar.load());
    const float rate = static_cast<float>(gTransport.sampleRate.load());
    const int32_t wrap = Round(beats * 60.0f / gTransport.tempo.load() * kFreeClockBars * rate);
    int32_t counter = gTransport.clockCounter + frames;
    if (counter >= wrap)
        counter -= wrap;
    gTransport.clockCounter = counter;
    gTransport.clock = TicksFromSamples(counter);
    mLastClickTick = gTransport.position;
}

void cSequencer::AdvancePlaying(int32_t frames)
{
    const int32_t position = gTransport.position;
    mTrackList->PlayUpTo(position);
    const int32_t mode = gTransport.metronomeMode;
    bool clicks;
    if (gTransport.state == cTransport::kRecording)
    {
        clicks = mode != 0;
        mRecordWindowStart = std::min(mRecordWindowStart, position);
        mRecordWindowEnd = std::max(mRecordWindowEnd, position);
    }
    else
    {
        clicks = mode == 2;
        mRecordWindowStart = position;
        mRecordWindowEnd = position + gTransport.ticksPerBar;
    }
    if (clicks && (mClickPending || position / kTicksPerBeat != mLastClickTick / kTicksPerBeat))
        RequestClick(position / kTicksPerBeat);
    mClickPending = 0;
    mLastClickTick = position;
    gTransport.samplePosition = gTransport.samplePosition + frames;
    gTransport.position = TicksFromSamples(gTransport.samplePosition);
    WrapLoop();
    gTransport.clockCounter = gTransport.samplePosition.load();
    gTransport.clock = gTransport.position.load();
}

// Once per block at most: the events before the loop end are played, the
// tracks jump back and the overshoot carries into the next pass.
void cSequencer::WrapLoop()
{
    const int32_t end = gTransport.loopEnd;
    const int32_t position = gTransport.position;
    if (!gTransport.loopOn || mLastClickTick >= end || position < end)
        return;
    const int32_t start = gTransport.loopStart;
    mTrackList->PlayUpTo(end - 1);
    gTransport.position = start;
    mLastClickTick = start;
    gTransport.samplePosition = SamplesFromTicks(start);
    mTrackList->RelocateAll(start, end);
    gTransport.position = start + (position - end);
    gTransport.samplePosition = SamplesFromTicks(gTransport.position);
    if (start % kTicksPerBeat == 0)
        mClickPending = 1;
}

void cSequencer::RequestClick(int32_t beat)
{
    gMetronome.Trigger(beat % gTransport.beatsPerBar == 0 ? cMetronome::kBeatFirst : cMetronome::kBeatOther);
}

// --- Tracks ---

void cSequencer::CommitRecordedNotes()
{
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        mTrackList->GetTrack(i)->GetRecorder().CommitUpTo(gTransport.position);
    TopUpPools();
}

bool cSequencer::UndoRecording()
{
    cScopedLock lock(&mLock);
    if (!mJournal->Undo())
        return false;
    ++gTransport.changeCounter;
    TopUpPools();
    return true;
}

int32_t cSequencer::InsertTrack(cTrack* track, int32_t slot, int32_t indexInGroup)
{
    cScopedLock lock(&mLock);
    const int32_t index = mTrackList->InsertTrack(track, slot, indexInGroup);
    UpdateAudibleTracks();
    return index;
}

cTrack* cSequencer::RemoveTrack(int32_t index)
{
    cScopedLock lock(&mLock);
    cTrack* track = mTrackList->RemoveTrack(index);
    UpdateAudibleTracks();
    return track;
}

bool cSequencer::AudibleByRule(const cTrack& track) const
{
    const int32_t state = track.GetMuteSolo();
    return state == cTrack::kSolo || (state == cTrack::kNormal && mSoloCount == 0);
}

void cSequencer::SetTrackMuteSolo(int32_t index, int32_t state)
{
    cScopedLock lock(&mLock);
    cTrack* track = mTrackList->GetTrack(index);
    if (!track || state < cTrack::kNormal || state > cTrack::kSolo)
        return;
    const bool wasSolo = track->GetMuteSolo() == cTrack::kSolo;
    const bool isSolo = state == cTrack::kSolo;
    if (wasSolo != isSolo)
    {
        const bool anyBefore = mSoloCount > 0;
        mSoloCount += isSolo ? 1 : -1;
        if (anyBefore != (mSoloCount > 0))
        {
            for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
            {
                cTrack* other = mTrackList->GetTrack(i);
                if (other != track && other->GetMuteSolo() == cTrack::kNormal)
                    other->SetAudible(mSoloCount == 0);
            }
        }
    }
    track->SetMuteSolo(state);
    track->SetAudible(AudibleByRule(*track));
}

void cSequencer::UpdateAudibleTracks()
{
    cScopedLock lock(&mLock);
    mSoloCount = 0;
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        mSoloCount += mTrackList->GetTrack(i)->GetMuteSolo() == cTrack::kSolo;
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        mTrackList->GetTrack(i)->SetAudible(AudibleByRule(*mTrackList->GetTrack(i)));
}

void cSequencer::ReportPartPresets()
{
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!slots)
        return;
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
    {
        const cTrack* track = mTrackList->GetTrack(i);
        cInstrument* instrument = slots->GetInstrument(track->GetChannel());
        if (!instrument)
            continue;
        for (const cPatternInstance* part = track->GetFirstPart(); part; part = part->next)
            if (part->HasProgramChange())
                instrument->AddUsedPreset(part->GetPresetId(), part->GetPresetKind());
    }
}

// --- The song ---

void cSequencer::NewSong()
{
    ClearSong();
    cScopedLock lock(&mLock);
    SetBeatsPerBar(4);
    gTransport.tempo = 120.0f;
    gTransport.state = cTransport::kStopped;
    gTransport.clockCounter = 0;
    gTransport.position = 0;
    mLastClickTick = 0;
    gTransport.samplePosition = 0;
    ApplyRecordQuantize(cQuantizeSettings());
    SetGridQuantizeSettings(cQuantizeSettings());
    gTransport.metronomeMode = 1;
    gTransport.metronomeLevel = 0.7f;
    gTransport.countInBars = 1;
    mPlayCountInBars = 0;
    UpdateAudibleTracks();
    gTransport.loopOn = 1;
    gTransport.loopStart = 0;
    gTransport.loopEnd = 4 * gTransport.ticksPerBar;
    SetPosition(0);
    ++gTransport.changeCounter;
}

void cSequencer::ClearSong()
{
    cScopedLock lock(&mLock);
    Stop();
    mJournal->Clear();
    mTrackList->Clear();
    mPatternTable->ClearAll();
    mSoloCount = 0;
    // Nothing is left that carries a session.
    mCarriedSessionIds[0] = mCarriedSessionIds[1] = 0;
}
