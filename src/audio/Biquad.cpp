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

template <int N>
void ProcessChannels(const cAudioBuffer& buffer, cBiquad* const* sections)
{
    // One runner per channel, unrolled, so the channels' feedback chains
    // overlap.
    cBiquadRunner runners[N];
    for (int c = 0; c < N; ++c)
        runners[c] = cBiquadRunner(*sections[c]);
    const uint32_t stride = buffer.channels;
    float* frame = buffer.Floats();
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += stride)
        for (int c = 0; c < N; ++c)
            frame[c] = runners[c].Step(frame[c]);
    for (int c = 0; c < N; ++c)
        runners[c].Store(*sections[c]);
}

// Four sections over a block of exactly four channels (a synthesizer's voice
// group): the runner's steps in the same order, one vector lane per channel,
// so each lane computes what the scalar runner would.
using tFloat4 = float __attribute__((vector_size(16)));

tFloat4 Lanes(cBiquad* const* sections, float cBiquad::*field)
{
    return tFloat4{sections[0]->*field, sections[1]->*field, sections[2]->*field, sections[3]->*field};
}

void StoreLanes(cBiquad* const* sections, float cBiquad::*field, tFloat4 value)
{
    for (int c = 0; c < 4; ++c)
        sections[c]->*field = value[c];
}

void ProcessFourLanes(const cAudioBuffer& buffer, cBiquad* const* sections)
{
    const tFloat4 b0 = Lanes(sections, &cBiquad::b0), b1 = Lanes(sections, &cBiquad::b1);
    const tFloat4 b2 = Lanes(sections, &cBiquad::b2), a1 = Lanes(sections, &cBiquad::a1);
    const tFloat4 a2 = Lanes(sections, &cBiquad::a2);
    tFloat4 x1 = Lanes(sections, &cBiquad::x1), x2 = Lanes(sections, &cBiquad::x2);
    tFloat4 y1 = Lanes(sections, &cBiquad::y1), y2 = Lanes(sections, &cBiquad::y2);
    const tFloat4 bias = tFloat4{} + cBiquadRunner::kDenormalBias;
    float* frame = buffer.Floats();
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += 4)
    {
        tFloat4 x;
        std::memcpy(&x, frame, sizeof(x));
        const tFloat4 ahead = b0 * x + b1 * x1 + b2 * x2 - a2 * y2 + bias;
        const tFloat4 y = (ahead - a1 * y1) - bias;
        x2 = x1, x1 = x;
        y2 = y1, y1 = y;
        std::memcpy(frame, &y, sizeof(y));
    }
    StoreLanes(sections, &cBiquad::x1, x1);
    StoreLanes(sections, &cBiquad::x2, x2);
    StoreLanes(sections, &cBiquad::y1, y1);
    StoreLanes(sections, &cBiquad::y2, y2);
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
            ProcessFourLanes(buffer, sections);
        else
            ProcessChannels<4>(buffer, sections);
        break;
    }
}
