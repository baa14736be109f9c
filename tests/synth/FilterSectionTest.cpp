#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/RecordForms.h"
#include "audio/SignalMeasure.h"
#include "instruments/synth/FilterSection.h"

namespace
{
constexpr uint32_t kBlock = 128;
constexpr float kRate = 44100.0f;

class FilterSectionTest : public ::testing::Test
{
protected:
    FilterSectionTest() { section.params = &params; }

    // The gain of the designed stages at a frequency, measured by running a
    // sine through them block by block.
    double MeasuredGain(double hz)
    {
        const uint32_t frames = 8 * 4096;
        const double cycles = hz / kRate;
        cTestBlock block(frames, 1);
        for (uint32_t i = 0; i < frames; ++i)
            block.At(i, 0) = float(std::sin(2.0 * std::numbers::pi * cycles * i));
        for (int32_t stage = 0; stage < section.GetStageCount(); ++stage)
        {
            cBiquad* sections[1] = {section.GetStage(stage)};
            ProcessBiquadChannels(block.view, sections, 1);
        }
        const size_t whole = size_t(std::floor(4 * 4096 * cycles)) ;
        const size_t count = whole > 0 ? size_t(std::round(whole / cycles)) : 4 * 4096;
        return ToneAmplitude(block.samples, 1, 0, frames - count, count, cycles);
    }

    cAudioProcessInfo info = MakeProcessInfo(kBlock);
    cFilterParams params;
    cFilterSection section;
};
} // namespace

TEST_F(FilterSectionTest, CutoffKnobEnds)
{
    struct cCase
    {
        int32_t type;
        float cutoff;
        double hz;
    };
    // At design Q 1 a low-pass passes its corner at unity gain; the high-pass
    // corner sits 100 Hz lower.
    const cCase cases[] = {{cFilterParams::kTypeLowPass, 0.0f, 120.0},
                           {cFilterParams::kTypeLowPass, 1.0f, 16188.0},
                           {cFilterParams::kTypeHighPass, 1.0f, 16088.0},
                           {cFilterParams::kTypeHighPass, 0.5f, std::pow(10.0, 2.13 * 0.5 + 2.079181) - 100.0}};
    for (const cCase& c : cases)
    {
        params.Type = c.type;
        params.Cutoff = c.cutoff;
        section.Update(info, 0.0f, 60, nullptr);
        EXPECT_NEAR(section.GetCutoff() * kRate, c.hz, c.hz * 2e-4) << c.type << " " << c.cutoff;
        EXPECT_EQ(section.GetDesignQ(), 1.0f);
        EXPECT_NEAR(ToDb(MeasuredGain(c.hz)), 0.0, 0.1) << c.type << " " << c.cutoff;
    }
}

TEST_F(FilterSectionTest, HighPassResonanceFadesOutAtLowCutoffs)
{
    params.Type = cFilterParams::kTypeHighPass;
    params.Q = 1.0f;
    struct cCase
    {
        float cutoff;
        float hz;
        float designQ;
    };
    // The knob at which the frequency less 100 Hz is 250 Hz.
    const float full = float((std::log10(350.0) - 2.079181) / 2.13);
    const float halfway = float((std::log10(235.0) - 2.079181) / 2.13);
    for (cCase c : {cCase{0.0f, 20.0f, 1.0f}, cCase{halfway, 135.0f, 1.0f + 11.0f * 0.5f}, cCase{full, 250.0f, 12.0f}})
    {
        section.Update(info, 0.0f, 60, nullptr);
        params.Cutoff = c.cutoff;
        section.Update(info, 0.0f, 60, nullptr);
        EXPECT_NEAR(section.GetCutoff() * kRate, c.hz, 0.05f) << c.cutoff;
        EXPECT_NEAR(section.GetDesignQ(), c.designQ, 1e-3f) << c.cutoff;
    }
}

TEST_F(FilterSectionTest, TwoStagesTakeTheRootOfTheQAndSplitTheCutoff)
{
    params.Type = cFilterParams::kTypeLowPass;
    params.Slope = cFilterParams::kSlope24;
    params.Q = 1.0f;
    params.Cutoff = 0.5f;
    section.Update(info, 0.0f, 60, nullptr);
    EXPECT_EQ(section.GetStageCount(), 2);
    EXPECT_EQ(section.GetDesignQ(), 3.5f); // the estimate of the root of 12
    EXPECT_NEAR(section.GetStage(0)->cutoff, section.GetCutoff() * 0.95f, 1e-7f);
    EXPECT_NEAR(section.GetStage(1)->cutoff, section.GetCutoff() * 1.05f, 1e-7f);
    EXPECT_EQ(section.GetStage(1)->q, 3.5f);
}

TEST_F(FilterSectionTest, KeyTracking)
{
    params.Type = cFilterParams::kTypeLowPass;
    params.Cutoff = 0.5f;
    section.Update(info, 0.0f, 60, nullptr);
    const float untracked = section.GetCutoff();
    params.Track = 1;
    struct cCase
    {
        int32_t key;
        float factor;
    };
    for (cCase c : {cCase{60, 1.0f}, cCase{72, 2.0f}, cCase{48, 0.5f}, cCase{200, 1.0f}})
    {
        section.Update(info, 0.0f, c.key, nullptr);
        const float expected = std::min(untracked * c.factor, 0.45f);
        if (c.key <= 127)
        {
            EXPECT_NEAR(section.GetCutoff(), expected, expected * 2e-4f) << c.key;
        }
        EXPECT_TRUE(std::isfinite(section.GetCutoff())) << c.key;
    }
    // Capped at 0.45 of the rate, and at least 120 Hz.
    params.Cutoff = 1.0f;
    section.Update(info, 0.0f, 127, nullptr);
    EXPECT_EQ(section.GetCutoff(), 0.45f);
    params.Cutoff = 0.0f;
    section.Update(info, 0.0f, 0, nullptr);
    EXPECT_NEAR(section.GetCutoff(), 120.0f / kRate, 1e-9f);
}

