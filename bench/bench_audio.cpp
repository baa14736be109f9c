// Hot paths of the audio engine: one device buffer through the manager, the
// float to 16-bit conversion, and a pass with a graph of 16 sine modules.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "audio/AudioBufferPool.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "audio/AudioModule.h"
#include "audio/SampleConvert.h"
#include "base/FastMath.h"

namespace
{
constexpr double kBufferPeriodSeconds = 220.0 / 44100.0;

// A running manager whose thread is paused, so the benchmark renders the
// passes itself.
std::unique_ptr<cAudioManager> MakePausedManager()
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    auto manager = std::make_unique<cAudioManager>();
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    if (!manager->Init(settings))
        return nullptr;
    manager->SetPaused(true);
    return manager;
}

// Renders a table sine into a float block.
class cSineVoice : public cAudioModule
{
public:
    explicit cSineVoice(float frequency) : cAudioModule(nullptr, 16), mStep(6.2831853f * frequency / 44100.0f) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& block) override
    {
        DrainEvents();
        float* out = block.Floats();
        for (uint32_t f = 0; f < block.frames; ++f)
        {
            const float x = 0.05f * FastSin(mPhase);
            out[f * 2] = x;
            out[f * 2 + 1] = x;
            mPhase += mStep;
            if (mPhase > 6.2831853f)
                mPhase -= 6.2831853f;
        }
        return 0;
    }

private:
    float mStep;
    float mPhase = 0.0f;
};

// Mixes its voices through pool buffers and writes the device format, as the
// mixer does.
class cSineGraph : public cAudioModule
{
public:
    explicit cSineGraph(int voices) : cAudioModule(nullptr, 64)
    {
        for (int i = 0; i < voices; ++i)
            mVoices.push_back(std::make_unique<cSineVoice>(220.0f + 55.0f * i));
    }

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& device) override
    {
        DrainEvents();
        cAudioBufferPool* pool = cAudioManager::Get()->GetBufferPool();
        const cAudioBufferPool::cHandle mix = pool->Acquire(kAudioFormatFloat, device.frames, 2);
        const cAudioBufferPool::cHandle voice = pool->Acquire(kAudioFormatFloat, device.frames, 2);
        float* sum = mix.node->buffer.Floats();
        const uint32_t samples = device.frames * 2;
        std::fill_n(sum, samples, 0.0f);
        for (auto& v : mVoices)
        {
            v->Process(info, voice.node->buffer);
            const float* in = voice.node->buffer.Floats();
            for (uint32_t i = 0; i < samples; ++i)
                sum[i] += in[i];
        }
        FloatToInt16(sum, static_cast<int16_t*>(device.data), samples);
        pool->Release(voice);
        pool->Release(mix);
        return 0;
    }

private:
    std::vector<std::unique_ptr<cSineVoice>> mVoices;
};

// Renders passes for the benchmark and reports the share of the 4.99 ms
// buffer period one pass takes, in percent (the goal is under 5).
void RunPasses(benchmark::State& state, cAudioManager& manager)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.RenderNextBuffer().data);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (state.iterations() > 0)
        state.counters["period_percent"] = seconds / double(state.iterations()) / kBufferPeriodSeconds * 100.0;
}

void BM_ManagerPassEmptyGraph(benchmark::State& state)
{
    auto manager = MakePausedManager();
    if (!manager)
    {
        state.SkipWithError("no audio device");
        return;
    }
    RunPasses(state, *manager);
}
BENCHMARK(BM_ManagerPassEmptyGraph);

void BM_ManagerPassSixteenSines(benchmark::State& state)
{
    InitFastMathTables();
    auto manager = MakePausedManager();
    if (!manager)
    {
        state.SkipWithError("no audio device");
        return;
    }
    cSineGraph graph(16);
    manager->GetOutputPort()->AddListener(&graph);
    RunPasses(state, *manager);
    manager->GetOutputPort()->RemoveListener(&graph);
}
BENCHMARK(BM_ManagerPassSixteenSines);

void BM_FloatToInt16(benchmark::State& state)
{
    std::vector<float> in(440);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = float(i % 100) / 50.0f - 1.0f;
    std::vector<int16_t> out(440);
    for (auto _ : state)
    {
        FloatToInt16(in.data(), out.data(), 440);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 440);
}
BENCHMARK(BM_FloatToInt16);

// Starting the engine on the dummy device and shutting it down again, and
// the same with no usable device (the failed start, the idle thread and the
// close). Goals: a shutdown under 1 s, the device-less round under 2 s.
void BM_ManagerStartAndShutdown(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", state.range(0) ? "dummy" : "no-such-audio-driver", 1);
    for (auto _ : state)
    {
        auto manager = std::make_unique<cAudioManager>();
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        const bool started = manager->Init(settings);
        if (started != (state.range(0) != 0))
            state.SkipWithError("the device did not behave as asked");
        manager->SetPaused(false);
        manager->Shutdown();
        manager.reset();
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    state.SetLabel(state.range(0) ? "dummy device" : "no device");
}
BENCHMARK(BM_ManagerStartAndShutdown)->Arg(1)->Arg(0)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
