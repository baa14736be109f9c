#include "audio/SampleConvert.h"

namespace
{
// Largest float below 2^31, so +1.0 converts without overflow.
constexpr float kInt32Scale = 2147483520.0f;
constexpr float kInt16Scale = 32767.0f;
constexpr float kInvInt16 = 1.0f / 32767.0f;
constexpr float kInvInt32 = 1.0f / 2147483648.0f;

// Clamps to -1..+1; a NaN becomes silence instead of an undefined conversion.
inline float ClampUnit(float x)
{
    if (x >= -1.0f)
        return x <= 1.0f ? x : 1.0f;
    return x < -1.0f ? -1.0f : 0.0f;
}

inline uint32_t WholeGroups(uint32_t count) { return count & ~3u; }
} // namespace

void FloatToInt16(const float* source, int16_t* destination, uint32_t count)
{
    const uint32_t n = WholeGroups(count);
    for (uint32_t i = 0; i < n; ++i)
        destination[i] = static_cast<int16_t>(ClampUnit(source[i]) * kInt16Scale);
}

void FloatToInt24(const float* source, uint8_t* destination, uint32_t count)
{
    const uint32_t n = WholeGroups(count);
    for (uint32_t i = 0; i < n; ++i)
    {
        const int32_t v = static_cast<int32_t>(ClampUnit(source[i]) * kInt32Scale);
        const uint32_t u = static_cast<uint32_t>(v);
        destination[0] = static_cast<uint8_t>(u >> 8);
        destination[1] = static_cast<uint8_t>(u >> 16);
        destination[2] = static_cast<uint8_t>(u >> 24);
        destination += 3;
    }
}

void FloatToInt32(const float* source, int32_t* destination, uint32_t count)
{
    const uint32_t n = WholeGroups(count);
    for (uint32_t i = 0; i < n; ++i)
        destination[i] = static_cast<int32_t>(ClampUnit(source[i]) * kInt32Scale);
}

void Int16ToFloat(const int16_t* source, float* destination, uint32_t count)
{
    const uint32_t n = WholeGroups(count);
    for (uint32_t i = 0; i < n; ++i)
        destination[i] = source[i] * kInvInt16;
}

void Int24ToFloat(const uint8_t* source, float* destination, uint32_t count)
{
    const uint32_t n = WholeGroups(count);
    for (uint32_t i = 0; i < n; ++i)
    {
        const uint32_t u = (uint32_t(source[2]) << 24) | (uint32_t(source[1]) << 16) | (uint32_t(source[0]) << 8);
        destination[i] = static_cast<int32_t>(u) * kInvInt32;
        source += 3;
    }
}

void Int32ToFloat(const int32_t* source, float* destination, uint32_t count)
{
    const uint32_t n = WholeGroups(count);
    for (uint32_t i = 0; i < n; ++i)
        destination[i] = source[i] * kInvInt32;
}
