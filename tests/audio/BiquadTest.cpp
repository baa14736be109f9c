#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

#include "audio/Biquad.h"
#include "audio/Decibels.h"
#include "audio/FlushDenormals.h"
#include "audio/SignalMeasure.h"

namespace
{
constexpr uint32_t kMeasureFrames = 4096;

// |H| at cyclesPerSample from the section's own coefficients.
double Response(const cBiquad& s, double cyclesPerSample)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * cyclesPerSample);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((double(s.b0) + double(s.b1) * z1 + double(s.b2) * z2) /
                    (1.0 + double(s.a1) * z1 + double(s.a2) * z2));
}

// Runs a unit sine of k cycles per 4096 frames through the section on
// channel 0 and reads its amplitude once the start has died away.
double MeasuredGain(cBiquad& section, int k)
{
    const double cycles = double(k) / kMeasureFrames;
    cTestBlock block(3 * kMeasureFrames, 1);
    for (uint32_t i = 0; i < block.view.frames; ++i)
        block.At(i, 0) = float(std::sin(2.0 * std::numbers::pi * cycles * i));
    cBiquad* sections[1] = {&section};
    ProcessBiquadChannels(block.view, sections, 1);
    return ToneAmplitude(block.samples, 1, 0, 2 * kMeasureFrames, kMeasureFrames, cycles);
}

double DcGain(const cBiquad& s)
{
    return (double(s.b0) + s.b1 + s.b2) / (1.0 + s.a1 + s.a2);
}
} // namespace

TEST(BiquadTest, ResetPassesTheSignalAndForcesTheNextDesign)
{
    cBiquad s;
    EXPECT_EQ(s.type, cBiquad::kPassThrough);
    EXPECT_EQ(s.cutoff, -1.0f);
    EXPECT_EQ(s.q, -1.0f);
    cTestBlock block(8, 1);
    for (uint32_t i = 0; i < 8; ++i)
        block.At(i, 0) = float(i) - 3.5f;
    const std::vector<float> before = block.samples;
    cBiquad* sections[1] = {&s};
    ProcessBiquadChannels(block.view, sections, 1);
    EXPECT_EQ(block.samples, before);
}

TEST(BiquadTest, ResonantCoefficientsAtAQuarterOfTheRate)
{
    struct cCase
    {
        const char* what;
        void (cBiquad::*design)(float, float, float);
        float level;
        float a1, a2, b0, b1, b2;
    };
    const cCase cases[] = {
        {"low-pass", &cBiquad::SetLowPass, 1.0f, 0.0f, 1.0f / 3, 1.0f / 3, 2.0f / 3, 1.0f / 3},
        {"low-pass at level 0.5", &cBiquad::SetLowPass, 0.5f, 0.0f, 1.0f / 3, 1.0f / 6, 1.0f / 3, 1.0f / 6},
        {"high-pass", &cBiquad::SetHighPass, 1.0f, 0.0f, 1.0f / 3, 1.0f / 3, -2.0f / 3, 1.0f / 3},
        // Not normalised by 1 + alpha: sin(pi / 2) / 2.
        {"band-pass", &cBiquad::SetBandPass, 1.0f, 0.0f, 1.0f / 3, 0.5f, 0.0f, -0.5f},
    };
    for (const cCase& c : cases)
    {
        cBiquad s;
        (s.*c.design)(0.25f, 1.0f, c.level);
        EXPECT_NEAR(s.a1, c.a1, 1e-5f) << c.what;
        EXPECT_NEAR(s.a2, c.a2, 1e-5f) << c.what;
        EXPECT_NEAR(s.b0, c.b0, 1e-5f) << c.what;
        EXPECT_NEAR(s.b1, c.b1, 1e-5f) << c.what;
        EXPECT_NEAR(s.b2, c.b2, 1e-5f) << c.what;
    }
    cBiquad half;
    half.SetLowPass(0.1f, 0.7f, 0.5f);
    EXPECT_NEAR(DcGain(half), 0.5, 1e-5);
}

