#include "instruments/pads/TriggerPadVoice.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/Sample.h"
#include "audio/SafeValues.h"
#include "instruments/pads/TriggerPadData.h"
#include "mixer/MixerChannel.h"

namespace
{
constexpr float kVelocityScale = 1.0f / 127.0f;
constexpr float kMaxGain = 5.0f;
constexpr int32_t kLastDirection = cTriggerPadData::kDirectionCount - 1;

struct cRegion
{
    int32_t start;
    int32_t end;
    int32_t direction;
};

// A voice started on an older set plays on after a flip, so the pad's values
// may belong to another sample: they are held inside this one's frames.
cRegion RegionWithin(const cTriggerPadData& pad, const cSample* sample)
{
    const int32_t frames = sample ? sample->GetFrames() : 0;
    const int32_t end = std::clamp(pad.end, 0, frames);
    return {std::clamp(pad.start, 0, end), end, std::clamp(pad.direction, 0, kLastDirection)};
}
} // namespace

void cTriggerPadVoice::Start(int32_t slot, int32_t note, uint32_t id, int32_t velocity, cTriggerPadData* pad,
                             cSample* sample, bool ignoreMute)
{
    mState = kStatePlaying;
    mSlot = slot;
    mId = id;
    mNote = note;
    mVelocityScale = float(velocity) * kVelocityScale;
    mIgnoreMute = ignoreMute ? 1 : 0;
    mPad = pad;
    mTriggerMode = pad->triggerMode;
    mFirstBlock = 1;
    const cRegion region = RegionWithin(*pad, sample);
    mPlayer.Start(sample, region.start, region.end, region.direction, mTriggerMode == cTriggerPadData::kLoop, 0);
    mRampLeft = mRampRight = mTargetLeft = mTargetRight = 0.0f;
    mTargetPitch = 0.0f;
    mEnvelope.params = &pad->ampEnvelope;
    mEnvelope.Trigger();
}

void cTriggerPadVoice::Release()
{
    mState = kStateReleasing;
    mEnvelope.Release();
}

void cTriggerPadVoice::Free()
{
    mState = kStateStopped;
    mPlayer.ReleaseSample();
}

void cTriggerPadVoice::ApplyStopRules()
{
    if (mPad->triggerMode != mTriggerMode)
        mState = kStateStopped;
    else if (mState == kStatePlaying && mTriggerMode == cTriggerPadData::kTrigger && mPlayer.IsFinished())
        mState = kStateStopped;
    else if (mState == kStateReleasing && (mEnvelope.GetStage() == cEnvelope::kStageIdle || mPlayer.IsFinished()))
        mState = kStateStopped;
}

void cTriggerPadVoice::FollowPadRegion()
{
    const cRegion region = RegionWithin(*mPad, mPlayer.GetSample());
    mPlayer.SetRegion(region.start, region.end, region.direction);
}

void cTriggerPadVoice::Prepare(const cAudioProcessInfo& info, const cModulation& modulation)
{
    ApplyStopRules();
    if (mState == kStateStopped)
    {
        mTargetLeft = mTargetRight = 0.0f;
        return;
    }
    FollowPadRegion();
    const float level = mEnvelope.Process(nullptr, info.duration);
    mTargetPitch = float(mPad->transpose) + modulation.pitch + float(mPad->fineTune) * cTriggerPadData::kFineTuneStep;
    const float gain = ClampFloat(mVelocityScale * level * mEnvelope.GetAmount() * modulation.gain * mPad->volume,
                                  0.0f, kMaxGain);
    const float pan = ClampFloat(mPad->pan + modulation.pan, 0.0f, 1.0f);
    float left = 0.0f, right = 0.0f;
    cMixerChannel::PanFactors(pan, left, right);
    mTargetLeft = gain * left;
    mTargetRight = gain * right;
    if (mFirstBlock)
    {
        mRampLeft = mTargetLeft;
        mRampRight = mTargetRight;
        mFirstBlock = 0;
    }
}

void cTriggerPadVoice::Render(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    const float ratio = std::exp2(FiniteOr0(mTargetPitch) / 12.0f);
    mPlayer.Render(info, buffer, true, 2, info.quality != 0, ratio, mRampLeft, mRampRight, mTargetLeft,
                   mTargetRight);
    mRampLeft = mTargetLeft;
    mRampRight = mTargetRight;
    if (mState == kStateStopped)
        mPlayer.ReleaseSample();
}
