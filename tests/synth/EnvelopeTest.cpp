#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "audio/RecordForms.h"
#include "instruments/synth/Envelope.h"

namespace
{
constexpr float kBlockSeconds = 128.0f / 44100.0f;

class EnvelopeTest : public ::testing::Test
{
protected:
    EnvelopeTest() { envelope.params = &params; }

    // Blocks processed until the stage leaves `stage`, counting the block
    // that leaves it.
    int BlocksIn(int32_t stage, const float* modulation = nullptr)
    {
        int blocks = 0;
        while (envelope.GetStage() == stage && blocks < 1000000)
        {
            envelope.Process(modulation, kBlockSeconds);
            ++blocks;
        }
        return blocks;
    }

    // Takes the envelope to its sustain stage.
    void Sustain()
    {
        envelope.Trigger();
        BlocksIn(cEnvelope::kStageAttack);
        BlocksIn(cEnvelope::kStageDecay);
    }

    cEnvelopeParams params;
    cEnvelope envelope;
};
} // namespace

TEST_F(EnvelopeTest, StageTimesFromTheKnobs)
{
    struct cCase
    {
        float knob;
        double attack, decay;
    };
    const cCase cases[] = {{0.0f, 0.001, 0.01}, {0.5f, 1.250875, 1.25875}, {1.0f, 10.0, 10.0}};
    for (const cCase& c : cases)
    {
        params = {};
        params.A = c.knob;
        params.D = c.knob;
        params.S = 0.5f;
        envelope.Trigger();
        const int attack = BlocksIn(cEnvelope::kStageAttack);
        EXPECT_NEAR(attack, std::max(1.0, c.attack / kBlockSeconds), 1.0) << c.knob;
        // The decay starts in the block that ends the attack.
        const int decay = BlocksIn(cEnvelope::kStageDecay) + 1;
        EXPECT_NEAR(decay, c.decay / kBlockSeconds, 1.0) << c.knob;

        params.R = c.knob;
        envelope.Release();
        const int release = BlocksIn(cEnvelope::kStageRelease);
        EXPECT_NEAR(release, 0.995 * c.decay / kBlockSeconds, 1.0) << c.knob;
    }
}

TEST_F(EnvelopeTest, ShortestStagesInBlocksOf128Frames)
{
    params.S = 0.0f;
    envelope.Trigger();
    // A 0: done within the first block, which goes straight into the decay.
    envelope.Process(nullptr, kBlockSeconds);
    EXPECT_EQ(envelope.GetStage(), cEnvelope::kStageDecay);
    EXPECT_NEAR(envelope.GetLevel(), 1.0f - 100.0f * kBlockSeconds, 1e-5f);

    // R 0 from sustain at 1: linear, idle on the fourth block, never below 0.
    params.S = 1.0f;
    Sustain();
    envelope.Release();
    const float expected[3] = {1.0f - 0.29025f, 1.0f - 0.5805f, 1.0f - 0.87075f};
    for (float level : expected)
    {
        envelope.Process(nullptr, kBlockSeconds);
        EXPECT_NEAR(envelope.GetLevel(), level, 1e-4f);
        EXPECT_EQ(envelope.GetStage(), cEnvelope::kStageRelease);
    }
    envelope.Process(nullptr, kBlockSeconds);
    EXPECT_EQ(envelope.GetStage(), cEnvelope::kStageIdle);
    EXPECT_EQ(envelope.GetLevel(), 0.0f);
}

TEST_F(EnvelopeTest, CurvedStages)
{
    params.Flags = cEnvelopeParams::kFlagCurvedDecay | cEnvelopeParams::kFlagCurvedRelease;
    params.D = 0.5f;
    params.S = 0.2f;
    envelope.Trigger();
    envelope.Process(nullptr, kBlockSeconds); // attack done; decay has run one block
    const float p = kBlockSeconds / 1.25875f;
    EXPECT_NEAR(envelope.GetLevel(), 1.0f + (0.2f - 1.0f) * (1.0f - std::pow(10.0f, -4.0f * p)), 1e-5f);

    params.R = 0.5f;
    Sustain();
    envelope.Release();
    const int release = BlocksIn(cEnvelope::kStageRelease);
    // 2.4^(-5p) falls below 0.005 at p of about 1.21.
    EXPECT_NEAR(release * kBlockSeconds / 1.25875, 1.2104, 0.003);
}

TEST_F(EnvelopeTest, SustainFollowsItsSettingAndModulation)
{
    params.S = 0.6f;
    Sustain();
    EXPECT_FLOAT_EQ(envelope.Process(nullptr, kBlockSeconds), 0.6f);
    const float past[5] = {0.0f, 0.0f, 0.7f, 0.0f, 0.25f};
    EXPECT_FLOAT_EQ(envelope.Process(past, kBlockSeconds), 1.0f);
    EXPECT_FLOAT_EQ(envelope.GetAmount(), 1.25f);
    params.S = 0.3f;
    EXPECT_FLOAT_EQ(envelope.Process(nullptr, kBlockSeconds), 0.3f);
    EXPECT_FLOAT_EQ(envelope.GetAmount(), 1.0f);
}

TEST_F(EnvelopeTest, ReleaseDuringTheAttackStartsFromTheLevelReached)
{
    params.A = std::cbrt((1.0f - 0.001f) / 9.999f); // a 1 s attack
    envelope.Trigger();
    envelope.Process(nullptr, 0.4f);
    EXPECT_NEAR(envelope.GetLevel(), 0.4f, 1e-4f);
    envelope.Release();
    params.R = 0.5f;
    envelope.Process(nullptr, 1.25875f * 0.5f);
    EXPECT_NEAR(envelope.GetLevel(), 0.2f, 1e-4f);
}

TEST_F(EnvelopeTest, InvertReportsOneMinusTheLevel)
{
    params.Invert = 1;
    EXPECT_EQ(envelope.Process(nullptr, kBlockSeconds), 1.0f);
    params.S = 0.25f;
    Sustain();
    EXPECT_FLOAT_EQ(envelope.Process(nullptr, kBlockSeconds), 0.75f);
    EXPECT_FLOAT_EQ(envelope.GetLevel(), 0.25f);
}

TEST_F(EnvelopeTest, FormsRoundTrip)
{
    cEnvelopeParams written{3, 0.125f, 0.25f, 0.5f, 0.75f, -0.5f, 1};
    const std::string xml = SaveRecordXml(written);
    EXPECT_NE(xml.find("Flags=\"3\""), std::string::npos);
    cEnvelopeParams fromXml{};
    ASSERT_TRUE(LoadRecordXml(xml, fromXml));
    EXPECT_EQ(std::memcmp(&fromXml, &written, sizeof written), 0);
    for (int legacy : {0, 1})
    {
        const std::vector<uint8_t> bytes = SaveRecordBinary(written, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 28u : 32u);
        cEnvelopeParams read{};
        ASSERT_TRUE(LoadRecordBinary(bytes, read, legacy));
        EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0);
    }
    cEnvelopeParams p;
    for (int32_t field = cEnvelopeParams::kFieldA; field <= cEnvelopeParams::kFieldAmount; ++field)
    {
        p.SetParamFloat(field, 0.1f * float(field + 1));
        EXPECT_EQ(p.GetParamFloat(field), 0.1f * float(field + 1));
    }
    p.SetParamInt(cEnvelopeParams::kFieldInvert, 1);
    EXPECT_EQ(p.Invert, 1);
    EXPECT_EQ(p.GetParamFloat(cEnvelopeParams::kFieldInvert), 0.0f);
}
