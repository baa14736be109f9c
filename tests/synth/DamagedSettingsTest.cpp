// Settings from a damaged file or a stray event must never reach undefined
// conversions, write outside a block, or leave a filter history or a delay
// line non-finite: every block below runs with one field (or one modulation
// sum) damaged at a time, then with sound settings again, and its output must
// stay finite with the memory around the block untouched.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "audio/AudioBufferPool.h"
#include "audio/Biquad.h"
#include "audio/BitCrusher.h"
#include "audio/ChorusDelay.h"
#include "audio/ScopedTransport.h"
#include "audio/LFO.h"
#include "audio/ScopedWaveBank.h"
#include "audio/SignalMeasure.h"
#include "audio/WaveList.h"
#include "audio/WaveShaper.h"
#include "base/FastMath.h"
#include "instruments/synth/Envelope.h"
#include "instruments/synth/FilterSection.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/ModMatrixEvaluator.h"
#include "instruments/synth/OscillatorSection.h"

namespace
{
constexpr uint32_t kBlock = 128;
constexpr uint32_t kChannels = 4; // blocks touch at most channels 0 and 1 here
constexpr uint32_t kGuardFrames = 16;
constexpr float kSentinel = 7.25f;

const float kDamagedFloats[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, FLT_MAX, -FLT_MAX};
const int32_t kDamagedInts[] = {99, -5, INT_MAX, INT_MIN};

// A four-channel block followed by guard frames; a test signal on channels
// 0 and 1 and a sentinel everywhere else.
class cGuardedBlock
{
public:
    cGuardedBlock() : mSamples(size_t(kBlock + kGuardFrames) * kChannels, kSentinel)
    {
        view.Describe(kAudioFormatFloat, kBlock, kChannels, mSamples.data());
    }

    void Fill(uint32_t blockIndex)
    {
        for (uint32_t i = 0; i < kBlock; ++i)
        {
            const float t = float(blockIndex * kBlock + i);
            mSamples[i * kChannels] = 0.5f * std::sin(0.05f * t);
            mSamples[i * kChannels + 1] = 0.5f * std::cos(0.031f * t);
        }
    }

    // Empty when channels 0 and 1 are finite and nothing else changed.
    std::string Check() const
    {
        for (uint32_t i = 0; i < kBlock + kGuardFrames; ++i)
            for (uint32_t c = 0; c < kChannels; ++c)
            {
                const float v = mSamples[i * kChannels + c];
                const bool inside = i < kBlock && c < 2;
                if (inside && !std::isfinite(v))
                    return "non-finite output at frame " + std::to_string(i);
                if (!inside && v != kSentinel)
                    return "touched outside at frame " + std::to_string(i) + " channel " + std::to_string(c);
            }
        return "";
    }

    cAudioBuffer view;

private:
    std::vector<float> mSamples;
};

std::string Describe(float value)
{
    return std::to_string(value);
}

// Runs `process` over a few blocks with the damage applied, then a few with
// it repaired; reports the first fault.
std::string RunDamaged(const std::function<void()>& damage, const std::function<void()>& repair,
                       const std::function<void(cGuardedBlock&)>& process)
{
    cGuardedBlock block;
    damage();
    for (uint32_t b = 0; b < 6; ++b)
    {
        block.Fill(b);
        process(block);
        if (std::string fault = block.Check(); !fault.empty())
            return "damaged: " + fault;
    }
    repair();
    for (uint32_t b = 6; b < 12; ++b)
    {
        block.Fill(b);
        process(block);
        if (std::string fault = block.Check(); !fault.empty())
            return "repaired: " + fault;
    }
    return "";
}

class DamagedSettingsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitFastMathTables();
        BuildShapeTables();
    }

    cScopedTransport transport;
    cAudioProcessInfo info = MakeProcessInfo(kBlock);
};
} // namespace

TEST_F(DamagedSettingsTest, BiquadDesigns)
{
    using tDesign = void (cBiquad::*)(float, float, float);
    const tDesign designs[] = {&cBiquad::SetLowPass, &cBiquad::SetBandPass, &cBiquad::SetHighPass,
                               &cBiquad::SetLowShelf, &cBiquad::SetHighShelf};
    for (tDesign design : designs)
        for (int argument = 0; argument < 3; ++argument)
            for (float bad : {kDamagedFloats[0], kDamagedFloats[1], kDamagedFloats[4], 0.0f, -1.0f})
            {
                cBiquad left, right;
                cBiquad* sections[2] = {&left, &right};
                float args[3] = {0.1f, 2.0f, 1.0f};
                args[argument] = bad;
                const std::string fault = RunDamaged(
                    [&] {
                        (left.*design)(args[0], args[1], args[2]);
                        right.CopySettings(left);
                    },
                    [&] {
                        (left.*design)(0.1f, 2.0f, 1.0f);
                        right.CopySettings(left);
                    },
                    [&](cGuardedBlock& block) { ProcessBiquadChannels(block.view, sections, 2); });
                EXPECT_EQ(fault, "") << "argument " << argument << " = " << Describe(bad);
            }
}

