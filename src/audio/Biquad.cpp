#include "audio/Biquad.h"

#include <cmath>
#include <cstring>

#include "audio/AudioBuffer.h"
#include "audio/Decibels.h"
#include "audio/SafeValues.h"

// The designs follow the bilinear cookbook forms for the resonant types and a
// one-pole, one-zero pair for the shelves. Sine and cosine come from a
// parabolic approximation (within 0.1 % over -pi..pi) instead of the
// library, and dB to gain from the float's bit pattern instead of a power.

namespace
{
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;
constexpr float kMaxCutoff = 0.499f;
// A Q of 0 or below has no filter behind it (alpha would be infinite); such a
// setting designs at this smallest Q instead.
constexpr float kMinQ = 0.001f;
constexpr float kShelfLimitDb = 30.0f;

float ParabolicSin(float w)
{
    const float y = 1.2732395f * w - 0.40528473f * w * std::fabs(w);
    return 0.225f * (y * std::fabs(y) - y) + y;
}

float ParabolicCos(float w)
{
    w += 0.5f * kPi;
    if (w > kPi)
        w -= kTwoPi;
    return ParabolicSin(w);
}

// Channels 0..N-1 of each frame in the low lanes; the lanes run side by
// side whatever the count, so a stereo pair costs what one channel does.
// kWhole: four channels of a four-channel block, moved as one vector.
template <int N, bool kWhole>
cBiquadLanes::tLanes LoadFrame(const float* frame)
{
    cBiquadLanes::tLanes x{};
    if constexpr (kWhole)
        std::memcpy(&x, frame, sizeof(x));
    else
        for (int c = 0; c < N; ++c)
            x[c] = frame[c];
    return x;
}

template <int N, bool kWhole>
void StoreFrame(float* frame, cBiquadLanes::tLanes y)
{
    if constexpr (kWhole)
        std::memcpy(frame, &y, sizeof(y));
    else
        for (int c = 0; c < N; ++c)
            frame[c] = y[c];
}

template <int N, bool kWhole = false>
void ProcessChannels(const cAudioBuffer& buffer, cBiquad* const* sections)
{
    cBiquadLanes lanes(sections, N);
    const uint32_t stride = buffer.channels;
    float* frame = buffer.Floats();
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += stride)
        StoreFrame<N, kWhole>(frame, lanes.Step(LoadFrame<N, kWhole>(frame)));
    lanes.Store(sections, N);
}
} // namespace

void cBiquad::Reset()
{
    type = kPassThrough;
    cutoff = -1.0f;
    q = -1.0f;
    gain = 1.0f;
    level = 1.0f;
    flag = 0;
    a1 = a2 = 0.0f;
    b0 = 1.0f;
    b1 = b2 = 0.0f;
    ClearHistory();
}

void cBiquad::ClearHistory()
{
    x1 = x2 = y1 = y2 = 0.0f;
}

void cBiquad::CopySettings(const cBiquad& other)
{
    type = other.type;
    cutoff = other.cutoff;
    q = other.q;
    gain = other.gain;
    level = other.level;
    flag = other.flag;
    a1 = other.a1, a2 = other.a2;
    b0 = other.b0, b1 = other.b1, b2 = other.b2;
}

bool cBiquad::Begin(int32_t newType, float& newCutoff, float& newQ, float newGain, float& newLevel)
{
    newCutoff = ClampFloat(newCutoff, 0.0f, kMaxCutoff);
    newQ = FiniteOr0(newQ);
    newGain = FiniteOr0(newGain);
    newLevel = FiniteOr0(newLevel);
    if (type == newType && cutoff == newCutoff && q == newQ && gain == newGain && level == newLevel)
        return false;
    type = newType;
    cutoff = newCutoff;
    q = newQ;
    gain = newGain;
    level = newLevel;
    return true;
}

