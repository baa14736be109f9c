#include "instruments/synth/AnalogueSynth.h"

#include "audio/Instrument.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "instruments/synth/SynthParamId.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectWaveShape.h"
#include "mixer/MixerChannel.h"

// The owner's strip exists before its module, which follows it every block.
cAnalogueSynth::cAnalogueSynth(cInstrument* owner)
    : cAudioModule(owner, kRingSize), mVoices(std::make_unique<cAnalogueSynthVoiceEngine>(*this)),
      mSamples(std::make_unique<cAnalogueSynthSampleManager>()),
      mPreviewSamples(std::make_unique<cAnalogueSynthSampleManager>())
{
    SetParamCount(kModuleParamCount);
    mParamValues[2] = 0.5f; // pan centred
    if (owner && owner->GetChannelCount() > 0)
        mChannel = dynamic_cast<cMixerChannel*>(owner->GetChannel(0));
    CreateEffects();
    mSilence.holdTime = kSleepSeconds;
    mSilence.remaining = kSleepSeconds;
    mSilence.stereo = 1;
    mSilence.woke = 1;
    // A note played before the first block sounds with the init single.
    mVoices->SetupSingle(&CurrentSingle());
}

cAnalogueSynth::~cAnalogueSynth()
{
    mDriveEffect.reset();
    mChorusDelayEffect.reset();
    mSamples->Reset();
    mPreviewSamples->Reset();
    mSamples.reset();
    mPreviewSamples.reset();
    mVoices.reset();
}

// Both units come from the effect registry; without them the module plays
// dry.
void cAnalogueSynth::CreateEffects()
{
    if (!gEffectRegistry)
        return;
    mChorusDelayEffect.reset(gEffectRegistry->CreateEffect("VELTRIX"));
    mDriveEffect.reset(gEffectRegistry->CreateEffect("9TH HARBOR"));
    mChorusDelay = dynamic_cast<cEffectChorusDelay*>(mChorusDelayEffect.get());
    mDrive = dynamic_cast<cEffectWaveShape*>(mDriveEffect.get());
    if (mDrive)
    {
        mDrive->block.inputLevel = kDriveInputLevel;
        mDrive->block.outputLevel = kDriveOutputLevel;
    }
}

cChorusDelayParams& cAnalogueSynth::CurrentCD() { return mMode == kModeMulti ? CurrentMulti().CD : CurrentSingle().CD; }

cWaveShapeParams& cAnalogueSynth::CurrentWS() { return mMode == kModeMulti ? CurrentMulti().WS : CurrentSingle().WS; }

cControllerValues& cAnalogueSynth::CurrentCtrl()
{
    return mMode == kModeMulti ? CurrentMulti().Ctrl : CurrentSingle().Ctrl;
}

float cAnalogueSynth::GetParamFloat(uint32_t id)
{
    const int32_t group = SynthParamGroup(id);
    const bool multi = mMode == kModeMulti;
    switch (SynthParamSection(id))
    {
    case kSynthParamSingle:
        return CurrentSingle().GetParamFloat(group, SynthParamIndex(id), SynthParamField(id));
    case kSynthParamMulti:
        return CurrentMulti().GetParamFloat(group, SynthParamIndex(id));
    case kSynthParamChorusDelay:
        return CurrentCD().GetParamFloat(group);
    case kSynthParamSend1:
        return multi ? CurrentMulti().Send1 : CurrentSingle().Send1;
    case kSynthParamSend2:
        return multi ? CurrentMulti().Send2 : CurrentSingle().Send2;
    case kSynthParamWaveShaper:
        return CurrentWS().GetParamFloat(group);
    case kSynthParamCtrl:
        return CurrentCtrl().GetParamFloat(group);
    default:
        return 0.0f;
    }
}

int32_t cAnalogueSynth::GetParamInt(uint32_t id)
{
    const int32_t group = SynthParamGroup(id);
    const bool multi = mMode == kModeMulti;
    switch (SynthParamSection(id))
    {
    case kSynthParamMode:
        return mMode;
    case kSynthParamPreset:
        return CurrentPresetId();
    case kSynthParamSingle:
        return CurrentSingle().GetParamInt(group, SynthParamIndex(id), SynthParamField(id));
    case kSynthParamMulti:
        return CurrentMulti().GetParamInt(group, SynthParamIndex(id));
    case kSynthParamCompare:
        return mCompare;
    case kSynthParamModified:
        return mModified;
    case kSynthParamSinglePreset:
        return mSingleId;
    case kSynthParamMultiPreset:
        return mMultiId;
    case kSynthParamOctave:
        return multi ? CurrentMulti().Octave : CurrentSingle().Octave;
    case kSynthParamChorusDelay:
        return CurrentCD().GetParamInt(group);
    case kSynthParamWaveShaper:
        return CurrentWS().GetParamInt(group);
    case kSynthParamAccel:
        return multi ? CurrentMulti().Accel : CurrentSingle().Accel;
    case kSynthParamHeldKeys:
        return int32_t(mVoices->GetHeldKeys(id >> 8));
    default:
        return 0;
    }
}

