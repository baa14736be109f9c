#include "base/Random.h"

#include <cmath>

cRandom gRandom;

namespace
{
constexpr uint32_t kLow15 = 0x7FFF;
constexpr uint32_t kLow30 = 0x3FFFFFFF;
constexpr float kUnitScale = 1.0f / 1073741824.0f; // 2^-30
constexpr float kLn2 = 0.6931472f;
// Partial sums of (ln 2)^i / i!, i = 1..k.
constexpr float kLn2Sums[8] = {0.6931472f, 0.9333737f, 0.9888778f, 0.9984959f,
                               0.9998293f, 0.9999833f, 0.9999986f, 0.9999999f};

float NextUnit(cRandom* random)
{
    return static_cast<float>(random->Step()) * kUnitScale;
}
} // namespace

int32_t cRandom::Step()
{
    // The product modulo 2^30 from 15-bit halves: no overflow in 32 bits.
    const uint32_t a = static_cast<uint32_t>(state), m = static_cast<uint32_t>(multiplier);
    const uint32_t a0 = a & kLow15, a1 = (a >> 15) & kLow15;
    const uint32_t m0 = m & kLow15, m1 = (m >> 15) & kLow15;
    const uint32_t cross = ((a0 * m1 + a1 * m0) & kLow15) << 15;
    state = static_cast<int32_t>((cross + a0 * m0 + 1) & kLow30);
    return state;
}

int32_t RandomInt(int32_t n)
{
    const int64_t high = gRandom.Step() >> 15;
    return static_cast<int32_t>((n * high) >> 15);
}

float RandomFloat(float scale)
{
    const float value = static_cast<float>(gRandom.Step()) * scale * kUnitScale;
    // States just below 2^30 round up to the scale itself in float.
    if (scale > 0.0f && value >= scale)
        return std::nextafter(scale, 0.0f);
    return value;
}

float ExponentialVariate(cRandom* random)
{
    float whole = 0.0f;
    float u;
    do
        u = NextUnit(random) * 2.0f;
    while (u == 0.0f);
    while (u <= 1.0f)
    {
        u *= 2.0f;
        whole += kLn2;
    }
    u -= 1.0f;
    if (u <= kLn2)
        return whole + u;
    float minimum = std::fmin(NextUnit(random), NextUnit(random));
    for (int k = 1; k < 8 && minimum >= kLn2Sums[k]; ++k)
        minimum = std::fmin(minimum, NextUnit(random));
    return whole + minimum * kLn2;
}
