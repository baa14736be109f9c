#include "audio/SamplePlayer.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/Sample.h"

// Design note. The position is an integer frame and a 16-bit fraction; each
// output frame adds the fixed-point step (sample frames per output frame ×
// 65536, negative while moving backward). Instead of testing the region
// boundary per frame, a segment first counts the frames that fit before it
// from the distance to the boundary in 1/65536 frames and the very step the
// loop adds. Every frame of the segment then reads inside the region, so the
// frame loops test nothing but the sample's last frame for the interpolation
// partner.
//
// Backward passes play with the same gains as forward ones: a reversed or
// ping-pong sample keeps its polarity at every turn.

namespace
{
constexpr float kFixedOne = 65536.0f;
// The largest step whose 16.16 form, plus a fraction, still fits 32 bits.
constexpr float kMaxStep = 32767.0f;
// Samples are scaled to ±1; a stereo sample summed into one channel is halved.
constexpr float kScaleOne = 1.0f / 32767.0f;
constexpr float kScaleSummed = 1.0f / 65534.0f;

// a plus the fraction of the way to b, in integers as the fixed-point
// position has it.
inline int32_t Interpolate(int32_t a, int32_t b, uint32_t fraction)
{
    return int16_t(a + int32_t((int64_t(b - a) * fraction) >> 16));
}
} // namespace

cSamplePlayer::~cSamplePlayer() = default;

bool cSamplePlayer::Start(cSample* sample, int32_t start, int32_t end, int32_t mode, int32_t loop,
                          int32_t startPosition)
{
    mSample.Assign(sample);
    mStart = start;
    mEnd = end;
    mMode = mode;
    mLoop = loop;
    mFinished = sample ? 0 : 1;
    if (startPosition != 0)
    {
        mPosition = startPosition;
        mBackward = 0;
        mFraction = 0;
    }
    else
        Rewind();
    return IsFinished();
}

void cSamplePlayer::Rewind()
{
    const bool fromEnd = mMode == kModeReverse || mMode == kModeReverseForward;
    mPosition = fromEnd ? mEnd - 1 : mStart;
    mBackward = fromEnd ? 1 : 0;
    mFraction = 0;
}

void cSamplePlayer::Reset()
{
    ReleaseSample();
    Rewind();
}

void cSamplePlayer::SetRegion(int32_t start, int32_t end, int32_t mode)
{
    mStart = start;
    mEnd = end;
    mMode = mode;
}

void cSamplePlayer::ReleaseSample()
{
    mSample.Release();
    mFinished = 1;
}

template <bool kInterpolate, bool kStereoOutput, bool kStereoSample>
void cSamplePlayer::RenderFrames(cSamplePlayer& player, const cSegment& segment)
{
    constexpr int32_t kChannels = kStereoSample ? 2 : 1;
    const cSample& sample = *player.mSample;
    const int16_t* data = sample.GetData16();
    const int32_t last = sample.GetFrames() - 1;
    const int32_t stride = player.mOutputStride;
    float* out = player.mOutput;
    int32_t position = player.mPosition;
    int32_t fraction = int32_t(player.mFraction);
    float leftGain = segment.leftGain;
    float rightGain = segment.rightGain;
    for (int32_t i = 0; i < segment.frames; ++i)
    {
        const int16_t* frame = data + position * kChannels;
        int32_t left = frame[0];
        int32_t right = frame[kChannels - 1];
        if constexpr (kInterpolate)
        {
            const bool past = position >= last;
            const int32_t nextLeft = past ? player.mBoundaryLeft : frame[kChannels];
            const int32_t nextRight = past ? player.mBoundaryRight : frame[2 * kChannels - 1];
            left = Interpolate(left, nextLeft, uint32_t(fraction));
            right = kStereoSample ? Interpolate(right, nextRight, uint32_t(fraction)) : left;
        }
        if constexpr (kStereoOutput)
        {
            out[0] += float(left) * leftGain;
            out[1] += float(right) * rightGain;
        }
        else if constexpr (kStereoSample)
            out[0] = float(left) * leftGain + float(right) * rightGain;
        else
            out[0] = float(left) * leftGain;
        out += stride;
        fraction += segment.fixedStep;
        position += fraction >> 16;
        fraction &= 0xFFFF;
        leftGain += segment.leftIncrement;
        rightGain += segment.rightIncrement;
    }
    player.mOutput = out;
    player.mPosition = position;
    player.mFraction = uint32_t(fraction);
}

cSamplePlayer::tFrameRoutine cSamplePlayer::ChooseRoutine(bool interpolate, bool stereoOutput,
                                                          int32_t outputChannels, bool stereoSample)
{
    if (stereoOutput != (outputChannels == 2))
        return nullptr;
    static const tFrameRoutine kRoutines[2][2][2] = {
        {{&RenderFrames<false, false, false>, &RenderFrames<false, false, true>},
         {&RenderFrames<false, true, false>, &RenderFrames<false, true, true>}},
        {{&RenderFrames<true, false, false>, &RenderFrames<true, false, true>},
         {&RenderFrames<true, true, false>, &RenderFrames<true, true, true>}},
    };
    return kRoutines[interpolate][stereoOutput][stereoSample];
}

