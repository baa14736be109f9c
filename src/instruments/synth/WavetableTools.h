#pragma once
#include <cstdint>

class cWavetable;

// Tools that make the band-limited wave pyramids the table oscillator plays:
// they fill, normalise, import and export the levels of a cWavetable whose
// pyramid is already sized (cWavetable::AllocateLevels). The content
// generator builds the shipped tables with them; the program only loads them.

// One harmonic of a recipe: the amplitudes of sin(h x) and cos(h x) over a cycle x.
struct cHarmonic
{
    double sine;
    double cosine;
};

// One cycle of a sine, a square (-1 for the first half, +1 for the second)
// and a ramp from -1, unlimited in band.
void FillSineLevel(cWavetable& table, int32_t level);
void FillSquareLevel(cWavetable& table, int32_t level);
void FillRampLevel(cWavetable& table, int32_t level);

// Band-limited forms from the first `harmonics` harmonics, over
// theta = 2 pi i / n - pi: a sawtooth (sin(j theta) / j), a square (minus the
// odd sin(j theta) / j) and a triangle (the odd cos(j theta) / j^2).
void FillSawtoothLevel(cWavetable& table, int32_t level, int32_t harmonics);
void FillBandLimitedSquareLevel(cWavetable& table, int32_t level, int32_t harmonics);
void FillTriangleLevel(cWavetable& table, int32_t level, int32_t harmonics);

// Additive synthesis of a recipe: harmonic h is recipe[h - 1], for h up to
// `harmonics` and the recipe's count, times gain.
void FillHarmonicLevel(cWavetable& table, int32_t level, const cHarmonic* recipe, int32_t count, int32_t harmonics,
                       double gain);

// Scales a level to a peak magnitude of 1 (a level whose peak is below 1e-6
// becomes silent); returns the factor applied, 0 for a silenced level.
float NormaliseLevel(cWavetable& table, int32_t level);
void ScaleLevel(cWavetable& table, int32_t level, float gain);

// Reads 32-bit signed samples (full scale 2^31) from a file on the "Assets"
// mount into the levels it covers whole, each normalised; the levels past it
// down to two samples become a sine cycle, the one-sample level 0, and a
// level's first sample below 0.1 in magnitude 0. False, with the table
// unchanged, when the file cannot be read.
bool ImportWavetable(cWavetable& table, const char* path);

// Writes "Modules/Kest/Wavetables/<name>.tbl" on the "Res" mount through a
// safe write (no backup kept): level count, length of level 0, sample count, then the samples.
bool ExportWavetable(const cWavetable& table);
