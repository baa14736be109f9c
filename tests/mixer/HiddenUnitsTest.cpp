#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "MixerTestUtil.h"
#include "UnitsFixture.h"
#include "audio/AudioEvent.h"
#include "mixer/Effect1BandFilter.h"
#include "mixer/EffectAnalyser.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectTestResampler.h"
#include "mixer/EffectUnits.h"
#include "mixer/FirRoutines.h"
#include "mixer/RealFFT.h"

using namespace MixerTest;

namespace
{
// The five units and, after them, the three that users never reach.
class HiddenUnits : public cRegisteredUnits
{
protected:
    void SetUp() override
    {
        cRegisteredUnits::SetUp();
        RegisterHiddenEffectPackages();
    }
    template <class T>
    std::unique_ptr<T> Create(const char* shortName)
    {
        return std::unique_ptr<T>(static_cast<T*>(gEffectRegistry->CreateEffect(shortName)));
    }
};

void Post(cEffect& effect, const cAudioEvent& event)
{
    effect.PostEvent(event);
    effect.DrainEvents();
}

// Left and right channels of a block through the effect, as written.
struct cStereo
{
    std::vector<float> left, right;
};

cStereo RunStereo(cEffect& effect, const std::vector<float>& left, const std::vector<float>& right)
{
    cStereo out;
    for (size_t start = 0; start < left.size(); start += kBlock)
    {
        cStereoBlock block;
        for (uint32_t f = 0; f < kBlock && start + f < left.size(); ++f)
            block.L(f) = left[start + f], block.R(f) = right[start + f];
        effect.Process(MakeInfo(), block.buffer);
        for (uint32_t f = 0; f < kBlock; ++f)
            out.left.push_back(block.L(f)), out.right.push_back(block.R(f));
    }
    return out;
}
} // namespace

TEST_F(HiddenUnits, TheyListAfterTheFive)
{
    ASSERT_EQ(gEffectRegistry->GetCount(), 8);
    const struct
    {
        const char* shortName;
        const char* display;
        const char* description;
    } hidden[] = {{"FILTER-1B", "Filter", "Single band filter"},
                  {"ANALYSER", "Analyser", "Spectrum analysis"},
                  {"TEST-RESAMPLER", "TestResampler", "Resampler test effect"}};
    cEffectPackage* package = gEffectRegistry->GetFirst();
    for (int i = 0; i < 5; ++i)
        package = package->GetNext();
    for (const auto& unit : hidden)
    {
        ASSERT_NE(package, nullptr);
        EXPECT_STREQ(package->GetShortName(), unit.shortName);
        EXPECT_STREQ(package->GetDisplayName(), unit.display);
        EXPECT_STREQ(package->GetDescription(), unit.description);
        EXPECT_EQ(package->GetIconSprite(), 360);
        std::unique_ptr<cEffect> effect(package->CreateEffect());
        EXPECT_EQ(effect->GetPackage(), package);
        package = package->GetNext();
    }
}

