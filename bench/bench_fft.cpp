// The analyser's real transform: cRealFFT::Forward at 4096 points beside a
// general FFT library's single-precision real transform planned with its
// quickest estimate (goal: ours within 3x of it), and one analyser step
// (copy out of the ring, window, transform, smoothing) on a full ring.

#include <benchmark/benchmark.h>

#include <fftw3.h>

#include <cmath>
#include <vector>

#include "audio/AudioBuffer.h"
#include "mixer/EffectAnalyser.h"
#include "mixer/RealFFT.h"

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
} // namespace

BENCHMARK_MAIN();
