#include "mixer/EffectReverb.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/AudioManager.h"
#include "base/Serialise.h"

namespace
{
const Base::cEnumEntry kPresetNames[cReverbParams::kPresetCount] = {
    {0, "Cathedral 1"}, {1, "Cathedral 2"}, {2, "Cathedral 3"}, {3, "Hall 1"},       {4, "Hall 2"},       {5, "Hall 3"},
    {6, "Room 1"},      {7, "Room 2"},      {8, "Room 3"},      {9, "Basement 1"}, {10, "Basement 2"}, {11, "Basement 3"},
};
const Base::cEnumTable kPresetTable = {kPresetNames, cReverbParams::kPresetCount};

// The lines are sized for the rate the program runs at.
float RunningRate() { return cAudioManager::Get() ? cAudioManager::Get()->GetSettings().sampleRate : 44100.0f; }
} // namespace

const char* cEffectReverb::GetPresetName(int32_t preset)
{
    return preset >= 0 && preset < cReverbParams::kPresetCount ? kPresetNames[preset].name : "";
}

cEffectReverb::cEffectReverb(cEffectPackage* package)
    : cEffect(package)
    , mNetwork(&mParams, RunningRate())
{
}

float cEffectReverb::GetParamFloat(uint32_t id) { return id == kParamDryWet ? mParams.dryWet : 0.0f; }

int32_t cEffectReverb::GetParamInt(uint32_t id)
{
    if (id == kParamEnable)
        return mParams.enable;
    return id == kParamPreset ? mParams.preset : 0;
}

void cEffectReverb::SetPreset(int32_t preset)
{
    if (preset >= 0 && preset < cReverbParams::kPresetCount)
        mParams.preset = preset;
}

void cEffectReverb::SetDryWet(float value)
{
    if (std::isfinite(value))
        mParams.dryWet = std::clamp(value, 0.0f, 1.0f);
}

int32_t cEffectReverb::HandleEvent(const cAudioEvent& event)
{
    if (event.type == kAudioEventSetFloatParam && event.wordA == kParamDryWet)
        SetDryWet(event.GetFloatValue());
    else if (event.type == kAudioEventSetIntParam && event.wordA == kParamEnable)
        mParams.enable = event.GetIntValue();
    else if (event.type == kAudioEventSetIntParam && event.wordA == kParamPreset)
        SetPreset(event.GetIntValue());
    return 0;
}

int32_t cEffectReverb::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DrainEvents();
    if (!mParams.enable || !buffer.data || buffer.channels != 2 || !(info.sampleRate >= 1.0f))
        return 0;
    mNetwork.Process(buffer.Floats(), buffer.frames, int32_t(std::min(info.sampleRate, 1.0e6f)));
    return 0;
}

bool cEffectReverb::Serialise(Base::cSerialise& serialise)
{
    int32_t preset = mParams.preset;
    if (serialise.SerialiseEnum("Preset", &preset, &kPresetTable) && !serialise.IsSaving())
        SetPreset(preset);
    serialise.SerialiseInt32("Enable", &mParams.enable, INT_MIN, INT_MAX);
    float dryWet = mParams.dryWet;
    if (serialise.SerialiseFloat("DryWet", &dryWet, -FLT_MAX, FLT_MAX) && !serialise.IsSaving())
        SetDryWet(dryWet);
    return true;
}

void cEffectReverb::Reset() { mNetwork.Reset(); }

void cEffectReverb::SetEnabled(bool enabled) { mParams.enable = enabled ? 1 : 0; }

bool cEffectReverb::IsEnabled() const { return mParams.enable != 0; }

cEffectReverbSendPackage::cEffectReverbSendPackage() : cEffectPackage("Q-HALLS", "Reverb", "Reverb") {}

cEffect* cEffectReverbSendPackage::CreateEffect() { return new cEffectReverb(this); }
