#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "MixerTestUtil.h"
#include "audio/Decibels.h"
#include "mixer/EffectCompressor.h"

using namespace MixerTest;

namespace
{
class Compressor : public testing::Test
{
protected:
    void Post(cAudioEvent event) { ASSERT_TRUE(effect.PostEvent(event)); }
    void Enable() { Post(MakeSetIntEvent(cEffectCompressor::kParamEnable, 1)); }

    // The output of a constant level on both channels after it settled.
    float Settle(float level, float seconds = 3.0f)
    {
        const auto out = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { effect.Process(info, b); },
                                   [&](uint32_t) { return level; }, uint32_t(seconds * kRate));
        return out.back();
    }

    cEffectCompressorPackage package;
    cEffectCompressor effect{&package};
};
} // namespace

TEST_F(Compressor, DefaultsAndEventForms)
{
    EXPECT_FALSE(effect.IsEnabled());
    EXPECT_EQ(effect.GetParamInt(cEffectCompressor::kParamRMS), 1);
    const struct
    {
        uint32_t id;
        float stored; // the event form read back at the defaults
    } defaults[] = {
        {cEffectCompressor::kParamAttack, 0.0001f}, {cEffectCompressor::kParamRelease, 0.01f},
        {cEffectCompressor::kParamThreshold, 19.5f / 39.0f}, {cEffectCompressor::kParamOutputGain, 4.25f / 24.0f},
        {cEffectCompressor::kParamRatio, 0.5f}, {0, 0.0f}, {6, 0.0f},
    };
    for (const auto& d : defaults)
        EXPECT_FLOAT_EQ(effect.GetParamFloat(d.id), d.stored) << d.id;

    Post(MakeSetFloatEvent(cEffectCompressor::kParamThreshold, 1.0f));
    Post(MakeSetFloatEvent(cEffectCompressor::kParamOutputGain, 0.5f));
    Post(MakeSetIntEvent(cEffectCompressor::kParamRMS, 0));
    effect.DrainEvents();
    EXPECT_FLOAT_EQ(effect.GetParams().threshold, 9.0f);
    EXPECT_FLOAT_EQ(effect.GetParams().outputGain, 12.0f);
    EXPECT_EQ(effect.GetParams().rms, 0);
}

TEST_F(Compressor, BelowTheThresholdOnlyTheMakeUpGainIsApplied)
{
    Enable();
    const auto in = [](uint32_t f) { return 0.05f * std::sin(0.1f * float(f)); };
    const auto out = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { effect.Process(info, b); }, in,
                               uint32_t(4 * kRate));
    for (uint32_t f = out.size() - 500; f < out.size(); ++f)
        ASSERT_NEAR(out[f], in(f) * 1.69866f, 2e-6f) << f;
}

TEST_F(Compressor, ADCLevelSettlesWhereTheRatioPutsIt)
{
    Enable();
    // -3.01 dB of power is 7.49 dB over the threshold; 1.875:1 leaves 0.755
    // dB. The envelope comes to rest within float resolution of its target.
    EXPECT_NEAR(Settle(0.5f), 0.55906f, 2e-5f);
}

TEST_F(Compressor, LimitingHoldsTheThresholdPlusMakeUp)
{
    Enable();
    Post(MakeSetFloatEvent(cEffectCompressor::kParamRatio, 0.99f));
    for (float level : {0.5f, 0.7f, 1.0f, 3.0f, 4.0f})
    {
        SCOPED_TRACE(level);
        const float out = Settle(level, 1.0f);
        // The RMS detector measures the power of both channels; the two
        // bit-pattern conversions put it within half a decibel.
        EXPECT_NEAR(10.0 * std::log10(2.0 * out * out), -10.5 + 4.25, 0.5);
    }
}

TEST_F(Compressor, PeakDetectorAndSwitchingDetectors)
{
    Enable();
    Post(MakeSetIntEvent(cEffectCompressor::kParamRMS, 0));
    Post(MakeSetFloatEvent(cEffectCompressor::kParamRatio, 0.99f));
    const float out = Settle(1.0f, 1.0f);
    EXPECT_NEAR(20.0 * std::log10(out), -10.5 + 4.25, 0.5);
    Post(MakeSetIntEvent(cEffectCompressor::kParamRMS, 1));
    const float rms = Settle(1.0f, 1.0f);
    EXPECT_NEAR(10.0 * std::log10(2.0 * rms * rms), -10.5 + 4.25, 0.5);
}

