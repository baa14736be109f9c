#include "mixer/AuditionPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/AudioBufferPool.h"
#include "audio/AudioLock.h"
#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "base/Delegate.h"
#include "base/Serialise.h"
#include "base/SettingsFile.h"

cAuditionPlayer* gAuditionPlayer = nullptr;

namespace
{
// Previews play a little hot; the meters take it back out so a full-scale
// sample reads 1.0.
constexpr float kPreviewGain = 1.2f;
constexpr float kMeterScale = 0.8333333f;
constexpr float kMeterFall = 0.02f;

void FollowMeter(float& meter, float peak) { meter = peak >= meter ? peak : meter + (peak - meter) * kMeterFall; }
} // namespace

cAuditionPlayer::cAuditionPlayer()
{
    mRack.BuildInsertChain();
    gAuditionPlayer = this;
}

cAuditionPlayer::~cAuditionPlayer()
{
    Stop(true);
    mRack.DeleteNodes();
    if (gAuditionPlayer == this)
        gAuditionPlayer = nullptr;
}

cSample* cAuditionPlayer::StopLocked(bool clearUseEffects)
{
    mPlayer.ReleaseSample();
    cSample* loaded = mSample;
    mSample = nullptr;
    mMeterLeft = mMeterRight = 0.0f;
    mPlaying.store(0, std::memory_order_relaxed);
    if (clearUseEffects)
        mUseEffects = 0;
    // The next preview starts without the last one's tail.
    mRack.ResetEffects();
    return loaded;
}

void cAuditionPlayer::Stop(bool clearUseEffects)
{
    cSample* loaded;
    {
        cScopedAudioLock lock;
        loaded = StopLocked(clearUseEffects);
    }
    if (loaded)
        loaded->Release();
}

// Takes over one reference to the sample.
void cAuditionPlayer::Start(cSample* sample, int32_t loopMode, int32_t start, int32_t end, int32_t position)
{
    mSample = sample;
    mLoopMode = loopMode;
    mEnd = std::clamp(end, 0, sample->GetFrames());
    mStart = std::clamp(start, 0, mEnd);
    mPlayer.Start(sample, mStart, mEnd, cSamplePlayer::kModeForward, loopMode, position);
    mPlaying.store(1, std::memory_order_relaxed);
}

// The file is read before the lock is taken, so the audio thread never waits
// for a decode of up to 4 MB; only the swap happens under it.
bool cAuditionPlayer::PlayFile(const char* path)
{
    cSample* sample = cSample::Load(path, kFileSizeLimit);
    cSample* previous;
    {
        cScopedAudioLock lock;
        previous = StopLocked(false);
        if (sample)
            Start(sample, 0, 0, sample->GetFrames(), 0);
    }
    if (previous)
        previous->Release();
    return sample != nullptr;
}

void cAuditionPlayer::PlaySample(cSample* sample, int32_t loopMode, int32_t start, int32_t end, int32_t position)
{
    if (sample)
        sample->AddRef();
    cSample* previous;
    {
        cScopedAudioLock lock;
        previous = StopLocked(false);
        if (sample)
            Start(sample, loopMode, start, end, position);
    }
    if (previous)
        previous->Release();
}

void cAuditionPlayer::SetLoopMode(int32_t mode)
{
    cScopedAudioLock lock;
    mLoopMode = mode;
    if (mPlayer.IsFinished() || !mSample)
        return;
    // The player takes its loop switch at a start: restart where it is.
    mPlayer.Start(mSample, mStart, mEnd, cSamplePlayer::kModeForward, mode, mPlayer.GetPosition());
}

void cAuditionPlayer::SetPlayRange(int32_t start, int32_t end)
{
    mEnd = std::clamp(end, 0, mSample ? mSample->GetFrames() : 0);
    mStart = std::clamp(start, 0, mEnd);
    mPlayer.SetRegion(mStart, mEnd, cSamplePlayer::kModeForward);
}