// Knob positions to hertz and Q and back, as the editor shows them.
TEST_F(HiddenUnits, FilterMappings)
{
    EXPECT_NEAR(cEffect1BandFilter::CutoffFromPosition(0.0f), 120.0f, 1e-3f);
    EXPECT_NEAR(cEffect1BandFilter::CutoffFromPosition(1.0f), 16187.5f, 0.5f);
    EXPECT_NEAR(cEffect1BandFilter::PositionFromCutoff(1600.0f), 0.52814f, 1e-5f);
    EXPECT_FLOAT_EQ(cEffect1BandFilter::PositionFromCutoff(16188.0f), 1.0f);
    EXPECT_FLOAT_EQ(cEffect1BandFilter::PositionFromCutoff(100.0f), 0.0f);
    EXPECT_FLOAT_EQ(cEffect1BandFilter::QFromPosition(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(cEffect1BandFilter::QFromPosition(1.0f), 12.0f);
    EXPECT_NEAR(cEffect1BandFilter::PositionFromQ(6.5f), 0.5f, 1e-6f);

    auto filter = Create<cEffect1BandFilter>("FILTER-1B");
    EXPECT_EQ(filter->GetParamInt(cEffect1BandFilter::kParamType), cOneBandFilterParams::kTypeLowPass);
    EXPECT_NEAR(filter->GetParamFloat(cEffect1BandFilter::kParamCutoff), 0.52814f, 1e-5f);
    EXPECT_FLOAT_EQ(filter->GetParamFloat(cEffect1BandFilter::kParamQ), 0.0f);
}

// Events change what their parameter number names; instance bytes, other
// kinds and values that are not numbers change nothing, and the rest is
// held to range.
TEST_F(HiddenUnits, FilterEvents)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        const char* what;
        cAudioEvent event;
        float cutoff, q;
        int32_t type;
    } cases[] = {
        {"cutoff", MakeSetFloatEvent(2, 0.0f), 120.0f, 1.0f, 1},
        {"Q", MakeSetFloatEvent(3, 1.0f), 1600.0f, 12.0f, 1},
        {"instance byte", MakeSetFloatEvent((2 << 8) | 1, 0.0f), 1600.0f, 1.0f, 1},
        {"not a number", MakeSetFloatEvent(2, nan), 1600.0f, 1.0f, 1},
        {"beyond the top", MakeSetFloatEvent(2, 7.0f), cEffect1BandFilter::CutoffFromPosition(1.0f), 1.0f, 1},
        {"type as a float", MakeSetFloatEvent(1, 3.0f), 1600.0f, 1.0f, 1},
        {"type", MakeSetIntEvent(1, 3), 1600.0f, 1.0f, 3},
        {"type out of range", MakeSetIntEvent(1, 9), 1600.0f, 1.0f, 3},
    };
    for (const auto& step : cases)
    {
        SCOPED_TRACE(step.what);
        auto filter = Create<cEffect1BandFilter>("FILTER-1B");
        Post(*filter, step.event);
        EXPECT_NEAR(filter->GetParams().cutoff, step.cutoff, 1e-3f);
        EXPECT_FLOAT_EQ(filter->GetParams().q, step.q);
        EXPECT_EQ(filter->GetParams().type, step.type);
    }
}

// A high-pass stands 100 Hz below its cutoff; "OFF" leaves the block as it
// was.
TEST_F(HiddenUnits, FilterProcessing)
{
    auto filter = Create<cEffect1BandFilter>("FILTER-1B");
    Post(*filter, MakeSetIntEvent(cEffect1BandFilter::kParamType, cOneBandFilterParams::kTypeHighPass));
    Post(*filter, MakeSetFloatEvent(cEffect1BandFilter::kParamCutoff, 0.0f));
    Post(*filter, MakeSetIntEvent(cEffect1BandFilter::kParamEnable, 1));
    auto manager = MakePausedAudioManager();
    cStereoBlock block;
    filter->Process(MakeInfo(), block.buffer);
    EXPECT_NEAR(filter->GetSection(0).cutoff, 20.0f / kRate, 1e-7f);
    EXPECT_FLOAT_EQ(filter->GetSection(1).cutoff, filter->GetSection(0).cutoff);

    // A high-pass at 20 Hz lets a 5 kHz tone through and stops DC.
    const auto dc = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { filter->Process(info, b); },
                              [](uint32_t) { return 0.5f; }, 44100);
    EXPECT_LT(std::fabs(dc.back()), 0.01f);

    auto off = Create<cEffect1BandFilter>("FILTER-1B");
    Post(*off, MakeSetIntEvent(cEffect1BandFilter::kParamType, cOneBandFilterParams::kTypeOff));
    Post(*off, MakeSetIntEvent(cEffect1BandFilter::kParamEnable, 1));
    std::vector<float> expected;
    const auto signal = [](uint32_t f) { return 0.5f * std::sin(0.3f * float(f)); };
    for (uint32_t f = 0; f < 4 * kBlock; ++f)
        expected.push_back(signal(f));
    EXPECT_EQ(RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { off->Process(info, b); }, signal,
                        4 * kBlock),
              expected);
}

