#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "audio/ChorusDelay.h"
#include "audio/ScopedTransport.h"
#include "audio/RecordForms.h"
#include "audio/SignalMeasure.h"
#include "base/FastMath.h"

namespace
{
constexpr uint32_t kBlock = 128;

class ChorusDelayTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { InitFastMathTables(); }

    ChorusDelayTest()
    {
        params.Enable = 1;
        params.DFeedback = 0.0f;
        params.DAmount = 0.5f; // wet and dry both at full
        engine.params = &params;
        gTransport.tempo = 120.0f;
    }

    // Feeds an impulse (left, right) at frame 0 and returns frames of output,
    // block by block with the buffer as input and output.
    cTestBlock Impulse(uint32_t frames, float left, float right, const float* chorusSums = nullptr,
                       const float* delaySums = nullptr)
    {
        cTestBlock all(frames, 2);
        all.At(0, 0) = left;
        all.At(0, 1) = right;
        for (uint32_t start = 0; start < frames; start += kBlock)
        {
            cAudioBuffer view;
            view.Describe(kAudioFormatFloat, std::min(kBlock, frames - start), 2, &all.At(start, 0));
            level = engine.Process(info, view, view, chorusSums, delaySums);
        }
        return all;
    }

    // Frames after 0 at which a channel is not silent.
    static std::vector<uint32_t> Echoes(cTestBlock& block, uint32_t channel)
    {
        std::vector<uint32_t> frames;
        for (uint32_t i = 1; i < block.view.frames; ++i)
            if (block.At(i, channel) != 0.0f)
                frames.push_back(i);
        return frames;
    }

    cScopedTransport transport;
    cAudioProcessInfo info = MakeProcessInfo(kBlock);
    cChorusDelayParams params;
    cChorusDelay engine{1.0f};
    float level = 0.0f;
};
} // namespace

TEST_F(ChorusDelayTest, LinesHoldOneSecondAndFourFrames)
{
    EXPECT_EQ(engine.GetLineFrames(), 44104);
}

TEST_F(ChorusDelayTest, DelayTimesMeasuredWithAnImpulse)
{
    struct cCase
    {
        const char* what;
        int32_t sync;
        float tempo;
        int32_t beatTime;
        float time;
        uint32_t echo;
    };
    const cCase cases[] = {
        {"tempo 120, 1/4", 1, 120.0f, 3, 0.0f, 22050},
        {"tempo 40, 1/2: 3 s halved twice", 1, 40.0f, 5, 0.0f, 33075},
        {"tempo 240, 1/16", 1, 240.0f, 0, 0.0f, 2756},
        {"no tempo: the whole line", 1, 0.0f, 3, 0.0f, 44103},
        {"free, half the line", 0, 120.0f, 3, 0.5f, 22052},
        {"free, zero: one frame", 0, 120.0f, 3, 0.0f, 1},
    };
    for (const cCase& c : cases)
    {
        params.Type = cChorusDelayParams::kTypeDelay;
        params.Sync = c.sync;
        params.DBeatTime = c.beatTime;
        params.DTime = c.time;
        gTransport.tempo = c.tempo;
        engine.Reset();
        cTestBlock out = Impulse(44100 + 256, 1.0f, 0.5f);
        EXPECT_EQ(Echoes(out, 0), std::vector<uint32_t>{c.echo}) << c.what;
        EXPECT_EQ(Echoes(out, 1), std::vector<uint32_t>{c.echo}) << c.what;
        EXPECT_EQ(out.At(c.echo, 1), 0.5f) << c.what;
        EXPECT_EQ(out.At(0, 0), 1.0f) << c.what;
        EXPECT_EQ(level, 1.0f);
    }
}

TEST_F(ChorusDelayTest, TimeOffsetsAlwaysLengthen)
{
    params.Type = cChorusDelayParams::kTypeDelay;
    params.Sync = 0;
    params.DTime = 0.25f;
    for (float offset : {0.5f, -0.5f})
    {
        engine.Reset();
        const float sums[3] = {offset, 0.0f, -0.5f}; // amount 0.5 - 0.5: dry only
        cTestBlock out = Impulse(44100, 1.0f, 0.0f, nullptr, sums);
        EXPECT_TRUE(Echoes(out, 0).empty()) << offset;
        const float wet[3] = {offset, 0.0f, 0.0f};
        engine.Reset();
        out = Impulse(44100, 1.0f, 0.0f, nullptr, wet);
        EXPECT_EQ(Echoes(out, 0), std::vector<uint32_t>{22052}) << offset;
    }
}

