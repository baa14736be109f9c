#pragma once
#include <cstdint>

#include "audio/SamplePlayer.h"
#include "base/IntrusiveList.h"
#include "instruments/synth/Envelope.h"

class cSample;
class cTriggerPadData;
struct cAudioBuffer;
struct cAudioProcessInfo;

// One sounding pad: a sample player with its amplitude envelope, started by
// a note and rendered once per block into its pad's bus. Gains and pitch are
// worked out per block and ramped across it. Audio thread only; a voice is
// in its manager's active or free list.
class cTriggerPadVoice : public Base::cIntrusiveListItem<cTriggerPadVoice>
{
public:
    enum : int32_t
    {
        kStateStopped = 0, // freed at the end of its bus's pass
        kStatePlaying = 1,
        kStateReleasing = 2,
    };

    // What the voice pass gives every voice: its gain (0 for a muted pad)
    // and offsets of pitch and pan.
    struct cModulation
    {
        float pitch = 0.0f; // semitones
        float gain = 1.0f;
        float pan = 0.0f;
    };

    cTriggerPadVoice() = default;
    cTriggerPadVoice(const cTriggerPadVoice&) = delete;
    cTriggerPadVoice& operator=(const cTriggerPadVoice&) = delete;

    void Start(int32_t slot, int32_t note, uint32_t id, int32_t velocity, cTriggerPadData* pad, cSample* sample,
               bool ignoreMute);
    // Enters the release from the current level.
    void Release();
    // Stops at once, without a fade; the sample is let go.
    void Free();
    // The block's stop rules, pitch and gains.
    void Prepare(const cAudioProcessInfo& info, const cModulation& modulation);
    // Adds the voice into a stereo block; a stopped voice fades out across
    // it and lets its sample go.
    void Render(const cAudioProcessInfo& info, cAudioBuffer& buffer);

    int32_t GetState() const { return mState; }
    void SetState(int32_t state) { mState = state; }
    const cTriggerPadData* GetPad() const { return mPad; }
    int32_t GetSlot() const { return mSlot; }
    uint32_t GetId() const { return mId; }
    int32_t GetNote() const { return mNote; }
    int32_t GetTriggerMode() const { return mTriggerMode; }
    bool IgnoresMute() const { return mIgnoreMute != 0; }
    float GetTargetLeft() const { return mTargetLeft; }
    float GetTargetRight() const { return mTargetRight; }
    float GetTargetPitch() const { return mTargetPitch; }
    const cSamplePlayer& GetPlayer() const { return mPlayer; }

private:
    void ApplyStopRules();
    // The pad's range and direction, held inside the voice's own sample.
    void FollowPadRegion();

    int32_t mState = kStateStopped;
    cTriggerPadData* mPad = nullptr;
    int32_t mTriggerMode = 0;
    cSamplePlayer mPlayer;
    cEnvelope mEnvelope;
    int32_t mSlot = 0;
    uint32_t mId = 0;
    int32_t mNote = 0;
    float mVelocityScale = 0.0f;
    uint8_t mIgnoreMute = 0;
    float mRampLeft = 0.0f;
    float mRampRight = 0.0f;
    float mTargetLeft = 0.0f;
    float mTargetRight = 0.0f;
    float mTargetPitch = 0.0f;
    uint8_t mFirstBlock = 0;
};
