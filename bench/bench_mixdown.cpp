// The whole mixdown of the shared reference song on one thread, as the
// mixdown job runs it: the song placed as the MIDI-file import places it
// (channel 1's notes in a free slot, channel c + 1 in slot c), read from a
// copy written here with libsmf in which the drum notes move onto the pads
// 48..63; the pad instrument on the default kit (unpacked from
// "Install.zip") in the drums' slot, the mixer's default sends; "Final Mix"
// with the tail on, written to bench-output/mixdown-reference-<case>.wav.
// Two arrangements: "family presets" (a factory preset of each melodic
// channel's family, the drums on the kit's matching pads) and "mono" (the
// synthesizer's first preset everywhere, the drums an octave up). In the
// same run a general software synthesizer renders the original file with a
// General MIDI sound font:
//   fluidsynth -ni -F out.wav -r 44100 -o synth.cpu-cores=1 <font> <song>
// Counters: "x_realtime" is the audio written over the wall time (goal: at
// least 100); "peer_x_realtime" the same for the peer; "x_peer" their ratio
// (goal: about 9); the "cpu_" counters the same over processor time. The
// mix's level: "result" (0 written, 1 clipping detected), "clipped" (the
// samples at full scale), "peak_dBFS" and "rms_dBFS" (the louder side);
// the peer's render for comparison peaks at -3.7 and holds -20.5 dB RMS.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchCommand.h"
#include "BenchReferenceSong.h"
#include "MixdownLevels.h"
#include "sampler/Mixdown.h"

namespace
{
constexpr double kRate = 44100.0;
const char* const kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
const char* const kOutput = "User/Mixdowns/Reference.wav";

std::filesystem::path BinFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

std::filesystem::path OutputFolder()
{
    const std::filesystem::path folder = BinFolder().parent_path() / "bench-output";
    std::filesystem::create_directories(folder);
    return folder;
}

BenchReferenceSong::cSongRig& Rig()
{
    static BenchReferenceSong::cSongRig rig(OutputFolder() / "mixdown-home", OutputFolder() / "reference-song-pads.mid");
    return rig;
}

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The audio seconds of a 16-bit stereo WAV file.
double WavSeconds(const std::filesystem::path& path)
{
    return double(MixdownLevels::ReadSamples(path).size()) / 2.0 / kRate;
}

// The peer's speed in audio seconds per wall and per processor second: the
// best of three runs.
cCommandTimes PeerSpeed()
{
    static const cCommandTimes speed = [] {
        cCommandTimes best;
        if (!std::filesystem::exists(kSoundFont))
            return best;
        const std::filesystem::path out = OutputFolder() / "mixdown-peer.wav";
        for (int i = 0; i < 3; ++i)
        {
            const cCommandTimes t = TimeCommand({"fluidsynth", "-ni", "-F", out.string(), "-r", "44100", "-o",
                                          "synth.cpu-cores=1", kSoundFont, ReferenceSong::Path()});
            if (t.wall > 0.0 && t.cpu > 0.0)
            {
                const double seconds = WavSeconds(out);
                best.wall = std::max(best.wall, seconds / t.wall);
                best.cpu = std::max(best.cpu, seconds / t.cpu);
            }
        }
        return best;
    }();
    return speed;
}

// state.range(0): the arrangement.
void BM_MixdownReferenceSong(benchmark::State& state)
{
    BenchReferenceSong::cSongRig& rig = Rig();
    const auto arrangement = BenchReferenceSong::eArrangement(state.range(0));
    state.SetLabel(BenchReferenceSong::ArrangementName(arrangement));
    if (!rig.ready || !rig.Arrange(arrangement))
    {
        state.SkipWithError("no reference song, or a factory preset is missing");
        return;
    }
    int32_t result = -1;
    cCommandTimes best;
    for (auto _ : state)
    {
        cMixdown mixdown(0.0f, 1.0f, cDelegate());
        int32_t files = 0;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuSeconds();
        result = mixdown.Render(cGenString(kOutput), cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, true,
                                &files);
        const double cpu = ThreadCpuSeconds() - cpuStart;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        best.wall = best.wall < 0.0 ? wall : std::min(best.wall, wall);
        best.cpu = best.cpu < 0.0 ? cpu : std::min(best.cpu, cpu);
    }
    const std::filesystem::path written = rig.documents / kOutput;
    if (result > cMixdown::kResultClipping || !std::filesystem::exists(written))
    {
        state.SkipWithError("the mixdown wrote no file");
        return;
    }
    const double seconds = WavSeconds(written);
    const std::string copy = std::string("mixdown-reference-") +
                             (arrangement == BenchReferenceSong::eArrangement::Mono ? "mono" : "family") + ".wav";
    std::filesystem::copy_file(written, OutputFolder() / copy, std::filesystem::copy_options::overwrite_existing);
    const MixdownLevels::cLevels levels = MixdownLevels::MeasureFile(written);
    state.counters["result"] = result;
    state.counters["clipped"] = double(levels.Clips());
    state.counters["peak_dBFS"] = levels.PeakDb();
    state.counters["rms_dBFS"] = levels.RmsDb();
    state.counters["audio_s"] = seconds;
    state.counters["x_realtime"] = seconds / best.wall;
    state.counters["cpu_x_realtime"] = seconds / best.cpu;
    const cCommandTimes peer = PeerSpeed();
    if (peer.wall < 0.0)
    {
        std::fprintf(stderr, "fluidsynth or %s is missing: scripts/setup-deps --bench installs them\n", kSoundFont);
        return;
    }
    state.counters["peer_x_realtime"] = peer.wall;
    state.counters["peer_cpu_x_realtime"] = peer.cpu;
    state.counters["x_peer"] = seconds / best.wall / peer.wall;
    state.counters["cpu_x_peer"] = seconds / best.cpu / peer.cpu;
}
} // namespace

BENCHMARK(BM_MixdownReferenceSong)
    ->ArgName("arrangement")
    ->Arg(int(BenchReferenceSong::eArrangement::FamilyPresets))
    ->Arg(int(BenchReferenceSong::eArrangement::Mono))
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
