// The sequencer's block advance while a song plays: 16 (and 64) tracks of
// dense parts, a chord of four on every sixteenth note, into test
// instruments whose rings are drained after every block. One device period
// is a 128-frame and a 92-frame block. Goal: under 0.5 % of the 4.99 ms period.
// And while 16 tracks record over a four-bar loop: every track is played a
// note on every eighth, held for a sixteenth, through the sequencer's ring,
// and the loop is recorded again and again. Goal: under 1 % of the period.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "audio/InstrumentSlotTable.h"
#include "audio/TestInstrument.h"
#include "audio/Transport.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr double kBufferPeriodSeconds = 220.0 / 44100.0;
constexpr int32_t kSlots = 16;
constexpr int32_t kPartTicks = 4096;
constexpr int32_t kSixteenth = 64;

// A four-bar private part with a chord of four on every sixteenth.
void AddDensePart(cTrack& track, int32_t root)
{
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    part->start = 0;
    part->length = kPartTicks;
    part->pattern->loopLength = kPartTicks;
    for (int32_t t = 0; t < kPartTicks; t += kSixteenth)
        for (int32_t i = 0; i < 4; ++i)
        {
            cPatternEvent* note = cPatternEvent::Allocate();
            note->time = t;
            note->length = 48;
            note->SetNote(root + 4 * i);
            note->SetVelocity(100);
            part->pattern->InsertEventSorted(note);
        }
    track.InsertPart(part);
}

struct cSong
{
    explicit cSong(int32_t tracks)
    {
        for (int32_t slot = 0; slot < kSlots; ++slot)
            slots.SetSlot(slot, package.CreateInstrument(0), false);
        for (int32_t i = 0; i < tracks; ++i)
        {
            cTrack* track = new cTrack();
            sequencer.InsertTrack(track, i % kSlots, -1);
            AddDensePart(*track, 36 + i % 24);
        }
        gTransport.metronomeMode = 2;
        sequencer.Play(0);
    }

    void Drain()
    {
        for (int32_t slot = 0; slot < kSlots; ++slot)
        {
            cTestInstrumentModule& module = static_cast<cTestInstrument*>(slots.GetInstrument(slot))->Module();
            module.DrainEvents();
            module.eventCount = 0;
        }
    }

    cTestPackage package;
    cInstrumentSlotTable slots;
    cSequencer sequencer;
};

void BM_AdvanceBlock(benchmark::State& state)
{
    cSong song(static_cast<int32_t>(state.range(0)));
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        song.sequencer.AdvanceBlock(44100, 128);
        const auto middle = std::chrono::steady_clock::now();
        song.Drain();
        const auto resume = std::chrono::steady_clock::now();
        song.sequencer.AdvanceBlock(44100, 92);
        const auto end = std::chrono::steady_clock::now();
        song.Drain();
        const double period = std::chrono::duration<double>(middle - start + (end - resume)).count();
        state.SetIterationTime(period);
        seconds += period;
    }
    state.counters["period_percent"] = seconds / double(state.iterations()) / kBufferPeriodSeconds * 100.0;
}
// Live notes for 16 slots: each slot's note starts on its eighth and ends a
// sixteenth later, its pitch walking with the song.
class cLivePlayer
{
public:
    void Post(cSequencer& sequencer, int32_t position)
    {
        const int32_t eighth = position / 128;
        const bool sounding = position % 128 < 64;
        for (int32_t slot = 0; slot < kSlots; ++slot)
        {
            if (sounding && mStarted[slot] != eighth)
            {
                mStarted[slot] = eighth;
                mPitch[slot] = uint8_t(36 + (eighth * 5 + slot) % 48);
                mVoice[slot] = 0x03000000u | uint32_t(++mVoices & 0xffffff);
                cAudioEvent on;
                on.type = kAudioEventNoteOn;
                on.slot = uint8_t(slot);
                on.SetNote(mPitch[slot], uint8_t(64 + slot));
                on.wordB = mVoice[slot];
                sequencer.PostEvent(on);
            }
            else if (!sounding && mVoice[slot] != 0)
            {
                cAudioEvent off;
                off.type = kAudioEventNoteOff;
                off.slot = uint8_t(slot);
                off.SetNote(mPitch[slot], 0);
                off.wordB = mVoice[slot];
                sequencer.PostEvent(off);
                mVoice[slot] = 0;
            }
        }
    }

private:
    int32_t mStarted[kSlots] = {};
    uint8_t mPitch[kSlots] = {};
    uint32_t mVoice[kSlots] = {};
    uint32_t mVoices = 0;
};

struct cRecordingSong
{
    cRecordingSong()
    {
        for (int32_t slot = 0; slot < kSlots; ++slot)
        {
            slots.SetSlot(slot, package.CreateInstrument(0), false);
            sequencer.InsertTrack(new cTrack(), slot, -1);
        }
        gTransport.countInBars = 0;
        gTransport.metronomeMode = 1;
        sequencer.Record(); // over the new song's four-bar loop
    }

    void Drain()
    {
        for (int32_t slot = 0; slot < kSlots; ++slot)
        {
            cTestInstrumentModule& module = static_cast<cTestInstrument*>(slots.GetInstrument(slot))->Module();
            module.DrainEvents();
            module.eventCount = 0;
        }
    }

    cTestPackage package;
    cInstrumentSlotTable slots;
    cSequencer sequencer;
    cLivePlayer player;
};

void BM_AdvanceBlockRecording(benchmark::State& state)
{
    cRecordingSong song;
    double seconds = 0.0;
    for (auto _ : state)
    {
        double period = 0.0;
        for (int32_t frames : {128, 92})
        {
            song.player.Post(song.sequencer, gTransport.position);
            const auto start = std::chrono::steady_clock::now();
            song.sequencer.AdvanceBlock(44100, frames);
            period += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            song.Drain();
        }
        state.SetIterationTime(period);
        seconds += period;
    }
    state.counters["period_percent"] = seconds / double(state.iterations()) / kBufferPeriodSeconds * 100.0;
    int32_t notes = 0;
    for (int32_t i = 0; i < song.sequencer.GetTrackList()->GetCount(); ++i)
        for (const cPatternInstance* part = song.sequencer.GetTrackList()->GetTrack(i)->GetFirstPart(); part;
             part = part->next)
            notes += part->pattern->count;
    state.counters["notes_recorded"] = notes;
}
} // namespace

BENCHMARK(BM_AdvanceBlock)->Arg(16)->Arg(64)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AdvanceBlockRecording)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
