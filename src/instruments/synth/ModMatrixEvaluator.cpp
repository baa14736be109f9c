#include "instruments/synth/ModMatrixEvaluator.h"

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

// The sums a row of the oscillator destination adds to: one, or two for
// the pitch pairs, and the sign of the second.
struct cOscTargets
{
    float* first;
    float* second;
    float secondSign;
};

cOscTargets OscTargets(cModulationSums& sums, int32_t par)
{
    switch (par)
    {
    case kPan:
        return {&sums.oscPan, nullptr, 0.0f};
    case kMix:
        return {&sums.oscMix, nullptr, 0.0f};
    case kPitchA:
        return {&sums.oscPitchA, nullptr, 0.0f};
    case kPitchB:
        return {&sums.oscPitchB, nullptr, 0.0f};
    case kPitchAB:
        return {&sums.oscPitchA, &sums.oscPitchB, 1.0f};
    default:
        return {&sums.oscPitchA, &sums.oscPitchB, -1.0f};
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

// Only the sums a row adds to can come out non-finite; the others stay 0.
void cModMatrixEvaluator::Evaluate(const cModSources& sources)
{
    sums = {};
    if (!matrix)
        return;
    float* touched[2 * cModMatrix::kRowCount];
    int32_t count = 0;
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
            const float v = source.value * e;
            const cOscTargets targets = OscTargets(sums, r.Par);
            *targets.first += v;
            touched[count++] = targets.first;
            if (targets.second)
            {
                if (targets.secondSign > 0.0f)
                    *targets.second += v;
                else
                    *targets.second -= v;
                touched[count++] = targets.second;
            }
        }
        else
        {
            float* target = Target(sums, dest, r.Par);
            *target += source.value * e;
            touched[count++] = target;
        }
    }
    for (int32_t i = 0; i < count; ++i)
        *touched[i] = FiniteOr0(*touched[i]);
}
