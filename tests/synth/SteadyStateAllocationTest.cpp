#include <gtest/gtest.h>

#include "audio/AllocationCounter.h"
#include "audio/AudioBufferPool.h"
#include "audio/Biquad.h"
#include "audio/ChorusDelay.h"
#include "audio/ScopedTransport.h"
#include "audio/LFO.h"
#include "audio/ScopedWaveBank.h"
#include "audio/SignalMeasure.h"
#include "audio/WaveList.h"
#include "audio/WaveShaper.h"
#include "base/FastMath.h"
#include "instruments/synth/ControllerValues.h"
#include "instruments/synth/Envelope.h"
#include "instruments/synth/FilterSection.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/ModMatrixEvaluator.h"
#include "instruments/synth/OscillatorSection.h"

namespace
{
constexpr uint32_t kBlock = 128;

// One voice's control blocks and the effects behind it, as the synthesizer
// runs them per block.
struct cVoiceAndEffects
{
    cEnvelopeParams envelopeParams;
    cEnvelope envelope;
    cLFOParams lfoParams[4];
    cLFO lfo[4];
    cModMatrix matrix;
    cModMatrixEvaluator evaluator;
    cControllerValues controllers;
    cAudioBufferPool pool{2, kBlock};
    cOscSectionParams oscParams;
    cOscSection osc;
    cFilterParams filterParams;
    cFilterSection filter;
    cWaveShapeParams driveParams;
    cWaveShaper drive;
    cChorusDelayParams chorusParams;
    cChorusDelay chorus{1.0f};

    cVoiceAndEffects()
    {
        envelope.params = &envelopeParams;
        for (int i = 0; i < 4; ++i)
        {
            lfoParams[i] = {i + 3, 3.0f, 4, 0.5f, 0.1f, i % 3};
            lfo[i].params = &lfoParams[i];
        }
        evaluator.matrix = &matrix;
        oscParams.Osc1.Wave = kWaveSaw;
        oscParams.Osc2.Wave = kWaveSquare;
        osc.Reset();
        osc.SetParams(&oscParams);
        filterParams.Slope = cFilterParams::kSlope24;
        filter.params = &filterParams;
        driveParams.Enable = 1;
        drive.params = &driveParams;
        chorusParams.Enable = 1;
        chorus.params = &chorusParams;
        envelope.Trigger();
    }

    void Render(const cAudioProcessInfo& info, cTestBlock& block, int32_t index)
    {
        cModSources sources{};
        for (int i = 0; i < 4; ++i)
        {
            sources.lfoValue[i] = lfo[i].Process(evaluator.sums.lfo[i], info.duration);
            sources.lfoDepth[i] = lfo[i].GetDepth();
        }
        sources.velocity = 0.8f;
        sources.controllers = controllers.values;
        evaluator.Evaluate(sources);
        envelope.Process(evaluator.sums.filterEnv, info.duration);
        oscParams.Mod = (index / 8) % 4;
        osc.Control(evaluator.sums, 48.0f + float(index % 24));
        osc.Render(info, block.view, &pool);
        filterParams.Cutoff = 0.3f + 0.001f * float(index % 100);
        filter.Update(info, envelope.GetLevel() * envelope.GetAmount(), 60, &evaluator.sums.filterCutoff);
        for (int32_t s = 0; s < filter.GetStageCount(); ++s)
        {
            cBiquad* stage[1] = {filter.GetStage(s)};
            ProcessBiquadChannels(block.view, stage, 1);
        }
        driveParams.Shape = 1 + index % 7;
        driveParams.Drive = 0.001f * float(index % 500);
        cModuleModulation global;
        EvaluateModuleModulation(matrix, controllers.values, global);
        drive.Process(info, block.view, global.waveShaper);
        chorusParams.Type = (index / 16) % 4;
        chorus.Process(info, block.view, block.view, global.chorus, global.delay);
    }
};
} // namespace

TEST(SteadyStateAllocationTest, BlocksAllocateNothingOnceRunning)
{
    InitFastMathTables();
    BuildShapeTables();
    cScopedTransport transport;
    cScopedWaveBank bank;
    const cAudioProcessInfo info = MakeProcessInfo(kBlock);
    cVoiceAndEffects voice;
    cTestBlock block(kBlock, 2);
    voice.Render(info, block, 0);

    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    for (int32_t i = 1; i <= 400; ++i)
    {
        for (uint32_t f = 0; f < kBlock; ++f)
            block.At(f, 0) = block.At(f, 1) = 0.25f * float((f + i) % 7) - 0.75f;
        if (i == 200)
            voice.envelope.Release();
        voice.Render(info, block, i);
    }
    const uint64_t counted = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(counted, 0u);
}
