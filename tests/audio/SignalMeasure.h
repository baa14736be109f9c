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

inline double ToDb(double gain)
{
    return 20.0 * std::log10(gain);
}
