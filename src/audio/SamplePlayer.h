#pragma once
#include <cstdint>

#include "base/RefCount.h"

class cSample;
struct cAudioBuffer;
struct cAudioProcessInfo;

// The one sample voice: plays a region of a 16-bit sample at any pitch into
// a float block, forward, backward or back and forth, once or looping, with
// or without linear interpolation, with left and right gains ramped across
// the block. Positions step in 16.16 fixed point; the region boundary is
// tested once per segment, by counting the frames that fit before it, and
// one of eight frame loops is chosen per block. Audio thread only; the
// player holds a reference to its sample while it plays.
class cSamplePlayer
{
public:
    enum : int32_t
    {
        kModeForward = 0,
        kModeReverse = 1,
        kModeForwardReverse = 2,
        kModeReverseForward = 3,
    };
    static constexpr int32_t kDefaultMinLoopLength = 64;

    cSamplePlayer() = default;
    ~cSamplePlayer();
    cSamplePlayer(const cSamplePlayer&) = delete;
    cSamplePlayer& operator=(const cSamplePlayer&) = delete;

    // Returns whether the player is finished (no sample). A start position
    // other than 0 plays forward from there.
    bool Start(cSample* sample, int32_t start, int32_t end, int32_t mode, int32_t loop, int32_t startPosition);
    void Reset();
    void ReleaseSample();
    // Moves a playing voice to another region or mode from its next block on;
    // the position is brought inside the region there.
    void SetRegion(int32_t start, int32_t end, int32_t mode);

    // Stereo output (two output channels) adds into channels 0 and 1; mono
    // output overwrites channel 0. Gains move from the "from" to the "to"
    // values across the block.
    void Render(const cAudioProcessInfo& info, cAudioBuffer& output, bool stereoOutput, int32_t outputChannels,
                bool interpolate, float pitchRatio, float leftFrom, float rightFrom, float leftTo, float rightTo);

    bool IsFinished() const { return mFinished != 0; }
    bool IsBackward() const { return mBackward != 0; }
    int32_t GetPosition() const { return mPosition; }
    uint32_t GetFraction() const { return mFraction; }
    cSample* GetSample() const { return mSample.Get(); }
    void SetMinLoopLength(int32_t frames) { mMinLoopLength = frames; }

private:
    // One run of frames in one direction, up to the block's end or the
    // region boundary.
    struct cSegment
    {
        int32_t fixedStep = 0;
        int32_t frames = 0;
        float leftGain = 0.0f;
        float rightGain = 0.0f;
        float leftIncrement = 0.0f;
        float rightIncrement = 0.0f;
        bool endsBlock = false;
    };
    using tFrameRoutine = void (*)(cSamplePlayer& player, const cSegment& segment);

    static tFrameRoutine ChooseRoutine(bool interpolate, bool stereoOutput, int32_t outputChannels, bool stereoSample);
    template <bool kInterpolate, bool kStereoOutput, bool kStereoSample>
    static void RenderFrames(cSamplePlayer& player, const cSegment& segment);

    void Rewind();
    void SetupSegment(cSegment& segment);
    // Renders one segment; returns whether it ended at the region boundary.
    bool RenderSegment(tFrameRoutine routine);
    void RenderOneWay(tFrameRoutine routine);
    void RenderBackAndForth(tFrameRoutine routine);

    int32_t mPosition = 0;
    uint32_t mFraction = 0;
    int32_t mStart = 0;
    int32_t mEnd = 0;
    int32_t mMode = 0;
    int32_t mLoop = 0;
    int32_t mMinLoopLength = kDefaultMinLoopLength;
    uint8_t mBackward = 0;
    uint8_t mFinished = 1;
    Base::cRefPtr<cSample> mSample;

    // The block being rendered.
    float* mOutput = nullptr;
    int32_t mFramesLeft = 0;
    int32_t mOutputStride = 0;
    float mStep = 0.0f;
    float mLeftGain = 0.0f;
    float mRightGain = 0.0f;
    float mLeftIncrement = 0.0f;
    float mRightIncrement = 0.0f;
    float mScale = 0.0f;
    // The frame after the sample's last, when interpolating.
    int16_t mBoundaryLeft = 0;
    int16_t mBoundaryRight = 0;
};
