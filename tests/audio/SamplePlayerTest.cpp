#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "SampleFiles.h"
#include "audio/AudioBuffer.h"
#include "audio/Sample.h"
#include "audio/SamplePlayer.h"
#include "audio/SampleRegistry.h"

namespace
{
constexpr float kScale = 1.0f / 32767.0f;

class SamplePlayerTest : public ::testing::Test
{
protected:
    void SetUp() override { mInfo.secondsPerSample = 1.0f / 44100.0f; }
    void TearDown() override
    {
        mPlayer.ReleaseSample();
        for (cSample* sample : mSamples)
            sample->Release();
        EXPECT_EQ(cSampleRegistry::DumpAll(), 0);
    }

    // A 44100 Hz sample with the given interleaved values.
    cSample* Make(const std::vector<int16_t>& values, int32_t channels = 1)
    {
        const int32_t frames = int32_t(values.size()) / channels;
        cSample* sample = cSample::Create(("player" + std::to_string(mSamples.size())).c_str(), 16, channels,
                                          44100, frames);
        std::memcpy(sample->GetData(), values.data(), values.size() * 2);
        mSamples.push_back(sample);
        return sample;
    }

    // One block; every output value starts at fill.
    std::vector<float> Render(uint32_t frames, bool stereo, float ratio, bool interpolate = false,
                              float fill = 0.0f, float leftFrom = 1.0f, float rightFrom = 1.0f,
                              float leftTo = 1.0f, float rightTo = 1.0f)
    {
        const uint32_t channels = stereo ? 2 : 1;
        std::vector<float> out(frames * channels, fill);
        cAudioBuffer view;
        view.Describe(kAudioFormatFloat, frames, channels, out.data());
        mPlayer.Render(mInfo, view, stereo, int32_t(channels), interpolate, ratio, leftFrom, rightFrom, leftTo,
                       rightTo);
        return out;
    }

    static std::vector<float> Scaled(const std::vector<int16_t>& values)
    {
        std::vector<float> out;
        for (int16_t v : values)
            out.push_back(float(v) * kScale);
        return out;
    }

    static std::vector<int16_t> Ramp(int count, int first = 1, int step = 100)
    {
        std::vector<int16_t> values;
        for (int i = 0; i < count; ++i)
            values.push_back(int16_t(first * 100 + i * step));
        return values;
    }

    cAudioProcessInfo mInfo;
    cSamplePlayer mPlayer;
    std::vector<cSample*> mSamples;
};

void ExpectNear(const std::vector<float>& actual, const std::vector<float>& expected, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i)
        ASSERT_NEAR(actual[i], expected[i], 1e-6f) << what << " at " << i;
}
} // namespace

TEST_F(SamplePlayerTest, UnitRatioStepsOneFrameWithoutInterpolating)
{
    const std::vector<int16_t> values = Ramp(8);
    EXPECT_FALSE(mPlayer.Start(Make(values), 0, 8, cSamplePlayer::kModeForward, 0, 0));
    ExpectNear(Render(8, false, 1.0f, true), Scaled(values), "mono");
    EXPECT_TRUE(mPlayer.IsFinished());
    EXPECT_EQ(mPlayer.GetSample(), nullptr) << "a finished player lets its sample go";
    EXPECT_EQ(mSamples[0]->GetRefCount(), 1);
}

// Backward passes keep the sample's polarity: reverse is the sample reversed.
TEST_F(SamplePlayerTest, OneShotModesPlayTheirPassesWithTheSamplesPolarity)
{
    const std::vector<int16_t> values = Ramp(4);
    const struct
    {
        int32_t mode;
        int32_t startPosition;
        std::vector<int16_t> expected;
    } cases[] = {
        {cSamplePlayer::kModeForward, 0, {100, 200, 300, 400}},
        {cSamplePlayer::kModeReverse, 0, {400, 300, 200, 100}},
        {cSamplePlayer::kModeForwardReverse, 0, {100, 200, 300, 400, 400, 300, 200, 100}},
        {cSamplePlayer::kModeReverseForward, 0, {400, 300, 200, 100, 100, 200, 300, 400}},
        {cSamplePlayer::kModeForwardReverse, 2, {300, 400, 400, 300, 200, 100}},
    };
    for (const auto& c : cases)
    {
        mPlayer.Start(Make(values), 0, 4, c.mode, 0, c.startPosition);
        std::vector<float> expected = Scaled(c.expected);
        expected.resize(12, -9.0f); // after the finish nothing is written
        ExpectNear(Render(12, false, 1.0f, false, -9.0f), expected, "mode");
        EXPECT_TRUE(mPlayer.IsFinished()) << c.mode;
    }
}

TEST_F(SamplePlayerTest, ShortLoopsRenderNothingAndStayAlive)
{
    mPlayer.Start(Make(Ramp(100)), 10, 60, cSamplePlayer::kModeForward, 1, 0);
    ExpectNear(Render(16, false, 1.0f, false, -9.0f), std::vector<float>(16, -9.0f), "a 50-frame loop");
    EXPECT_FALSE(mPlayer.IsFinished());
}

