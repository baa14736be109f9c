// The synthesizer's sound blocks, in nanoseconds per sample (counter
// "ns_per_sample": per channel-sample for the biquads, per stereo frame for
// the drive, chorus, delay and bit-crusher, per voice-sample for the
// oscillators) and per voice-block for the control-rate work. Goals: biquad
// 4 over four channels, table read 2, oscillator section "MIX" 6, drive 6,
// chorus 12, delay 6, bit-crusher 4, envelope + LFOs + matrix 150 per
// voice-block; so 16 voices stay under 5 % of the 4.99 ms period. Loading
// the seven factory banks from their files: under 10 ms in all.
//
// The whole module with held voices, by processor time per voice-sample
// (counter "cpu_ns_per_voice_sample": the module's render, control, effects
// and output filter over the voices times the frames), for the init single
// and a two-oscillator preset through a resonant two-stage low-pass, with 8
// voices and with 3 (a partial group). Goal: at most 4.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/AudioBufferPool.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/Biquad.h"
#include "audio/BitCrusher.h"
#include "audio/ChorusDelay.h"
#include "audio/LFO.h"
#include "audio/WaveList.h"
#include "audio/Wavetable.h"
#include "audio/WaveShaper.h"
#include "base/FastMath.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/ControllerValues.h"
#include "instruments/synth/Envelope.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/ModMatrixEvaluator.h"
#include "instruments/synth/OscillatorSection.h"
#include "instruments/synth/SynthParamId.h"
#include "mixer/EffectUnits.h"

namespace
{
constexpr uint32_t kBlock = 128;

cAudioProcessInfo BlockInfo()
{
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    info.duration = float(kBlock) / 44100.0f;
    return info;
}

// A block of noise-like samples that keeps every unit busy.
struct cBenchBlock
{
    std::vector<float> samples;
    cAudioBuffer view;

    explicit cBenchBlock(uint32_t channels) : samples(size_t(kBlock) * channels)
    {
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = 0.6f * std::sin(0.37f * float(i)) + 0.2f * std::sin(0.011f * float(i));
        view.Describe(kAudioFormatFloat, kBlock, channels, samples.data());
    }
};

// Runs body once per iteration and reports nanoseconds per unit of work,
// unitsPerIteration units per call.
template <class tBody>
void RunTimed(benchmark::State& state, double unitsPerIteration, tBody body)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        body();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (state.iterations() > 0)
        state.counters["ns_per_sample"] = seconds * 1e9 / (double(state.iterations()) * unitsPerIteration);
}

std::string ResourceFolder()
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Resource").string();
}

// The generated wave tables beside the benchmark program, loaded once.
bool LoadWaveBank()
{
    if (GetWaveTable(kWaveSaw))
        return !GetWaveTable(kWaveSaw)->IsEmpty();
    if (!gFileSystemRegistry)
        new cFileSystemRegistry();
    gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", ResourceFolder().c_str()));
    BuildWaveTables();
    return !GetWaveTable(kWaveSaw)->IsEmpty();
}

void BM_InterpolatedTableRead(benchmark::State& state)
{
    if (!LoadWaveBank())
    {
        state.SkipWithError("no wave tables beside the program");
        return;
    }
    std::vector<float> samples(kBlock);
    cAudioBuffer view;
    view.Describe(kAudioFormatFloat, kBlock, 1, samples.data());
    cWavetableOsc osc;
    osc.SetTable(GetWaveTable(kWaveSaw));
    RunTimed(state, kBlock, [&] {
        osc.Render(261.63f / 44100.0f, view, 0.0f, true);
        benchmark::DoNotOptimize(samples.data());
    });
}
BENCHMARK(BM_InterpolatedTableRead);

// Two oscillators mixed into one voice channel of the four-voice buffer.
void BM_OscillatorSectionMix(benchmark::State& state)
{
    if (!LoadWaveBank())
    {
        state.SkipWithError("no wave tables beside the program");
        return;
    }
    const cAudioProcessInfo info = BlockInfo();
    cBenchBlock block(4);
    cAudioBuffer voice;
    voice.Describe(kAudioFormatFloat, kBlock, 4, block.samples.data());
    cAudioBufferPool pool(2, kBlock);
    cOscSectionParams params;
    params.Osc1.Wave = kWaveSaw;
    params.Osc2.Wave = kWaveSquare;
    params.Detune = 0.1f;
    cOscSection section;
    section.Reset();
    section.SetParams(&params);
    const cModulationSums sums{};
    RunTimed(state, kBlock, [&] {
        section.Control(sums, 60.0f);
        section.Render(info, voice, &pool);
        benchmark::DoNotOptimize(block.samples.data());
    });
}
BENCHMARK(BM_OscillatorSectionMix);

