// MIDI input's hot paths: the audio thread's hand-over of one device buffer's
// messages to the sink, and notes arriving from a device through the byte
// assembler and the manager's input filter into the queue. Goal: the
// hand-over takes under 1 % of the 4.99 ms buffer period.
#include <benchmark/benchmark.h>

#include <memory>

#include "FakeMIDISystem.h"
#include "base/Clock.h"
#include "midi/MIDIManager.h"

namespace
{
constexpr double kBufferPeriodSeconds = 220.0 / 44100.0;
constexpr const char* kDevice = "Pocket MIDI Interface";

// The project's sink does little more than look at each message.
class cTouchingSink
{
public:
    void Receive(const cMIDIMessage& message, int32_t slot)
    {
        checksum += message.GetData()[0] + slot + int32_t(message.GetTimeStamp());
    }
    int64_t checksum = 0;
};

// A manager with one open keyboard on a fake system.
struct cRig
{
    cRig()
    {
        auto owned = std::make_unique<cFakeMIDISystem>();
        system = owned.get();
        system->inputs.push_back(kDevice);
        manager = std::make_unique<cMIDIManager>(std::move(owned));
        manager->RequestRescan();
        port = system->FindOpen(kDevice);
    }

    double Now() const { return GetMilliseconds() * 0.001; }

    cFakeMIDISystem* system = nullptr;
    std::unique_ptr<cMIDIManager> manager;
    cFakeMIDIPort* port = nullptr;
};

void ReportPeriodShare(benchmark::State& state, double seconds)
{
    if (state.iterations() > 0)
        state.counters["period_percent"] = seconds / double(state.iterations()) / kBufferPeriodSeconds * 100.0;
}

// 64 messages, a few of them sysex, handed over from one 220-frame buffer.
void BM_DeliverBlock64(benchmark::State& state)
{
    cRig rig;
    cTouchingSink sink;
    const cDelegate delegate(&sink, &cTouchingSink::Receive);
    const tBytes sysex = {0xF0, 0x7D, 0x01, 0x02, 0x03, 0x04, 0xF7};
    double handOver = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        const double now = rig.Now();
        for (int i = 0; i < 64; ++i)
            rig.port->Send(i % 16 == 15 ? sysex : tBytes{0x90, uint8_t(i), 0x64}, now - 0.004 + i * 0.00005);
        state.ResumeTiming();
        const int64_t start = GetTicks();
        rig.manager->DeliverBlock(delegate, 220);
        handOver += double(GetTicks() - start) * GetMillisecondsPerTick() * 0.001;
    }
    benchmark::DoNotOptimize(sink.checksum);
    ReportPeriodShare(state, handOver);
}
BENCHMARK(BM_DeliverBlock64);

// 1000 note messages from the device: assembled, filtered and queued.
void BM_ThousandNotesThroughAssemblerAndFilter(benchmark::State& state)
{
    cRig rig;
    cTouchingSink sink;
    const cDelegate delegate(&sink, &cTouchingSink::Receive);
    for (auto _ : state)
    {
        const double now = rig.Now();
        for (int i = 0; i < 1000; ++i)
            rig.port->Send({uint8_t(i & 1 ? 0x80 : 0x90), uint8_t(i & 0x7F), 0x64}, now);
        state.PauseTiming();
        rig.manager->DeliverBlock(delegate, 220);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    benchmark::DoNotOptimize(sink.checksum);
}
BENCHMARK(BM_ThousandNotesThroughAssemblerAndFilter);
} // namespace

BENCHMARK_MAIN();