// The patch keeps hertz and Q; a hostile file is brought into range, and
// the next block starts from a cleared filter.
TEST_F(HiddenUnits, FilterPatch)
{
    auto filter = Create<cEffect1BandFilter>("FILTER-1B");
    Post(*filter, MakeSetIntEvent(cEffect1BandFilter::kParamType, cOneBandFilterParams::kTypeBandPass));
    Post(*filter, MakeSetFloatEvent(cEffect1BandFilter::kParamCutoff, 0.5f));
    const std::string saved = SaveXML([&](Base::cSerialise& s) { filter->Serialise(s); });
    EXPECT_NE(saved.find("Type=\"BP\""), std::string::npos) << saved;

    auto copy = Create<cEffect1BandFilter>("FILTER-1B");
    ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { copy->Serialise(s); }));
    EXPECT_EQ(copy->GetParams().type, cOneBandFilterParams::kTypeBandPass);
    EXPECT_FLOAT_EQ(copy->GetParams().cutoff, filter->GetParams().cutoff);
    EXPECT_EQ(copy->GetParams().changes, cOneBandFilterParams::kChangeAll);

    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" Enable=\"7\" Type=\"9\" Cutoff=\"1e30\" Q=\"-4\"/>",
                        [&](Base::cSerialise& s) { copy->Serialise(s); }));
    EXPECT_EQ(copy->GetParams().enable, 1);
    EXPECT_EQ(copy->GetParams().type, cOneBandFilterParams::kTypeHighPass);
    EXPECT_FLOAT_EQ(copy->GetParams().cutoff, cEffect1BandFilter::kMaxCutoff);
    EXPECT_FLOAT_EQ(copy->GetParams().q, cEffect1BandFilter::kMinQ);
}

// Each channel has its own FIR line: an impulse on the left stays there.
TEST_F(HiddenUnits, TheResamplerKeepsTheChannelsApart)
{
    auto resampler = Create<cEffectTestResampler>("TEST-RESAMPLER");
    Post(*resampler, MakeSetIntEvent(cEffect1BandFilter::kParamType, cOneBandFilterParams::kTypeOff));
    Post(*resampler, MakeSetIntEvent(cEffect1BandFilter::kParamEnable, 1));
    std::vector<float> left(kBlock, 0.0f), right(kBlock, 0.0f);
    left[0] = 1.0f;
    const cStereo out = RunStereo(*resampler, left, right);
    for (int32_t tap = 0; tap < cEffectTestResampler::kTaps; ++tap)
        EXPECT_FLOAT_EQ(out.left[size_t(tap)], cEffectTestResampler::kCoefficients[tap]) << tap;
    for (float x : out.right)
        ASSERT_EQ(x, 0.0f);
}

// Under "OFF" the FIR alone: DC comes out at the taps' sum; a reset starts
// the next block from silence.
TEST_F(HiddenUnits, TheResamplerFirAlone)
{
    auto resampler = Create<cEffectTestResampler>("TEST-RESAMPLER");
    Post(*resampler, MakeSetIntEvent(cEffect1BandFilter::kParamType, cOneBandFilterParams::kTypeOff));
    Post(*resampler, MakeSetIntEvent(cEffect1BandFilter::kParamEnable, 1));
    const std::vector<float> ones(kBlock, 1.0f);
    const cStereo out = RunStereo(*resampler, ones, ones);
    EXPECT_NEAR(out.left.back(), 0.95686f, 1e-5f);
    EXPECT_NEAR(out.right.back(), 0.95686f, 1e-5f);
    resampler->Reset();
    std::vector<float> impulse(kBlock, 0.0f);
    impulse[0] = 1.0f;
    EXPECT_FLOAT_EQ(RunStereo(*resampler, impulse, impulse).left[1], cEffectTestResampler::kCoefficients[1]);
}

TEST_F(HiddenUnits, TheFirSelfTestPrintsTheTaps)
{
    std::string section = "   ";
    for (int i = 0; i < 5; ++i)
        section += "0.0 ";
    for (int i = 1; i <= 6; ++i)
        section += std::to_string(i) + ".0 ";
    for (int i = 0; i < 7; ++i)
        section += "0.0 ";
    std::string expected;
    for (const char* form : {"fir_basic", "fir_shuffle", "fir_circular", "fir_split", "fir_double_z", "fir_double_h"})
    {
        if (!expected.empty())
            expected += "\n\n";
        expected += std::string("Testing ") + form + ":\n" + section;
    }
    EXPECT_EQ(Fir::SelfTestText(), expected);
}

