// The sound side of the synthesizer module: the block it renders on the
// audio thread, the note and controller events, and what it reports to the
// mixer.
#include "instruments/synth/AnalogueSynth.h"

#include <cmath>

#include "audio/SafeValues.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectWaveShape.h"
#include "mixer/MixerChannel.h"

namespace
{
enum : int32_t
{
    kOutputLevel = 0,
    kOutputSend1 = 2,
    kOutputSend2 = 3,
    kOutputAsleep = 4,
};
constexpr uint32_t kParamVolume = 1;
constexpr uint32_t kParamPan = 2;
constexpr float kOutputHighPassQ = 1.0f;
} // namespace

int32_t cAnalogueSynth::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    mSamples->SetOffline(info.offline != 0);
    mPreviewSamples->SetOffline(info.offline != 0);
    DrainEvents();
    FollowChannel();
    // The preview preloads only while the layers' own samples wait for nothing.
    if (!mSamples->Poll())
        mPreviewSamples->Poll();
    SetupLayers();
    mVoices->Render(info, buffer, kVoiceGain);
    if (mDrive)
        mDrive->DrainEvents();
    if (mChorusDelay)
        mChorusDelay->DrainEvents();
    mSilence.CheckInput(info, buffer, mVoices->HasActiveVoices());
    if (mSilence.remaining > 0.0f)
        RunEffects(info, buffer);
    mSilence.CheckOutput(info, buffer);
    mOutputValues[kOutputAsleep] = mSilence.remaining > 0.0f ? 0.0f : 1.0f;
    return 0;
}

// The strip's working volume and pan follow the module parameters, which
// controllers and automation move.
void cAnalogueSynth::FollowChannel()
{
    if (!mChannel)
        return;
    mChannel->workingVolume = mParamValues[kParamVolume];
    mChannel->workingPan = mParamValues[kParamPan];
    mChannel->UpdateGains(false);
}

void cAnalogueSynth::SetupLayers()
{
    if (mMode != kModeMulti)
    {
        cAnalogueSynthSingle& patch = CurrentSingle();
        RouteGlobalModulation(patch);
        SetSends(patch.Send1, patch.Send2);
        PointEffects(patch.WS, patch.CD);
        mVoices->SetupSingle(&patch);
        return;
    }
    cAnalogueSynthMulti& multi = CurrentMulti();
    // Only layer 0 feeds the effects; while it is off the sums stay.
    const int32_t first = multi.layers[0].Index;
    if (mStore && first != cAnalogueSynthMulti::kLayerOff)
        RouteGlobalModulation(mStore->GetSingle(first));
    SetSends(multi.Send1, multi.Send2);
    PointEffects(multi.WS, multi.CD);
    mVoices->SetupMulti(mStore, multi);
}

// An engine pointed at other settings starts afresh.
void cAnalogueSynth::PointEffects(cWaveShapeParams& drive, cChorusDelayParams& chorusDelay)
{
    if (mDrive && mDrive->block.params != &drive)
    {
        mDrive->block.params = &drive;
        mDrive->block.Reset();
    }
    if (mChorusDelay && mChorusDelay->block.params != &chorusDelay)
    {
        mChorusDelay->block.params = &chorusDelay;
        mChorusDelay->block.Reset();
    }
}

void cAnalogueSynth::SetSends(float send1, float send2)
{
    mOutputValues[kOutputSend1] = ClampFloat(FiniteOr0(mGlobal.send[0] + send1), 0.0f, 1.0f);
    mOutputValues[kOutputSend2] = ClampFloat(FiniteOr0(mGlobal.send[1] + send2), 0.0f, 1.0f);
}

void cAnalogueSynth::RouteGlobalModulation(const cAnalogueSynthSingle& patch)
{
    EvaluateModuleModulation(patch.Mod, mParamValues.get(), mGlobal);
}

void cAnalogueSynth::DesignOutputFilter(const cAudioProcessInfo& info)
{
    if (info.sampleRate == mLastSampleRate)
        return;
    mLastSampleRate = info.sampleRate;
    mOutputFilter[0].SetHighPass(kOutputHighPassHz * info.secondsPerSample, kOutputHighPassQ, 1.0f);
    mOutputFilter[1].CopySettings(mOutputFilter[0]);
}

void cAnalogueSynth::ResetEffects()
{
    if (mChorusDelay)
        mChorusDelay->Reset();
    if (mDrive)
        mDrive->Reset();
}

// Awake blocks only; waking starts the effects and the filter afresh.
void cAnalogueSynth::RunEffects(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DesignOutputFilter(info);
    if (mSilence.woke)
    {
        mSilence.woke = 0;
        ResetEffects();
        mOutputFilter[0].ClearHistory();
        mOutputFilter[1].ClearHistory();
    }
    if (mDrive)
        mDrive->ProcessModulated(info, buffer, mGlobal.waveShaper);
    if (mChorusDelay)
    {
        mChorusDelay->DrainEvents();
        mOutputValues[kOutputLevel] =
            mChorusDelay->block.Process(info, buffer, buffer, mGlobal.chorus, mGlobal.delay);
    }
    cBiquad* sections[2] = {&mOutputFilter[0], &mOutputFilter[1]};
    ProcessBiquadChannels(buffer, sections, 2);
}

// Index 0 is the pitch bend; the volume and pan are kept by the strip, the
// performance controllers by the current preset. Automation (a non-zero
// first word) moves the value only. A value that is not a number is refused.
void cAnalogueSynth::HandleModuleParam(const cAudioEvent& event)
{
    const uint32_t index = event.wordB;
    const float value = event.valueF;
    if (index >= uint32_t(kModuleParamCount) || !std::isfinite(value))
        return;
    if (event.wordA == 0 && index != 0)
    {
        if (index == kParamVolume || index == kParamPan)
        {
            if (mChannel)
                (index == kParamVolume ? mChannel->volume : mChannel->pan) = ClampFloat(value, 0.0f, 1.0f);
        }
        else
        {
            BeginEdit();
            CurrentCtrl().values[index] = value;
        }
    }
    mParamValues[index] = value;
    mChangedMask.fetch_or(1u << index);
}

float cAnalogueSynth::GetOutputValue(int32_t kind, int32_t)
{
    return kind >= 0 && kind < kOutputValueCount ? mOutputValues[kind] : 0.0f;
}

const cModMatrix* cAnalogueSynth::GetCurrentModMatrix() const
{
    if (mMode != kModeMulti)
        return &GetCurrentSingle().Mod;
    const int32_t first = GetCurrentMulti().layers[0].Index;
    if (!mStore || first == cAnalogueSynthMulti::kLayerOff)
        return nullptr;
    return &mStore->GetSingle(first).Mod;
}
