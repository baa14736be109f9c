// Reading the shared reference song (SMF format 1, 10 tracks, 4,870 notes)
// into a cMIDIFileSong, beside the file library's bare load and event walk of
// the same bytes; the goal is within 2x of the bare walk. Our reading adds
// the byte check with its parseable copy and the conversion into per-channel
// events. Then its import into an empty song and slot table: seven
// synthesizer instruments, their tracks and the parts of whole bars.

#include <benchmark/benchmark.h>

#include <smf.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "base/File.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Sequencer.h"
#include "sequencer/TrackList.h"

namespace
{
const std::vector<uint8_t>& ReferenceSong()
{
    static const std::vector<uint8_t> bytes = []
    {
        std::ifstream in(std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

void BM_ReadIntoSong(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = ReferenceSong();
    if (bytes.empty())
        state.SkipWithError("no reference song");
    for (auto _ : state)
    {
        cMIDIFileSong song;
        File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
        if (cMIDIFileConverter(&song, &file).Read() != 0)
            state.SkipWithError("the reference song was refused");
        benchmark::DoNotOptimize(song.channels[0].events.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_LibraryLoadAndWalk(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = ReferenceSong();
    if (bytes.empty())
        state.SkipWithError("no reference song");
    for (auto _ : state)
    {
        smf_t* smf = smf_load_from_memory(bytes.data(), int(bytes.size()));
        if (!smf)
        {
            state.SkipWithError("the file library refused the reference song");
            break;
        }
        smf_rewind(smf);
        int events = 0;
        while (smf_event_t* event = smf_get_next_event(smf))
            events += event->midi_buffer_length > 0;
        benchmark::DoNotOptimize(events);
        smf_delete(smf);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_ImportIntoEmptySong(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = ReferenceSong();
    if (bytes.empty())
        state.SkipWithError("no reference song");
    cInstrumentPackageRegistry packages;
    packages.AddPackage(new cAnalogueSynthPackage());
    cInstrumentSlotTable slots;
    cSequencer sequencer;
    for (auto _ : state)
    {
        state.PauseTiming();
        sequencer.GetTrackList()->Clear();
        slots.DestroyAll();
        auto* song = new cMIDIFileSong();
        File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
        if (cMIDIFileConverter(song, &file).Read() != 0)
            state.SkipWithError("the reference song was refused");
        state.ResumeTiming();
        ImportMIDIFileSong(song, false);
    }
    state.counters["parts"] = double(sequencer.GetTrackList()->CountParts());
    sequencer.GetTrackList()->Clear();
    slots.DestroyAll();
}
} // namespace

BENCHMARK(BM_ReadIntoSong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryLoadAndWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportIntoEmptySong)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
