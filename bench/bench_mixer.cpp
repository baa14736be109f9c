// The mixer's hot paths: each effect unit on a stereo block (goals per
// stereo frame: reverb and chorus/delay 40 ns, waveshaper and lo-fi 20 ns,
// EQ and compressor 12 ns), and a whole device buffer of a busy mix through
// cMixer::RenderGraph as a share of the 4.99 ms period (goal under 2 %).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/Instrument.h"
#include "audio/WaveShaper.h"
#include "mixer/Effect.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"

namespace
{
constexpr uint32_t kBlockFrames = 128;
constexpr uint32_t kDeviceFrames = 220;
constexpr double kBufferPeriodSeconds = double(kDeviceFrames) / 44100.0;

cAudioProcessInfo MakeInfo(uint32_t frames)
{
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    info.duration = float(frames) / 44100.0f;
    return info;
}

// The five units and their shape tables, for as long as a benchmark runs.
struct cUnits
{
    cUnits()
    {
        BuildShapeTables();
        RegisterEffectPackages();
    }
    ~cUnits()
    {
        DeleteEffectPackages();
        FreeShapeTables();
    }
};

struct cSetting
{
    bool integer;
    uint32_t id;
    float value;
};

// Runs one unit, switched on with the settings given, over blocks of a
// sine and reports nanoseconds per stereo frame.
void RunUnit(benchmark::State& state, const char* shortName, std::vector<cSetting> settings)
{
    cUnits units;
    std::unique_ptr<cEffect> effect(gEffectRegistry->CreateEffect(shortName));
    effect->SetEnabled(true);
    for (const cSetting& s : settings)
        effect->PostEvent(s.integer ? MakeSetIntEvent(s.id, int32_t(s.value)) : MakeSetFloatEvent(s.id, s.value));
    std::vector<float> source(kBlockFrames * 2), block(kBlockFrames * 2);
    for (uint32_t f = 0; f < kBlockFrames; ++f)
        source[f * 2] = source[f * 2 + 1] = 0.5f * std::sin(0.07f * float(f));
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, kBlockFrames, 2, block.data());
    const cAudioProcessInfo info = MakeInfo(kBlockFrames);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        block = source;
        buffer.data = block.data();
        effect->Process(info, buffer);
        benchmark::DoNotOptimize(block.data());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (state.iterations() > 0)
        state.counters["ns_per_frame"] = seconds / double(state.iterations()) / kBlockFrames * 1e9;
}

void BM_Reverb(benchmark::State& state) { RunUnit(state, "Q-HALLS", {}); }
BENCHMARK(BM_Reverb);

void BM_Chorus(benchmark::State& state) { RunUnit(state, "VELTRIX", {}); }
BENCHMARK(BM_Chorus);

void BM_CrossDelay(benchmark::State& state) { RunUnit(state, "VELTRIX", {{true, 0, 3.0f}, {false, 10, 0.7f}}); }
BENCHMARK(BM_CrossDelay);

void BM_Waveshaper(benchmark::State& state) { RunUnit(state, "9TH HARBOR", {{false, 2, 0.7f}, {false, 3, 0.7f}}); }
BENCHMARK(BM_Waveshaper);

void BM_LoFi(benchmark::State& state) { RunUnit(state, "9TH HARBOR", {{true, 1, 7.0f}, {false, 2, 0.5f}}); }
BENCHMARK(BM_LoFi);

void BM_ThreeBandEQ(benchmark::State& state)
{
    RunUnit(state, "EQ-3B", {{false, 3, 0.8f}, {false, 6, 0.3f}, {false, 8, 0.7f}, {true, 1, 1.0f}});
}
BENCHMARK(BM_ThreeBandEQ);

void BM_Compressor(benchmark::State& state) { RunUnit(state, "QDL-5", {{false, 3, 0.2f}}); }
BENCHMARK(BM_Compressor);

void BM_CompressorPeak(benchmark::State& state) { RunUnit(state, "QDL-5", {{false, 3, 0.2f}, {true, 6, 0.0f}}); }
BENCHMARK(BM_CompressorPeak);

// An instrument that costs next to nothing: a constant level into its block,
// sent to both returns.
class cCheapModule : public cAudioModule
{
public:
    cCheapModule(cInstrument* owner, float level) : cAudioModule(owner, 64), mLevel(level) {}
    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        DrainEvents();
        float* out = buffer.Floats();
        for (uint32_t i = 0; i < buffer.frames * 2; ++i)
            out[i] += mLevel;
        return 0;
    }
    float GetOutputValue(int32_t kind, int32_t) override { return kind == 0 ? 1.0f : (kind == 1 ? 0.5f : 0.3f); }

private:
    float mLevel;
};

class cCheapInstrument : public cInstrument
{
public:
    explicit cCheapInstrument(float level)
    {
        SetModule(new cCheapModule(this, level));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}
};

void BM_RenderGraphSixteenChannels(benchmark::State& state)
{
    cUnits units;
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    const char* const inserts[] = {"QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS"};
    std::vector<std::unique_ptr<cCheapInstrument>> instruments;
    for (int i = 0; i < 16; ++i)
    {
        instruments.push_back(std::make_unique<cCheapInstrument>(0.01f * float(i + 1)));
        auto* strip = static_cast<cMixerChannel*>(instruments.back()->GetChannel(0));
        strip->insertRack.FindNode("SLOT1")->SetEffect(gEffectRegistry->CreateEffect(inserts[i % 5]), true);
        mixer.InsertChannels(instruments.back().get(), nullptr);
    }
    cEffectRack& master = mixer.GetMaster()->insertRack;
    master.FindNode("SLOT1")->SetEffect(gEffectRegistry->CreateEffect("EQ-3B"), true);
    master.FindNode("SLOT2")->SetEffect(gEffectRegistry->CreateEffect("QDL-5"), true);

    std::vector<int16_t> device(kDeviceFrames * 2);
    cAudioBuffer output;
    output.Describe(kAudioFormatS16, kDeviceFrames, 2, device.data());
    const cAudioProcessInfo info = MakeInfo(kDeviceFrames);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        mixer.RenderGraph(info, output, nullptr);
        benchmark::DoNotOptimize(device.data());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (state.iterations() > 0)
        state.counters["period_percent"] = seconds / double(state.iterations()) / kBufferPeriodSeconds * 100.0;
    for (auto& instrument : instruments)
        mixer.RemoveChannels(instrument.get());
}
BENCHMARK(BM_RenderGraphSixteenChannels);
} // namespace

BENCHMARK_MAIN();