TEST(BiquadTest, SineGainMatchesTheResponseOfTheCoefficients)
{
    struct cDesign
    {
        const char* what;
        void (cBiquad::*design)(float, float, float);
        float cutoff, qOrDb, level;
    };
    const cDesign designs[] = {
        {"low-pass", &cBiquad::SetLowPass, 0.1f, 2.0f, 1.0f},
        {"band-pass", &cBiquad::SetBandPass, 0.2f, 2.0f, 0.5f},
        {"high-pass", &cBiquad::SetHighPass, 0.05f, 0.7f, 1.0f},
        {"low shelf", &cBiquad::SetLowShelf, 1000.0f / 44100, 12.0f, 1.0f},
        {"high shelf", &cBiquad::SetHighShelf, 1000.0f / 44100, -9.0f, 1.0f},
    };
    const int frequencies[] = {41, 205, 410, 819, 1229}; // in 4096ths: about 0.01 .. 0.3
    for (const cDesign& d : designs)
        for (int k : frequencies)
        {
            cBiquad s;
            (s.*d.design)(d.cutoff, d.qOrDb, d.level);
            const double expected = Response(s, double(k) / kMeasureFrames);
            EXPECT_NEAR(ToDb(MeasuredGain(s, k)), ToDb(expected), 0.05) << d.what << " at " << k;
        }
}

TEST(BiquadTest, BandPassPeaksAtQTimesOnePlusAlpha)
{
    cBiquad s;
    s.SetBandPass(0.2f, 2.0f, 0.5f);
    EXPECT_NEAR(Response(s, 0.2), 2.476 * 0.5, 0.01);
    EXPECT_NEAR(MeasuredGain(s, 819) / 0.5, 2.476, 0.02); // 819 / 4096 = 0.19995
}

TEST(BiquadTest, ShelfCoefficientsAndPolarity)
{
    const double twoPi = 2.0 * std::numbers::pi;
    const float c = 1000.0f / 44100;
    for (float db : {-12.0f, 0.0f, 12.0f})
    {
        const double g = FastDbToGain(db);
        cBiquad low, high;
        low.SetLowShelf(c, db, 0.8f);
        high.SetHighShelf(c, db, 0.8f);
        // Low shelf: pole c / G and zero c when cutting, pole c and zero G c when lifting.
        const double lowPole = g <= 1.0 ? c / g : c, lowZero = g <= 1.0 ? c : g * c;
        EXPECT_NEAR(low.a1, -std::exp(-twoPi * lowPole), 1e-6) << db;
        EXPECT_NEAR(low.b0, 0.8, 1e-6) << db;
        EXPECT_NEAR(low.b1, -std::exp(-twoPi * lowZero) * 0.8, 1e-6) << db;
        EXPECT_EQ(low.a2, 0.0f);
        EXPECT_EQ(low.b2, 0.0f);
        // High shelf: k = (pole / zero) x level with b0 = -k, so it inverts.
        const double highPole = g <= 1.0 ? c : g * c, highZero = g <= 1.0 ? c / g : c;
        const double k = highPole / highZero * 0.8;
        EXPECT_NEAR(high.a1, -std::exp(-twoPi * highPole), 1e-6) << db;
        EXPECT_NEAR(high.b0, -k, 1e-6) << db;
        EXPECT_NEAR(high.b1, k * std::exp(-twoPi * highZero), 1e-6) << db;
        EXPECT_GT(DcGain(low), 0.0) << db;
        EXPECT_LT(DcGain(high), 0.0) << db;
    }
    // At 0 dB the bit-pattern gain is 0.99638, not 1: the shelf is a hair low.
    EXPECT_NEAR(FastDbToGain(0.0f), 0.99638f, 1e-5f);
    cBiquad flat;
    flat.SetLowShelf(c, 0.0f, 1.0f);
    EXPECT_NEAR(DcGain(flat), 0.99638, 5e-4);

    // Gains clamp to +-30 dB; shelves store no Q.
    cBiquad steep, limit;
    steep.SetLowShelf(c, 80.0f, 1.0f);
    limit.SetLowShelf(c, 30.0f, 1.0f);
    EXPECT_EQ(steep.a1, limit.a1);
    EXPECT_EQ(steep.b1, limit.b1);
    EXPECT_EQ(steep.q, 0.0f);
}

TEST(BiquadTest, AnUnchangedDesignLeavesCoefficientsAndHistoryAlone)
{
    cBiquad s;
    s.SetLowPass(0.1f, 3.0f, 1.0f);
    cTestBlock block(64, 1, 0.25f);
    cBiquad* sections[1] = {&s};
    ProcessBiquadChannels(block.view, sections, 1);
    const cBiquad before = s;
    s.SetLowPass(0.1f, 3.0f, 1.0f);
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);
    s.SetLowPass(0.1f, 3.0f, 0.9f);
    EXPECT_NE(s.b1, before.b1);
    EXPECT_EQ(s.y1, before.y1);
}

TEST(BiquadTest, CutoffsClampToTheDesignRange)
{
    cBiquad below, above;
    below.SetHighPass(-0.2f, 1.0f, 1.0f);
    above.SetLowPass(0.7f, 1.0f, 1.0f);
    EXPECT_EQ(below.cutoff, 0.0f);
    EXPECT_EQ(above.cutoff, 0.499f);
}

