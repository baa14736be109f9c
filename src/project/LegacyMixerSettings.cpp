#include "project/LegacyMixerSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/GenString.h"
#include "base/Serialise.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectReverb.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "project/ProjectSlots.h"

namespace
{
constexpr float kReturnAVolume = 0.8f;
constexpr float kReturnBVolume = 1.0f;
constexpr float kMasterScale = 0.85f;
constexpr int32_t kReverbPresetCount = 12;

const Base::cEnumTable& ReverbPresetTable()
{
    static Base::cEnumEntry entries[kReverbPresetCount];
    static const Base::cEnumTable table = [] {
        for (int32_t i = 0; i < kReverbPresetCount; ++i)
            entries[i] = {i, cEffectReverb::GetPresetName(i)};
        return Base::cEnumTable{entries, kReverbPresetCount};
    }();
    return table;
}

float Unit(float value) { return std::clamp(value, 0.0f, 1.0f); }

// Reads the text itself, so that "nan" and "inf" can keep the value.
void ReadFiniteFloat(Base::cSerialise& serialise, const char* name, float& value)
{
    cGenStringFixed<64> text;
    if (!serialise.SerialiseText(name, &text))
        return;
    char* end = nullptr;
    const double read = std::strtod(text.CStr(), &end);
    if (end != text.CStr() && std::isfinite(read) && std::fabs(read) <= 3.4e38)
        value = float(read);
}

// "Vol" (a linear gain) and "Pan" of the current element.
cLegacyMixerSettings::cStrip ReadStrip(Base::cSerialise& serialise)
{
    float gain = cLegacyMixerSettings::kDefaultGain;
    float pan = 0.5f;
    ReadFiniteFloat(serialise, "Vol", gain);
    ReadFiniteFloat(serialise, "Pan", pan);
    return {Unit(LegacyVolumeToFader(gain)), Unit(pan)};
}

bool IsOldMixerType(const cGenString& type)
{
    return std::strcmp(type.CStr(), "Mixer") == 0 || std::strcmp(type.CStr(), "MixingDesk") == 0;
}

void ReadReverb(Base::cSerialise& serialise, cLegacyMixerSettings& settings)
{
    int32_t preset = settings.reverbPreset;
    if (serialise.SerialiseEnum("Preset", &preset, &ReverbPresetTable()) && preset >= 0 &&
        preset < kReverbPresetCount)
        settings.reverbPreset = preset;
    serialise.SerialiseInt32("Enable", &settings.reverbEnable, INT32_MIN, INT32_MAX);
    ReadFiniteFloat(serialise, "DryWet", settings.reverbDryWet);
}

void ReadAM(Base::cSerialise& serialise, cLegacyMixerSettings& settings)
{
    for (int32_t i = 0; i < cLegacyMixerSettings::kInputCount; ++i)
    {
        char name[16];
        std::snprintf(name, sizeof(name), "Input%02d", int(i));
        if (serialise.BeginNode(name, false))
        {
            settings.inputs[i] = ReadStrip(serialise);
            serialise.EndNode(name);
        }
    }
    if (serialise.BeginNode("Output", false))
    {
        settings.output = ReadStrip(serialise);
        serialise.EndNode("Output");
    }
    if (serialise.BeginNode("Reverb", false))
    {
        ReadReverb(serialise, settings);
        serialise.EndNode("Reverb");
    }
    if (serialise.BeginNode("Chorus", false))
    {
        settings.chorus.Serialise(serialise);
        serialise.EndNode("Chorus");
    }
}

void SetStrip(cMixerChannel& channel, float volume, float pan)
{
    channel.volume = channel.workingVolume = volume;
    channel.pan = channel.workingPan = pan;
    channel.UpdateGains(true);
}

// The return's rack is emptied and its first slot gets the new effect,
// switched on; the node deletes what it held once the audio thread cannot
// reach it.
void ReplaceReturnEffect(cMixerChannel& channel, cEffect* effect)
{
    channel.insertRack.RemoveEffects();
    cEffectRackNode* slot = channel.insertRack.FindNode("SLOT1");
    if (!slot || !effect)
    {
        delete effect;
        return;
    }
    slot->SetEffect(effect, false);
}

cEffect* CreateOldReverb(const cLegacyMixerSettings& settings)
{
    cEffect* reverb = gEffectRegistry ? gEffectRegistry->CreateEffect("Q-HALLS") : nullptr;
    if (!reverb)
        return nullptr;
    // Not yet in a rack: nothing else drains it.
    reverb->SetEnabled(true);
    reverb->PostEvent(MakeSetIntEvent(cEffectReverb::kParamEnable, settings.reverbEnable));
    reverb->PostEvent(MakeSetIntEvent(cEffectReverb::kParamPreset, settings.reverbPreset));
    reverb->PostEvent(MakeSetFloatEvent(cEffectReverb::kParamDryWet, 1.0f));
    reverb->DrainEvents();
    return reverb;
}

cEffect* CreateOldChorus(const cLegacyMixerSettings& settings)
{
    cEffect* effect = gEffectRegistry ? gEffectRegistry->CreateEffect("VELTRIX") : nullptr;
    auto* chorus = dynamic_cast<cEffectChorusDelay*>(effect);
    if (!chorus)
    {
        delete effect;
        return nullptr;
    }
    chorus->SetEnabled(true);
    chorus->params = settings.chorus;
    chorus->params.DAmount = 1.0f;
    return chorus;
}
} // namespace

