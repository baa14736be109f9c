// The reverb unit and a whole desk against renders kept from an earlier
// engine (tests/audio/GoldenRender.h), on test signals made here.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "MixerTestUtil.h"
#include "UnitsFixture.h"
#include "audio/GoldenRender.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/ReverbNetwork.h"

using namespace MixerTest;

namespace
{
// Blocks of these sizes in turn, so every loop also meets short and odd
// remainders.
constexpr uint32_t kBlockSizes[] = {128, 92, 61, 128, 7, 128, 100};

// A tone of its own per source: a detuned pair of sines under a slow swell,
// a saw-like partial series and a click every 0.3 s, left and right apart.
struct cTestTone
{
    double hz = 220.0;
    double pan = 0.5;
    double level = 0.3;

    float Sample(uint64_t frame, int channel) const
    {
        const double t = double(frame) / 44100.0;
        const double swell = 0.6 + 0.4 * std::sin(2.0 * M_PI * 0.7 * t);
        double x = std::sin(2.0 * M_PI * hz * t) + 0.5 * std::sin(2.0 * M_PI * hz * 1.007 * t);
        for (int k = 2; k <= 6; ++k)
            x += std::sin(2.0 * M_PI * hz * k * t) / (2.0 * k);
        if (frame % 13230 < 40)
            x += 1.5 * std::exp(-double(frame % 13230) / 8.0);
        const double side = channel == 0 ? 1.0 - pan : pan;
        return float(level * swell * x * side * 2.0 / 2.2);
    }
};

// A module that adds its tone and gives the mixer the volume and sends set
// here.
class cToneModule : public cAudioModule
{
public:
    explicit cToneModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        DrainEvents();
        float* out = buffer.Floats();
        for (uint32_t f = 0; f < buffer.frames; ++f)
        {
            out[f * 2] += tone.Sample(frame + f, 0);
            out[f * 2 + 1] += tone.Sample(frame + f, 1);
        }
        frame += buffer.frames;
        return 0;
    }
    float GetOutputValue(int32_t kind, int32_t) override
    {
        if (kind == 0)
            return volume;
        if (kind == 2)
            return send1;
        if (kind == 3)
            return send2;
        return kind == 1 ? 0.5f : 0.0f;
    }

    cTestTone tone;
    uint64_t frame = 0;
    float volume = 1.0f;
    float send1 = 0.0f;
    float send2 = 0.0f;
};

class cToneInstrument : public cInstrument
{
public:
    cToneInstrument()
    {
        SetModule(new cToneModule(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}
    cToneModule& Module() const { return *static_cast<cToneModule*>(GetModule()); }
    cMixerChannel& Strip() const { return *static_cast<cMixerChannel*>(GetChannel(0)); }
};

using GoldenMixer = cRegisteredUnits;
} // namespace

// Presets with and without the band-limiting filters, long and short lines
// (the shortest allpass under a block) and a predelay; dry/wet below and
// above 0.75. Each preset starts from silence.
TEST_F(GoldenMixer, ReverbPresetsSoundAsKept)
{
    struct cRun
    {
        int32_t preset;
        float dryWet;
    };
    const cRun runs[] = {{0, 0.6f}, {3, 0.32f}, {6, 0.9f}, {7, 0.5f}, {11, 0.7f}};
    constexpr uint32_t kFramesEach = 17640; // 0.4 s
    std::vector<float> out;
    cTestTone tone;
    for (const cRun& run : runs)
    {
        cReverbParams params;
        params.preset = run.preset;
        params.dryWet = run.dryWet;
        cReverbNetwork reverb(&params, 44100.0f);
        std::vector<float> block(256);
        size_t sizeIndex = 0;
        for (uint32_t done = 0; done < kFramesEach;)
        {
            const uint32_t n = std::min(kBlockSizes[sizeIndex++ % std::size(kBlockSizes)], kFramesEach - done);
            for (uint32_t f = 0; f < n; ++f)
            {
                // Sound for the first quarter second, then the tail alone.
                const bool sounding = done + f < 11025;
                block[f * 2] = sounding ? tone.Sample(done + f, 0) : 0.0f;
                block[f * 2 + 1] = sounding ? tone.Sample(done + f, 1) : 0.0f;
            }
            reverb.Process(block.data(), n, 44100);
            out.insert(out.end(), block.begin(), block.begin() + n * 2);
            done += n;
        }
    }
    EXPECT_TRUE(GoldenRender::Matches("reverb-presets", out));
}

// Three instruments on the desk: one through an insert reverb and into the
// first send, one through an EQ into the second, one into both with its
// volume moving; the returns' reverb and delay, and an EQ and a compressor
// on the master.
TEST_F(GoldenMixer, TheMixSoundsAsKept)
{
    auto manager = MakePausedAudioManager();
    ASSERT_NE(manager, nullptr);
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    std::vector<std::unique_ptr<cToneInstrument>> instruments;
    const cTestTone tones[] = {{110.0, 0.3, 0.35}, {330.0, 0.7, 0.25}, {523.25, 0.5, 0.2}};
    const char* const inserts[] = {"Q-HALLS", "EQ-3B", nullptr};
    for (int i = 0; i < 3; ++i)
    {
        instruments.push_back(std::make_unique<cToneInstrument>());
        instruments.back()->Module().tone = tones[i];
        if (inserts[i])
            instruments.back()->Strip().insertRack.FindNode("SLOT1")->SetEffect(
                gEffectRegistry->CreateEffect(inserts[i]), true);
        mixer.InsertChannels(instruments.back().get(), nullptr);
    }
    instruments[0]->Module().send1 = 0.3f;
    instruments[1]->Module().send2 = 0.25f;
    instruments[2]->Module().send1 = 0.2f;
    instruments[2]->Module().send2 = 0.15f;
    mixer.GetMaster()->insertRack.FindNode("SLOT1")->SetEffect(gEffectRegistry->CreateEffect("EQ-3B"), true);
    mixer.GetMaster()->insertRack.FindNode("SLOT2")->SetEffect(gEffectRegistry->CreateEffect("QDL-5"), true);

    constexpr uint32_t kFrames = 66150; // 1.5 s
    std::vector<float> out;
    std::vector<float> block(kBlock * 2);
    size_t sizeIndex = 0;
    for (uint32_t done = 0; done < kFrames;)
    {
        const uint32_t n = std::min(kBlockSizes[sizeIndex++ % std::size(kBlockSizes)], kFrames - done);
        instruments[2]->Module().volume = float(0.5 + 0.5 * std::cos(double(done) / 6000.0));
        cAudioProcessInfo info = MakeInfo(n);
        info.offline = 1;
        cAudioBuffer buffer;
        buffer.Describe(kAudioFormatFloat, n, 2, block.data());
        mixer.RenderGraph(info, buffer, nullptr);
        out.insert(out.end(), block.begin(), block.begin() + n * 2);
        done += n;
    }
    for (auto& instrument : instruments)
        mixer.RemoveChannels(instrument.get());
    EXPECT_TRUE(GoldenRender::Matches("mixer-desk", out));
}
