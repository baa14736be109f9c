#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "MixerTestUtil.h"
#include "mixer/Effect3BandEQ.h"

using namespace MixerTest;

namespace
{
class ThreeBandEQ : public testing::Test
{
protected:
    void Set(uint32_t id, float value) { ASSERT_TRUE(effect.PostEvent(MakeSetFloatEvent(id, value))); }
    void SetInt(uint32_t id, int32_t value) { ASSERT_TRUE(effect.PostEvent(MakeSetIntEvent(id, value))); }

    std::vector<float> Impulse(cEffect3BandEQ& eq, uint32_t frames = 16384)
    {
        return RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { eq.Process(info, b); },
                         [](uint32_t f) { return f == 0 ? 1.0f : 0.0f; }, frames);
    }

    cEffect3BandEQPackage package;
    cEffect3BandEQ effect{&package};
};
} // namespace

TEST_F(ThreeBandEQ, DefaultsAreFlatWithinTheGainApproximation)
{
    EXPECT_FALSE(effect.IsEnabled());
    for (uint32_t id = cEffect3BandEQ::kParamLowFreq; id <= cEffect3BandEQ::kParamHighGain; ++id)
        EXPECT_EQ(effect.GetParamFloat(id), 0.5f) << id;
    SetInt(cEffect3BandEQ::kParamEnable, 1);
    const auto impulse = Impulse(effect);
    for (double hz = 20.0; hz < 20000.0; hz *= 1.1)
        EXPECT_NEAR(ResponseDb(impulse, hz), 0.0, 0.07) << hz;
}

TEST_F(ThreeBandEQ, MidBoostPeaksWhereTheMappingPutsIt)
{
    SetInt(cEffect3BandEQ::kParamEnable, 1);
    Set(cEffect3BandEQ::kParamMidGain, 1.0f);
    const auto impulse = Impulse(effect);
    double bestHz = 0.0, bestDb = -100.0;
    for (double hz = 300.0; hz < 1500.0; hz += 1.0)
    {
        const double dB = ResponseDb(impulse, hz);
        if (dB > bestDb)
            bestDb = dB, bestHz = hz;
    }
    EXPECT_NEAR(bestDb, 15.0, 0.1);
    EXPECT_NEAR(bestHz, 632.4, 632.4 * 0.02);
}

TEST_F(ThreeBandEQ, ShelvesBoostTheirEnds)
{
    const struct
    {
        uint32_t id;
        double lowHz, highHz; // the boosted end, the flat end
    } cases[] = {
        {cEffect3BandEQ::kParamLowGain, 20.0, 15000.0},
        {cEffect3BandEQ::kParamHighGain, 20000.0, 40.0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        cEffect3BandEQ eq(&package);
        eq.SetEnabled(true);
        eq.PostEvent(MakeSetFloatEvent(c.id, 1.0f));
        const auto impulse = Impulse(eq);
        EXPECT_GT(ResponseDb(impulse, c.lowHz), 11.0);
        EXPECT_NEAR(ResponseDb(impulse, c.highHz), 0.0, 1.0);
    }
}

TEST_F(ThreeBandEQ, GainCompensationDividesByHalfTheLargestBoost)
{
    const struct
    {
        uint32_t id;
        float divisor; // gain(7.5 dB) for a low boost, gain(3.75 dB) for a high one
    } cases[] = {
        {cEffect3BandEQ::kParamLowGain, 2.47695f},
        {cEffect3BandEQ::kParamHighGain, 1.61561f},
        {cEffect3BandEQ::kParamMidGain, 2.47695f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        cEffect3BandEQ plain(&package), compensated(&package);
        for (cEffect3BandEQ* eq : {&plain, &compensated})
        {
            eq->SetEnabled(true);
            eq->PostEvent(MakeSetFloatEvent(c.id, 1.0f));
        }
        compensated.PostEvent(MakeSetIntEvent(cEffect3BandEQ::kParamGainComp, 1));
        // The first outputs, before rounding in the feedback paths drifts.
        const auto a = Impulse(plain, 128);
        const auto b = Impulse(compensated, 128);
        for (uint32_t f = 0; f < 2; ++f)
            EXPECT_NEAR(a[f] / b[f], c.divisor, 2e-5f) << f;
    }
    // Cuts never raise the output.
    cEffect3BandEQ cut(&package);
    cut.SetEnabled(true);
    cut.PostEvent(MakeSetFloatEvent(cEffect3BandEQ::kParamLowGain, 0.0f));
    cut.PostEvent(MakeSetIntEvent(cEffect3BandEQ::kParamGainComp, 1));
    Impulse(cut, 128);
    cEffect3BandEQ uncompensatedCut(&package);
    uncompensatedCut.SetEnabled(true);
    uncompensatedCut.PostEvent(MakeSetFloatEvent(cEffect3BandEQ::kParamLowGain, 0.0f));
    Impulse(uncompensatedCut, 128);
    EXPECT_EQ(cut.GetCore().GetOutputGain(), uncompensatedCut.GetCore().GetOutputGain());
}

TEST_F(ThreeBandEQ, SwitchingCrossfadesOverOneBlock)
{
    auto manager = MakePausedAudioManager();
    ASSERT_NE(manager, nullptr);
    const auto signal = [](uint32_t f) { return 0.5f * std::sin(0.05f * float(f)); };
    // The same unit without a scratch buffer gives the processed signal alone.
    for (bool on : {true, false})
    {
        SCOPED_TRACE(on);
        cEffect3BandEQ faded(&package);
        faded.PostEvent(MakeSetFloatEvent(cEffect3BandEQ::kParamLowGain, 1.0f));
        if (!on)
            faded.SetEnabled(true);
        RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { faded.Process(info, b); }, signal, 256);
        faded.PostEvent(MakeSetIntEvent(cEffect3BandEQ::kParamEnable, on ? 1 : 0));
        cStereoBlock block;
        for (uint32_t f = 0; f < kBlock; ++f)
            block.L(f) = block.R(f) = signal(256 + f);
        const cStereoBlock dry = block;
        faded.Process(MakeInfo(), block.buffer);

        // The processed signal of that block: a twin with the same history
        // (none while switched off), without a scratch buffer to fade with.
        cEffect3BandEQ twin(&package);
        twin.PostEvent(MakeSetFloatEvent(cEffect3BandEQ::kParamLowGain, 1.0f));
        twin.SetEnabled(true);
        manager.reset();
        const uint32_t skipped = on ? 256 : 0;
        const auto wet = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { twin.Process(info, b); },
                                   [&](uint32_t f) { return signal(f + skipped); }, 256 + kBlock - skipped);
        manager = MakePausedAudioManager();
        for (uint32_t f = 0; f < kBlock; ++f)
        {
            const float w = float(f) / float(kBlock); // the processed share
            const float share = on ? w : 1.0f - w;
            ASSERT_NEAR(block.L(f), dry.L(f) * (1.0f - share) + wet[256 - skipped + f] * share, 1e-5f) << f;
        }
    }
}