cLegacyMixerSettings::cLegacyMixerSettings()
{
    const float fader = LegacyVolumeToFader(kDefaultGain);
    for (cStrip& input : inputs)
        input = {fader, 0.5f};
    output = {fader, 0.5f};
    chorus.Type = cChorusDelayParams::kTypeCrossDelay;
    chorus.Enable = 1;
    chorus.Sync = 1;
    chorus.CRate = 0.12f;
    chorus.CDelay = 0.015f;
    chorus.CDepth = 0.065f;
    chorus.CFeedback = 0.17f;
    chorus.DTime = 0.5f;
    chorus.DBeatTime = 3;
    chorus.DFeedback = 0.17f;
    chorus.DAmount = 0.12f;
}

float LegacyVolumeToFader(float volume) { return volume < 0.01f ? 0.0f : std::log2(volume) / 4.0f + 1.0f; }

bool ImportLegacyProjectMixer(Base::cSerialise& serialise, cLegacyMixerSettings& settings)
{
    if (!serialise.BeginNode("Instruments", false))
        return false;
    bool found = false;
    if (serialise.BeginNode("Instr", false))
    {
        do
        {
            cGenStringFixed<32> type;
            serialise.SerialiseText("Type", &type);
            if (IsOldMixerType(type) && serialise.BeginNode("AM", false))
            {
                ReadAM(serialise, settings);
                serialise.EndNode("AM");
                found = true;
            }
        } while (!found && serialise.NextNode("Instr"));
        serialise.EndNode("Instr");
    }
    serialise.EndNode("Instruments");
    return found;
}

void ApplyLegacyProjectMixer(const cLegacyMixerSettings& settings)
{
    cMixer* mixer = GetMixer();
    if (!mixer)
        return;
    if (cMixerChannel* returnA = mixer->GetReturn(0))
    {
        SetStrip(*returnA, kReturnAVolume, returnA->pan);
        ReplaceReturnEffect(*returnA, CreateOldReverb(settings));
    }
    if (cMixerChannel* returnB = mixer->GetReturn(1))
    {
        SetStrip(*returnB, kReturnBVolume, returnB->pan);
        ReplaceReturnEffect(*returnB, CreateOldChorus(settings));
    }
    if (cMixerChannel* master = mixer->GetMaster())
        SetStrip(*master, settings.output.volume * kMasterScale, master->pan);
    const int32_t inputs = std::min(mixer->GetInputCount(), cLegacyMixerSettings::kInputCount);
    for (int32_t i = 0; i < inputs; ++i)
        if (cMixerChannel* input = mixer->GetChannel(i))
            SetStrip(*input, settings.inputs[i].volume, settings.inputs[i].pan);
    // The mixer takes the returns' and the master's levels from its
    // parameters: they follow the strips at its next block.
    cAudioEvent reload;
    reload.type = kAudioEventReloadParams;
    mixer->PostEvent(reload);
}
