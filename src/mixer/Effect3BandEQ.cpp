#include "mixer/Effect3BandEQ.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <iterator>

#include "audio/EffectCrossfade.h"
#include "base/Serialise.h"

namespace
{
constexpr float kBandRangeDb = 30.0f; // 0..1 spans -15..+15 dB


int32_t DirtyBitOf(uint32_t id)
{
    if (id <= cEffect3BandEQ::kParamLowGain)
        return cThreeBandEQParams::kDirtyLow;
    return id <= cEffect3BandEQ::kParamMidGain ? cThreeBandEQParams::kDirtyMid : cThreeBandEQParams::kDirtyHigh;
}

// Values outside 0..1 would put the bands where their formulas break down.
bool StoreNormalised(float& field, float value)
{
    if (!std::isfinite(value))
        return false;
    field = std::clamp(value, 0.0f, 1.0f);
    return true;
}

const char* const kFloatKeys[] = {"LowFreq", "LowGain", "MidFreq", "MidWidth", "MidGain", "HighFreq", "HighGain"};
} // namespace

cEffect3BandEQ::cEffect3BandEQ(cEffectPackage* package) : cEffect(package) {}

float cEffect3BandEQ::GainDb(float v) { return (v - 0.5f) * kBandRangeDb; }
float cEffect3BandEQ::LowHz(float v) { return std::pow(10.0f, 1.302f * v + 1.3f); }
float cEffect3BandEQ::MidHz(float v) { return std::pow(10.0f, 1.602f * v + 2.0f); }
float cEffect3BandEQ::HighHz(float v) { return std::pow(10.0f, 0.7781f * v + 3.0f); }
float cEffect3BandEQ::MidOctaves(float v) { return 4.0f * v + 0.5f; }

float* cEffect3BandEQ::FloatField(uint32_t id)
{
    switch (id)
    {
    case kParamLowFreq:
        return &mParams.lowFreq;
    case kParamLowGain:
        return &mParams.lowGain;
    case kParamMidFreq:
        return &mParams.midFreq;
    case kParamMidWidth:
        return &mParams.midWidth;
    case kParamMidGain:
        return &mParams.midGain;
    case kParamHighFreq:
        return &mParams.highFreq;
    case kParamHighGain:
        return &mParams.highGain;
    default:
        return nullptr;
    }
}

float cEffect3BandEQ::GetParamFloat(uint32_t id)
{
    const float* field = FloatField(id);
    return field ? *field : 0.0f;
}

int32_t cEffect3BandEQ::GetParamInt(uint32_t id)
{
    if (id == kParamEnable)
        return mParams.enable;
    return id == kParamGainComp ? mParams.gainComp : 0;
}

int32_t cEffect3BandEQ::HandleEvent(const cAudioEvent& event)
{
    if (event.type == kAudioEventSetFloatParam)
    {
        float* field = FloatField(event.wordA);
        if (field && StoreNormalised(*field, event.GetFloatValue()))
            mParams.dirty |= DirtyBitOf(event.wordA);
    }
    else if (event.type == kAudioEventSetIntParam && event.wordA == kParamEnable)
        mParams.enable = event.GetIntValue();
    else if (event.type == kAudioEventSetIntParam && event.wordA == kParamGainComp)
    {
        mParams.gainComp = event.GetIntValue();
        mParams.dirty |= cThreeBandEQParams::kDirtyGainComp;
    }
    return 0;
}

void cEffect3BandEQ::UpdateDirtyBands(float sampleRate)
{
    const int32_t dirty = mParams.dirty;
    if (dirty & cThreeBandEQParams::kDirtyLow)
        mCore.SetLowShelf(LowHz(mParams.lowFreq) / sampleRate, GainDb(mParams.lowGain));
    if (dirty & cThreeBandEQParams::kDirtyMid)
        mCore.SetMidPeak(MidHz(mParams.midFreq) / sampleRate, GainDb(mParams.midGain), MidOctaves(mParams.midWidth));
    if (dirty & cThreeBandEQParams::kDirtyHigh)
        mCore.SetHighShelf(HighHz(mParams.highFreq) / sampleRate, GainDb(mParams.highGain));
    if ((dirty & cThreeBandEQParams::kDirtyGainComp) && mCore.GetGainComp() != (mParams.gainComp != 0))
    {
        mCore.SetGainComp(mParams.gainComp != 0);
        mCore.UpdateOutputGains();
    }
    mParams.dirty = 0;
}

int32_t cEffect3BandEQ::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DrainEvents();
    const int32_t enable = mParams.enable;
    if ((!enable && !mWasEnabled) || !buffer.data || buffer.channels != 2 || !(info.sampleRate > 0.0f))
        return 0;
    if (info.sampleRate != mSampleRate)
    {
        mParams.dirty = cThreeBandEQParams::kDirtyAll;
        mSampleRate = info.sampleRate;
    }
    cEffectCrossfade fade;
    if ((enable != 0) != (mWasEnabled != 0))
        fade.Begin(buffer, enable ? cEffectCrossfade::kModeFadeIn : cEffectCrossfade::kModeFadeOut);
    if (mParams.dirty)
        UpdateDirtyBands(info.sampleRate);
    mCore.Process(buffer.Floats(), buffer.frames);
    fade.Mix();
    fade.End();
    mWasEnabled = enable;
    return 0;
}

bool cEffect3BandEQ::Serialise(Base::cSerialise& serialise)
{
    serialise.SerialiseInt32("Enable", &mParams.enable, INT_MIN, INT_MAX);
    serialise.SerialiseInt32("GainComp", &mParams.gainComp, INT_MIN, INT_MAX);
    for (uint32_t i = 0; i < std::size(kFloatKeys); ++i)
    {
        float* field = FloatField(kParamLowFreq + i);
        float value = *field;
        if (serialise.SerialiseFloat(kFloatKeys[i], &value, -FLT_MAX, FLT_MAX) && !serialise.IsSaving())
            StoreNormalised(*field, value);
    }
    if (!serialise.IsSaving())
        mParams.dirty = cThreeBandEQParams::kDirtyAll;
    return true;
}

void cEffect3BandEQ::Reset() { mCore.ClearState(); }

void cEffect3BandEQ::SetEnabled(bool enabled) { mParams.enable = enabled ? 1 : 0; }

bool cEffect3BandEQ::IsEnabled() const { return mParams.enable != 0; }

cEffect3BandEQPackage::cEffect3BandEQPackage() : cEffectPackage("EQ-3B", "3 Band EQ", "3 Band Parametric EQ") {}

cEffect* cEffect3BandEQPackage::CreateEffect() { return new cEffect3BandEQ(this); }