TEST_F(ThreeBandEQ, DisabledLeavesTheBufferUntouched)
{
    effect.PostEvent(MakeSetFloatEvent(cEffect3BandEQ::kParamMidGain, 1.0f));
    cStereoBlock block;
    for (uint32_t f = 0; f < kBlock; ++f)
        block.L(f) = std::sin(float(f)), block.R(f) = float(f);
    const std::vector<float> before = block.samples;
    effect.Process(MakeInfo(), block.buffer);
    EXPECT_EQ(block.samples, before);
}

// Values outside 0..1 put bands where their formulas give NaN coefficients.
TEST_F(ThreeBandEQ, OutOfRangeValuesAreHeldToTheirRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SetInt(cEffect3BandEQ::kParamEnable, 1);
    Set(cEffect3BandEQ::kParamMidFreq, 7.0f);
    Set(cEffect3BandEQ::kParamMidWidth, -3.0f);
    Set(cEffect3BandEQ::kParamHighGain, nan);
    effect.DrainEvents();
    EXPECT_EQ(effect.GetParamFloat(cEffect3BandEQ::kParamMidFreq), 1.0f);
    EXPECT_EQ(effect.GetParamFloat(cEffect3BandEQ::kParamMidWidth), 0.0f);
    EXPECT_EQ(effect.GetParamFloat(cEffect3BandEQ::kParamHighGain), 0.5f);
    for (float v : Impulse(effect, 4096))
        ASSERT_TRUE(std::isfinite(v));

    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" Enable=\"1\" GainComp=\"1\" LowFreq=\"-1e30\" LowGain=\"9\" "
                        "MidFreq=\"0.25\" MidWidth=\"1e38\" MidGain=\"nan\" HighFreq=\"2\" HighGain=\"0.75\"/>",
                        [&](Base::cSerialise& s) { EXPECT_TRUE(effect.Serialise(s)); }));
    const float expected[] = {0.0f, 1.0f, 0.25f, 1.0f, 0.0f, 1.0f, 0.75f};
    for (uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(effect.GetParamFloat(cEffect3BandEQ::kParamLowFreq + i), expected[i]) << i;
    for (float v : Impulse(effect, 4096))
        ASSERT_TRUE(std::isfinite(v));
}

TEST_F(ThreeBandEQ, PatchRoundTripAndEvents)
{
    SetInt(cEffect3BandEQ::kParamEnable, 1);
    SetInt(cEffect3BandEQ::kParamGainComp, 1);
    Set(cEffect3BandEQ::kParamHighFreq, 0.125f);
    Set(cEffect3BandEQ::kParamEnable, 0.0f); // a float event for an int id changes nothing
    effect.DrainEvents();
    EXPECT_EQ(effect.GetParamInt(cEffect3BandEQ::kParamEnable), 1);
    const std::string saved = SaveXML([&](Base::cSerialise& s) { effect.Serialise(s); });
    cEffect3BandEQ loaded(&package);
    ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { loaded.Serialise(s); }));
    for (uint32_t id = 0; id <= 8; ++id)
    {
        EXPECT_EQ(loaded.GetParamFloat(id), effect.GetParamFloat(id)) << id;
        EXPECT_EQ(loaded.GetParamInt(id), effect.GetParamInt(id)) << id;
    }
}
