#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ScopedWaveBank.h"
#include "TonePitch.h"
#include "audio/AudioBufferPool.h"
#include "audio/Metronome.h"
#include "audio/Transport.h"

namespace
{
constexpr float kRate = 44100.0f;
constexpr float kBed = 0.25f; // what the block holds before the click is added

struct cClick
{
    std::vector<float> left, right;
};

cAudioProcessInfo Info()
{
    cAudioProcessInfo info;
    info.sampleRate = kRate;
    info.secondsPerSample = 1.0f / kRate;
    return info;
}

// Renders blocks of 128 stereo frames and keeps what the click added.
cClick RenderClick(cMetronome& metronome, cAudioBufferPool& pool, int blocks)
{
    cClick click;
    for (int b = 0; b < blocks; ++b)
    {
        std::vector<float> data(256, kBed);
        cAudioBuffer block;
        block.Describe(kAudioFormatFloat, 128, 2, data.data());
        metronome.Render(Info(), block, &pool);
        for (int f = 0; f < 128; ++f)
        {
            click.left.push_back(data[size_t(f) * 2] - kBed);
            click.right.push_back(data[size_t(f) * 2 + 1] - kBed);
        }
    }
    return click;
}

size_t Length(const std::vector<float>& samples)
{
    size_t last = 0;
    for (size_t i = 0; i < samples.size(); ++i)
        if (samples[i] != 0.0f)
            last = i + 1;
    return last;
}

class cMetronomeTest : public ::testing::Test
{
protected:
    cMetronomeTest() { gTransport.metronomeLevel = 0.7f; }
    ~cMetronomeTest() override { gTransport.metronomeLevel = 0.7f; }

    cScopedWaveBank bank;
    cAudioBufferPool pool{8, 128};
    cMetronome metronome;
};
} // namespace

TEST_F(cMetronomeTest, ClicksAnOctaveHigherOnTheFirstBeatForTwentyMilliseconds)
{
    const struct
    {
        int32_t beat;
        double hz;
    } cases[] = {{cMetronome::kBeatFirst, 523.25}, {cMetronome::kBeatOther, 261.63}};
    for (const auto& c : cases)
    {
        metronome.Trigger(c.beat);
        EXPECT_EQ(metronome.GetEnvelope(), 1.0f);
        EXPECT_EQ(metronome.GetLevel(), 0.7f);
        const cClick click = RenderClick(metronome, pool, 8);
        EXPECT_NEAR(double(Length(click.left)), 882.0, 1.0) << c.beat;
        EXPECT_EQ(click.left, click.right) << "both channels get the same click";
        EXPECT_NEAR(TonePitch(click.left.data(), 880, kRate), c.hz, 1.0) << c.beat;
        EXPECT_EQ(metronome.GetEnvelope(), 0.0f);
        EXPECT_EQ(Length(RenderClick(metronome, pool, 1).left), 0u) << "silent until the next trigger";
        EXPECT_EQ(pool.GetUsedCount(), 0u);
    }
    metronome.Trigger(cMetronome::kBeatNone);
    EXPECT_EQ(metronome.GetEnvelope(), 0.0f);
}

TEST_F(cMetronomeTest, AtLevelZeroTheClickIsSilentButStillDecays)
{
    gTransport.metronomeLevel = 0.0f;
    metronome.Trigger(cMetronome::kBeatFirst);
    EXPECT_EQ(Length(RenderClick(metronome, pool, 3).left), 0u);
    EXPECT_NEAR(metronome.GetEnvelope(), 1.0f - 384.0f / 882.0f, 1e-4f);
    RenderClick(metronome, pool, 4);
    EXPECT_EQ(metronome.GetEnvelope(), 0.0f);
}

TEST_F(cMetronomeTest, WithoutAScratchBufferTheBlockGoesWithoutAClick)
{
    cAudioBufferPool::cHandle taken[8];
    for (cAudioBufferPool::cHandle& handle : taken)
        handle = pool.Acquire(kAudioFormatFloat, 128, 4);
    metronome.Trigger(cMetronome::kBeatOther);
    EXPECT_EQ(Length(RenderClick(metronome, pool, 2).left), 0u);
    EXPECT_EQ(metronome.GetEnvelope(), 1.0f) << "no decay either";
    for (const cAudioBufferPool::cHandle& handle : taken)
        pool.Release(handle);
    EXPECT_GT(Length(RenderClick(metronome, pool, 1).left), 0u);
}

// A new trigger restarts the envelope with its own pitch; the wave runs on
// from where it was.
TEST_F(cMetronomeTest, ATriggerDuringAClickRestartsIt)
{
    metronome.Trigger(cMetronome::kBeatOther);
    RenderClick(metronome, pool, 2);
    metronome.Trigger(cMetronome::kBeatFirst);
    EXPECT_EQ(metronome.GetNote(), 72.0f);
    const cClick click = RenderClick(metronome, pool, 8);
    EXPECT_NEAR(double(Length(click.left)), 882.0, 1.0);
    EXPECT_NE(click.left[0], 0.0f) << "not restarted at the wave's start";
}
