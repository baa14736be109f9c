#include "mixer/EffectCompressor.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "base/Serialise.h"

namespace
{
constexpr float kThresholdSpan = cCompressorParams::kThresholdMax - cCompressorParams::kThresholdMin;

// A stored float key: read over the whole float range, kept only when the
// setter accepts it.
template <class tSetter>
void SerialiseValue(Base::cSerialise& serialise, const char* key, float& field, tSetter set)
{
    float value = field;
    if (serialise.SerialiseFloat(key, &value, -FLT_MAX, FLT_MAX) && !serialise.IsSaving())
        set(value);
}
} // namespace

cEffectCompressor::cEffectCompressor(cEffectPackage* package)
    : cEffect(package)
    , mCore(&mParams)
{
}

float cEffectCompressor::GetParamFloat(uint32_t id)
{
    switch (id)
    {
    case kParamAttack:
        return mParams.attack;
    case kParamRelease:
        return mParams.release;
    case kParamThreshold:
        return (mParams.threshold - cCompressorParams::kThresholdMin) / kThresholdSpan;
    case kParamOutputGain:
        return mParams.outputGain / cCompressorParams::kOutputGainMax;
    case kParamRatio:
        return mParams.ratio;
    default:
        return 0.0f;
    }
}

int32_t cEffectCompressor::GetParamInt(uint32_t id)
{
    if (id == kParamEnable)
        return mParams.enable;
    return id == kParamRMS ? mParams.rms : 0;
}

int32_t cEffectCompressor::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DrainEvents();
    mCore.Process(info, buffer);
    return 0;
}

void cEffectCompressor::SetFloat(uint32_t id, float v)
{
    if (!std::isfinite(v))
        return;
    v = std::fmin(std::fmax(v, 0.0f), 1.0f);
    switch (id)
    {
    case kParamAttack:
        mParams.SetAttack(v);
        mParams.dirty |= cCompressorParams::kDirtyTimes;
        break;
    case kParamRelease:
        mParams.SetRelease(v);
        mParams.dirty |= cCompressorParams::kDirtyTimes;
        break;
    case kParamThreshold:
        mParams.SetThreshold(kThresholdSpan * v + cCompressorParams::kThresholdMin);
        mParams.dirty |= cCompressorParams::kDirtyThreshold;
        break;
    case kParamOutputGain:
        mParams.SetOutputGain(cCompressorParams::kOutputGainMax * v);
        mParams.dirty |= cCompressorParams::kDirtyOutputGain;
        break;
    case kParamRatio:
        mParams.SetRatio(v);
        mParams.dirty |= cCompressorParams::kDirtyRatio;
        break;
    default:
        break;
    }
}

int32_t cEffectCompressor::HandleEvent(const cAudioEvent& event)
{
    if (event.type == kAudioEventSetFloatParam)
        SetFloat(event.wordA, event.GetFloatValue());
    else if (event.type == kAudioEventSetIntParam && event.wordA == kParamEnable)
    {
        mParams.enable = event.GetIntValue();
        mParams.dirty |= cCompressorParams::kDirtyEnable;
    }
    else if (event.type == kAudioEventSetIntParam && event.wordA == kParamRMS)
    {
        mParams.rms = event.GetIntValue();
        mParams.dirty |= cCompressorParams::kDirtyRMS;
    }
    return 0;
}

bool cEffectCompressor::Serialise(Base::cSerialise& serialise)
{
    serialise.SerialiseInt32("Enable", &mParams.enable, INT_MIN, INT_MAX);
    serialise.SerialiseEnum("RMS", &mParams.rms, nullptr);
    SerialiseValue(serialise, "Attack", mParams.attack, [this](float v) { mParams.SetAttack(v); });
    SerialiseValue(serialise, "Release", mParams.release, [this](float v) { mParams.SetRelease(v); });
    SerialiseValue(serialise, "Threshold", mParams.threshold, [this](float v) { mParams.SetThreshold(v); });
    SerialiseValue(serialise, "Ratio", mParams.ratio, [this](float v) { mParams.SetRatio(v); });
    SerialiseValue(serialise, "OutputGain", mParams.outputGain, [this](float v) { mParams.SetOutputGain(v); });
    if (!serialise.IsSaving())
        mParams.dirty = cCompressorParams::kDirtyAll;
    return true;
}

void cEffectCompressor::Reset() { mCore.Reset(); }

void cEffectCompressor::SetEnabled(bool enabled) { mParams.enable = enabled ? 1 : 0; }

bool cEffectCompressor::IsEnabled() const { return mParams.enable != 0; }

cEffectCompressorPackage::cEffectCompressorPackage() : cEffectPackage("QDL-5", "Compressor", "Compressor") {}

cEffect* cEffectCompressorPackage::CreateEffect() { return new cEffectCompressor(this); }
