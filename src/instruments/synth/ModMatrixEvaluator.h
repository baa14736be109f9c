#pragma once
#include <cstdint>

struct cModMatrix;

// One voice's modulation sums for one block, in the order the sections read
// them. Pitch sums are in units of 24 semitones, the others in units of the
// settings they are added to.
struct cModulationSums
{
    float oscPan;
    float oscMix;
    float oscPitchA;
    float oscPitchB;
    float sampleStart;
    float sampleLength;
    uint8_t sampleLengthModulated;
    float filterCutoff;
    float filterQ;
    float filterEnv[5]; // attack, decay, sustain, release, amount
    float ampAmount;
    float ampEnv[5];
    float lfo[4][2]; // rate, amount
    float auxEnv[5];
};

// What a voice's sources give this block.
struct cModSources
{
    float lfoValue[4]; // 0..1
    float lfoDepth[4];
    float auxEnvOutput; // level, or 1 - level when inverted
    float auxEnvAmount;
    float velocity;           // 0..1, the note's velocity / 127
    const float* controllers; // the patch's 9 controller values
};

// Evaluates a patch's matrix for one voice once per block. Rows to the
// module's destinations (12 and above) and rows out of range are skipped;
// sums that come out non-finite count as 0.
class cModMatrixEvaluator
{
public:
    const cModMatrix* matrix = nullptr;
    cModulationSums sums{};

    void Evaluate(const cModSources& sources);

    // clamp((velocity - 0.2) x 1.25, 0, 1): velocities up to 25 give 0.
    static float VelocityValue(float velocity);
};