void BM_BiquadFourChannels(benchmark::State& state)
{
    cBenchBlock block(4);
    cBiquad sections[4];
    for (int i = 0; i < 4; ++i)
        sections[i].SetLowPass(0.05f + 0.05f * i, 2.0f, 1.0f);
    cBiquad* pointers[4] = {&sections[0], &sections[1], &sections[2], &sections[3]};
    RunTimed(state, kBlock * 4, [&] {
        ProcessBiquadChannels(block.view, pointers, 4);
        benchmark::DoNotOptimize(block.samples.data());
    });
}
BENCHMARK(BM_BiquadFourChannels);

void BM_Drive(benchmark::State& state)
{
    BuildShapeTables();
    const cAudioProcessInfo info = BlockInfo();
    cBenchBlock block(2);
    cWaveShapeParams params;
    params.Enable = 1;
    params.Shape = cWaveShapeParams::kShapeSoft;
    cWaveShaper shaper;
    shaper.params = &params;
    RunTimed(state, kBlock, [&] {
        shaper.Process(info, block.view, nullptr);
        benchmark::DoNotOptimize(block.samples.data());
    });
}
BENCHMARK(BM_Drive);

void BM_BitCrusher(benchmark::State& state)
{
    cBenchBlock block(2);
    cBitCrusherParams params{1, 0.5f, 0.7f};
    cBitCrusher crusher;
    crusher.params = &params;
    RunTimed(state, kBlock, [&] {
        crusher.Process(block.view);
        benchmark::DoNotOptimize(block.samples.data());
    });
}
BENCHMARK(BM_BitCrusher);

void RunChorusDelay(benchmark::State& state, int32_t type)
{
    InitFastMathTables();
    const cAudioProcessInfo info = BlockInfo();
    cBenchBlock block(2);
    cChorusDelayParams params;
    params.Enable = 1;
    params.Type = type;
    params.Sync = 0;
    params.CDepth = 0.3f;
    cChorusDelay engine(1.0f);
    engine.params = &params;
    RunTimed(state, kBlock, [&] {
        benchmark::DoNotOptimize(engine.Process(info, block.view, block.view, nullptr, nullptr));
        benchmark::DoNotOptimize(block.samples.data());
    });
}

void BM_Chorus(benchmark::State& state)
{
    RunChorusDelay(state, cChorusDelayParams::kTypeChorus);
}
BENCHMARK(BM_Chorus);

void BM_Delay(benchmark::State& state)
{
    RunChorusDelay(state, cChorusDelayParams::kTypeDelay);
}
BENCHMARK(BM_Delay);

// A voice's control block: the aux envelope and four LFOs, the matrix, then
// the amp and filter envelopes, as every voice runs them once per block.
void BM_VoiceControlBlock(benchmark::State& state)
{
    InitFastMathTables();
    const float elapsed = float(kBlock) / 44100.0f;
    cEnvelopeParams envelopeParams[3];
    cEnvelope envelopes[3];
    cLFOParams lfoParams[4];
    cLFO lfos[4];
    for (int i = 0; i < 3; ++i)
    {
        envelopeParams[i] = {3, 0.3f, 0.4f, 0.5f, 0.3f, 1.0f, 0};
        envelopes[i].params = &envelopeParams[i];
        envelopes[i].Trigger();
    }
    for (int i = 0; i < 4; ++i)
    {
        lfoParams[i] = {i, 3.0f + i, 4, 0.5f, 1.0f, 1};
        lfos[i].params = &lfoParams[i];
        lfos[i].Trigger();
    }
    cModMatrix matrix;
    cControllerValues controllers;
    cModMatrixEvaluator evaluator;
    evaluator.matrix = &matrix;
    RunTimed(state, 1, [&] {
        cModSources sources{};
        const float aux = envelopes[2].Process(evaluator.sums.auxEnv, elapsed);
        sources.auxEnvOutput = aux;
        sources.auxEnvAmount = envelopes[2].GetAmount();
        for (int i = 0; i < 4; ++i)
        {
            sources.lfoValue[i] = lfos[i].Process(evaluator.sums.lfo[i], elapsed);
            sources.lfoDepth[i] = lfos[i].GetDepth();
        }
        sources.velocity = 0.8f;
        sources.controllers = controllers.values;
        evaluator.Evaluate(sources);
        benchmark::DoNotOptimize(envelopes[0].Process(evaluator.sums.ampEnv, elapsed));
        benchmark::DoNotOptimize(envelopes[1].Process(evaluator.sums.filterEnv, elapsed));
        benchmark::DoNotOptimize(evaluator.sums);
    });
}
BENCHMARK(BM_VoiceControlBlock);
double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The audio manager whose buffer pool the voices borrow from, paused, and
// the effect units the module takes its drive and chorus from.
bool PrepareEngine()
{
    static std::unique_ptr<cAudioManager> manager;
    if (manager)
        return true;
    if (!LoadWaveBank())
        return false;
    InitFastMathTables();
    BuildShapeTables();
    RegisterEffectPackages();
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    manager = std::make_unique<cAudioManager>();
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    if (!manager->Init(settings))
        return false;
    manager->SetPaused(true);
    return true;
}

void SetSingle(cAnalogueSynth& synth, int32_t group, int32_t index, int32_t field, float value)
{
    synth.PostEvent(MakeSetFloatEvent(MakeSynthParamId(kSynthParamSingle, group, index, field), value));
}