TEST_F(ChorusDelayTest, CrossDelayFeedsEachLineIntoTheOther)
{
    params.Type = cChorusDelayParams::kTypeCrossDelay;
    params.DBeatTime = 3;
    params.DFeedback = 0.5f;
    const uint32_t d = 22050;
    cTestBlock left = Impulse(3 * d, 1.0f, 0.0f);
    EXPECT_EQ(Echoes(left, 0), (std::vector<uint32_t>{d, d + d / 2 + d}));
    EXPECT_EQ(Echoes(left, 1), (std::vector<uint32_t>{d + d / 2}));
    EXPECT_EQ(left.At(d + d / 2, 1), 0.5f);
    engine.Reset();
    cTestBlock right = Impulse(3 * d, 0.0f, 1.0f);
    EXPECT_EQ(Echoes(right, 1), (std::vector<uint32_t>{d / 2, d / 2 + d + d / 2}));
    EXPECT_EQ(Echoes(right, 0), (std::vector<uint32_t>{d / 2 + d}));
}

TEST_F(ChorusDelayTest, AmountBalancesWetAndDry)
{
    params.Type = cChorusDelayParams::kTypeDelay;
    params.DBeatTime = 0;
    struct cCase
    {
        float amount, wet, dry;
    };
    for (cCase c : {cCase{0.5f, 1.0f, 1.0f}, cCase{0.25f, 0.5f, 1.0f}, cCase{0.75f, 1.0f, 0.5f}, cCase{1.0f, 1.0f, 0.0f}})
    {
        params.DAmount = c.amount;
        engine.Reset();
        cTestBlock out = Impulse(8192, 1.0f, 1.0f);
        EXPECT_FLOAT_EQ(out.At(0, 0), c.dry) << c.amount;
        EXPECT_FLOAT_EQ(out.At(5513, 0), c.wet) << c.amount; // 1/16 at 120: 5512.5 frames
    }
}

TEST_F(ChorusDelayTest, ChorusAtZeroDelayAndDepthWaitsThirtySixHundredthsOfAMillisecond)
{
    params.Type = cChorusDelayParams::kTypeChorus;
    params.CDelay = 0.0f;
    params.CDepth = 0.0f;
    params.CFeedback = 0.0f;
    Impulse(2 * kBlock, 0.0f, 0.0f); // the delay glides in from 0 over the first block
    cTestBlock out = Impulse(kBlock, 1.0f, 1.0f);
    for (uint32_t c = 0; c < 2; ++c)
    {
        double sum = 0.0, moment = 0.0;
        for (uint32_t i = 0; i < kBlock; ++i)
            sum += out.At(i, c), moment += double(i) * out.At(i, c);
        EXPECT_NEAR(sum, 1.0, 1e-5);
        EXPECT_NEAR(moment / sum, 0.00036 * 44100, 0.01);
        EXPECT_EQ(out.At(0, c), 0.0f); // no dry signal in the chorus types
    }
    EXPECT_EQ(level, 1.0f);
}