void cSamplePlayer::SetupSegment(cSegment& segment)
{
    const cSample& sample = *mSample;
    mPosition = std::clamp(mPosition, mStart, mEnd - 1);
    if (mLoop)
    {
        const int16_t* data = sample.GetData16();
        mBoundaryLeft = data[0];
        mBoundaryRight = data[sample.GetChannels() - 1];
    }
    else
        mBoundaryLeft = mBoundaryRight = 0;

    const int32_t fixedStep = int32_t(mStep * kFixedOne);
    segment.fixedStep = mBackward ? -fixedStep : fixedStep;
    // The distance to the boundary in 1/65536 frames.
    const int64_t distance = mBackward ? (int64_t(mPosition) - mStart) * 65536 + mFraction
                                       : (int64_t(mEnd) - mPosition) * 65536 - mFraction;
    // Every frame whose position lies inside the region: forward ones short
    // of the end, backward ones down to the start itself. A position inside
    // the region gives at least one, so a region shorter than one step
    // still advances.
    const int64_t inside = mBackward ? distance / fixedStep + 1 : (distance + fixedStep - 1) / fixedStep;
    const int64_t untilBoundary = std::max<int64_t>(inside, 1);
    segment.endsBlock = mFramesLeft < untilBoundary;
    segment.frames = int32_t(std::min<int64_t>(untilBoundary, mFramesLeft));
    segment.leftGain = mLeftGain * mScale;
    segment.rightGain = mRightGain * mScale;
    segment.leftIncrement = mLeftIncrement * mScale;
    segment.rightIncrement = mRightIncrement * mScale;

    mFramesLeft -= segment.frames;
    mLeftGain += mLeftIncrement * float(segment.frames);
    mRightGain += mRightIncrement * float(segment.frames);
}

bool cSamplePlayer::RenderSegment(tFrameRoutine routine)
{
    cSegment segment;
    SetupSegment(segment);
    routine(*this, segment);
    return !segment.endsBlock;
}

void cSamplePlayer::RenderOneWay(tFrameRoutine routine)
{
    mBackward = mMode == kModeReverse ? 1 : 0;
    while (mFramesLeft > 0)
    {
        if (!RenderSegment(routine))
            continue;
        mPosition = mMode == kModeForward ? mStart : mEnd - 1;
        mFraction = 0;
        if (!mLoop)
        {
            mFinished = 1;
            return;
        }
    }
}

void cSamplePlayer::RenderBackAndForth(tFrameRoutine routine)
{
    while (mFramesLeft > 0)
    {
        if (!RenderSegment(routine))
            continue;
        mBackward ^= 1;
        // Once: each mode plays its two passes and stops where it began.
        const bool home = mMode == kModeReverseForward ? mBackward != 0 : mBackward == 0;
        if (!mLoop && home)
        {
            mFinished = 1;
            return;
        }
    }
}

void cSamplePlayer::Render(const cAudioProcessInfo& info, cAudioBuffer& output, bool stereoOutput,
                           int32_t outputChannels, bool interpolate, float pitchRatio, float leftFrom,
                           float rightFrom, float leftTo, float rightTo)
{
    cSample* sample = mSample.Get();
    if (!sample || !sample->GetData())
    {
        ReleaseSample();
        return;
    }
    mEnd = std::clamp(mEnd, 0, sample->GetFrames());
    mStart = std::clamp(mStart, 0, mEnd);
    if (mLoop && mEnd - mStart < mMinLoopLength)
        return;
    if (!mLoop && mStart >= mEnd)
    {
        ReleaseSample();
        return;
    }
    if (IsFinished())
        return;
    const float step = float(sample->GetSampleRate()) * pitchRatio * info.secondsPerSample;
    if (!(step > 0.0f) || !std::isfinite(step))
        return;
    mStep = std::min(step, kMaxStep);

    const bool stereoSample = sample->GetChannels() == 2;
    const bool fractional = (int32_t(mStep * kFixedOne) & 0xFFFF) != 0;
    const tFrameRoutine routine = ChooseRoutine(interpolate && fractional, stereoOutput, outputChannels, stereoSample);
    if (!routine || output.channels < uint32_t(stereoOutput ? 2 : 1) || !output.data)
    {
        ReleaseSample();
        return;
    }
    mOutput = output.Floats();
    mOutputStride = int32_t(output.channels);
    mFramesLeft = int32_t(output.frames);
    mLeftGain = leftFrom;
    mRightGain = rightFrom;
    mLeftIncrement = output.frames ? (leftTo - leftFrom) / float(output.frames) : 0.0f;
    mRightIncrement = output.frames ? (rightTo - rightFrom) / float(output.frames) : 0.0f;
    mScale = stereoSample && !stereoOutput ? kScaleSummed : kScaleOne;

    if (mMode == kModeForward || mMode == kModeReverse)
        RenderOneWay(routine);
    else
        RenderBackAndForth(routine);
    if (IsFinished())
        mSample.Release();
}