void SetSingleInt(cAnalogueSynth& synth, int32_t group, int32_t index, int32_t field, int32_t value)
{
    synth.PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamSingle, group, index, field), value));
}

// Saw and square a fifth apart, detuned, through a resonant 24 dB low-pass
// with key tracking, opened by the filter envelope.
void MakeTwoOscillatorFiltered(cAnalogueSynth& synth)
{
    SetSingleInt(synth, kSingleGroupOsc, cOscSectionParams::kIndexOsc1, cOscSectionParams::kFieldWave, kWaveSaw);
    SetSingleInt(synth, kSingleGroupOsc, cOscSectionParams::kIndexOsc2, cOscSectionParams::kFieldWave, kWaveSquare);
    SetSingleInt(synth, kSingleGroupOsc, cOscSectionParams::kIndexOsc2, cOscSectionParams::kFieldTrans, 7);
    SetSingle(synth, kSingleGroupOsc, cOscSectionParams::kIndexDetune, 0, 0.6f);
    SetSingleInt(synth, kSingleGroupFilter, 0, cFilterParams::kFieldSlope, cFilterParams::kSlope24);
    SetSingle(synth, kSingleGroupFilter, 0, cFilterParams::kFieldCutoff, 0.45f);
    SetSingle(synth, kSingleGroupFilter, 0, cFilterParams::kFieldQ, 0.6f);
    SetSingleInt(synth, kSingleGroupFilter, 0, cFilterParams::kFieldTrack, 1);
    SetSingle(synth, kSingleGroupFilterEnv, 0, cEnvelopeParams::kFieldD, 0.5f);
    SetSingle(synth, kSingleGroupFilterEnv, 0, cEnvelopeParams::kFieldS, 0.3f);
    SetSingle(synth, kSingleGroupFilterEnv, 0, cEnvelopeParams::kFieldAmount, 0.4f);
}

// One module holding state.range(0) voices, 128-frame blocks.
void RunVoices(benchmark::State& state, bool filtered)
{
    if (!PrepareEngine())
    {
        state.SkipWithError("no wave tables beside the program, or no audio manager");
        return;
    }
    const int voices = int(state.range(0));
    cAnalogueSynth synth(nullptr);
    synth.PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamSingle, kSingleGroupPolyphony), voices));
    if (filtered)
        MakeTwoOscillatorFiltered(synth);
    std::vector<float> block(kBlock * 2);
    cAudioBuffer buffer;
    cAudioProcessInfo info = BlockInfo();
    const auto render = [&] {
        std::fill(block.begin(), block.end(), 0.0f);
        buffer.Describe(kAudioFormatFloat, kBlock, 2, block.data());
        synth.Process(info, buffer);
        benchmark::DoNotOptimize(block.data());
    };
    render();
    for (int v = 0; v < voices; ++v)
    {
        cAudioEvent on;
        on.type = kAudioEventNoteOn;
        on.SetNote(uint8_t(40 + 5 * v), 100);
        on.wordB = kVoiceSourceSequencer << 24 | uint32_t(v);
        synth.PostEvent(on);
    }
    render();
    const double start = ThreadCpuSeconds();
    for (auto _ : state)
        render();
    const double seconds = ThreadCpuSeconds() - start;
    const int sounding = synth.GetVoiceEngine().GetActiveCount();
    state.counters["voices"] = sounding;
    if (state.iterations() > 0 && sounding > 0)
        state.counters["cpu_ns_per_voice_sample"] =
            seconds * 1e9 / (double(state.iterations()) * kBlock * double(sounding));
}

void BM_VoicesInitSingle(benchmark::State& state) { RunVoices(state, false); }
BENCHMARK(BM_VoicesInitSingle)->Arg(8)->Arg(3);

void BM_VoicesTwoOscillatorsFiltered(benchmark::State& state) { RunVoices(state, true); }
BENCHMARK(BM_VoicesTwoOscillatorsFiltered)->Arg(8)->Arg(3);
} // namespace

// The seven global banks as start-up loads them, from the generated content
// mounted as "Doc".
void BM_LoadGlobalBanks(benchmark::State& state)
{
    if (!gFileSystemRegistry)
        new cFileSystemRegistry();
    if (!gFileSystemRegistry->FindFileSystem("Doc"))
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", ResourceFolder().c_str()));
    auto store = std::make_unique<cAnalogueSynthPresetStore>();
    cGenStringFixed<128> error;
    for (auto _ : state)
        for (int32_t bank = 0; bank < cAnalogueSynthPresetStore::kGlobalBankCount; ++bank)
        {
            char path[64];
            std::snprintf(path, sizeof(path), "Instruments/Kest/Global%c", 'A' + bank);
            if (!LoadBank(*store, bank, path, nullptr, 1, error))
            {
                state.SkipWithError(error.CStr());
                return;
            }
        }
}
BENCHMARK(BM_LoadGlobalBanks)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