// The voice lets go of its sample at its end; the player keeps it until the
// next stop, so playback can go on from the frame.
void cAuditionPlayer::SetPlayPosition(int32_t frame)
{
    if (mSample)
        mPlayer.Start(mSample, mStart, mEnd, cSamplePlayer::kModeForward, mLoopMode, frame);
}

void cAuditionPlayer::RenderSample(const cAudioProcessInfo& info, cAudioBuffer& block)
{
    if (mPlayer.IsFinished())
        return;
    mPlayer.Render(info, block, true, int32_t(block.channels), info.quality != 0, 1.0f, kPreviewGain, kPreviewGain,
                   kPreviewGain, kPreviewGain);
}

void cAuditionPlayer::FollowMeters(const cAudioBuffer& block)
{
    const float* samples = block.Floats();
    float left = 0.0f, right = 0.0f;
    for (uint32_t f = 0; f < block.frames; f += 2)
    {
        left = std::max(left, std::fabs(samples[f * block.channels]));
        right = std::max(right, std::fabs(samples[f * block.channels + 1]));
    }
    FollowMeter(mMeterLeft, left * kMeterScale);
    FollowMeter(mMeterRight, right * kMeterScale);
}

// Without a scratch buffer the preview is still heard, dry.
void cAuditionPlayer::RenderThroughRack(const cAudioProcessInfo& info, cAudioBuffer& output)
{
    cAudioBufferPool* pool = cAudioManager::Get() ? cAudioManager::Get()->GetBufferPool() : nullptr;
    const cAudioBufferPool::cHandle handle =
        pool ? pool->Acquire(kAudioFormatFloat, output.frames, output.channels) : cAudioBufferPool::cHandle();
    if (!handle.node)
    {
        RenderSample(info, output);
        mMeterLeft = mMeterRight = 0.0f;
        return;
    }
    cAudioBuffer& block = handle.node->buffer;
    std::memset(block.data, 0, size_t(block.frames) * block.channels * sizeof(float));
    RenderSample(info, block);
    mRack.Process(info, block, !mPlayer.IsFinished(), cDelegate());
    FollowMeters(block);
    const uint32_t samples = std::min(block.frames, output.frames) * output.channels;
    float* out = output.Floats();
    const float* in = block.Floats();
    for (uint32_t i = 0; i < samples; ++i)
        out[i] += in[i];
    pool->Release(handle);
}

// A preview ends by itself when its sample ends, after any effect tail. The
// loaded sample's reference is let go by the next stop on the main thread,
// so the audio thread never frees a sample.
void cAuditionPlayer::Render(const cAudioProcessInfo& info, cAudioBuffer& output)
{
    mRack.DrainEvents();
    const bool tail = mUseEffects && mRack.GetDetector().remaining > 0.0f;
    if (mPlayer.IsFinished() && !tail)
    {
        if (mPlaying.load(std::memory_order_relaxed))
        {
            mPlaying.store(0, std::memory_order_relaxed);
            mUseEffects = 0;
            mMeterLeft = mMeterRight = 0.0f;
            mRack.ResetEffects();
        }
        return;
    }
    if (mUseEffects)
        RenderThroughRack(info, output);
    else
    {
        RenderSample(info, output);
        mMeterLeft = mMeterRight = 0.0f;
    }
}

bool cAuditionPlayer::SerialiseSettings(bool load)
{
    const cDelegate body(this, &cAuditionPlayer::SerialiseRack);
    if (!load)
        return WriteSettingsFile(kSettingsFile, 1.0f, body);
    const eSettingsRead read = ReadSettingsFile(kSettingsFile, 1.0f, body);
    return read == eSettingsRead::kFile || read == eSettingsRead::kBackup;
}

void cAuditionPlayer::SerialiseRack(Base::cSerialise& serialiser)
{
    if (serialiser.BeginNode("EffectRack", true))
    {
        mRack.Serialise(serialiser);
        serialiser.EndNode("EffectRack");
    }
}
