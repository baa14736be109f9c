// The synthesizer playing the melodic channels 1 to 6 of the shared
// reference song (notes, pitch bends, CC7 and CC10; 128 s) offline in one
// thread: one synthesizer per channel in 128-frame blocks, summed through
// the channels' strip gains and written as a 16-bit WAV into
// bench-output/. In the same run a general software synthesizer renders
// the same notes (a copy of the song without its drum tracks, made here)
// with a General MIDI sound font:
//   fluidsynth -ni -F out.wav -r 44100 -o synth.cpu-cores=1 <font> <song>
// Counters: "x_peer" is the peer's time over ours (goal: at least 3, with
// the init single everywhere and with a factory preset of each channel's
// family); "x_peer_rendering" leaves out the peer's start-up, its time for
// a song without notes. "ns_per_voice_sample" is our render time over the
// sum of sounding voices times frames (goal: under 20 with the init
// single). A third benchmark holds sixteen voices in each of sixteen
// synthesizers for one 220-frame device buffer (goal: under 10 % of its
// 4.99 ms).
#include <benchmark/benchmark.h>

#include <smf.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BenchCommand.h"
#include "audio/AudioBuffer.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/WavFile.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/FastMath.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "instruments/synth/SynthParamId.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixerChannel.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"

namespace
{
constexpr uint32_t kBlock = 128;
constexpr double kRate = 44100.0;
constexpr int kChannels = 6;
constexpr double kTailSeconds = 3.0;
const char* const kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
// Factory presets of each channel's family: synth bass, warm pad,
// polysynth pad, saw lead, square lead, string ensemble.
const char* const kFamilyPresets[kChannels] = {"Saw Bass",        "Warm Pad",    "Soft Square Pad",
                                               "Bright Saw Lead", "Square Lead", "String Section"};

std::filesystem::path BinFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

std::filesystem::path OutputFolder()
{
    const std::filesystem::path folder = BinFolder().parent_path() / "bench-output";
    std::filesystem::create_directories(folder);
    return folder;
}

std::string SongPath() { return std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid"; }

struct cCue
{
    int64_t frame;
    cAudioEvent event;
};

// The song's channels 1 to 6 as events at sample frames, in time order.
std::vector<cCue> ReadChannel(const cMIDIFileSong& song, int channel, int64_t& lastFrame)
{
    std::vector<cCue> cues;
    uint32_t voice = 0;
    for (const cMIDIFileSong::sEvent& e : song.channels[channel].events)
    {
        const int64_t frame = int64_t(e.seconds * kRate);
        cAudioEvent event;
        if (e.kind == cMIDIFileSong::eEventKind::Note)
        {
            event.type = kAudioEventNoteOn;
            event.SetNote(e.data.bytes[0], e.data.bytes[1]);
            event.wordB = kVoiceSourceSequencer << 24 | ++voice;
            cues.push_back({frame, event});
            const double seconds = e.seconds + double(e.length) * 60.0 / (double(song.tempo) * 256.0);
            event.type = kAudioEventNoteOff;
            cues.push_back({int64_t(seconds * kRate), event});
            lastFrame = std::max(lastFrame, int64_t(seconds * kRate));
            continue;
        }
        event.type = kAudioEventModuleParam;
        if (e.kind == cMIDIFileSong::eEventKind::PitchBend)
        {
            event.wordB = 0;
            event.valueF = (float(e.data.bend) - 8192.0f) / 8192.0f;
        }
        else if (e.kind == cMIDIFileSong::eEventKind::Controller && (e.data.bytes[0] == 7 || e.data.bytes[0] == 10))
        {
            event.wordB = e.data.bytes[0] == 7 ? 1 : 2;
            event.valueF = float(e.data.bytes[1]) / 127.0f;
        }
        else
            continue;
        cues.push_back({frame, event});
    }
    std::stable_sort(cues.begin(), cues.end(), [](const cCue& a, const cCue& b) { return a.frame < b.frame; });
    return cues;
}

// What every synthesizer needs: the tables, the effect units, a paused audio
// manager for the voices' scratch, and the factory banks on "Doc".
struct cEngine
{
    cEngine()
    {
        InitFastMathTables();
        BuildShapeTables();
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", (BinFolder() / "Resource").c_str()));
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", (BinFolder() / "Resource").c_str()));
        BuildWaveTables();
        RegisterEffectPackages();
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        manager.Init(settings);
        manager.SetPaused(true);
        package = std::make_unique<cAnalogueSynthPackage>();

        std::ifstream in(SongPath(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
        songRead = !bytes.empty() && cMIDIFileConverter(&song, &file).Read() == 0;
        for (int channel = 0; channel < kChannels && songRead; ++channel)
            cues[channel] = ReadChannel(song, channel, lastFrame);
    }

    int32_t FindPreset(const char* name) const
    {
        const cAnalogueSynthPresetStore& store = package->GetStore();
        for (int32_t index = 0; index < cAnalogueSynthPresetStore::kPresetCount; ++index)
            if (std::string(store.GetSingle(cAnalogueSynthPresetStore::IdOf(index)).Name) == name)
                return cAnalogueSynthPresetStore::IdOf(index);
        return -1;
    }

    cAudioManager manager;
    std::unique_ptr<cAnalogueSynthPackage> package;
    cMIDIFileSong song;
    bool songRead = false;
    std::vector<cCue> cues[kChannels];
    int64_t lastFrame = 0;
};

cEngine& Engine()
{
    static cEngine engine;
    return engine;
}

struct cRenderResult
{
    std::vector<float> mix; // interleaved stereo
    double voiceFrames = 0.0;
};

// One synthesizer per channel on the given presets.
void RenderSong(const int32_t* presets, cRenderResult& result)
{
    cEngine& engine = Engine();
    cInstrument* instruments[kChannels];
    for (int channel = 0; channel < kChannels; ++channel)
    {
        instruments[channel] = engine.package->CreateInstrument(0);
        cAnalogueSynth& synth = *static_cast<cAnalogueSynthInstrument*>(instruments[channel])->GetSynth();
        synth.PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamSinglePreset), presets[channel]));
    }
    const int64_t frames = engine.lastFrame + int64_t(kTailSeconds * kRate);
    result.mix.assign(size_t(frames) * 2, 0.0f);
    result.voiceFrames = 0.0;
    std::vector<float> block(kBlock * 2);
    cAudioBuffer buffer;
    size_t next[kChannels] = {};
    cAudioProcessInfo info;
    info.offline = 1;
    info.sampleRate = float(kRate);
    info.secondsPerSample = float(1.0 / kRate);
    for (int64_t at = 0; at < frames; at += kBlock)
    {
        const uint32_t n = uint32_t(std::min<int64_t>(kBlock, frames - at));
        info.duration = float(n / kRate);
        buffer.Describe(kAudioFormatFloat, n, 2, block.data());
        for (int channel = 0; channel < kChannels; ++channel)
        {
            cAnalogueSynth& synth = *static_cast<cAnalogueSynthInstrument*>(instruments[channel])->GetSynth();
            const std::vector<cCue>& cues = engine.cues[channel];
            while (next[channel] < cues.size() && cues[next[channel]].frame < at + n)
                synth.PostEvent(cues[next[channel]++].event);
            std::fill(block.begin(), block.end(), 0.0f);
            synth.Process(info, buffer);
            result.voiceFrames += double(synth.GetVoiceEngine().GetActiveCount()) * n;
            const auto& strip = *static_cast<cMixerChannel*>(instruments[channel]->GetChannel(0));
            const float level = synth.GetOutputValue(0, 0);
            const float left = strip.targetGainLeft * level, right = strip.targetGainRight * level;
            float* out = &result.mix[size_t(at) * 2];
            for (uint32_t f = 0; f < n; ++f)
            {
                out[f * 2] += left * block[f * 2];
                out[f * 2 + 1] += right * block[f * 2 + 1];
            }
        }
    }
    for (cInstrument* instrument : instruments)
        engine.package->DestroyInstrument(instrument);
}

bool WriteWav(const std::vector<float>& mix, const std::filesystem::path& path)
{
    std::vector<int16_t> samples(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        samples[i] = int16_t(std::clamp(std::lround(mix[i] * 32767.0f), -32768l, 32767l));
    cWavFile wav;
    wav.SetFormat(44100, 16, 2);
    return wav.OpenWrite(path.c_str()) && wav.WriteData(samples.data(), uint32_t(samples.size() * 2)) && wav.Close();
}

// The song without the tracks that play channel 10, for the peer, and a
// song with no notes at all, to time the peer's start-up.
bool WritePeerSongs(const std::filesystem::path& melodic, const std::filesystem::path& empty)
{
    smf_t* smf = smf_load(SongPath().c_str());
    if (!smf)
        return false;
    for (int number = smf->number_of_tracks; number >= 1; --number)
    {
        smf_track_t* track = smf_get_track_by_number(smf, number);
        bool drums = false;
        for (int e = 1; e <= track->number_of_events && !drums; ++e)
        {
            const smf_event_t* event = smf_track_get_event_by_number(track, e);
            const uint8_t status = event->midi_buffer_length > 0 ? event->midi_buffer[0] : 0;
            drums = status >= 0x80 && status < 0xF0 && (status & 0x0F) == 9;
        }
        if (drums)
            smf_track_delete(track);
    }
    const bool saved = smf_save(smf, melodic.c_str()) == 0;
    smf_delete(smf);
    smf_t* silent = smf_new();
    smf_add_track(silent, smf_track_new());
    const bool savedEmpty = silent && smf_save(silent, empty.c_str()) == 0;
    smf_delete(silent);
    return saved && savedEmpty;
}

struct cPeer
{
    double seconds = -1.0;  // the whole run
    double startup = -1.0;  // a song without notes
};

// Timed once per run: the fastest of three.
const cPeer& Peer()
{
    static const cPeer peer = [] {
        cPeer p;
        const std::filesystem::path melodic = OutputFolder() / "reference-song-melodic.mid";
        const std::filesystem::path empty = OutputFolder() / "empty-song.mid";
        if (!std::filesystem::exists(kSoundFont) || !WritePeerSongs(melodic, empty))
            return p;
        const auto run = [&](const std::filesystem::path& song, const char* output) {
            double best = -1.0;
            for (int i = 0; i < 3; ++i)
            {
                const double t = TimeCommand({"fluidsynth", "-ni", "-F", (OutputFolder() / output).string(), "-r",
                                              "44100", "-o", "synth.cpu-cores=1", kSoundFont, song.string()})
                                     .wall;
                if (t >= 0.0 && (best < 0.0 || t < best))
                    best = t;
            }
            return best;
        };
        p.seconds = run(melodic, "synth-song-peer.wav");
        p.startup = run(empty, "empty-peer.wav");
        return p;
    }();
    return peer;
}

void RunSong(benchmark::State& state, const int32_t* presets, const char* output)
{
    cEngine& engine = Engine();
    if (!engine.songRead)
    {
        state.SkipWithError("no reference song");
        return;
    }
    cRenderResult result;
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        RenderSong(presets, result);
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(t);
        seconds = seconds == 0.0 ? t : std::min(seconds, t);
    }
    WriteWav(result.mix, OutputFolder() / output);
    state.counters["ns_per_voice_sample"] = seconds * 1e9 / std::max(result.voiceFrames, 1.0);
    state.counters["voices_mean"] = result.voiceFrames / double(result.mix.size() / 2);
    const cPeer& peer = Peer();
    if (peer.seconds < 0.0)
    {
        std::fprintf(stderr, "fluidsynth or %s is missing: scripts/setup-deps --bench installs them\n", kSoundFont);
        return;
    }
    state.counters["peer_s"] = peer.seconds;
    state.counters["x_peer"] = peer.seconds / seconds;
    state.counters["x_peer_rendering"] = (peer.seconds - peer.startup) / seconds;
}

// An empty slot of the factory banks holds the init single.
void BM_SongInitSingle(benchmark::State& state)
{
    const int32_t empty = Engine().FindPreset("<EMPTY>");
    const int32_t presets[kChannels] = {empty, empty, empty, empty, empty, empty};
    RunSong(state, presets, "synth-song-init.wav");
}

void BM_SongFactoryPresets(benchmark::State& state)
{
    int32_t presets[kChannels];
    for (int channel = 0; channel < kChannels; ++channel)
        presets[channel] = Engine().FindPreset(kFamilyPresets[channel]);
    if (std::find(std::begin(presets), std::end(presets), -1) != std::end(presets))
    {
        state.SkipWithError("a factory preset is missing");
        return;
    }
    RunSong(state, presets, "synth-song-factory.wav");
}

// Sixteen synthesizers of sixteen held voices (the init single at Polyphony
// 16) render one device buffer, as the mixer has them: 128 and 92 frames.
void BM_SixteenInstrumentsOfSixteenVoices(benchmark::State& state)
{
    Engine();
    constexpr int kInstruments = 16;
    constexpr int kVoices = 16;
    std::vector<std::unique_ptr<cAnalogueSynth>> synths;
    std::vector<float> block(kBlock * 2);
    cAudioBuffer buffer;
    cAudioProcessInfo info;
    info.sampleRate = float(kRate);
    info.secondsPerSample = float(1.0 / kRate);
    const auto render = [&](uint32_t frames) {
        info.duration = float(frames / kRate);
        buffer.Describe(kAudioFormatFloat, frames, 2, block.data());
        for (auto& synth : synths)
        {
            std::fill(block.begin(), block.begin() + frames * 2, 0.0f);
            synth->Process(info, buffer);
            benchmark::DoNotOptimize(block.data());
        }
    };
    for (int i = 0; i < kInstruments; ++i)
    {
        synths.push_back(std::make_unique<cAnalogueSynth>(nullptr));
        synths.back()->PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamSingle, kSingleGroupPolyphony), kVoices));
    }
    // The limit takes a block; then all sixteen keys sound.
    render(kBlock);
    for (int i = 0; i < kInstruments; ++i)
        for (int v = 0; v < kVoices; ++v)
        {
            cAudioEvent on;
            on.type = kAudioEventNoteOn;
            on.SetNote(uint8_t(36 + 3 * v + i % 3), 100);
            on.wordB = kVoiceSourceSequencer << 24 | uint32_t(v);
            synths[size_t(i)]->PostEvent(on);
        }
    render(kBlock);
    int voices = 0;
    for (auto& synth : synths)
        voices += synth->GetVoiceEngine().GetActiveCount();
    for (auto _ : state)
    {
        render(128);
        render(92);
    }
    state.counters["voices"] = voices;
    // The device buffer's share of its period, in percent.
    state.counters["period_percent"] = benchmark::Counter(
        220.0 / kRate / 100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
} // namespace

BENCHMARK(BM_SongInitSingle)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SongFactoryPresets)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixteenInstrumentsOfSixteenVoices)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
