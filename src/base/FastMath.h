#pragma once

#include <cstdint>

// Table-driven sine and cosine, for places where a cheap approximation is
// good enough (rotations, LFOs). The table holds one period in 4096 steps plus
// a closing entry, so interpolation never wraps. Build it with
// InitFastMathTables() before the first call; FreeFastMathTables() at shutdown.
constexpr int kSineTableSteps = 4096;
constexpr float kSineTableScale = 651.8986f; // steps per radian: 4096 / 2 pi
constexpr float kHalfPi = 1.5707964f;

extern float* gSineTable;

void InitFastMathTables();
void FreeFastMathTables();

// The sine through the runtime's double-precision sine, rounded to float.
float SinF(float x);
// Returns the fractional part of x and stores its integer part.
float SplitFloat(float x, float* integerPart);

namespace FastMathDetail
{
// Looks up a non-negative table position; arguments the index cannot
// represent (infinite, not a number, or beyond 2^62) give 0.
inline float Interpolate(float position)
{
    if (!(position < 4.0e18f))
        return 0.0f;
    const int64_t whole = static_cast<int64_t>(position);
    const float fraction = position - static_cast<float>(whole);
    const int index = static_cast<int>(whole & (kSineTableSteps - 1));
    const float low = gSineTable[index];
    return low + (gSineTable[index + 1] - low) * fraction;
}
} // namespace FastMathDetail

inline float FastSin(float x)
{
    if (x == 0.0f)
        return 0.0f;
    const float r = FastMathDetail::Interpolate((x < 0.0f ? -x : x) * kSineTableScale);
    return x > 0.0f ? r : -r;
}

inline float FastCos(float x)
{
    if (x == 0.0f)
        return 1.0f;
    return FastMathDetail::Interpolate(((x < 0.0f ? -x : x) + kHalfPi) * kSineTableScale);
}
