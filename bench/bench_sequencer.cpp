// The sequencer's block advance while a song plays: 16 (and 64) tracks of
// dense parts, a chord of four on every sixteenth note, into test
// instruments whose rings are drained after every block. One device period
// is a 128-frame and a 92-frame block. Goal: under 0.5 % of the 4.99 ms period.
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
} // namespace

BENCHMARK(BM_AdvanceBlock)->Arg(16)->Arg(64)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