void cAnalogueSynth::SetParamFloat(uint32_t id, float value)
{
    BeginEdit();
    const int32_t group = SynthParamGroup(id);
    const bool multi = mMode == kModeMulti;
    switch (SynthParamSection(id))
    {
    case kSynthParamSingle:
        mEditSingle.SetParamFloat(group, SynthParamIndex(id), SynthParamField(id), value);
        break;
    case kSynthParamMulti:
        mEditMulti.SetParamFloat(group, SynthParamIndex(id), value);
        break;
    case kSynthParamChorusDelay:
        CurrentCD().SetParamFloat(group, value);
        break;
    case kSynthParamSend1:
        (multi ? mEditMulti.Send1 : mEditSingle.Send1) = value;
        break;
    case kSynthParamSend2:
        (multi ? mEditMulti.Send2 : mEditSingle.Send2) = value;
        break;
    case kSynthParamWaveShaper:
        CurrentWS().SetParamFloat(group, value);
        break;
    case kSynthParamCtrl:
        CurrentCtrl().SetParamFloat(group, value);
        break;
    default:
        break;
    }
}

void cAnalogueSynth::SetParamInt(uint32_t id, int32_t value)
{
    const int32_t group = SynthParamGroup(id);
    const int32_t index = SynthParamIndex(id);
    const bool multi = mMode == kModeMulti;
    switch (SynthParamSection(id))
    {
    case kSynthParamMode:
        SetMode(value);
        break;
    case kSynthParamPreset:
        SelectInMode(value);
        break;
    case kSynthParamSingle:
        BeginEdit();
        mEditSingle.SetParamInt(group, index, SynthParamField(id), value);
        if (group == kSingleGroupOsc && index == cOscSectionParams::kIndexMod)
            RefreshSamples();
        break;
    case kSynthParamMulti:
        BeginEdit();
        mEditMulti.SetParamInt(group, index, value);
        if (group == kMultiGroupIndex)
            RefreshSamples();
        break;
    case kSynthParamCompare:
        ToggleCompare();
        break;
    case kSynthParamSinglePreset:
        SelectSingle(value, false);
        break;
    case kSynthParamMultiPreset:
        SelectMulti(value, false);
        break;
    case kSynthParamWritePreset:
        WriteCurrentPreset(value);
        break;
    case kSynthParamOctave:
        BeginEdit();
        (multi ? mEditMulti.Octave : mEditSingle.Octave) = value;
        break;
    case kSynthParamChorusDelay:
        BeginEdit();
        CurrentCD().SetParamInt(group, value);
        break;
    case kSynthParamWaveShaper:
        BeginEdit();
        CurrentWS().SetParamInt(group, value);
        break;
    case kSynthParamAccel:
        BeginEdit();
        (multi ? mEditMulti.Accel : mEditSingle.Accel) = value;
        break;
    default:
        break;
    }
}

int32_t cAnalogueSynth::HandleEvent(const cAudioEvent& event)
{
    switch (event.type)
    {
    case kAudioEventNoteOn:
        mVoices->NoteOn(event);
        break;
    case kAudioEventNoteOff:
        mVoices->NoteOff(event);
        break;
    case kAudioEventNoteCut:
        mVoices->Cut(event);
        break;
    case kAudioEventAllNotesOff:
        // A transport stop leaves the instrument's own notes sounding.
        if (!(event.flags & kAudioEventFlagTransportStop))
            mVoices->AllNotesOff();
        break;
    case kAudioEventReleaseLiveNotes:
        mVoices->ReleaseSource(event.GetNote());
        break;
    case kAudioEventReset:
        ResetEffects();
        break;
    case kAudioEventModuleParam:
        HandleModuleParam(event);
        break;
    case kAudioEventReloadParams:
        Apply();
        break;
    case kAudioEventSetFloatParam:
        SetParamFloat(event.wordA, event.GetFloatValue());
        break;
    case kAudioEventSetIntParam:
        SetParamInt(event.wordA, event.GetIntValue());
        break;
    case kAudioEventSelectPreset:
        SelectByEvent(event);
        break;
    case kAudioEventStepPreset:
        StepByEvent(event);
        break;
    case kAudioEventPrepareProgram:
        if (mMode == kModeSingle)
            PreviewSample(event.GetIntValue());
        break;
    default:
        break;
    }
    return 0;
}

void cAnalogueSynth::GetPresetText(cGenString& text)
{
    const bool multi = mMode == kModeMulti;
    const int32_t id = CurrentPresetId();
    const char* name = multi ? GetCurrentMulti().Name : GetCurrentSingle().Name;
    if (mStore)
        name = mStore->GetPresetName(multi ? 1 : 0, id);
    cAnalogueSynthPresetStore::FormatPresetText(text, id, name);
}
