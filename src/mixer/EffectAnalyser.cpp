#include "mixer/EffectAnalyser.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "audio/AudioBuffer.h"
#include "base/Serialise.h"

namespace
{
const Base::cEnumEntry kTypeNames[] = {{cEffectAnalyser::kTypeOff, "OFF"}, {cEffectAnalyser::kTypeOn, "ON"}};
const Base::cEnumTable kTypeTable = {kTypeNames, 2};

// A held bin rises quickly and falls slowly, so peaks stay readable.
constexpr float kRise = 0.98f;
constexpr float kFall = 0.5f;

uint32_t ParamOf(uint32_t id) { return id & 0xffu; }
} // namespace

cEffectAnalyser::cEffectAnalyser(cEffectPackage* package) : cEffect(package)
{
    mFFT.SetSize(kFFTSize);
    // A symmetric Hann window.
    const double pi = 3.14159265358979323846;
    for (int32_t i = 0; i < kFFTSize / 2; ++i)
    {
        const float w = float(0.5 * (1.0 - std::cos(2.0 * pi * i / (kFFTSize - 1))));
        mWindow[i] = w;
        mWindow[kFFTSize - 1 - i] = w;
    }
    Reset();
}

float cEffectAnalyser::GetParamFloat(uint32_t) { return 0.0f; }

int32_t cEffectAnalyser::GetParamInt(uint32_t id)
{
    switch (ParamOf(id))
    {
    case kParamEnable: return mEnable;
    case kParamType: return mType;
    default: return 0;
    }
}

int32_t cEffectAnalyser::HandleEvent(const cAudioEvent& event)
{
    if (event.type != kAudioEventSetIntParam)
        return 0;
    if (ParamOf(event.wordA) == kParamEnable)
        mEnable = event.GetIntValue() != 0 ? 1 : 0;
    else if (ParamOf(event.wordA) == kParamType)
        mType = std::clamp(event.GetIntValue(), int32_t(kTypeOff), int32_t(kTypeOn));
    return 0;
}

int32_t cEffectAnalyser::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DrainEvents();
    if (!mLastEnable && !mEnable)
        return 0;
    cScopedLock lock(&mLock);
    mLastEnable = mEnable;
    if (info.sampleRate > 0.0f)
        mSampleRate = info.sampleRate;
    if (buffer.data && buffer.channels == kChannels)
        mRing.Write(buffer.data, buffer.frames * kChannels * uint32_t(sizeof(float)));
    return 0;
}

void cEffectAnalyser::CopyLatestFrames()
{
    cScopedLock lock(&mLock);
    // The oldest byte sits where the next write goes.
    const uint32_t capacity = mRing.GetCapacity();
    const uint32_t start = mRing.GetWritePosition();
    auto* out = reinterpret_cast<uint8_t*>(mFrames);
    std::memcpy(out, mRing.GetData() + start, capacity - start);
    std::memcpy(out + (capacity - start), mRing.GetData(), start);
}

void cEffectAnalyser::Analyse()
{
    if (!mLastEnable)
    {
        std::fill(std::begin(mSpectrum), std::end(mSpectrum), kSilence);
        return;
    }
    CopyLatestFrames();
    for (int32_t i = 0; i < kFFTSize; ++i)
        mMono[i] = (mFrames[2 * i] + mFrames[2 * i + 1]) * mWindow[i];
    mFFT.Forward(mMono, mReal, mImaginary);
    const float scale = 4.0f / float(kFFTSize);
    for (int32_t bin = 0; bin < kBins; ++bin)
    {
        const float target = bin == 0 ? 0.5f * scale * mReal[0]
                                      : scale * std::sqrt(mReal[bin] * mReal[bin] + mImaginary[bin] * mImaginary[bin]);
        float& held = mSpectrum[bin];
        held += (target - held) * (target > held ? kRise : kFall);
    }
}

bool cEffectAnalyser::Serialise(Base::cSerialise& serialise)
{
    serialise.SerialiseInt32("Enable", &mEnable, INT_MIN, INT_MAX);
    serialise.SerialiseEnum("Type", &mType, &kTypeTable);
    if (!serialise.IsSaving())
    {
        mEnable = mEnable != 0 ? 1 : 0;
        mType = std::clamp(mType, int32_t(kTypeOff), int32_t(kTypeOn));
    }
    return true;
}

void cEffectAnalyser::Reset()
{
    {
        cScopedLock lock(&mLock);
        mRing.Clear();
    }
    std::fill(std::begin(mSpectrum), std::end(mSpectrum), kSilence);
}

void cEffectAnalyser::SetEnabled(bool enabled) { mEnable = enabled ? 1 : 0; }

bool cEffectAnalyser::IsEnabled() const { return mEnable != 0; }

cEffectAnalyserPackage::cEffectAnalyserPackage() : cEffectPackage("ANALYSER", "Analyser", "Spectrum analysis") {}

cEffect* cEffectAnalyserPackage::CreateEffect() { return new cEffectAnalyser(this); }
