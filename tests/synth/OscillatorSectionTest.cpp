#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "audio/AudioBufferPool.h"
#include "audio/RecordForms.h"
#include "audio/ScopedWaveBank.h"
#include "audio/SignalMeasure.h"
#include "audio/WaveList.h"
#include "instruments/synth/ModMatrixEvaluator.h"
#include "instruments/synth/OscillatorSection.h"

namespace
{
constexpr uint32_t kBlock = 128;
constexpr uint32_t kBlocks = 64;
constexpr uint32_t kVoices = 4;  // the voice engine's buffer: one channel per voice
constexpr uint32_t kChannel = 2; // this voice's channel in it

class OscillatorSectionTest : public ::testing::Test
{
protected:
    OscillatorSectionTest()
    {
        params.Osc1.Wave = kWaveSine;
        params.Osc2.Wave = kWaveSine;
        section.Reset();
        section.SetParams(&params);
    }

    // Renders blocks at the note into the voice's channel and returns that
    // channel; the other channels hold a marker that must survive.
    std::vector<float> Render(float note, uint32_t blocks = kBlocks)
    {
        std::vector<float> channel;
        for (uint32_t b = 0; b < blocks; ++b)
        {
            cTestBlock block(kBlock, kVoices, kMarker);
            cAudioBuffer voice;
            voice.Describe(kAudioFormatFloat, kBlock, kVoices, &block.At(0, kChannel));
            section.Control(sums, note);
            section.Render(info, voice, &pool);
            for (uint32_t i = 0; i < kBlock; ++i)
            {
                channel.push_back(block.At(i, kChannel));
                for (uint32_t c = 0; c < kVoices; ++c)
                {
                    if (c != kChannel)
                    {
                        EXPECT_EQ(block.At(i, c), kMarker);
                    }
                }
            }
        }
        return channel;
    }

    // The amplitude at a note's frequency over the last half of the signal.
    static double AmplitudeAt(const std::vector<float>& signal, double hz)
    {
        const size_t half = signal.size() / 2;
        return WindowedToneAmplitude(signal, half, half, hz / 44100.0);
    }

    static constexpr float kMarker = 5.5f;
    cAudioProcessInfo info = MakeProcessInfo(kBlock);
    cAudioBufferPool pool{2, kBlock};
    cModulationSums sums{};
    cOscSectionParams params;
    cOscSection section;
    cScopedWaveBank bank;
};
} // namespace

TEST_F(OscillatorSectionTest, MixBalancesTheOscillatorsAndDetuneSpreadsThemInTheMiddle)
{
    params.Osc2.Trans = 7.0f; // B a fifth above, to tell them apart
    params.Detune = 0.5f;
    struct cCase
    {
        float mix;
        float spread;
        double a, b;
    };
    for (cCase c : {cCase{0.0f, 0.0f, 1.0, 0.0}, cCase{1.0f, 0.0f, 0.0, 1.0}, cCase{0.5f, 0.5f, 0.5, 0.5},
                    cCase{0.25f, 0.25f, 0.75, 0.25}})
    {
        params.Mix = c.mix;
        const std::vector<float> out = Render(57.0f);
        EXPECT_FLOAT_EQ(section.GetPitchA(), 57.0f - c.spread) << c.mix;
        EXPECT_FLOAT_EQ(section.GetPitchB(), 57.0f + c.spread) << c.mix;
        EXPECT_NEAR(AmplitudeAt(out, NoteToFrequency(57.0f - c.spread)), c.a, 0.01) << c.mix;
        EXPECT_NEAR(AmplitudeAt(out, NoteToFrequency(64.0f + c.spread)), c.b, 0.01) << c.mix;
    }
}

TEST_F(OscillatorSectionTest, PitchSumsMoveTheOscillatorsByTwentyFourSemitonesPerUnit)
{
    params.Osc2.Wave = kWaveOff;
    sums.oscPitchA = sums.oscPitchB = -0.5f; // "A+B Pitch" at -0.5
    const std::vector<float> out = Render(69.0f);
    EXPECT_FLOAT_EQ(section.GetPitchA(), 57.0f);
    EXPECT_FLOAT_EQ(section.GetPitchB(), 57.0f);
    EXPECT_NEAR(AmplitudeAt(out, 220.0), 1.0, 0.01);
    EXPECT_EQ(section.GetMix(), 0.0f); // B off: A alone, whatever the mix
}

TEST_F(OscillatorSectionTest, FixedRingHoldsBAtNoteSixty)
{
    params.Mod = cOscSectionParams::kModeRingFixed;
    for (float note : {72.0f, 84.0f})
    {
        const std::vector<float> out = Render(note);
        EXPECT_EQ(section.GetPitchB(), 60.0f);
        const double a = NoteToFrequency(note), b = NoteToFrequency(60.0f);
        // A x B: half the amplitude at the sum and at the difference.
        EXPECT_NEAR(AmplitudeAt(out, a + b), 0.5, 0.01) << note;
        EXPECT_NEAR(AmplitudeAt(out, a - b), 0.5, 0.01) << note;
        EXPECT_NEAR(AmplitudeAt(out, a), 0.0, 0.01) << note;
    }
    // The spread and B's own modulation still move it.
    params.Detune = 0.5f;
    sums.oscPitchB = 0.5f;
    Render(72.0f, 1);
    EXPECT_FLOAT_EQ(section.GetPitchB(), 60.0f + 12.0f + 0.5f);
}

