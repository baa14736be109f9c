#pragma once
#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/AudioManager.h"
#include "base/File.h"
#include "base/SerialiseXML.h"

namespace MixerTest
{
constexpr float kRate = 44100.0f;
constexpr uint32_t kBlock = 128;

inline cAudioProcessInfo MakeInfo(uint32_t frames = kBlock, float rate = kRate)
{
    cAudioProcessInfo info;
    info.sampleRate = rate;
    info.secondsPerSample = 1.0f / rate;
    info.duration = float(frames) / rate;
    return info;
}

// An interleaved stereo float block that owns its samples.
struct cStereoBlock
{
    explicit cStereoBlock(uint32_t frames = kBlock) : samples(frames * 2, 0.0f)
    {
        buffer.Describe(kAudioFormatFloat, frames, 2, samples.data());
    }
    cStereoBlock(const cStereoBlock& other) : samples(other.samples)
    {
        buffer.Describe(kAudioFormatFloat, other.buffer.frames, 2, samples.data());
    }
    cStereoBlock& operator=(const cStereoBlock& other)
    {
        samples = other.samples;
        buffer.Describe(kAudioFormatFloat, other.buffer.frames, 2, samples.data());
        return *this;
    }
    float& L(uint32_t f) { return samples[f * 2]; }
    float& R(uint32_t f) { return samples[f * 2 + 1]; }
    float L(uint32_t f) const { return samples[f * 2]; }
    float R(uint32_t f) const { return samples[f * 2 + 1]; }
    void Fill(float left, float right)
    {
        for (uint32_t f = 0; f < buffer.frames; ++f)
            L(f) = left, R(f) = right;
    }
    void Clear() { Fill(0.0f, 0.0f); }
    float Peak() const
    {
        float peak = 0.0f;
        for (float x : samples)
            peak = std::fmax(peak, std::fabs(x));
        return peak;
    }

    std::vector<float> samples;
    cAudioBuffer buffer;
};

using tBody = std::function<void(Base::cSerialise&)>;

inline std::string SaveXML(const tBody& body)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    if (!serialiser.Begin())
        return std::string();
    body(serialiser);
    serialiser.End();
    const uint8_t* data = stream.GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), size_t(stream.GetLength())) : std::string();
}

inline bool LoadXML(const std::string& text, const tBody& body)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    if (!serialiser.Begin())
        return false;
    body(serialiser);
    serialiser.End();
    return true;
}

// A started audio manager whose thread is paused: effects find its buffer
// pool (crossfades, the audition's chain) and its lock, and tests render the
// blocks themselves.
inline std::unique_ptr<cAudioManager> MakePausedAudioManager()
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
} // namespace MixerTest

namespace MixerTest
{
// Runs blocks of a signal (frame index -> sample, both channels) through
// process and returns the left channel of the output.
template <class tProcess, class tSignal>
std::vector<float> RunSignal(tProcess process, tSignal signal, uint32_t frames, uint32_t blockFrames = kBlock)
{
    std::vector<float> out;
    out.reserve(frames);
    uint32_t frame = 0;
    while (frame < frames)
    {
        const uint32_t n = std::min(blockFrames, frames - frame);
        cStereoBlock block(n);
        for (uint32_t f = 0; f < n; ++f)
            block.L(f) = block.R(f) = signal(frame + f);
        cAudioProcessInfo info = MakeInfo(n);
        process(info, block.buffer);
        for (uint32_t f = 0; f < n; ++f)
            out.push_back(block.L(f));
        frame += n;
    }
    return out;
}

// |H(f)| in dB of an impulse response.
inline double ResponseDb(const std::vector<float>& impulse, double hz, double rate = kRate)
{
    double re = 0.0, im = 0.0;
    const double w = 2.0 * M_PI * hz / rate;
    for (size_t n = 0; n < impulse.size(); ++n)
    {
        re += impulse[n] * std::cos(w * double(n));
        im -= impulse[n] * std::sin(w * double(n));
    }
    return 10.0 * std::log10(re * re + im * im);
}
} // namespace MixerTest
