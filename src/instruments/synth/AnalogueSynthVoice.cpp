#include "instruments/synth/AnalogueSynthVoice.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/Sample.h"
#include "audio/SafeValues.h"
#include "base/Clock.h"
#include "instruments/synth/AnalogueSynthSingle.h"
#include "mixer/MixerChannel.h"

namespace
{
constexpr float kMiddleC = 60.0f;
constexpr float kMinGlideSeconds = 1e-6f;
constexpr float kMaxFilterEnvStep = 0.5f; // per block, from the second block on
constexpr float kMaxAmplitude = 5.0f;
constexpr float kSampleLevelScale = 5.0f;
constexpr float kPitchSumSemitones = 24.0f;
constexpr int32_t kFirstSliceKey = 24;
constexpr int32_t kSampleTail = 256; // frames an end never comes closer than
// A pitch beyond this many semitones from middle C plays nothing useful and
// would overflow the rate.
constexpr float kMaxPitchDistance = 240.0f;

// Quieter towards the top of the keyboard: full up to note 36, 0.7 from 84.
float KeyScale(float pitch)
{
    if (pitch <= 36.0f)
        return 1.0f;
    if (pitch <= 84.0f)
        return 1.0f - (pitch - 36.0f) / 48.0f * 0.3f;
    return 0.7f;
}

// The loop modes the player knows; a stored value outside them is held to
// the nearest.
int32_t PlayerMode(int32_t dir) { return std::clamp(dir, 0, 3); }

double ClockSeconds() { return double(GetTicks()) * GetMillisecondsPerTick() * 0.001; }
} // namespace

void cAnalogueSynthVoice::BindSections(cAnalogueSynthSingle* newPatch)
{
    patch = newPatch;
    mOsc.SetParams(&newPatch->Osc);
    mFilter.params = &newPatch->Filter;
    mFilterEnv.params = &newPatch->FilterEnv;
    mAmpEnv.params = &newPatch->AmpEnv;
    mAuxEnv.params = &newPatch->AuxEnv;
    for (int32_t i = 0; i < 4; ++i)
        mLFO[i].params = &newPatch->GetLFO(i);
    mMatrix.matrix = &newPatch->Mod;
}

void cAnalogueSynthVoice::Start(const cHeldNote& entry, int32_t layerIndex, int32_t layerTrackKeys,
                                cAnalogueSynthSingle* newPatch, cSample* sample)
{
    sourceSlot = entry.sourceSlot;
    voiceId = entry.voiceId;
    note = entry.note;
    velocity = float(entry.velocity) / 127.0f;
    state = kHeld;
    age = 0.0f;
    firstBlock = 1;
    currentPitch = targetPitch = float(entry.note);
    glideDistance = 0.0f;
    trackKeys = layerTrackKeys;
    layer = layerIndex;
    if (newPatch != patch)
        BindSections(newPatch);
    previousLeft = previousRight = currentLeft = currentRight = 0.0f;
    pitchOffset = previousPitchOffset = 0.0f;
    filterEnvValue = previousFilterEnvValue = 0.0f;
    mFilter.NoteStart();
    mFilterEnv.Trigger();
    mAmpEnv.Trigger();
    mAuxEnv.Trigger();
    for (cLFO& lfo : mLFO)
        lfo.Trigger();
    mMatrix.sums = {};
    sampleVoice = patch->Osc.Mod == cOscSectionParams::kModeSample ? 1 : 0;
    if (!sampleVoice)
    {
        mPlayer.Reset();
        return;
    }
    const int32_t frames = sample ? sample->GetFrames() : 0;
    mPlayer.Start(frames > 0 ? sample : nullptr, 0, frames, PlayerMode(patch->Sample.Dir), patch->Sample.Loop, 0);
}

void cAnalogueSynthVoice::Retarget(const cHeldNote& entry, int32_t layerIndex)
{
    voiceId = entry.voiceId;
    note = entry.note;
    targetPitch = float(entry.note);
    glideDistance = std::fabs(targetPitch - currentPitch);
    velocity = float(entry.velocity) / 127.0f;
    layer = layerIndex;
}