TEST(BiquadTest, CountSelectsTheChannelsFiltered)
{
    cBiquad sections[4];
    for (cBiquad& s : sections)
        s.SetLowPass(0.05f, 1.0f, 0.5f);
    cBiquad* pointers[4] = {&sections[0], &sections[1], &sections[2], &sections[3]};
    for (int32_t count : {1, 2, 4})
    {
        cTestBlock block(16, 4, 1.0f);
        ProcessBiquadChannels(block.view, pointers, count);
        for (uint32_t c = 0; c < 4; ++c)
        {
            const bool filtered = int32_t(c) < count;
            EXPECT_EQ(block.At(15, c) != 1.0f, filtered) << "count " << count << " channel " << c;
        }
    }
}

TEST(BiquadTest, AnEmptyBlockChangesNothing)
{
    cBiquad s;
    s.SetLowPass(0.1f, 1.0f, 1.0f);
    s.x1 = 0.5f;
    const cBiquad before = s;
    cTestBlock block(0, 2);
    cBiquad* sections[2] = {&s, &s};
    ProcessBiquadChannels(block.view, sections, 2);
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);
}

// Every thread that renders audio flushes denormals; under that mode a
// resonant tail sinks far below hearing and never into the denormal range
// (rounding may keep it ringing there, at normal, cheap values).
TEST(BiquadTest, TailsNeverTurnDenormalOnARenderThread)
{
    const cScopedFlushDenormals flush;
    cBiquad s;
    s.SetLowPass(0.01f, 8.0f, 1.0f);
    cTestBlock block(44100, 1);
    block.At(0, 0) = 1.0f;
    cBiquad* sections[1] = {&s};
    for (uint32_t start = 0; start < block.view.frames; start += 128)
    {
        cAudioBuffer view;
        view.Describe(kAudioFormatFloat, std::min(128u, block.view.frames - start), 1, &block.At(start, 0));
        ProcessBiquadChannels(view, sections, 1);
    }
    for (float y : block.samples)
        ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL);
    EXPECT_LT(std::fabs(block.At(44099, 0)), 1e-30f);
    for (float history : {s.x1, s.x2, s.y1, s.y2})
        EXPECT_NE(std::fpclassify(history), FP_SUBNORMAL);
}

// The mode is the thread's own and comes back after a scoped render.
TEST(BiquadTest, TheScopedFlushRestoresTheThreadsMode)
{
    const bool before = AreDenormalsFlushed();
    {
        const cScopedFlushDenormals flush;
        EXPECT_TRUE(AreDenormalsFlushed());
        volatile float tiny = 1e-30f;
        EXPECT_EQ(tiny * 1e-10f, 0.0f);
    }
    EXPECT_EQ(AreDenormalsFlushed(), before);
}

// Stereo and four-channel blocks run their sections side by side: each
// channel comes out exactly as it does alone, whatever the stride.
TEST(BiquadTest, SectionsSideBySideMatchEachChannelAlone)
{
    for (uint32_t channels : {2u, 3u, 4u})
        for (int32_t count = 1; count <= int32_t(channels); ++count)
        {
            cTestBlock block(200, channels);
            for (uint32_t f = 0; f < 200; ++f)
                for (uint32_t c = 0; c < channels; ++c)
                    block.At(f, c) = float(std::sin(0.05 * f * (c + 1) + c)) + (f % 17 == 0 ? 0.5f : 0.0f);
            cBiquad together[4], alone[4];
            cBiquad* pointers[4];
            for (int32_t c = 0; c < 4; ++c)
            {
                together[c].SetLowPass(0.02f + 0.07f * float(c), 0.7f + float(c), 1.0f - 0.1f * float(c));
                alone[c].CopySettings(together[c]);
                pointers[c] = &together[c];
            }
            cTestBlock expected = block;
            ProcessBiquadChannels(block.view, pointers, count);
            for (int32_t c = 0; c < count; ++c)
            {
                cTestBlock one(200, 1);
                for (uint32_t f = 0; f < 200; ++f)
                    one.At(f, 0) = expected.At(f, uint32_t(c));
                cBiquad* single[1] = {&alone[c]};
                ProcessBiquadChannels(one.view, single, 1);
                for (uint32_t f = 0; f < 200; ++f)
                    expected.At(f, uint32_t(c)) = one.At(f, 0);
                EXPECT_EQ(std::memcmp(&alone[c].x1, &together[c].x1, 4 * sizeof(float)), 0);
            }
            EXPECT_EQ(block.samples, expected.samples) << channels << " channels, count " << count;
        }
}
