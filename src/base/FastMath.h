#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>

// Table-driven sine and cosine, for places where a cheap approximation is
// good enough (rotations, LFOs). The table holds one period in 4096 steps plus
// a closing entry, so interpolation never wraps. The program builds it with
// InitFastMathTables() at start-up and frees it with FreeFastMathTables() at
// shutdown; a call before that builds it on first use, so no caller (a test
// run alone, a static helper) depends on the order of start-up.
constexpr int kSineTableSteps = 4096;
constexpr float kSineTableScale = 651.8986f; // steps per radian: 4096 / 2 pi
constexpr float kHalfPi = 1.5707964f;

// Null until built; read-only once published.
extern std::atomic<const float*> gSineTable;

void InitFastMathTables();
void FreeFastMathTables();

// The sine through the runtime's double-precision sine, rounded to float.
float SinF(float x);
// Returns the fractional part of x and stores its integer part.
float SplitFloat(float x, float* integerPart);

namespace FastMathDetail
{
// Builds the table once, whichever thread gets there first.
const float* BuildSineTable();

inline const float* SineTable()
{
    const float* table = gSineTable.load(std::memory_order_acquire);
    return table ? table : BuildSineTable();
}

// Looks up a non-negative table position. Positions the index cannot hold
// (infinite, not a number, or arguments beyond about 3 million radians,
// where a float has no fraction left) give 0.
inline float Interpolate(float position)
{
    if (!(position < 2.0e9f))
        return 0.0f;
    const int32_t whole = static_cast<int32_t>(position);
    const float fraction = position - static_cast<float>(whole);
    const int32_t index = whole & (kSineTableSteps - 1);
    const float* table = SineTable();
    const float low = table[index];
    return low + (table[index + 1] - low) * fraction;
}
} // namespace FastMathDetail

// Odd: the table value of |x|, negated for negative x (0 gives 0).
inline float FastSin(float x)
{
    const float r = FastMathDetail::Interpolate(std::fabs(x) * kSineTableScale);
    return x < 0.0f ? -r : r;
}

inline float FastCos(float x)
{
    if (x == 0.0f)
        return 1.0f;
    return FastMathDetail::Interpolate((std::fabs(x) + kHalfPi) * kSineTableScale);
}
