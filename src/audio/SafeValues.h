#pragma once
#include <cmath>
#include <cstdint>

// Guards for settings and modulation sums on the audio thread. A damaged
// file or event can carry any bits: a value that is not finite counts as 0,
// and every float-to-integer conversion is clamped in float first, where the
// conversion of an out-of-range value would be undefined.

inline float FiniteOr0(float x)
{
    return std::isfinite(x) ? x : 0.0f;
}

// Not a number gives lo: each comparison fails for it and keeps the bound.
inline float ClampFloat(float x, float lo, float hi)
{
    x = x > lo ? x : lo;
    return x < hi ? x : hi;
}

// Truncates toward zero after clamping; the bounds must lie well inside the
// int32 range so that their float forms convert exactly.
inline int32_t TruncClamped(float x, float lo, float hi)
{
    return int32_t(ClampFloat(x, lo, hi));
}

// Flushes a denormal result of a feedback or filter loop to zero.
inline float FlushDenormal(float x)
{
    return (x + 1e-18f) - 1e-18f;
}