TEST_F(DamagedSettingsTest, DriveInEveryShape)
{
    for (int32_t shape = 1; shape <= 7; ++shape)
        for (int field = 0; field < 6; ++field)
            for (float bad : kDamagedFloats)
            {
                cWaveShapeParams params;
                params.Enable = 1;
                params.Shape = shape;
                cWaveShaper shaper;
                shaper.params = &params;
                float sums[3] = {0.1f, -0.1f, 0.05f};
                const cWaveShapeParams sound = params;
                const std::string fault = RunDamaged(
                    [&] {
                        if (field == 0)
                            params.Drive = bad;
                        else if (field == 1)
                            params.Bright = bad;
                        else if (field == 2)
                            params.Out = bad;
                        else
                            sums[field - 3] = bad;
                    },
                    [&] { params = sound, sums[0] = sums[1] = sums[2] = 0.0f; },
                    [&](cGuardedBlock& block) { shaper.Process(info, block.view, sums); });
                EXPECT_EQ(fault, "") << "shape " << shape << " field " << field << " = " << Describe(bad);
            }
    for (int32_t shape : kDamagedInts)
    {
        cWaveShapeParams params;
        params.Enable = 1;
        cWaveShaper shaper;
        shaper.params = &params;
        const std::string fault = RunDamaged([&] { params.Shape = shape; }, [&] { params.Shape = 1; },
                                             [&](cGuardedBlock& block) { shaper.Process(info, block.view, nullptr); });
        EXPECT_EQ(fault, "") << "shape " << shape;
    }
}

TEST_F(DamagedSettingsTest, BitCrusher)
{
    for (int field = 0; field < 2; ++field)
        for (float bad : kDamagedFloats)
        {
            cBitCrusherParams params{1, 0.5f, 0.5f};
            cBitCrusher crusher;
            crusher.params = &params;
            const std::string fault = RunDamaged([&] { (field ? params.Freq : params.Bits) = bad; },
                                                 [&] { params = {1, 0.5f, 0.5f}; },
                                                 [&](cGuardedBlock& block) { crusher.Process(block.view); });
            EXPECT_EQ(fault, "") << "field " << field << " = " << Describe(bad);
        }
}

TEST_F(DamagedSettingsTest, ChorusAndDelayOfEveryType)
{
    float cChorusDelayParams::*const floats[] = {&cChorusDelayParams::CRate,     &cChorusDelayParams::CDelay,
                                                 &cChorusDelayParams::CDepth,    &cChorusDelayParams::CFeedback,
                                                 &cChorusDelayParams::DTime,     &cChorusDelayParams::DFeedback,
                                                 &cChorusDelayParams::DAmount};
    int32_t cChorusDelayParams::*const ints[] = {&cChorusDelayParams::Sync, &cChorusDelayParams::DBeatTime};
    for (int32_t type = 0; type < 4; ++type)
        for (int32_t sync : {0, 1})
        {
            cChorusDelayParams sound;
            sound.Type = type;
            sound.Enable = 1;
            sound.Sync = sync;
            sound.DFeedback = 0.9f;
            auto run = [&](const std::function<void(cChorusDelayParams&, float*, float*)>& damage) {
                cChorusDelayParams params = sound;
                cChorusDelay engine(1.0f);
                engine.params = &params;
                float chorusSums[4] = {}, delaySums[3] = {};
                return RunDamaged([&] { damage(params, chorusSums, delaySums); },
                                  [&] {
                                      params = sound;
                                      std::fill(chorusSums, chorusSums + 4, 0.0f);
                                      std::fill(delaySums, delaySums + 3, 0.0f);
                                  },
                                  [&](cGuardedBlock& block) {
                                      const float level = engine.Process(info, block.view, block.view, chorusSums, delaySums);
                                      ASSERT_TRUE(std::isfinite(level));
                                  });
            };
            for (float bad : kDamagedFloats)
            {
                for (auto field : floats)
                    EXPECT_EQ(run([&](cChorusDelayParams& p, float*, float*) { p.*field = bad; }), "")
                        << "type " << type << " sync " << sync << " = " << Describe(bad);
                for (int sum = 0; sum < 4; ++sum)
                    EXPECT_EQ(run([&](cChorusDelayParams&, float* c, float*) { c[sum] = bad; }), "")
                        << "type " << type << " chorus sum " << sum << " = " << Describe(bad);
                for (int sum = 0; sum < 3; ++sum)
                    EXPECT_EQ(run([&](cChorusDelayParams&, float*, float* d) { d[sum] = bad; }), "")
                        << "type " << type << " delay sum " << sum << " = " << Describe(bad);
            }
            for (int32_t bad : kDamagedInts)
                for (auto field : ints)
                    EXPECT_EQ(run([&](cChorusDelayParams& p, float*, float*) { p.*field = bad; }), "")
                        << "type " << type << " = " << bad;
        }
    for (int32_t type : kDamagedInts)
    {
        cChorusDelayParams params;
        params.Enable = 1;
        cChorusDelay engine(1.0f);
        engine.params = &params;
        const std::string fault =
            RunDamaged([&] { params.Type = type; }, [&] { params.Type = 0; },
                       [&](cGuardedBlock& block) { engine.Process(info, block.view, block.view, nullptr, nullptr); });
        EXPECT_EQ(fault, "") << "type " << type;
    }
}