void cAnalogueSynthVoice::Release()
{
    state = kReleased;
    mFilterEnv.Release();
    mAmpEnv.Release();
    mAuxEnv.Release();
    const double now = ClockSeconds();
    for (cLFO& lfo : mLFO)
        if (lfo.params && lfo.params->Sync == cLFOParams::kSyncOff)
            lfo.SetReferenceTime(now);
}

void cAnalogueSynthVoice::Cut()
{
    mPlayer.ReleaseSample();
    state = kFinished;
}

// The aux envelope and the LFOs run with last block's sums, and only where
// a row uses them; then the matrix gives this block's sums.
void cAnalogueSynthVoice::RunModulation(float elapsed)
{
    const cModMatrix& matrix = patch->Mod;
    cModSources sources{};
    for (int32_t i = 0; i < 4; ++i)
        if (matrix.GetActiveDest(cModMatrix::kSourceLFO1 + i) != cModMatrix::kDestOff)
        {
            sources.lfoValue[i] = mLFO[i].Process(mMatrix.sums.lfo[i], elapsed);
            sources.lfoDepth[i] = mLFO[i].GetDepth();
        }
    if (matrix.GetActiveDest(cModMatrix::kSourceAuxEnv) != cModMatrix::kDestOff)
    {
        sources.auxEnvOutput = mAuxEnv.Process(mMatrix.sums.auxEnv, elapsed);
        sources.auxEnvAmount = mAuxEnv.GetAmount();
    }
    sources.velocity = velocity;
    sources.controllers = patch->Ctrl.values;
    mMatrix.Evaluate(sources);
}

// A glide takes GlideTime whatever its distance.
void cAnalogueSynthVoice::Glide(float elapsed)
{
    if (trackKeys == 0)
    {
        currentPitch = targetPitch = kMiddleC;
        return;
    }
    if (currentPitch == targetPitch)
        return;
    const float glideTime = FiniteOr0(patch->GlideTime);
    if (glideTime < kMinGlideSeconds)
    {
        currentPitch = targetPitch;
        return;
    }
    const float step = glideDistance * elapsed / glideTime;
    if (currentPitch < targetPitch)
        currentPitch = std::min(currentPitch + step, targetPitch);
    else
        currentPitch = std::max(currentPitch - step, targetPitch);
}

// The envelope's amount as it stood before this block's advance: nothing on
// the voice's first block.
float cAnalogueSynthVoice::Amplitude(float elapsed, float gain)
{
    const float amount = firstBlock ? 0.0f : mAmpEnv.GetAmount();
    const float level = mAmpEnv.Process(mMatrix.sums.ampEnv, elapsed);
    float amplitude = velocity * (level * amount + mMatrix.sums.ampAmount) * gain;
    if (sampleVoice)
        amplitude *= FiniteOr0(patch->Sample.Level) * kSampleLevelScale;
    return amplitude * KeyScale(pitchOffset);
}

// Returns the filter's level compensation.
float cAnalogueSynthVoice::FilterStep(const cAudioProcessInfo& info)
{
    const float amount = firstBlock ? 0.0f : mFilterEnv.GetAmount();
    const float level = mFilterEnv.Process(mMatrix.sums.filterEnv, info.duration);
    float value = FiniteOr0(level * amount);
    if (age != 0.0f)
        value = std::clamp(value, previousFilterEnvValue - kMaxFilterEnvStep,
                           previousFilterEnvValue + kMaxFilterEnvStep);
    filterEnvValue = value;
    const int32_t key = TruncClamped(currentPitch, 0.0f, 127.0f);
    return mFilter.Update(info, value, key, &mMatrix.sums.filterCutoff);
}

void cAnalogueSynthVoice::SetPanGains(float amplitude, float pan)
{
    float left, right;
    cMixerChannel::PanFactors(ClampFloat(FiniteOr0(mMatrix.sums.oscPan) * 0.5f + pan, 0.0f, 1.0f), left, right);
    currentLeft = amplitude * left;
    currentRight = amplitude * right;
}

