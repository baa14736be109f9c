// The analyser's real transform: cRealFFT::Forward at 4096 points beside a
// general FFT library's single-precision real transform planned with its
// quickest estimate (goal: ours within 3x of it), one analyser step (copy
// out of the ring, window, transform, smoothing) on a full ring, and its
// editor's frame (the step plus the spectrum 1920 pixels wide) on a
// renderer that draws nothing (goal under 0.2 ms).

#include <benchmark/benchmark.h>

#include <fftw3.h>

#include <cmath>
#include <vector>

#include "BenchDrawing.h"
#include "audio/AudioBuffer.h"
#include "mixer/EffectAnalyser.h"
#include "mixer/RealFFT.h"
#include "mixer/ui/EffectAnalyserUI.h"
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

void AnalyserEditorFrame1920(benchmark::State& state)
{
    BenchDrawing::cSetUp setUp;
    SetDisplayMetricsForClass(kDeviceClassDesktop);
    SetupUIMetrics();
    SetFrameTiming(60.0f);
    setUp.renderer.SetScreenSize(1920, 200);
    auto* manager = new cWidgetManager();
    manager->Init(&setUp.renderer);
    manager->SetScreenRect({0.0f, 0.0f, 1920.0f, 200.0f});
    manager->GetDrawList()->currentMaterial = setUp.skin;
    manager->GetRoot()->SetMaterial(setUp.skin);
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
    auto* editor = new cEffectAnalyserUI(&package);
    editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 1920.0f + 90.0f, 200.0f);
    manager->GetRoot()->AddChild(editor);
    editor->SetEffect(&analyser, 0);
    manager->Draw();
    for (auto _ : state)
        manager->Draw();
    manager->GetRoot()->RemoveChild(editor);
    editor->Release();
    delete manager;
    ResetDisplayMetrics();
}
BENCHMARK(AnalyserEditorFrame1920)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