TEST_F(ChorusDelayTest, FlangerLevelFollowsItsFeedback)
{
    params.Type = cChorusDelayParams::kTypeFlanger;
    params.CFeedback = 1.0f;
    Impulse(kBlock, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(level, 0.505f);
    params.CFeedback = 0.0f;
    Impulse(kBlock, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(level, 0.55f);
}

TEST_F(ChorusDelayTest, ChangesOfTypeOrEnableClearTheLines)
{
    params.Type = cChorusDelayParams::kTypeDelay;
    params.DBeatTime = 3;
    Impulse(1024, 1.0f, 1.0f);
    params.Type = cChorusDelayParams::kTypeChorus;
    Impulse(kBlock, 0.0f, 0.0f);
    params.Type = cChorusDelayParams::kTypeDelay;
    cTestBlock out = Impulse(22050, 0.0f, 0.0f);
    EXPECT_TRUE(Echoes(out, 0).empty());

    // Disabled: the buffer is untouched and the level 1.
    Impulse(1024, 1.0f, 1.0f);
    params.Enable = 0;
    cTestBlock off(kBlock, 2, 0.25f);
    const std::vector<float> before = off.samples;
    EXPECT_EQ(engine.Process(info, off.view, off.view, nullptr, nullptr), 1.0f);
    EXPECT_EQ(off.samples, before);
    params.Enable = 1;
    out = Impulse(22050, 0.0f, 0.0f);
    EXPECT_TRUE(Echoes(out, 0).empty());
}

TEST_F(ChorusDelayTest, AnEmptyBlockReturnsAtOnce)
{
    params.Type = cChorusDelayParams::kTypeFlanger;
    params.CFeedback = 1.0f;
    Impulse(kBlock, 0.0f, 0.0f);
    params.Type = cChorusDelayParams::kTypeDelay;
    cTestBlock empty(0, 2);
    EXPECT_FLOAT_EQ(engine.Process(info, empty.view, empty.view, nullptr, nullptr), 0.505f);
    // The empty block saw nothing, so the flanger carries on unreset.
    params.Type = cChorusDelayParams::kTypeFlanger;
    Impulse(kBlock, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(level, 0.505f);
}

TEST_F(ChorusDelayTest, KnobMappingsAndTheirInverses)
{
    struct cCase
    {
        int32_t field;
        float knob;
        float stored;
    };
    const cCase cases[] = {
        {cChorusDelayParams::kFieldCRate, 0.5f, 0.03125f},   {cChorusDelayParams::kFieldCDelay, 0.5f, 0.0625f},
        {cChorusDelayParams::kFieldCDepth, 0.5f, 0.0625f},   {cChorusDelayParams::kFieldCFeedback, 0.3f, 0.3f},
        {cChorusDelayParams::kFieldDTime, 0.5f, 0.25f},      {cChorusDelayParams::kFieldDFeedback, 0.5f, 0.45f},
        {cChorusDelayParams::kFieldDAmount, 0.25f, 0.0883883f}, {cChorusDelayParams::kFieldDAmount, 0.75f, 0.75f},
    };
    for (const cCase& c : cases)
    {
        cChorusDelayParams p;
        p.SetParamFloat(c.field, c.knob);
        EXPECT_NEAR(p.GetParamFloat(c.field), c.knob, 1e-5f) << c.field;
        p.SetParamFloat(c.field, c.knob);
        float stored = 0.0f;
        switch (c.field)
        {
        case cChorusDelayParams::kFieldCRate: stored = p.CRate; break;
        case cChorusDelayParams::kFieldCDelay: stored = p.CDelay; break;
        case cChorusDelayParams::kFieldCDepth: stored = p.CDepth; break;
        case cChorusDelayParams::kFieldCFeedback: stored = p.CFeedback; break;
        case cChorusDelayParams::kFieldDTime: stored = p.DTime; break;
        case cChorusDelayParams::kFieldDFeedback: stored = p.DFeedback; break;
        default: stored = p.DAmount; break;
        }
        EXPECT_NEAR(stored, c.stored, 1e-6f) << c.field;
    }
    cChorusDelayParams p;
    for (int32_t field : {cChorusDelayParams::kFieldType, cChorusDelayParams::kFieldEnable,
                          cChorusDelayParams::kFieldSync, cChorusDelayParams::kFieldDBeatTime})
    {
        p.SetParamInt(field, 5 + field);
        EXPECT_EQ(p.GetParamInt(field), 5 + field);
    }
    EXPECT_EQ(p.GetParamInt(3), 0);
    EXPECT_EQ(p.GetParamFloat(0), 0.0f);
}

TEST_F(ChorusDelayTest, FormsRoundTripAndLegacyOneConverts)
{
    cChorusDelayParams written{cChorusDelayParams::kTypeCrossDelay, 1, 0, 0.5f, 0.125f, 0.25f, 0.375f, 0.625f, 4,
                               0.75f, 0.875f};
    const std::string xml = SaveRecordXml(written);
    EXPECT_NE(xml.find("Type=\"X-Delay\""), std::string::npos);
    EXPECT_NE(xml.find("DBeatTime=\"1/4D\""), std::string::npos);
    EXPECT_NE(xml.find("Version=\"2\""), std::string::npos);
    cChorusDelayParams fromXml{};
    ASSERT_TRUE(LoadRecordXml(xml, fromXml));
    EXPECT_EQ(std::memcmp(&fromXml, &written, sizeof written), 0);

    for (int legacy : {0, 2})
    {
        const std::vector<uint8_t> bytes = SaveRecordBinary(written, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 44u : 48u);
        cChorusDelayParams read{};
        ASSERT_TRUE(LoadRecordBinary(bytes, read, legacy));
        EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0) << legacy;
    }
    // Legacy patch data of version 1: a halved amount and a base delay 0.25 longer.
    const std::vector<uint8_t> bytes = SaveRecordBinary(written, 1);
    cChorusDelayParams read{};
    ASSERT_TRUE(LoadRecordBinary(bytes, read, 1));
    EXPECT_EQ(read.DAmount, 0.4375f);
    EXPECT_EQ(read.CDelay, 0.375f);
    written.CDelay = 0.9f;
    ASSERT_TRUE(LoadRecordBinary(SaveRecordBinary(written, 1), read, 1));
    EXPECT_EQ(read.CDelay, 1.0f);
}

TEST_F(ChorusDelayTest, ALowSampleRateStillHoldsTheChorusRing)
{
    // At 8000 Hz the one-second line is 8004 frames, but the chorus reads a
    // ring of 16384 samples in it.
    info = MakeProcessInfo(kBlock, 8000.0f);
    params.Type = cChorusDelayParams::kTypeFlanger;
    params.CDelay = 1.0f;
    for (int b = 0; b < 200; ++b)
        Impulse(kBlock, 0.5f, -0.5f);
    EXPECT_EQ(engine.GetLineFrames(), 8004);
    params.Type = cChorusDelayParams::kTypeDelay;
    params.Sync = 0;
    params.DTime = 1.0f;
    cTestBlock out = Impulse(8192, 1.0f, 0.0f);
    EXPECT_EQ(Echoes(out, 0), std::vector<uint32_t>{8003});
}
