#include "instruments/pads/TriggerPadBus.h"

#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/SafeValues.h"

// The cutoff control maps exponentially onto 120 Hz .. about 16.2 kHz:
// f = 10^(2.13 c + 2.079181). The high-pass sits 100 Hz lower and fades its
// resonance in over 20..250 Hz, where a resonant peak would only boom. Q runs
// 1..12 over the control.

namespace
{
constexpr float kDecadesPerUnit = 2.13f;
constexpr float kDecadesAt0 = 2.079181f; // log10(120)
constexpr float kHighPassShift = 100.0f;
constexpr float kResonanceFloor = 20.0f;
constexpr float kResonanceFull = 250.0f;
constexpr float kResonanceSlope = 0.004347826f; // 1 / (250 - 20)
constexpr float kQSpan = 11.0f;
constexpr float kQMinimum = 1.0f;
constexpr float kSectionLevel = 1.0f;
} // namespace

cTriggerPadBus::cTriggerPadBus()
{
    mSections[0].Reset();
    mSections[1].Reset();
}

void cTriggerPadBus::Reset()
{
    mSections[0].ClearHistory();
    mSections[1].ClearHistory();
}

bool cTriggerPadBus::UpdateSilence(bool hasVoice)
{
    if (hasVoice)
        mCountdown = kSilenceBlocks;
    else if (mCountdown > 0)
        --mCountdown;
    if (mCountdown > 0)
        return true;
    Reset();
    return false;
}

void cTriggerPadBus::UpdateFilter(const cAudioProcessInfo& info, float cutoffModulation)
{
    bool rebuild = false;
    if (mSettings.type != mCurrentType)
    {
        Reset();
        mCurrentType = mSettings.type;
        rebuild = true;
    }
    const float control = FiniteOr0(mSettings.cutoff) + FiniteOr0(cutoffModulation);
    float frequency = std::pow(10.0f, control * kDecadesPerUnit + kDecadesAt0);
    float q = FiniteOr0(mSettings.q);
    if (mSettings.type == cTriggerPadFilterSettings::kTypeHighPass)
    {
        frequency -= kHighPassShift;
        if (frequency <= kResonanceFloor)
            q = 0.0f;
        else if (frequency <= kResonanceFull)
            q = (frequency - kResonanceFloor) * kResonanceSlope * q;
    }
    const float finalQ = q * kQSpan + kQMinimum;
    const float fraction = frequency * info.secondsPerSample;
    if (fraction != mCachedCutoff || finalQ != mCachedQ)
    {
        mCachedCutoff = fraction;
        mCachedQ = finalQ;
        rebuild = true;
    }
    if (rebuild)
        Design();
}

void cTriggerPadBus::Design()
{
    switch (mSettings.type)
    {
    case cTriggerPadFilterSettings::kTypeLowPass:
        mSections[0].SetLowPass(mCachedCutoff, mCachedQ, kSectionLevel);
        break;
    case cTriggerPadFilterSettings::kTypeBandPass:
        mSections[0].SetBandPass(mCachedCutoff, mCachedQ, kSectionLevel);
        break;
    case cTriggerPadFilterSettings::kTypeHighPass:
        mSections[0].SetHighPass(mCachedCutoff, mCachedQ, kSectionLevel);
        break;
    default:
        return;
    }
    mSections[1].CopySettings(mSections[0]);
}

void cTriggerPadBus::Process(const cAudioBuffer& buffer)
{
    if (mSettings.enable == 0 || mSettings.type == cTriggerPadFilterSettings::kTypeOff)
        return;
    cBiquad* sections[2] = {&mSections[0], &mSections[1]};
    ProcessBiquadChannels(buffer, sections, 2);
}
