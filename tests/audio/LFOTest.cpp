#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/ScopedTransport.h"
#include "audio/LFO.h"
#include "base/Clock.h"
#include "base/FastMath.h"
#include "base/File.h"

namespace
{
constexpr float kBlockSeconds = 128.0f / 44100.0f;

class LFOTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { InitFastMathTables(); }

    LFOTest() { lfo.params = &params; }

    cLFOParams params;
    cLFO lfo;
};

std::vector<uint8_t> Written(cLFOParams& params, int legacyPatchVersion)
{
    File::cFileMemoryWrite out;
    out.SetLegacyPatchVersion(legacyPatchVersion);
    EXPECT_TRUE(params.SerialiseBinary(out));
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetLength());
}
} // namespace

TEST_F(LFOTest, RateKnobInCyclesCountedOverManyBlocks)
{
    params.SetParamFloat(cLFOParams::kFieldRate, 0.5f);
    EXPECT_FLOAT_EQ(params.Rate, 2.5f);
    EXPECT_NEAR(params.GetParamFloat(cLFOParams::kFieldRate), 0.5f, 1e-6f);
    params.Shape = cLFOParams::kShapeSawUp;
    params.Sync = cLFOParams::kSyncKey;
    lfo.Trigger();
    int wraps = 0;
    float previous = 0.0f;
    const int blocks = 44100 * 8 / 128; // about 8 s
    for (int i = 0; i < blocks; ++i)
    {
        const float value = lfo.Process(nullptr, kBlockSeconds);
        wraps += value < previous;
        previous = value;
    }
    EXPECT_NEAR(wraps, 2.5 * blocks * kBlockSeconds, 1.0);
}

TEST_F(LFOTest, EveryShapeAtChosenPhases)
{
    struct cCase
    {
        int32_t shape;
        float phase;
        float value;
    };
    const cCase cases[] = {
        {cLFOParams::kShapeSine, 0.25f, 1.0f},      {cLFOParams::kShapeSine, 0.75f, 0.0f},
        {cLFOParams::kShapeSine, 0.5f, 0.5f},       {cLFOParams::kShapeSquare, 0.5f, 0.0f},
        {cLFOParams::kShapeSquare, 0.625f, 1.0f},   {cLFOParams::kShapeSquare, 0.25f, 0.0f},
        {cLFOParams::kShapeSawUp, 0.375f, 0.375f},  {cLFOParams::kShapeSawDown, 0.375f, 0.625f},
        {cLFOParams::kShapeTriangle, 0.25f, 0.5f},  {cLFOParams::kShapeTriangle, 0.5f, 1.0f},
        {cLFOParams::kShapeTriangle, 0.875f, 0.25f}, {99, 0.5f, 0.0f}, // unknown shapes keep the value
    };
    for (const cCase& c : cases)
    {
        params.Shape = c.shape;
        params.Sync = cLFOParams::kSyncKey;
        params.Rate = 1.0f;
        lfo.Trigger();
        // At 1 Hz from phase 0 the elapsed seconds are the phase.
        EXPECT_NEAR(lfo.Process(nullptr, c.phase), c.value, 2e-3f) << c.shape << " at " << c.phase;
        EXPECT_FLOAT_EQ(lfo.GetPhase(), c.phase);
    }
}

TEST_F(LFOTest, RandomShapesDrawOnTriggerAndOnEachWrap)
{
    params.Shape = cLFOParams::kShapeRandomStep;
    params.Sync = cLFOParams::kSyncKey;
    params.Rate = 1.0f;
    lfo.Trigger();
    const float first = lfo.Process(nullptr, 0.25f);
    EXPECT_EQ(lfo.Process(nullptr, 0.25f), first);
    const float second = lfo.Process(nullptr, 0.75f); // wraps to 0.25
    EXPECT_NE(second, first);
    EXPECT_GE(second, 0.0f);
    EXPECT_LT(second, 1.0f);
    lfo.Trigger();
    EXPECT_NE(lfo.Process(nullptr, 0.1f), second);

    // The ramp runs a straight line from its start to a new target per cycle.
    params.Shape = cLFOParams::kShapeRandomRamp;
    lfo.Trigger();
    const float atQuarter = lfo.Process(nullptr, 0.25f);
    const float atHalf = lfo.Process(nullptr, 0.25f);
    const float atThreeQuarters = lfo.Process(nullptr, 0.25f);
    EXPECT_NEAR(atThreeQuarters - atHalf, atHalf - atQuarter, 1e-5f);
    const float start = atQuarter - (atHalf - atQuarter);
    EXPECT_GE(start, 0.0f);
    EXPECT_LT(start, 1.0f);
}

TEST_F(LFOTest, DelayFadesTheDepthIn)
{
    params.SetParamFloat(cLFOParams::kFieldDelay, std::sqrt(2.0f / 25.0f));
    EXPECT_NEAR(params.Delay, 2.0f, 1e-5f);
    params.Amount = 0.8f;
    params.Rate = 1.0f;
    params.Sync = cLFOParams::kSyncKey;
    lfo.Trigger();
    lfo.Process(nullptr, 0.5f);
    EXPECT_NEAR(lfo.GetDepth(), 0.2f, 1e-5f);
    lfo.Process(nullptr, 0.5f);
    EXPECT_NEAR(lfo.GetDepth(), 0.4f, 1e-5f);
    const float amountOffset[2] = {0.0f, 0.2f};
    lfo.Process(amountOffset, 1.5f);
    EXPECT_FLOAT_EQ(lfo.GetDepth(), 1.0f);
}