TEST_F(FilterSectionTest, LevelCompensation)
{
    struct cCase
    {
        int32_t type;
        float cutoff, q;
        float level;
    };
    const cCase cases[] = {{cFilterParams::kTypeLowPass, 1.0f, 1.0f, 0.6375f},
                           {cFilterParams::kTypeLowPass, 0.0f, 0.0f, 1.0f},
                           {cFilterParams::kTypeHighPass, 0.0f, 1.0f, 0.6375f},
                           {cFilterParams::kTypeBandPass, 0.3f, 0.5f, 0.875f}};
    for (const cCase& c : cases)
    {
        params.Type = c.type;
        params.Cutoff = c.cutoff;
        params.Q = c.q;
        section.Update(info, 0.0f, 60, nullptr);
        EXPECT_FLOAT_EQ(section.Update(info, 0.0f, 60, nullptr), c.level) << c.type;
    }
    // The envelope and the modulation move the knob; the result is clamped.
    params.Type = cFilterParams::kTypeLowPass;
    params.Cutoff = 0.5f;
    params.Q = 0.0f;
    const float sums[2] = {0.25f, 2.0f};
    EXPECT_FLOAT_EQ(section.Update(info, 0.125f, 60, sums), 0.75f * (1.0f - 0.15f * 0.875f));
    EXPECT_FLOAT_EQ(section.GetKnob(), 0.875f);
}

TEST_F(FilterSectionTest, OffPassesAndAChangeOfTypeOrSlopeClearsTheHistories)
{
    params.Type = cFilterParams::kTypeLowPass;
    section.Update(info, 0.0f, 60, nullptr);
    cTestBlock block(kBlock, 1, 0.5f);
    cBiquad* stage[1] = {section.GetStage(0)};
    ProcessBiquadChannels(block.view, stage, 1);
    EXPECT_NE(section.GetStage(0)->y1, 0.0f);

    params.Slope = cFilterParams::kSlope24;
    section.Update(info, 0.0f, 60, nullptr);
    EXPECT_EQ(section.GetStage(0)->y1, 0.0f);
    EXPECT_EQ(section.GetStageCount(), 2);

    params.Type = cFilterParams::kTypeOff;
    params.Q = 0.5f;
    EXPECT_EQ(section.Update(info, 0.0f, 60, nullptr), 1.0f);
    EXPECT_EQ(section.GetStageCount(), 0);
    EXPECT_EQ(section.Update(info, 0.0f, 60, nullptr), 0.875f);
    // A type outside the list acts as "OFF".
    for (int32_t type : {4, -1, 1000})
    {
        params.Type = type;
        section.Update(info, 0.0f, 60, nullptr);
        EXPECT_EQ(section.GetStageCount(), 0) << type;
    }
}

TEST_F(FilterSectionTest, AnUnchangedDesignIsNotRedone)
{
    params.Type = cFilterParams::kTypeBandPass;
    params.Cutoff = 0.4f;
    section.Update(info, 0.0f, 60, nullptr);
    const float designed = section.GetStage(0)->cutoff;
    // A stage that believes it has another cutoff recomputes when asked.
    section.GetStage(0)->cutoff = 0.3f;
    section.Update(info, 0.0f, 60, nullptr);
    EXPECT_EQ(section.GetStage(0)->cutoff, 0.3f);
    params.fifth = 0.5f; // the fifth value forces a redesign
    section.Update(info, 0.0f, 60, nullptr);
    EXPECT_EQ(section.GetStage(0)->cutoff, designed);
}

TEST_F(FilterSectionTest, FormsLeaveTheFifthValueOut)
{
    cFilterParams written{cFilterParams::kTypeHighPass, cFilterParams::kSlope24, 0.25f, 0.75f, 0.5f, 1};
    const std::string xml = SaveRecordXml(written);
    EXPECT_NE(xml.find("Type=\"HP\" Slope=\"24\""), std::string::npos) << xml;
    cFilterParams fromXml{};
    ASSERT_TRUE(LoadRecordXml(xml, fromXml));
    EXPECT_EQ(fromXml.fifth, 0.0f);
    fromXml.fifth = written.fifth;
    EXPECT_EQ(std::memcmp(&fromXml, &written, sizeof written), 0);
    for (int legacy : {0, 2})
    {
        const std::vector<uint8_t> bytes = SaveRecordBinary(written, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 20u : 24u);
        cFilterParams read{};
        ASSERT_TRUE(LoadRecordBinary(bytes, read, legacy));
        EXPECT_EQ(read.fifth, 0.0f);
        read.fifth = written.fifth;
        EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0);
    }
    cFilterParams p;
    p.SetParamFloat(cFilterParams::kFieldFifth, 0.3f);
    p.SetParamInt(cFilterParams::kFieldTrack, 1);
    EXPECT_EQ(p.GetParamFloat(cFilterParams::kFieldFifth), 0.3f);
    EXPECT_EQ(p.GetParamInt(cFilterParams::kFieldTrack), 1);
    EXPECT_EQ(p.GetParamInt(cFilterParams::kFieldCutoff), 0);
}
