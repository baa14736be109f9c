#pragma once
// Test helpers for DSP blocks: interleaved float blocks, sine sources and a
// single-bin DFT that reads the amplitude of one frequency.
#include <cmath>
#include <complex>
#include <numbers>
#include <cstdint>
#include <vector>

#include "audio/AudioBuffer.h"

// An interleaved float block that owns its samples.
struct cTestBlock
{
    std::vector<float> samples;
    cAudioBuffer view;

    cTestBlock(uint32_t frames, uint32_t channels, float fill = 0.0f) : samples(size_t(frames) * channels, fill)
    {
        view.Describe(kAudioFormatFloat, frames, channels, samples.data());
    }
    // Copies describe their own samples.
    cTestBlock(const cTestBlock& other) : samples(other.samples)
    {
        view.Describe(kAudioFormatFloat, other.view.frames, other.view.channels, samples.data());
    }
    cTestBlock& operator=(const cTestBlock& other)
    {
        samples = other.samples;
        view.Describe(kAudioFormatFloat, other.view.frames, other.view.channels, samples.data());
        return *this;
    }
    float& At(uint32_t frame, uint32_t channel) { return samples[size_t(frame) * view.channels + channel]; }
};

inline cAudioProcessInfo MakeProcessInfo(uint32_t frames, float sampleRate = 44100.0f)
{
    cAudioProcessInfo info;
    info.sampleRate = sampleRate;
    info.secondsPerSample = 1.0f / sampleRate;
    info.duration = float(frames) / sampleRate;
    info.quality = 2;
    return info;
}

// The amplitude of the component at cyclesPerSample in values[first ..
// first + count) of one channel; exact when count holds whole cycles.
inline double ToneAmplitude(const std::vector<float>& values, uint32_t channels, uint32_t channel, size_t first,
                            size_t count, double cyclesPerSample)
{
    std::complex<double> sum = 0.0;
    const double w = 2.0 * std::numbers::pi * cyclesPerSample;
    for (size_t n = 0; n < count; ++n)
        sum += double(values[(first + n) * channels + channel]) * std::polar(1.0, -w * double(first + n));
    return 2.0 * std::abs(sum) / double(count);
}

// The same through a Hann window, for signals that mix several tones whose
// cycles do not fit the span whole: other tones leak far less into the bin.
inline double WindowedToneAmplitude(const std::vector<float>& values, size_t first, size_t count,
                                    double cyclesPerSample)
{
    std::complex<double> sum = 0.0;
    double weights = 0.0;
    const double w = 2.0 * std::numbers::pi * cyclesPerSample;
    for (size_t n = 0; n < count; ++n)
    {
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(n) / double(count));
        sum += window * double(values[first + n]) * std::polar(1.0, -w * double(first + n));
        weights += window;
    }
    return 2.0 * std::abs(sum) / weights;
}

// The root mean square of [from, to), in the samples' own units.
template <class T>
double Rms(const std::vector<T>& x, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t n = from; n < to; ++n)
        sum += double(x[n]) * double(x[n]);
    return std::sqrt(sum / double(to - from));
}

// The frequency of a periodic signal from its upward zero crossings in
// [from, to), interpolated between frames; 0 with fewer than two.
inline double CrossingFrequency(const std::vector<float>& x, size_t from, size_t to, double sampleRate = 44100.0)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t n = from + 1; n < to; ++n)
        if (x[n - 1] < 0.0f && x[n] >= 0.0f)
        {
            const double at = double(n - 1) + double(x[n - 1]) / double(x[n - 1] - x[n]);
            if (first < 0.0)
                first = at;
            last = at;
            ++crossings;
        }
    return crossings > 1 ? double(crossings - 1) * sampleRate / (last - first) : 0.0;
}

inline double ToDb(double gain)
{
    return 20.0 * std::log10(gain);
}
