#include "instruments/synth/ModMatrixEvaluator.h"

#include <initializer_list>

#include "audio/SafeValues.h"
#include "instruments/synth/ModMatrix.h"

namespace
{
enum eOscPar : int32_t
{
    kPan = 0,
    kMix = 1,
    kPitchA = 2,
    kPitchB = 3,
    kPitchAB = 4,
    kPitchAMinusB = 5,
};

struct cSourceValue
{
    float value;
    float scale;
    bool centred; // LFOs and controls swing about 0.5 for "Osc"
};

cSourceValue SourceValue(int32_t row, const cModSources& sources)
{
    if (row < cModMatrix::kSourceAuxEnv)
        return {sources.lfoValue[row], sources.lfoDepth[row], true};
    if (row == cModMatrix::kSourceAuxEnv)
        return {sources.auxEnvOutput, sources.auxEnvAmount, false};
    if (row == cModMatrix::kSourceVelocity)
        return {cModMatrixEvaluator::VelocityValue(sources.velocity), 1.0f, true};
    return {sources.controllers ? sources.controllers[row - 2] : 0.0f, 1.0f, true};
}

void AddOsc(cModulationSums& sums, int32_t par, float v)
{
    switch (par)
    {
    case kPan:
        sums.oscPan += v;
        break;
    case kMix:
        sums.oscMix += v;
        break;
    case kPitchA:
        sums.oscPitchA += v;
        break;
    case kPitchB:
        sums.oscPitchB += v;
        break;
    case kPitchAB:
        sums.oscPitchA += v;
        sums.oscPitchB += v;
        break;
    default:
        sums.oscPitchA += v;
        sums.oscPitchB -= v;
        break;
    }
}

// The sum a destination's parameter addresses; the parameter is in range.
float* Target(cModulationSums& sums, int32_t dest, int32_t par)
{
    switch (dest)
    {
    case cModMatrix::kDestFilter:
        return par == 0 ? &sums.filterCutoff : &sums.filterQ;
    case cModMatrix::kDestFilterEnv:
        return &sums.filterEnv[par];
    case cModMatrix::kDestAmp:
        return &sums.ampAmount;
    case cModMatrix::kDestAmpEnv:
        return &sums.ampEnv[par];
    case cModMatrix::kDestAuxEnv:
        return &sums.auxEnv[par];
    case cModMatrix::kDestSample:
        if (par == 1)
            sums.sampleLengthModulated = 1;
        return par == 0 ? &sums.sampleStart : &sums.sampleLength;
    default:
        return &sums.lfo[dest - cModMatrix::kDestLFO1][par];
    }
}
} // namespace

float cModMatrixEvaluator::VelocityValue(float velocity)
{
    return ClampFloat((velocity - 0.2f) * 1.25f, 0.0f, 1.0f);
}

void cModMatrixEvaluator::Evaluate(const cModSources& sources)
{
    sums = {};
    if (!matrix)
        return;
    for (int32_t row = 0; row < cModMatrix::kRowCount; ++row)
    {
        const int32_t dest = matrix->GetActiveDest(row);
        if (dest == cModMatrix::kDestOff || dest >= cModMatrix::kDestWaveShaper)
            continue;
        const cModMatrixRow& r = matrix->rows[row];
        cSourceValue source = SourceValue(row, sources);
        float e = float(r.Amt) * 0.01f * source.scale;
        if (dest == cModMatrix::kDestOsc)
        {
            if (source.centred)
            {
                source.value -= 0.5f;
                e *= 2.0f;
            }
            AddOsc(sums, r.Par, source.value * e);
        }
        else
            *Target(sums, dest, r.Par) += source.value * e;
    }
    SanitiseSums();
}

void cModMatrixEvaluator::SanitiseSums()
{
    for (float* sum : {&sums.oscPan, &sums.oscMix, &sums.oscPitchA, &sums.oscPitchB, &sums.sampleStart,
                       &sums.sampleLength, &sums.filterCutoff, &sums.filterQ, &sums.ampAmount})
        *sum = FiniteOr0(*sum);
    for (int32_t i = 0; i < 5; ++i)
    {
        sums.filterEnv[i] = FiniteOr0(sums.filterEnv[i]);
        sums.ampEnv[i] = FiniteOr0(sums.ampEnv[i]);
        sums.auxEnv[i] = FiniteOr0(sums.auxEnv[i]);
    }
    for (auto& lfo : sums.lfo)
        lfo[0] = FiniteOr0(lfo[0]), lfo[1] = FiniteOr0(lfo[1]);
}