TEST_F(OscillatorSectionTest, RingWithBOffPassesA)
{
    params.Mod = cOscSectionParams::kModeRing;
    params.Osc2.Wave = kWaveOff;
    const std::vector<float> out = Render(69.0f);
    EXPECT_NEAR(AmplitudeAt(out, 440.0), 1.0, 0.01);
}

TEST_F(OscillatorSectionTest, SyncAtHalfMixPlaysAnOctaveUpWithoutB)
{
    params.Mod = cOscSectionParams::kModeSync;
    params.Mix = 0.5f;
    const std::vector<float> out = Render(57.0f);
    EXPECT_FLOAT_EQ(section.GetPitchA(), 69.0f);
    EXPECT_FLOAT_EQ(section.GetPitchB(), 57.0f);
    EXPECT_NEAR(AmplitudeAt(out, 440.0), 1.0, 0.02);
    EXPECT_LT(AmplitudeAt(out, 220.0), 0.02);
}

TEST_F(OscillatorSectionTest, SampleModeLeavesTheChannelAlone)
{
    params.Mod = cOscSectionParams::kModeSample;
    cTestBlock block(kBlock, 1, 0.25f);
    section.Render(info, block.view, &pool);
    EXPECT_EQ(block.samples, std::vector<float>(kBlock, 0.25f));
}

TEST_F(OscillatorSectionTest, WithoutAFreePoolBufferTheBlockIsSilent)
{
    const cAudioBufferPool::cHandle first = pool.Acquire(kAudioFormatFloat, kBlock, 2);
    const cAudioBufferPool::cHandle second = pool.Acquire(kAudioFormatFloat, kBlock, 2);
    ASSERT_TRUE(first.node && second.node);
    const std::vector<float> out = Render(69.0f, 2);
    EXPECT_EQ(out, std::vector<float>(2 * kBlock, 0.0f));
    pool.Release(second);
    pool.Release(first);
    // No pool at all is the same, and an empty block writes nothing.
    cTestBlock block(kBlock, 1, 0.25f);
    section.Render(info, block.view, nullptr);
    EXPECT_EQ(block.samples, std::vector<float>(kBlock, 0.0f));
    cTestBlock empty(0, 1);
    section.Render(info, empty.view, &pool);
    EXPECT_EQ(pool.GetFreeCount(), 2u);
}

TEST(OscSectionParamsTest, KnobMappings)
{
    cOscSectionParams p;
    p.SetParamFloat(cOscSectionParams::kIndexOsc2, cOscSectionParams::kFieldTune, 0.5f);
    EXPECT_EQ(p.Osc2.Tune, 0.0f);
    p.SetParamFloat(cOscSectionParams::kIndexOsc1, cOscSectionParams::kFieldTune, 1.0f);
    EXPECT_EQ(p.Osc1.Tune, 1.0f);
    EXPECT_EQ(p.GetParamFloat(cOscSectionParams::kIndexOsc1, cOscSectionParams::kFieldTune), 1.0f);
    p.SetParamFloat(cOscSectionParams::kIndexDetune, 0, 0.5f);
    EXPECT_EQ(p.Detune, 0.25f);
    EXPECT_EQ(p.GetParamFloat(cOscSectionParams::kIndexDetune, 0), 0.5f);
    p.SetParamInt(cOscSectionParams::kIndexOsc1, cOscSectionParams::kFieldTrans, -5);
    EXPECT_EQ(p.Osc1.Trans, -5.0f);
    for (float trans : {2.7f, -2.7f, 1e30f})
    {
        p.Osc1.Trans = trans;
        const int32_t read = p.GetParamInt(cOscSectionParams::kIndexOsc1, cOscSectionParams::kFieldTrans);
        EXPECT_EQ(read, trans > 1e6f ? 1000000 : int32_t(trans)) << trans;
    }
    p.SetParamInt(cOscSectionParams::kIndexOsc2, cOscSectionParams::kFieldWave, 30);
    p.SetParamInt(cOscSectionParams::kIndexMod, 0, 3);
    EXPECT_EQ(p.GetParamInt(cOscSectionParams::kIndexOsc2, cOscSectionParams::kFieldWave), 30);
    EXPECT_EQ(p.GetParamInt(cOscSectionParams::kIndexMod, 0), 3);
    EXPECT_EQ(p.GetParamInt(cOscSectionParams::kIndexMix, 0), 0);
    EXPECT_EQ(p.GetParamFloat(cOscSectionParams::kIndexMod, 0), 0.0f);
}

TEST(OscSectionParamsTest, FormsRoundTrip)
{
    cOscSectionParams written;
    written.Osc1 = {kWaveSaw, -12.0f, 0.25f};
    written.Osc2 = {31, 7.0f, -0.5f};
    written.Mod = cOscSectionParams::kModeRingFixed;
    written.Detune = 0.125f;
    written.Mix = 0.75f;
    const std::string xml = SaveRecordXml(written);
    EXPECT_NE(xml.find("<Osc2 Version=\"1\" Wave=\"Clavi\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("Mod=\"RING2\""), std::string::npos) << xml;
    cOscSectionParams fromXml;
    ASSERT_TRUE(LoadRecordXml(xml, fromXml));
    EXPECT_EQ(std::memcmp(&fromXml, &written, sizeof written), 0);
    for (int legacy : {0, 1})
    {
        const std::vector<uint8_t> bytes = SaveRecordBinary(written, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 36u : 48u);
        cOscSectionParams read;
        ASSERT_TRUE(LoadRecordBinary(bytes, read, legacy));
        EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0) << legacy;
    }
}