TEST_F(LFOTest, ZeroRateGivesNothingAndTouchesNothing)
{
    params.Amount = 1.0f;
    params.Rate = 1.0f;
    params.Shape = cLFOParams::kShapeSawUp;
    params.Sync = cLFOParams::kSyncKey;
    lfo.Trigger();
    lfo.Process(nullptr, 0.3f);
    params.Rate = 0.0f;
    EXPECT_EQ(lfo.Process(nullptr, 0.3f), 0.0f);
    EXPECT_EQ(lfo.GetDepth(), 0.0f);
    EXPECT_FLOAT_EQ(lfo.GetPhase(), 0.3f);
}

TEST_F(LFOTest, KeySyncRestartsFreeRunningCarriesOn)
{
    params.Shape = cLFOParams::kShapeSawUp;
    params.Rate = 1.0f;
    params.Sync = cLFOParams::kSyncKey;
    lfo.Trigger();
    lfo.Process(nullptr, 0.4f);
    lfo.Trigger();
    EXPECT_EQ(lfo.GetPhase(), 0.0f);

    // A free LFO triggered again carries on as if it had run since the
    // reference time its voice stamped at the release.
    params.Sync = cLFOParams::kSyncOff;
    lfo.Process(nullptr, 0.4f);
    lfo.SetReferenceTime(GetMilliseconds() * 0.001 - 0.25);
    lfo.Trigger();
    EXPECT_NEAR(lfo.GetPhase(), 0.65f, 0.05f);
}

TEST_F(LFOTest, BeatSyncFollowsTheTransportClock)
{
    cScopedTransport transport;
    gTransport.barsPerTick = 1.0f / 1024.0f;
    params.Shape = cLFOParams::kShapeSawUp;
    params.Sync = cLFOParams::kSyncBeat;
    params.BeatRate = 4; // "1/4": one cycle per beat in 4/4
    struct cCase
    {
        int32_t ticks;
        float phase;
    };
    // The clock runs on while stopped and is negative during a count-in.
    const cCase cases[] = {{0, 0.0f}, {64, 0.25f}, {256 * 7 + 128, 0.5f}, {-64, 0.75f}, {-1024, 0.0f}};
    for (const cCase& c : cases)
    {
        gTransport.clock = c.ticks;
        EXPECT_NEAR(lfo.Process(nullptr, 100.0f), c.phase, 1e-6f) << c.ticks;
    }
    // A rate offset of 1 moves eight steps, clamped at "2": one cycle per two bars.
    gTransport.clock = 512;
    const float up[2] = {1.0f, 0.0f};
    EXPECT_NEAR(lfo.Process(up, kBlockSeconds), 0.25f, 1e-6f);
    // In 3/4 "1/4" makes four cycles per three beats.
    gTransport.barsPerTick = 1.0f / 768.0f;
    gTransport.clock = 96;
    EXPECT_NEAR(lfo.Process(nullptr, kBlockSeconds), 0.5f, 1e-6f);
}

TEST_F(LFOTest, FormsRoundTripAndVersionOneBeatRatesTranslate)
{
    params = {cLFOParams::kShapeTriangle, 4.41f, 4, 0.5f, 1.25f, cLFOParams::kSyncBeat};
    for (int legacy : {0, 1, 2})
    {
        const std::vector<uint8_t> bytes = Written(params, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 24u : 28u);
        File::cFileMemoryRead in(bytes.data(), int(bytes.size()));
        in.SetLegacyPatchVersion(legacy);
        cLFOParams read;
        ASSERT_TRUE(read.SerialiseBinary(in));
        EXPECT_EQ(read.Shape, params.Shape);
        EXPECT_EQ(read.Rate, params.Rate);
        EXPECT_EQ(read.Amount, params.Amount);
        EXPECT_EQ(read.Delay, params.Delay);
        EXPECT_EQ(read.Sync, params.Sync);
        // Without a version word the section is version 1: the old "1" is "1" at 7.
        EXPECT_EQ(read.BeatRate, legacy ? 7 : 4) << legacy;
    }

    struct cCase
    {
        int32_t stored;
        int32_t read;
    };
    const cCase version1[] = {{0, 0}, {1, 2}, {2, 4}, {3, 6}, {4, 7}, {5, 8}, {6, 6}, {-1, -1}};
    for (const cCase& c : version1)
    {
        const uint32_t words[7] = {1, 0, 0, uint32_t(c.stored), 0, 0, 0};
        File::cFileMemoryRead in(reinterpret_cast<const uint8_t*>(words), sizeof words);
        cLFOParams read;
        ASSERT_TRUE(read.SerialiseBinary(in));
        EXPECT_EQ(read.BeatRate, c.read) << c.stored;
    }

    // A short stream reads nothing.
    const uint32_t cut[3] = {2, 1, 0};
    File::cFileMemoryRead in(reinterpret_cast<const uint8_t*>(cut), sizeof cut);
    cLFOParams untouched;
    EXPECT_FALSE(untouched.SerialiseBinary(in));
    EXPECT_EQ(untouched.Shape, cLFOParams::kShapeSine);
}