TEST_F(DamagedSettingsTest, ControlRateGenerators)
{
    for (float bad : kDamagedFloats)
    {
        for (int32_t sync = 0; sync < 3; ++sync)
            for (int32_t shape = 0; shape < 7; ++shape)
                for (int field = 0; field < 5; ++field)
                {
                    cLFOParams params{shape, 2.0f, 4, 0.5f, 0.5f, sync};
                    float modulation[2] = {0.1f, 0.1f};
                    if (field == 0)
                        params.Rate = bad;
                    else if (field == 1)
                        params.Amount = bad;
                    else if (field == 2)
                        params.Delay = bad;
                    else
                        modulation[field - 3] = bad;
                    cLFO lfo;
                    lfo.params = &params;
                    lfo.SetReferenceTime(-1e30);
                    lfo.Trigger();
                    for (int b = 0; b < 8; ++b)
                    {
                        const float value = lfo.Process(modulation, b == 3 ? bad : 128.0f / 44100);
                        ASSERT_TRUE(std::isfinite(value) && std::isfinite(lfo.GetDepth()))
                            << "sync " << sync << " shape " << shape << " field " << field << " = " << Describe(bad);
                        ASSERT_TRUE(lfo.GetPhase() >= 0.0f && lfo.GetPhase() < 1.0f);
                    }
                }
        for (int field = 0; field < 11; ++field)
        {
            cEnvelopeParams params{3, 0.2f, 0.3f, 0.5f, 0.4f, 1.0f, 0};
            float modulation[5] = {0.1f, 0.1f, 0.1f, 0.1f, 0.1f};
            float* fields[6] = {&params.A, &params.D, &params.S, &params.R, &params.Amount};
            if (field < 5)
                *fields[field] = bad;
            else if (field < 10)
                modulation[field - 5] = bad;
            cEnvelope envelope;
            envelope.params = &params;
            envelope.Trigger();
            for (int b = 0; b < 2000; ++b)
            {
                if (b == 1000)
                    envelope.Release();
                const float level = envelope.Process(modulation, field == 10 && b == 3 ? bad : 128.0f / 44100);
                ASSERT_TRUE(std::isfinite(level) && std::isfinite(envelope.GetAmount()))
                    << "field " << field << " = " << Describe(bad);
                ASSERT_TRUE(level >= 0.0f && level <= 1.0f) << "field " << field << " = " << Describe(bad);
            }
        }
    }
    for (int32_t bad : kDamagedInts)
    {
        cLFOParams params{bad, 2.0f, bad, 0.5f, 0.0f, bad};
        cLFO lfo;
        lfo.params = &params;
        lfo.Trigger();
        for (int32_t sync : {bad, int32_t(cLFOParams::kSyncBeat)})
        {
            params.Sync = sync;
            const float up[2] = {1e30f, 0.0f};
            EXPECT_TRUE(std::isfinite(lfo.Process(up, 0.01f)));
        }
    }
}