// The detector worked in groups of four frames and left the last one to
// three frames of a block unprocessed.
TEST_F(Compressor, EveryFrameOfAnOddBlockIsProcessed)
{
    Enable();
    for (uint32_t frames : {125u, 126u, 127u})
    {
        SCOPED_TRACE(frames);
        Settle(0.01f, 3.0f);
        const auto out = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { effect.Process(info, b); },
                                   [](uint32_t) { return 0.01f; }, frames, frames);
        for (uint32_t f = 0; f < frames; ++f)
            ASSERT_NEAR(out[f], 0.0169866f, 1e-6f) << f;
    }
}

TEST_F(Compressor, DisabledMetersFollowTheInput)
{
    Settle(0.5f, 0.1f);
    EXPECT_NEAR(effect.GetCore().GetInputMeter(), FastAmplitudeToDb(0.5f), 1e-3f);
    EXPECT_EQ(effect.GetCore().GetOutputMeter(), effect.GetCore().GetInputMeter());
    EXPECT_EQ(effect.GetCore().GetGainReductionMeter(), 0.0f);
    Enable();
    Settle(0.5f, 0.5f);
    EXPECT_LT(effect.GetCore().GetGainReductionMeter(), -3.0f);
    effect.Reset();
    EXPECT_EQ(effect.GetCore().GetInputMeter(), -90.0f);
    EXPECT_EQ(effect.GetCore().GetGainReductionMeter(), 0.0f);
}

// Values arrive unchecked from files and events: a huge make-up gain wrapped
// the bit-pattern gain, a NaN poisoned the envelope.
TEST_F(Compressor, StoredAndPostedValuesStayInTheirRanges)
{
    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" Enable=\"1\" RMS=\"0\" Attack=\"-4\" Release=\"7\" "
                        "Threshold=\"1e30\" Ratio=\"2\" OutputGain=\"3e38\"/>",
                        [&](Base::cSerialise& s) { EXPECT_TRUE(effect.Serialise(s)); }));
    const cCompressorParams& p = effect.GetParams();
    EXPECT_EQ(p.enable, 1);
    EXPECT_EQ(p.rms, 0);
    EXPECT_EQ(p.attack, 0.0f);
    EXPECT_EQ(p.release, 1.0f);
    EXPECT_EQ(p.threshold, 9.0f);
    EXPECT_EQ(p.ratio, 1.0f);
    EXPECT_EQ(p.outputGain, 24.0f);

    Post(MakeSetFloatEvent(cEffectCompressor::kParamOutputGain, std::numeric_limits<float>::quiet_NaN()));
    Post(MakeSetFloatEvent(cEffectCompressor::kParamThreshold, std::numeric_limits<float>::infinity()));
    Post(MakeSetFloatEvent(cEffectCompressor::kParamAttack, 5.0f));
    effect.DrainEvents();
    EXPECT_EQ(p.outputGain, 24.0f);
    EXPECT_EQ(p.threshold, 9.0f);
    EXPECT_EQ(p.attack, 1.0f);
    EXPECT_TRUE(std::isfinite(Settle(1.0f, 0.1f)));
}

TEST_F(Compressor, PatchRoundTrip)
{
    Enable();
    Post(MakeSetFloatEvent(cEffectCompressor::kParamRatio, 0.25f));
    Post(MakeSetFloatEvent(cEffectCompressor::kParamThreshold, 0.0f));
    effect.DrainEvents();
    const std::string saved = SaveXML([&](Base::cSerialise& s) { effect.Serialise(s); });
    EXPECT_NE(saved.find("RMS=\"1\""), std::string::npos) << saved;
    cEffectCompressor loaded(&package);
    ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { loaded.Serialise(s); }));
    for (uint32_t id = 0; id <= 6; ++id)
    {
        EXPECT_EQ(loaded.GetParamFloat(id), effect.GetParamFloat(id)) << id;
        EXPECT_EQ(loaded.GetParamInt(id), effect.GetParamInt(id)) << id;
    }
    EXPECT_EQ(loaded.GetParams().dirty, cCompressorParams::kDirtyAll);
}
