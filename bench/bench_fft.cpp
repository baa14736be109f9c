// The analyser's real transform: cRealFFT::Forward at 4096 points beside a
// general FFT library's single-precision real transform planned with its
// quickest estimate (goal: ours within 3x of it), one analyser step (copy
// out of the ring, window, transform, smoothing) on a full ring, and its
// editor's frame (the step plus the spectrum 1920 pixels wide) on a
// renderer that draws nothing (goal under 0.2 ms), and a desk's frame of four
// effect editors with a live compressor's meters on that renderer (goal
// under 0.3 ms).

#include <benchmark/benchmark.h>

#include <fftw3.h>

#include <cmath>
#include <memory>
#include <vector>

#include "BenchDrawing.h"
#include "audio/AudioBuffer.h"
#include "audio/WaveShaper.h"
#include "mixer/EffectAnalyser.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/RealFFT.h"
#include "mixer/ui/EffectAnalyserUI.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/EffectUI.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr int kSize = 4096;

std::vector<float> Noise()
{
    std::vector<float> x(kSize);
    uint32_t seed = 7;
    for (float& v : x)
    {
        seed = seed * 1664525u + 1013904223u;
        v = float(int32_t(seed)) * (1.0f / 2147483648.0f);
    }
    return x;
}

void RealFFTForward4096(benchmark::State& state)
{
    cRealFFT fft;
    fft.SetSize(kSize);
    const std::vector<float> input = Noise();
    std::vector<float> re(kSize / 2 + 1), im(kSize / 2 + 1);
    for (auto _ : state)
    {
        fft.Forward(input.data(), re.data(), im.data());
        benchmark::DoNotOptimize(re.data());
    }
}
BENCHMARK(RealFFTForward4096)->Unit(benchmark::kMicrosecond);

void PeerRealForward4096(benchmark::State& state)
{
    float* input = fftwf_alloc_real(kSize);
    fftwf_complex* output = fftwf_alloc_complex(kSize / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(kSize, input, output, FFTW_ESTIMATE);
    const std::vector<float> noise = Noise();
    for (int i = 0; i < kSize; ++i)
        input[i] = noise[size_t(i)];
    for (auto _ : state)
    {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(output);
    }
    fftwf_destroy_plan(plan);
    fftwf_free(output);
    fftwf_free(input);
}
BENCHMARK(PeerRealForward4096)->Unit(benchmark::kMicrosecond);

void AnalyserStep(benchmark::State& state)
{
    cEffectAnalyserPackage package;
    cEffectAnalyser analyser(&package);
    analyser.SetEnabled(true);
    std::vector<float> samples(2 * kSize);
    for (int i = 0; i < kSize; ++i)
        samples[size_t(2 * i)] = samples[size_t(2 * i + 1)] = std::sin(0.05f * float(i));
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, kSize, 2, samples.data());
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    analyser.Process(info, buffer);
    for (auto _ : state)
    {
        analyser.Analyse();
        benchmark::DoNotOptimize(analyser.GetSpectrum());
    }
}
BENCHMARK(AnalyserStep)->Unit(benchmark::kMicrosecond);

// A desktop screen of the given size whose plain root draws to a renderer
// that draws nothing.
class cScreen
{
public:
    cScreen(float width, float height)
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
        SetFrameTiming(60.0f);
        setUp.renderer.SetScreenSize(int(width), int(height));
        manager = new cWidgetManager();
        manager->Init(&setUp.renderer);
        manager->SetScreenRect({0.0f, 0.0f, width, height});
        manager->GetDrawList()->currentMaterial = setUp.skin;
        manager->GetRoot()->SetMaterial(setUp.skin);
    }
    ~cScreen()
    {
        for (cWidget* widget : widgets)
        {
            manager->GetRoot()->RemoveChild(widget);
            widget->Release();
        }
        delete manager;
        ResetDisplayMetrics();
    }
    cScreen(const cScreen&) = delete;
    cScreen& operator=(const cScreen&) = delete;

    // The screen takes the widget over.
    void Add(cWidget* widget, float x, float y, float width, float height)
    {
        widget->SetAnchors(kAnchorsAbsoluteRect, x, y, width, height);
        manager->GetRoot()->AddChild(widget);
        widgets.push_back(widget);
    }

    BenchDrawing::cSetUp setUp;
    cWidgetManager* manager = nullptr;
    std::vector<cWidget*> widgets;
};

void AnalyserEditorFrame1920(benchmark::State& state)
{
    cEffectAnalyserPackage package;
    cEffectAnalyser analyser(&package);
    analyser.SetEnabled(true);
    std::vector<float> samples(2 * kSize);
    for (int i = 0; i < kSize; ++i)
        samples[size_t(2 * i)] = samples[size_t(2 * i + 1)] = std::sin(0.05f * float(i)) + 0.1f * std::sin(0.9f * float(i));
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, kSize, 2, samples.data());
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    analyser.Process(info, buffer);
    // Declared after the effect, so its editor goes first.
    cScreen screen(1920.0f, 200.0f);
    auto* editor = new cEffectAnalyserUI(&package);
    screen.Add(editor, 0.0f, 0.0f, 1920.0f + 90.0f, 200.0f);
    editor->SetEffect(&analyser, 0);
    screen.manager->Draw();
    for (auto _ : state)
        screen.manager->Draw();
}
BENCHMARK(AnalyserEditorFrame1920)->Unit(benchmark::kMicrosecond);

// The insert view's editors one under another, the compressor's first; it
// compresses a loud block between frames, as the audio thread would, so its
// meters move. Only the frames are timed.
void FourEditorsFrame(benchmark::State& state)
{
    BuildShapeTables();
    RegisterEffectPackages();
    InstallEffectEditorFactory();
    {
        std::vector<std::unique_ptr<cEffect>> effects;
        cScreen screen(1024.0f, 400.0f);
        const char* const units[] = {"QDL-5", "EQ-3B", "VELTRIX", "Q-HALLS"};
        for (const char* unit : units)
        {
            cEffectPackage* package = gEffectRegistry->FindPackage(unit);
            effects.emplace_back(package->CreateEffect());
            effects.back()->SetEnabled(true);
            cEffectUI* editor = package->CreateEditor();
            screen.Add(editor, 10.0f, 10.0f + 90.0f * float(screen.widgets.size()), 600.0f, 83.0f);
            editor->SetEffect(effects.back().get(), 0);
        }
        constexpr int kBlock = 256;
        std::vector<float> samples(2 * kBlock);
        cAudioBuffer buffer;
        cAudioProcessInfo info;
        info.sampleRate = 44100.0f;
        info.secondsPerSample = 1.0f / 44100.0f;
        int32_t block = 0;
        screen.manager->Draw();
        for (auto _ : state)
        {
            state.PauseTiming();
            // A tone that swells and fades over 16 blocks.
            const float level = 0.1f + 0.85f * float(block++ % 16) / 15.0f;
            for (int i = 0; i < kBlock; ++i)
                samples[size_t(2 * i)] = samples[size_t(2 * i + 1)] = level * std::sin(0.07f * float(i));
            buffer.Describe(kAudioFormatFloat, kBlock, 2, samples.data());
            effects.front()->Process(info, buffer);
            state.ResumeTiming();
            screen.manager->Draw();
        }
        // What reached the renderer, so a frame that drew nothing shows.
        state.counters["vertices"] =
            benchmark::Counter(double(screen.setUp.renderer.submitted), benchmark::Counter::kAvgIterations);
    }
    SetEffectEditorFactory(nullptr);
    DeleteEffectPackages();
    FreeShapeTables();
}
BENCHMARK(FourEditorsFrame)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