// Forward against a DFT in double precision at every size, and back.
TEST_F(HiddenUnits, RealFFTMatchesTheDFT)
{
    for (int32_t n = 16; n <= 4096; n *= 2)
    {
        SCOPED_TRACE(n);
        cRealFFT fft;
        ASSERT_EQ(fft.SetSize(n), n / 2 + 1);
        std::vector<float> x(static_cast<size_t>(n));
        uint32_t seed = 99;
        for (float& v : x)
        {
            seed = seed * 1664525u + 1013904223u;
            v = float(int32_t(seed)) * (1.0f / 2147483648.0f);
        }
        x[3] += 2.0f; // a strong bin beside the noise
        std::vector<float> re(size_t(n / 2 + 1)), im(size_t(n / 2 + 1));
        fft.Forward(x.data(), re.data(), im.data());
        double largest = 0.0, error = 0.0;
        for (int32_t k = 0; k <= n / 2; ++k)
        {
            double sr = 0.0, si = 0.0;
            for (int32_t j = 0; j < n; ++j)
            {
                const double angle = -2.0 * 3.14159265358979323846 * double(j) * double(k) / double(n);
                sr += x[size_t(j)] * std::cos(angle);
                si += x[size_t(j)] * std::sin(angle);
            }
            largest = std::max(largest, std::hypot(sr, si));
            error = std::max(error, std::hypot(sr - re[size_t(k)], si - im[size_t(k)]));
        }
        EXPECT_LT(error, 1e-4 * largest);
        std::vector<float> back(static_cast<size_t>(n));
        fft.Inverse(back.data(), re.data(), im.data());
        for (int32_t j = 0; j < n; ++j)
            ASSERT_NEAR(back[size_t(j)], x[size_t(j)], 1e-5f) << j;
    }
    cRealFFT odd;
    EXPECT_EQ(odd.SetSize(1000), 0);
}

// A full-scale sine on both channels at bin 100: its target, how the held
// value climbs to it, its neighbours, and silence while off.
TEST_F(HiddenUnits, AnalyserSpectrum)
{
    auto analyser = Create<cEffectAnalyser>("ANALYSER");
    const auto sine = [](uint32_t f) { return float(std::sin(2.0 * 3.14159265358979323846 * 100.0 * f / 4096.0)); };
    const auto capture = [&](uint32_t frames)
    {
        RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { analyser->Process(info, b); }, sine, frames);
    };
    capture(4096);
    analyser->Analyse();
    EXPECT_FLOAT_EQ(analyser->GetSpectrum()[100], cEffectAnalyser::kSilence) << "off";

    analyser->SetEnabled(true);
    capture(4096);
    const float expected[] = {-0.44048f, 1.95071f, 1.99854f};
    for (float held : expected)
    {
        analyser->Analyse();
        EXPECT_NEAR(analyser->GetSpectrum()[100], held, 2e-4f);
    }
    for (int i = 0; i < 20; ++i)
        analyser->Analyse();
    EXPECT_NEAR(analyser->GetSpectrum()[100], 1.99951f, 2e-4f);
    EXPECT_NEAR(analyser->GetSpectrum()[99], 1.00012f, 2e-4f);
    EXPECT_NEAR(analyser->GetSpectrum()[101], 1.00012f, 2e-4f);
    EXPECT_LT(analyser->GetSpectrum()[300], 1e-3f);

    // Switched off, the next block is still captured; after it, nothing.
    analyser->SetEnabled(false);
    capture(kBlock);
    analyser->Analyse();
    EXPECT_FLOAT_EQ(analyser->GetSpectrum()[100], cEffectAnalyser::kSilence);
}

// The ring keeps the newest 4096 frames, oldest first, with the reset's
// zeros before the first ones captured.
TEST_F(HiddenUnits, AnalyserRing)
{
    auto analyser = Create<cEffectAnalyser>("ANALYSER");
    analyser->SetEnabled(true);
    const auto ramp = [](uint32_t f) { return float(f + 1); };
    RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { analyser->Process(info, b); }, ramp, 1000);
    analyser->CopyLatestFrames();
    const float* frames = analyser->GetFrames();
    EXPECT_EQ(frames[0], 0.0f);
    EXPECT_EQ(frames[2 * (4096 - 1000)], 1.0f);
    EXPECT_EQ(frames[2 * 4095 + 1], 1000.0f);

    // One block longer than the ring.
    cStereoBlock big(5000);
    for (uint32_t f = 0; f < 5000; ++f)
        big.L(f) = big.R(f) = float(f);
    analyser->Process(MakeInfo(5000), big.buffer);
    analyser->CopyLatestFrames();
    EXPECT_EQ(frames[0], 904.0f);
    EXPECT_EQ(frames[2 * 4095], 4999.0f);

    analyser->Reset();
    analyser->CopyLatestFrames();
    EXPECT_EQ(frames[2 * 4095], 0.0f);
}
