#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/Sample.h"
#include "audio/WavFile.h"
#include "mixer/Effect.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "sampler/SampleEditFixture.h"

namespace SampleRenderTest
{
// Test units with the rack's Process contract: each works in place on the
// float block.
class cTestEffect : public cEffect
{
public:
    using cEffect::cEffect;
    bool Serialise(Base::cSerialise&) override { return true; }
    void Reset() override { memory[0] = memory[1] = 0.0f; }
    void SetEnabled(bool on) override { enabled = on; }
    bool IsEnabled() const override { return enabled; }

    bool enabled = true;
    float memory[2] = {0.0f, 0.0f};
};

// A one-pole echo (0.999 of the last output): a tail of a few thousand
// frames that decays, as a reverb's does.
class cEchoEffect : public cTestEffect
{
public:
    using cTestEffect::cTestEffect;
    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        for (uint32_t f = 0; f < buffer.frames; ++f)
            for (uint32_t c = 0; c < 2; ++c)
            {
                float& x = buffer.Floats()[f * buffer.channels + c];
                memory[c] = x + 0.999f * memory[c];
                x = memory[c];
            }
        return 0;
    }
};

// Never falls silent: a steady hum on top of whatever comes in, like a
// delay at full feedback.
class cHumEffect : public cTestEffect
{
public:
    using cTestEffect::cTestEffect;
    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        for (uint32_t i = 0; i < buffer.frames * buffer.channels; ++i)
            buffer.Floats()[i] += 0.01f;
        return 0;
    }
};

// Passes the block through and keeps the size of every block that carried sound.
class cCountingEffect : public cTestEffect
{
public:
    using cTestEffect::cTestEffect;
    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        for (uint32_t i = 0; i < buffer.frames * buffer.channels; ++i)
            if (buffer.Floats()[i] != 0.0f)
            {
                blocks.push_back(int32_t(buffer.frames));
                break;
            }
        return 0;
    }
    std::vector<int32_t> blocks;
};

// Holds the render on its first block until the test opens the gate.
class cGateEffect : public cTestEffect
{
public:
    using cTestEffect::cTestEffect;
    int32_t Process(const cAudioProcessInfo&, cAudioBuffer&) override
    {
        entered.store(true);
        while (!open.load())
            std::this_thread::yield();
        return 0;
    }
    static inline std::atomic<bool> entered{false};
    static inline std::atomic<bool> open{true};
};

template <class T>
class cTestPackage : public cEffectPackage
{
public:
    explicit cTestPackage(const char* name) : cEffectPackage(name, name, name) {}
    cEffect* CreateEffect() override { return new T(this); }
};

inline void RegisterTestEffects(cEffectRegistry& registry)
{
    registry.AddPackage(new cTestPackage<cEchoEffect>("TEST-ECHO"));
    registry.AddPackage(new cTestPackage<cHumEffect>("TEST-HUM"));
    registry.AddPackage(new cTestPackage<cCountingEffect>("TEST-COUNT"));
    registry.AddPackage(new cTestPackage<cGateEffect>("TEST-GATE"));
}

// The effect put into the rack's first slot.
template <class T>
T* Install(cEffectRack& rack, const char* name)
{
    cEffectRackNode* slot = rack.FindNode("SLOT1");
    slot->InstallEffect(name);
    slot->GetEffect()->SetEnabled(true);
    return static_cast<T*>(slot->GetEffect());
}

// A 16-bit sample whose frame f holds value(f, channel).
template <class F>
cSample* MakeSample(int32_t channels, int32_t frames, F value)
{
    // Loaded samples are registered by name: each gets its own.
    static int32_t count = 0;
    const std::string name = "Render Source " + std::to_string(++count) + ".wav";
    cSample* sample = cSample::Create(name.c_str(), 16, channels, 44100, frames);
    EXPECT_NE(sample, nullptr);
    auto* data = reinterpret_cast<int16_t*>(sample->GetData());
    for (int32_t f = 0; f < frames; ++f)
        for (int32_t c = 0; c < channels; ++c)
            data[f * channels + c] = int16_t(value(f, c));
    return sample;
}

// A wave that differs from frame to frame and between the channels.
inline int32_t Ramp(int32_t frame, int32_t channel) { return (frame % 1000) * 10 + channel * 7 + 1; }

struct cWav
{
    bool read = false;
    int32_t channels = 0;
    int32_t rate = 0;
    std::vector<int16_t> samples;

    int32_t Frames() const { return channels ? int32_t(samples.size()) / channels : 0; }
};

inline cWav ReadWav(const std::string& path)
{
    cWav wav;
    cWavFile file;
    if (!file.OpenRead(path.c_str()))
        return wav;
    wav.channels = file.GetChannels();
    wav.rate = int32_t(file.GetSampleRate());
    wav.samples.resize(file.GetDataSize() / 2);
    wav.read = file.ReadSamples16(wav.samples.data(), uint32_t(wav.samples.size()));
    return wav;
}
} // namespace SampleRenderTest
