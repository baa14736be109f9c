#pragma once
#include <bit>
#include <cstdint>

// Decibel conversions cheap enough for every sample, read straight off the
// IEEE-754 bit pattern. A float's pattern is about 2^23 x (log2(x) + 127), so
// a gain is the float whose pattern is a straight line in decibels, and a
// level is the exponent plus the mantissa read as a number from 1 to 2.
//
// 1393317 is round(2^23 x log2(10) / 20); the offset 127 x 2^23 - 60800
// centres the straight line's error, so 0 dB gives 0.99638 rather than 1.

// Beyond this the pattern leaves the finite floats; the gain is held there.
constexpr float kFastDbLimit = 750.0f;

// About 10^(dB / 20). Not a number counts as the lowest gain.
inline float FastDbToGain(float dB)
{
    if (!(dB > -kFastDbLimit))
        dB = -kFastDbLimit;
    else if (dB > kFastDbLimit)
        dB = kFastDbLimit;
    return std::bit_cast<float>(static_cast<int32_t>(1393317.0 * double(dB) + 1065292416.0));
}

namespace DecibelsDetail
{
// About log2(x) for x > 0, exact at powers of two: (e - 128) + m with e the
// exponent field and m the mantissa as a number in [1, 2).
inline float ApproxLog2(float x)
{
    const uint32_t bits = std::bit_cast<uint32_t>(x);
    const float exponent = static_cast<float>(static_cast<int32_t>((bits >> 23) & 0xff) - 128);
    const float mantissa = std::bit_cast<float>((bits & 0x007fffffu) | 0x3f800000u);
    return exponent + mantissa;
}
} // namespace DecibelsDetail

// About 20 log10(x) for an amplitude x > 0.
inline float FastAmplitudeToDb(float x) { return DecibelsDetail::ApproxLog2(x) * 6.0206f; }

// About 10 log10(p) for a power p > 0.
inline float FastPowerToDb(float p) { return DecibelsDetail::ApproxLog2(p) * 3.0103f; }

// The floor of level meters: amplitudes at or below -90 dB read -90.
constexpr float kFastDbFloor = -90.0f;
constexpr float kFastDbFloorAmplitude = 3.1622763e-5f;

inline float FastAmplitudeToDbFloored(float x)
{
    return x <= kFastDbFloorAmplitude ? kFastDbFloor : FastAmplitudeToDb(x);
}
