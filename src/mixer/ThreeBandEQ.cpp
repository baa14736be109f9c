#include "mixer/ThreeBandEQ.h"

#include <algorithm>
#include <cmath>

#include "audio/Decibels.h"

namespace
{
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;
constexpr float kDenormalGuard = 1.0e-18f;
// A band at half the sample rate has no sine left to divide by.
constexpr float kHighestFraction = 0.45f;
const float kHalfLn2 = 0.5f * std::log(2.0f);

float Clamp(float x, float low, float high) { return std::min(std::max(x, low), high); }

float WrapPi(float w) { return w > kPi ? w - kTwoPi : (w < -kPi ? w + kTwoPi : w); }

// Parabolic sine for -pi..pi, refined once.
float ParabolicSin(float x)
{
    float s = (4.0f / kPi) * x - (4.0f / (kPi * kPi)) * x * std::fabs(x);
    return s + 0.225f * (s * std::fabs(s) - s);
}

inline float Flush(float x) { return (x + kDenormalGuard) - kDenormalGuard; }
} // namespace

cThreeBandEQ::cThreeBandEQ()
{
    constexpr float kRate = 44100.0f;
    SetLowShelf(80.0f / kRate, 0.0f);
    SetMidPeak(1000.0f / kRate, 0.0f, 2.0f);
    SetHighShelf(3000.0f / kRate, 0.0f);
    ClearState();
}

void cThreeBandEQ::SetLowShelf(float f, float dB)
{
    mLowGain = Clamp(dB, -kShelfLimitDb, kShelfLimitDb);
    const float g = FastDbToGain(mLowGain);
    const float pole = g > 1.0f ? f : f / g;
    const float zero = g > 1.0f ? g * f : f;
    mLowPole = -std::exp(-kTwoPi * pole);
    mLowZero = -std::exp(-kTwoPi * zero);
    UpdateOutputGains();
}

void cThreeBandEQ::SetHighShelf(float f, float dB)
{
    mHighGain = Clamp(dB, -kShelfLimitDb, kShelfLimitDb);
    const float g = FastDbToGain(mHighGain);
    const float pole = g > 1.0f ? g * f : f;
    const float zero = g > 1.0f ? f : f / g;
    const float p = std::exp(-kTwoPi * pole);
    mHighPole = -p;
    mHighZero = std::exp(-kTwoPi * zero);
    mShelfNorm = (1.0f - p) / (mHighZero - 1.0f);
    UpdateOutputGains();
}

void cThreeBandEQ::SetMidPeak(float f, float dB, float octaves)
{
    mMidGain = dB;
    f = Clamp(f, 0.0f, kHighestFraction);
    const float a = std::pow(10.0f, dB / 40.0f);
    const float w = WrapPi(kTwoPi * f);
    const float sinW = ParabolicSin(w);
    const float cosW = ParabolicSin(WrapPi(w + 0.5f * kPi));
    const float alpha = sinW == 0.0f ? 0.0f : sinW * std::sinh(kHalfLn2 * octaves * w / sinW);
    const float a0 = 1.0f + alpha / a;
    mB0 = (1.0f + alpha * a) / a0;
    mB1 = -2.0f * cosW / a0;
    mA1 = mB1;
    mB2 = (1.0f - alpha * a) / a0;
    mA2 = (1.0f - alpha / a) / a0;
    UpdateOutputGains();
}

void cThreeBandEQ::UpdateOutputGains()
{
    mOutputGain = mShelfNorm;
    if (mGainComp)
    {
        const float boost = FastDbToGain(std::max({mLowGain, mMidGain, 0.5f * mHighGain}) * 0.5f);
        if (boost > 1.0f)
            mOutputGain /= boost;
    }
    mOutB0 = mB0 * mOutputGain;
    mOutB1 = mB1 * mOutputGain;
    mOutB2 = mB2 * mOutputGain;
}

void cThreeBandEQ::ClearState()
{
    mState[0] = cChannelState();
    mState[1] = cChannelState();
}

void cThreeBandEQ::Process(float* samples, uint32_t frames)
{
    ProcessChannel(samples, frames, mState[0]);
    ProcessChannel(samples + 1, frames, mState[1]);
}

void cThreeBandEQ::ProcessChannel(float* samples, uint32_t frames, cChannelState& state) const
{
    cChannelState s = state;
    for (uint32_t f = 0; f < frames; ++f)
    {
        const float x = samples[f * 2];
        const float low = Flush(x + mLowZero * s.input - mLowPole * s.low);
        const float high = Flush(mHighZero * s.low - low - mHighPole * s.high1);
        const float out =
            Flush(mOutB0 * high + mOutB1 * s.high1 + mOutB2 * s.high2 - mA1 * s.out1 - mA2 * s.out2);
        s.input = x;
        s.low = low;
        s.high2 = s.high1;
        s.high1 = high;
        s.out2 = s.out1;
        s.out1 = out;
        samples[f * 2] = out;
    }
    state = s;
}