TEST_F(DamagedSettingsTest, MatrixSums)
{
    const float controllers[9] = {0, 0, 0, 0, FLT_MAX, -FLT_MAX, std::numeric_limits<float>::quiet_NaN(), 1e30f, 1.0f};
    for (int32_t amt : {INT_MAX, INT_MIN, 100})
        for (float bad : kDamagedFloats)
        {
            cModMatrix matrix;
            for (int32_t row = 0; row < cModMatrix::kRowCount; ++row)
            {
                matrix.rows[row].Amt = amt;
                matrix.rows[row].Dest = 1 + row % 15;
                matrix.rows[row].Par = 0;
            }
            cModMatrixEvaluator evaluator;
            evaluator.matrix = &matrix;
            cModSources sources{};
            for (int i = 0; i < 4; ++i)
                sources.lfoValue[i] = bad, sources.lfoDepth[i] = FLT_MAX;
            sources.auxEnvOutput = bad;
            sources.auxEnvAmount = bad;
            sources.velocity = bad;
            sources.controllers = controllers;
            evaluator.Evaluate(sources);
            const float* sums = &evaluator.sums.oscPan;
            for (float v : {sums[0], sums[1], sums[2], sums[3], evaluator.sums.filterCutoff, evaluator.sums.ampAmount,
                            evaluator.sums.lfo[0][0], evaluator.sums.filterEnv[0], evaluator.sums.sampleStart})
                EXPECT_TRUE(std::isfinite(v)) << amt << " " << Describe(bad);
            cModuleModulation module;
            EvaluateModuleModulation(matrix, controllers, module);
            for (float v : module.waveShaper)
                EXPECT_TRUE(std::isfinite(v));
            for (float v : module.send)
                EXPECT_TRUE(std::isfinite(v));
        }
}

TEST_F(DamagedSettingsTest, FilterSection)
{
    for (int32_t type = 1; type <= 3; ++type)
        for (int32_t track : {0, 1})
            for (float bad : kDamagedFloats)
                for (int field = 0; field < 6; ++field)
                {
                    cFilterParams params{type, 1, 0.5f, 0.5f, 0.0f, track};
                    cFilterSection section;
                    section.params = &params;
                    float sums[2] = {0.0f, 0.0f};
                    float offset = 0.1f;
                    const std::string fault = RunDamaged(
                        [&] {
                            if (field == 0)
                                params.Cutoff = bad;
                            else if (field == 1)
                                params.Q = bad;
                            else if (field == 2)
                                params.fifth = bad;
                            else if (field == 3)
                                offset = bad;
                            else
                                sums[field - 4] = bad;
                        },
                        [&] { params = {type, 1, 0.5f, 0.5f, 0.0f, track}, offset = 0.0f, sums[0] = sums[1] = 0.0f; },
                        [&](cGuardedBlock& block) {
                            section.Update(info, offset, field == 5 ? INT_MAX : 60, sums);
                            for (int32_t s = 0; s < section.GetStageCount(); ++s)
                            {
                                cBiquad* stage[1] = {section.GetStage(s)};
                                ProcessBiquadChannels(block.view, stage, 1);
                            }
                        });
                    EXPECT_EQ(fault, "") << "type " << type << " field " << field << " = " << Describe(bad);
                }
}

TEST_F(DamagedSettingsTest, OscillatorSectionInEveryMode)
{
    cScopedWaveBank bank;
    cAudioBufferPool pool(2, kBlock);
    for (int32_t mode = 0; mode < 5; ++mode)
        for (int field = 0; field < 8; ++field)
            for (float bad : kDamagedFloats)
            {
                cOscSectionParams params;
                params.Osc1 = {kWaveSaw, 0.0f, 0.0f};
                params.Osc2 = {kWaveSquare, 0.0f, 0.0f};
                params.Mod = mode;
                params.Detune = 0.25f;
                const cOscSectionParams sound = params;
                cOscSection section;
                section.Reset();
                section.SetParams(&params);
                cModulationSums sums{};
                float note = 60.0f;
                float* targets[8] = {&params.Osc1.Trans, &params.Osc2.Tune, &params.Detune, &params.Mix,
                                     &sums.oscMix,       &sums.oscPitchA,   &sums.oscPitchB, &note};
                const std::string fault = RunDamaged(
                    [&] { *targets[field] = bad; }, [&] { params = sound, sums = {}, note = 60.0f; },
                    [&](cGuardedBlock& block) {
                        section.Control(sums, note);
                        section.Render(info, block.view, &pool);
                    });
                EXPECT_EQ(fault, "") << "mode " << mode << " field " << field << " = " << Describe(bad);
            }
    for (int32_t bad : kDamagedInts)
        for (int field = 0; field < 3; ++field)
        {
            cOscSectionParams params;
            params.Osc1.Wave = params.Osc2.Wave = kWaveSine;
            cOscSection section;
            section.Reset();
            section.SetParams(&params);
            int32_t* targets[3] = {&params.Osc1.Wave, &params.Osc2.Wave, &params.Mod};
            const cModulationSums sums{};
            const std::string fault = RunDamaged([&] { *targets[field] = bad; }, [&] { *targets[field] = 1; },
                                                 [&](cGuardedBlock& block) {
                                                     section.Control(sums, 60.0f);
                                                     section.Render(info, block.view, &pool);
                                                 });
            EXPECT_EQ(fault, "") << "field " << field << " = " << bad;
        }
}