void cBiquad::SetResonant(int32_t newType, float newCutoff, float newQ, float newLevel)
{
    if (!Begin(newType, newCutoff, newQ, 0.0f, newLevel))
        return;
    const float w = kTwoPi * newCutoff;
    const float sn = ParabolicSin(w);
    const float cs = ParabolicCos(w);
    const float alpha = sn / (2.0f * (newQ > kMinQ ? newQ : kMinQ));
    const float n = 1.0f / (1.0f + alpha);
    a1 = -2.0f * cs * n;
    a2 = (1.0f - alpha) * n;
    if (newType == kLowPass)
    {
        b1 = (1.0f - cs) * n * newLevel;
        b0 = b2 = b1 * 0.5f;
    }
    else if (newType == kBandPass)
    {
        b0 = sn * 0.5f * newLevel;
        b1 = 0.0f;
        b2 = -b0;
    }
    else
    {
        b1 = -(1.0f + cs) * n * newLevel;
        b0 = b2 = -b1 * 0.5f;
    }
}

void cBiquad::SetLowPass(float newCutoff, float newQ, float newLevel)
{
    SetResonant(kLowPass, newCutoff, newQ, newLevel);
}

void cBiquad::SetBandPass(float newCutoff, float newQ, float newLevel)
{
    SetResonant(kBandPass, newCutoff, newQ, newLevel);
}

void cBiquad::SetHighPass(float newCutoff, float newQ, float newLevel)
{
    SetResonant(kHighPass, newCutoff, newQ, newLevel);
}

void cBiquad::SetLowShelf(float newCutoff, float gainDb, float newLevel)
{
    float noQ = 0.0f;
    if (!Begin(kLowShelf, newCutoff, noQ, gainDb, newLevel))
        return;
    const float g = FastDbToGain(ClampFloat(gain, -kShelfLimitDb, kShelfLimitDb));
    const float pole = g <= 1.0f ? newCutoff / g : newCutoff;
    const float zero = g <= 1.0f ? newCutoff : g * newCutoff;
    a1 = -std::exp(-kTwoPi * pole);
    a2 = 0.0f;
    b0 = newLevel;
    b1 = -std::exp(-kTwoPi * zero) * newLevel;
    b2 = 0.0f;
}

void cBiquad::SetHighShelf(float newCutoff, float gainDb, float newLevel)
{
    float noQ = 0.0f;
    if (!Begin(kHighShelf, newCutoff, noQ, gainDb, newLevel))
        return;
    const float g = FastDbToGain(ClampFloat(gain, -kShelfLimitDb, kShelfLimitDb));
    const float pole = g <= 1.0f ? newCutoff : g * newCutoff;
    const float zero = g <= 1.0f ? newCutoff / g : newCutoff;
    // pole / zero is g either way; at cutoff 0 the quotient would be 0 / 0.
    const float k = (zero > 0.0f ? pole / zero : g) * newLevel;
    a1 = -std::exp(-kTwoPi * pole);
    a2 = 0.0f;
    b0 = -k;
    b1 = k * std::exp(-kTwoPi * zero);
    b2 = 0.0f;
}

cBiquadLanes::cBiquadLanes(cBiquad* const* sections, int32_t count)
{
    for (int32_t c = 0; c < count && c < 4; ++c)
    {
        const cBiquad& s = *sections[c];
        b0[c] = s.b0, b1[c] = s.b1, b2[c] = s.b2, a1[c] = s.a1, a2[c] = s.a2;
        x1[c] = s.x1, x2[c] = s.x2, y1[c] = s.y1, y2[c] = s.y2;
    }
}

void cBiquadLanes::Store(cBiquad* const* sections, int32_t count) const
{
    for (int32_t c = 0; c < count && c < 4; ++c)
    {
        cBiquad& s = *sections[c];
        s.x1 = x1[c], s.x2 = x2[c], s.y1 = y1[c], s.y2 = y2[c];
    }
}

void ProcessBiquadChannels(const cAudioBuffer& buffer, cBiquad* const* sections, int32_t count)
{
    const int32_t channels = count < int32_t(buffer.channels) ? count : int32_t(buffer.channels);
    if (buffer.frames == 0 || buffer.data == nullptr || channels < 1)
        return;
    switch (channels)
    {
    case 1:
        ProcessChannels<1>(buffer, sections);
        break;
    case 2:
        ProcessChannels<2>(buffer, sections);
        break;
    case 3:
        ProcessChannels<3>(buffer, sections);
        break;
    default:
        if (buffer.channels == 4)
            ProcessChannels<4, true>(buffer, sections);
        else
            ProcessChannels<4>(buffer, sections);
        break;
    }
}
