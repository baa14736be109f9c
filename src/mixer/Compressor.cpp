#include "mixer/Compressor.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/Decibels.h"
#include "audio/EffectCrossfade.h"

namespace
{
// The envelope covers 67 % of the way to its target in the given time.
constexpr float kTimeConstantBase = 0.33f;
constexpr float kRMSWindowSeconds = 0.001f;
constexpr float kLimitingRatio = 0.99f;
constexpr float kMeterFall = 0.02f;
constexpr uint32_t kMeterStride = 32;
constexpr uint32_t kGroupFrames = 4;
constexpr float kPeakFloor = 1.0e-6f;
constexpr float kDenormalGuard = 1.0e-18f;

float Coefficient(float sampleRate, float seconds) { return std::pow(kTimeConstantBase, 1.0f / (sampleRate * seconds)); }

// The largest |sample| of both channels over every 32nd frame, in dB.
float MeasureLevel(const cAudioBuffer& buffer)
{
    const float* samples = buffer.Floats();
    float peak = 0.0f;
    for (uint32_t f = 0; f < buffer.frames; f += kMeterStride)
        peak = std::max({peak, std::fabs(samples[f * 2]), std::fabs(samples[f * 2 + 1])});
    return FastAmplitudeToDbFloored(peak);
}

void FollowMeter(float& meter, float level) { meter = level >= meter ? level : meter + (level - meter) * kMeterFall; }

bool Store(float& field, float value, float low, float high)
{
    if (!std::isfinite(value))
        return false;
    field = std::clamp(value, low, high);
    return true;
}
} // namespace

float cCompressor::AttackSeconds(float v)
{
    return v <= 0.0f ? 0.0006f : (v >= 1.0f ? 0.1f : 0.0994f * v * v * v + 0.0006f);
}

float cCompressor::ReleaseSeconds(float v) { return v <= 0.0f ? 0.05f : (v >= 1.0f ? 1.0f : 0.95f * v * v * v + 0.05f); }

bool cCompressorParams::SetAttack(float v) { return Store(attack, v, 0.0f, 1.0f); }
bool cCompressorParams::SetRelease(float v) { return Store(release, v, 0.0f, 1.0f); }
bool cCompressorParams::SetThreshold(float dB) { return Store(threshold, dB, kThresholdMin, kThresholdMax); }
bool cCompressorParams::SetRatio(float v) { return Store(ratio, v, 0.0f, 1.0f); }
bool cCompressorParams::SetOutputGain(float dB) { return Store(outputGain, dB, 0.0f, kOutputGainMax); }

void cCompressor::Reset()
{
    mInputMeter = kMeterFloor;
    mOutputMeter = kMeterFloor;
    mEnvelope = 0.0f;
    mMeanSquare = 0.0f;
    mGainReductionMeter = 0.0f;
}

void cCompressor::UpdateTimes(float sampleRate)
{
    mSampleRate = sampleRate;
    mAttackCoefficient = Coefficient(sampleRate, cCompressor::AttackSeconds(mParams->attack));
    mReleaseCoefficient = Coefficient(sampleRate, cCompressor::ReleaseSeconds(mParams->release));
    mRMSCoefficient = Coefficient(sampleRate, kRMSWindowSeconds);
    mParams->dirty &= ~cCompressorParams::kDirtyTimes;
}

void cCompressor::UpdateSlope()
{
    const float v = mParams->ratio;
    mSlope = v >= kLimitingRatio ? -1.0f : 1.0f / (7.0f * v * v * v + 1.0f) - 1.0f;
    mParams->dirty &= ~cCompressorParams::kDirtyRatio;
}

void cCompressor::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    if (!mParams || !buffer.data || buffer.channels != 2)
        return;
    if (mMeterPhase)
        FollowMeter(mInputMeter, MeasureLevel(buffer));
    const int32_t enable = mParams->enable;
    if (!enable && !mWasEnabled)
    {
        mOutputMeter = mInputMeter;
        mGainReductionMeter = 0.0f;
    }
    else
    {
        if ((mParams->dirty & cCompressorParams::kDirtyTimes) || info.sampleRate != mSampleRate)
            UpdateTimes(info.sampleRate);
        if (mParams->dirty & cCompressorParams::kDirtyRatio)
            UpdateSlope();
        cEffectCrossfade fade;
        if ((enable != 0) != (mWasEnabled != 0))
        {
            fade.Begin(buffer, enable ? cEffectCrossfade::kModeFadeIn : cEffectCrossfade::kModeFadeOut);
            if (enable)
            {
                mEnvelope = 0.0f;
                mMeanSquare = 1.0f;
            }
        }
        if (mParams->rms)
            ProcessRMS(buffer.Floats(), buffer.frames);
        else
            ProcessPeak(buffer.Floats(), buffer.frames);
        fade.Mix();
        fade.End();
        mGainReductionMeter = mEnvelope * mSlope;
        if (!mMeterPhase)
            FollowMeter(mOutputMeter, MeasureLevel(buffer));
    }
    mMeterPhase = !mMeterPhase;
    mWasEnabled = enable;
}

void cCompressor::ApplyGain(float* samples, uint32_t frames, float over)
{
    const float coefficient = over > mEnvelope ? mAttackCoefficient : mReleaseCoefficient;
    const float makeUp = mParams->outputGain;
    for (uint32_t f = 0; f < frames; ++f)
    {
        mEnvelope = (mEnvelope - over) * coefficient + over;
        mEnvelope += kDenormalGuard;
        mEnvelope -= kDenormalGuard;
        const float gain = FastDbToGain(makeUp + mSlope * mEnvelope);
        samples[f * 2] *= gain;
        samples[f * 2 + 1] *= gain;
    }
}

// Groups of four frames share one level measurement; a shorter last group
// is measured and processed the same way.
void cCompressor::ProcessRMS(float* samples, uint32_t frames)
{
    const float threshold = mParams->threshold;
    for (uint32_t start = 0; start < frames; start += kGroupFrames)
    {
        const uint32_t n = std::min(kGroupFrames, frames - start);
        float* group = samples + start * 2;
        for (uint32_t f = 0; f < n; ++f)
        {
            const float p = group[f * 2] * group[f * 2] + group[f * 2 + 1] * group[f * 2 + 1];
            mMeanSquare = (mMeanSquare - p) * mRMSCoefficient + p;
        }
        ApplyGain(group, n, std::max(FastPowerToDb(mMeanSquare) - threshold, 0.0f));
    }
}

void cCompressor::ProcessPeak(float* samples, uint32_t frames)
{
    const float threshold = mParams->threshold;
    for (uint32_t start = 0; start < frames; start += kGroupFrames)
    {
        const uint32_t n = std::min(kGroupFrames, frames - start);
        float* group = samples + start * 2;
        float peak = kPeakFloor;
        for (uint32_t i = 0; i < n * 2; ++i)
            peak = std::max(peak, std::fabs(group[i]));
        ApplyGain(group, n, std::max(FastAmplitudeToDb(peak) - threshold, 0.0f));
    }
    // A switch to the RMS detector starts from the level the envelope implies.
    const float gain = FastDbToGain(mEnvelope);
    mMeanSquare = gain * gain;
}