TEST_F(SamplePlayerTest, StereoOutputAddsAndMonoOutputReplaces)
{
    const std::vector<int16_t> stereo = {1000, -2000, 3000, -4000};
    mPlayer.Start(Make(stereo, 2), 0, 2, cSamplePlayer::kModeForward, 0, 0);
    ExpectNear(Render(2, true, 1.0f, false, 0.5f, 1.0f, 0.5f, 1.0f, 0.5f),
               {0.5f + 1000 * kScale, 0.5f - 1000 * kScale, 0.5f + 3000 * kScale, 0.5f - 2000 * kScale}, "added");
    mPlayer.Start(mSamples[0], 0, 2, cSamplePlayer::kModeForward, 0, 0);
    ExpectNear(Render(2, false, 1.0f, false, 0.5f), {-1000.0f / 65534.0f, -1000.0f / 65534.0f}, "summed");
    mPlayer.Start(Make({500, 600}), 0, 2, cSamplePlayer::kModeForward, 0, 0);
    ExpectNear(Render(2, true, 1.0f, false, 0.0f, 1.0f, 2.0f, 1.0f, 2.0f),
               {500 * kScale, 1000 * kScale, 600 * kScale, 1200 * kScale}, "a mono sample feeds both");
}

TEST_F(SamplePlayerTest, InterpolationPastTheLastFrameUsesTheLoopStartOrSilence)
{
    const std::vector<int16_t> values = Ramp(64);
    for (int32_t loop : {1, 0})
    {
        mPlayer.Start(Make(values), 0, 64, cSamplePlayer::kModeForward, loop, 63);
        const std::vector<float> out = Render(2, false, 0.5f, true);
        EXPECT_NEAR(out[0], 6400 * kScale, 1e-6f) << loop;
        EXPECT_NEAR(out[1], (loop ? 3250 : 3200) * kScale, 1e-6f) << loop;
    }
}

TEST_F(SamplePlayerTest, GainRampsRunOnAcrossTheLoopBoundary)
{
    mPlayer.Start(Make(std::vector<int16_t>(64, 16384)), 0, 64, cSamplePlayer::kModeForward, 1, 0);
    const std::vector<float> out = Render(200, true, 1.0f, false, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f);
    for (int i = 0; i < 200; ++i)
    {
        ASSERT_NEAR(out[2 * i], 16384 * kScale * float(i) / 200.0f, 1e-5f) << i;
        ASSERT_NEAR(out[2 * i + 1], 16384 * kScale * (1.0f - float(i) / 200.0f), 1e-5f) << i;
    }
    EXPECT_FALSE(mPlayer.IsFinished());
}

// A ping-pong loop turns without flipping the sign: no click per turn.
TEST_F(SamplePlayerTest, PingPongLoopsKeepTheirSignAtEveryTurn)
{
    for (int32_t mode : {cSamplePlayer::kModeForwardReverse, cSamplePlayer::kModeReverseForward})
    {
        mPlayer.Start(Make(std::vector<int16_t>(64, 1000)), 0, 64, mode, 1, 0);
        for (float v : Render(1000, false, 1.3f, true))
            ASSERT_NEAR(v, 1000 * kScale, 1e-6f) << mode;
    }
}

// Steps wider than the loop, huge or unusable, must never hang the audio
// thread or read outside the region.
TEST_F(SamplePlayerTest, StepsOfAnySizeStayInsideTheRegion)
{
    std::vector<int16_t> values(256, -5);
    for (int i = 100; i < 164; ++i)
        values[size_t(i)] = 7;
    for (float ratio : {100.0f, 1e6f, 1e30f})
        for (int32_t mode : {0, 1, 2, 3})
        {
            mPlayer.Start(Make(values), 100, 164, mode, 1, 0);
            for (float v : Render(512, false, ratio))
                ASSERT_NEAR(v, 7 * kScale, 1e-6f) << ratio << " mode " << mode;
            EXPECT_FALSE(mPlayer.IsFinished());
        }
    for (float ratio : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    {
        mPlayer.Start(Make(values), 0, 256, cSamplePlayer::kModeForward, 0, 0);
        ExpectNear(Render(4, false, ratio, true, -9.0f), std::vector<float>(4, -9.0f), "no usable step");
    }
}

TEST_F(SamplePlayerTest, ImpossibleRequestsFinishThePlayer)
{
    EXPECT_TRUE(mPlayer.Start(nullptr, 0, 10, 0, 0, 0));
    mPlayer.Start(Make(Ramp(8)), 0, 8, cSamplePlayer::kModeForward, 0, 0);
    std::vector<float> out(16, 0.0f);
    cAudioBuffer view;
    view.Describe(kAudioFormatFloat, 8, 2, out.data());
    mInfo.secondsPerSample = 1.0f / 44100.0f;
    mPlayer.Render(mInfo, view, false, 2, false, 1.0f, 1, 1, 1, 1);
    EXPECT_TRUE(mPlayer.IsFinished()) << "mono output into two channels";
    mPlayer.Start(mSamples[0], 5, 5, cSamplePlayer::kModeForward, 0, 0);
    Render(4, false, 1.0f);
    EXPECT_TRUE(mPlayer.IsFinished()) << "an empty one-shot region";
    mPlayer.Start(mSamples[0], 0, 8, cSamplePlayer::kModeForward, 0, 0);
    mPlayer.Reset();
    EXPECT_TRUE(mPlayer.IsFinished());
    EXPECT_EQ(mSamples[0]->GetRefCount(), 1);
}