void cAnalogueSynthVoice::Control(const cAudioProcessInfo& info, const cVoiceLayerSetup& setup)
{
    previousLeft = currentLeft;
    previousRight = currentRight;
    if (state == kFinished)
    {
        currentLeft = currentRight = 0.0f;
        return;
    }
    const float elapsed = info.duration;
    RunModulation(elapsed);
    previousPitchOffset = pitchOffset;
    previousFilterEnvValue = filterEnvValue;
    Glide(elapsed);
    pitchOffset = float(patch->BendRange) * setup.bend + setup.transpose;
    if (!sampleVoice)
        pitchOffset += currentPitch;
    pitchOffset = FiniteOr0(pitchOffset);

    float amplitude = Amplitude(elapsed, setup.gain);
    amplitude *= FilterStep(info);
    amplitude = ClampFloat(FiniteOr0(amplitude), 0.0f, kMaxAmplitude);
    if (sampleVoice)
        UpdateSampleLayer(pitchOffset);
    else
        mOsc.Control(mMatrix.sums, pitchOffset);
    SetPanGains(amplitude, setup.pan);
    if (firstBlock)
    {
        previousLeft = currentLeft;
        previousRight = currentRight;
        firstBlock = 0;
    }
    if (mAmpEnv.GetStage() == cEnvelope::kStageIdle)
    {
        currentLeft = currentRight = 0.0f;
        state = kFinished;
    }
    else
        age += elapsed;
}

void cAnalogueSynthVoice::UpdateSampleLayer(float offset)
{
    const cSample* sample = mPlayer.GetSample();
    const int32_t frames = sample ? sample->GetFrames() : 0;
    if (frames < 1)
    {
        mSampleRatio = 1.0f;
        mPlayer.SetRegion(0, 0, PlayerMode(patch->Sample.Dir));
        return;
    }
    const cSampleLayerParams& layerParams = patch->Sample;
    float pitch = float(layerParams.Transpose) + offset + float(layerParams.Pitch) * 0.01f +
                  FiniteOr0(mMatrix.sums.oscPitchA) * kPitchSumSemitones;
    int32_t sliceOffset = 0;
    if (layerParams.NoteSlice < 1)
        pitch += currentPitch;
    else
    {
        pitch += kMiddleC;
        const int32_t key = TruncClamped(currentPitch + 0.5f, -1000.0f, 1000.0f);
        const int32_t slices = layerParams.NoteSlice;
        sliceOffset = (std::abs(key - kFirstSliceKey) % slices) * (frames / slices);
    }
    pitch = ClampFloat(FiniteOr0(pitch), kMiddleC - kMaxPitchDistance, kMiddleC + kMaxPitchDistance);
    mSampleRatio = std::exp2((pitch - kMiddleC) / 12.0f);

    const float startSum = FiniteOr0(mMatrix.sums.sampleStart);
    const float fullLength = float(frames);
    const int32_t start =
        std::clamp(TruncClamped(startSum * fullLength, -fullLength, fullLength) + sliceOffset, 0, frames);
    const float lengthFactor = mMatrix.sums.sampleLengthModulated
                                   ? std::pow(ClampFloat(FiniteOr0(mMatrix.sums.sampleLength), 0.0f, 1.0f), 5.0f)
                                   : 1.0f;
    int32_t end = TruncClamped((startSum + lengthFactor) * fullLength, -fullLength, 2.0f * fullLength) + kSampleTail;
    end = end < start + kSampleTail ? start + kSampleTail : std::min(end, frames);
    mPlayer.SetRegion(start, end, PlayerMode(layerParams.Dir));
}

void cAnalogueSynthVoice::Generate(const cAudioProcessInfo& info, cAudioBuffer& channel)
{
    if (!sampleVoice)
    {
        mOsc.Render(info, channel);
        return;
    }
    mPlayer.Render(info, channel, false, 1, info.quality != 0, mSampleRatio, 1.0f, 1.0f, 1.0f, 1.0f);
}
