#include "sampler/SampleRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/FlushDenormals.h"
#include "audio/Sample.h"
#include "audio/WavFile.h"
#include "base/DeletableRoots.h"
#include "base/StatusText.h"
#include "mixer/EffectRack.h"
#include "sampler/OfflineRender.h"

namespace
{
// Silent blocks through the rack before and after a render, so that neither
// an earlier preview's tail nor this render's reaches the next use.
constexpr int kFlushBlocks = 10;
constexpr int32_t kProgressInterval = 20;
constexpr float kFullScale = 32767.0f;

int32_t RoundUpToFour(int32_t frames) { return (frames + 3) & ~3; }
} // namespace

// ---------------------------------------------------------------- the job

cSampleRender::cJob::cJob(const Settings& settings, const char* outputPath) : mSettings(settings)
{
    mOutputPath.AssignCStr(outputPath);
}

void cSampleRender::cJob::Run(JobQueue::cJobQueue*)
{
    cSampleRender render(cDelegate(this, &cJob::OnProgress));
    render.settings = mSettings;
    mResult = mSettings.sample ? render.Render(mOutputPath.CStr()) : kSampleEmpty;
}

void cSampleRender::cJob::OnProgress(bool* cancel, float progress)
{
    if (--mProgressCountdown < 0)
    {
        mProgressCountdown = kProgressInterval;
        if (mOverlay)
            mOverlay->SetProgress(std::clamp(progress, 0.0f, 1.0f));
    }
    *cancel = mCancel.load() || (mOverlay && mOverlay->IsStopRequested());
}

// ---------------------------------------------------------------- the render

cSampleRender::cSampleRender(const cDelegate& progress) : mProgress(progress) {}

cSampleRender::~cSampleRender()
{
    if (mWriter)
        mWriter->Discard();
    delete mWriter;
}

int32_t cSampleRender::Render(const char* path)
{
    if (!TakeRange() || !OpenOutput(path))
        return mFlags;
    PrepareProcessing();
    // The audio thread leaves the mixer, and with it the audition player's
    // rack, alone until the outputs are on again.
    cOfflineRender engine;
    engine.QuietOutputs();
    RunPasses();
    CloseOutput(path);
    engine.Restore();
    return mFlags;
}

// The range never reaches past the sample, whatever the caller asks.
bool cSampleRender::TakeRange()
{
    const cSample* sample = settings.sample;
    if (!sample || sample->GetFrames() <= 0)
    {
        mFlags |= kSampleEmpty;
        return false;
    }
    settings.endFrame = std::min(settings.endFrame, sample->GetFrames());
    settings.startFrame = std::clamp(settings.startFrame, 0, std::max(settings.endFrame, 0));
    if (settings.endFrame - settings.startFrame < kMinimumFrames)
    {
        mFlags |= kSampleTooShort;
        return false;
    }
    return true;
}

bool cSampleRender::OpenOutput(const char* path)
{
    mWriter = new cWavFile();
    if (!mWriter->OpenWrite(path))
    {
        delete mWriter;
        mWriter = nullptr;
        mFlags |= kOpenFailed;
        return false;
    }
    mWriter->SetFormat(uint32_t(settings.rate), 16, uint16_t(settings.channels == 1 ? 1 : 2));
    return true;
}

void cSampleRender::PrepareProcessing()
{
    const float rate = float(settings.rate);
    mInfo.offline = 1;
    mInfo.duration = float(kBlockFrames) / rate;
    mInfo.sampleRate = rate;
    mInfo.secondsPerSample = 1.0f / rate;
    mInfo.outputIndex = 0;
    // Offline renders take the best quality the effects offer.
    mInfo.quality = 2;
    mBuffer.Describe(kAudioFormatFloat, kBlockFrames, 2, mBlock);
}

// The rack starts and ends clean, so the audition never hears the render's
// tail nor the render an earlier preview's.
void cSampleRender::RunPasses()
{
    cEffectRack* rack = settings.rack;
    if (rack)
        rack->ResetEffects();
    mPreRollOn = rack && settings.preRoll;
    mTailOn = rack && settings.tail == 1;
    FlushRack();
    mPlayer.SetMinLoopLength(1);
    mPlayer.Start(settings.sample, settings.startFrame, settings.endFrame, cSamplePlayer::kModeForward, 1,
                  settings.startFrame);
    if (!HasError())
    {
        const int32_t offset = mPreRollOn ? RunPreRoll() : 0;
        if (!HasError())
            RenderSample(offset);
    }
    mPlayer.ReleaseSample();
    if (!HasError() && mTailOn)
        RenderTail();
    if (HasError())
        return;
    if (rack)
        rack->ResetEffects();
    FlushRack();
}

int32_t cSampleRender::FramesWritten() const { return int32_t(mWriter->GetDataSize() / mWriter->GetBlockAlign()); }

// An error leaves no file: the writer never commits, and an older render of
// the name goes too, so nothing stale is taken for this one.
void cSampleRender::CloseOutput(const char* path)
{
    const int32_t frames = FramesWritten() / mWriter->GetChannels();
    if (!HasError() && !mWriter->Close())
        mFlags |= kWriteFailed;
    mWriter->Discard();
    delete mWriter;
    mWriter = nullptr;
    if (HasError())
        DeleteFileSafe(path);
    else if (frames > 2048 && mClipCount >= frames / 1024)
        mFlags |= kClipping;
}

bool cSampleRender::IsCancelRequested(float progress)
{
    bool cancel = false;
    mProgress.Invoke(&cancel, progress);
    if (cancel)
        mFlags |= kCancelled;
    return cancel;
}

// The player adds frames of the sample at the gain into the cleared block,
// which the rack then processes.
void cSampleRender::ProcessBlock(int32_t frames, float gain, bool force)
{
    // The job thread renders as the audio thread does.
    const cScopedFlushDenormals flush;
    std::memset(mBlock, 0, sizeof(mBlock));
    mBuffer.frames = uint32_t(frames);
    mBuffer.bytes = uint32_t(frames) * 2 * sizeof(float);
    if (gain != 0.0f)
        mPlayer.Render(mInfo, mBuffer, true, 2, mInfo.quality != 0, 1.0f, gain, gain, gain, gain);
    if (settings.rack)
        settings.rack->Process(mInfo, mBuffer, force, cDelegate());
    mBuffer.frames = kBlockFrames;
    mBuffer.bytes = sizeof(mBlock);
}

void cSampleRender::FlushRack()
{
    for (int i = 0; i < kFlushBlocks; ++i)
    {
        if (IsCancelRequested(1.0f))
            return;
        ProcessBlock(kBlockFrames, 0.0f, false);
    }
}

// The player loops, so its position is 0 exactly when a block ended on the
// sample's end; the render always starts at the sample's first frame.
int32_t cSampleRender::RunPreRoll()
{
    SetStatusText("Running pre-roll ...");
    int32_t remaining = 0;
    int32_t whole = 0;
    do
    {
        remaining = settings.endFrame - mPlayer.GetPosition();
        whole = remaining & ~3;
        const int32_t frames = std::min(whole, kBlockFrames);
        if (frames > 0)
            ProcessBlock(frames, 1.0f, true);
        if (IsCancelRequested(0.0f))
            return 0;
    } while (remaining >= kBlockFrames && mPlayer.GetPosition() != 0);
    return remaining - whole;
}

// offset: the frames the pre-roll left unplayed, rendered first and dropped.
void cSampleRender::RenderSample(int32_t offset)
{
    SetStatusText("Rendering sample ...");
    const int32_t start = settings.startFrame;
    const int32_t end = settings.endFrame;
    bool first = true;
    bool done = false;
    while (!done)
    {
        if (IsCancelRequested(float(mPlayer.GetPosition() - start) / float(end - start)))
            return;
        const int32_t remaining = offset > 0 ? end - start + offset : end - mPlayer.GetPosition();
        int32_t frames = std::min(RoundUpToFour(remaining), kBlockFrames);
        if (frames > 0)
            ProcessBlock(frames, settings.gain, true);
        done = remaining < kBlockFrames || mPlayer.GetPosition() == 0;
        // With a tail the whole last block is written and the tail goes on from it.
        if (done && !mTailOn)
            frames = remaining;
        if (frames > 0)
            WriteFrames(offset, frames - offset);
        if (first)
            mPlayer.Start(settings.sample, start, end, cSamplePlayer::kModeForward, 0, mPlayer.GetPosition());
        first = false;
        offset = 0;
    }
}

// Ends once the rack has fallen silent, or at the size cap: a rack that never
// falls silent would otherwise run until cancelled.
void cSampleRender::RenderTail()
{
    SetStatusText("Rendering tail ...");
    do
    {
        if (IsCancelRequested(1.0f))
            return;
        ProcessBlock(kBlockFrames, 0.0f, false);
        WriteFrames(0, kBlockFrames);
    } while (settings.rack->GetDetector().remaining > 0.0f && (mFlags & (kTruncated | kErrorMask)) == 0);
    TrimTail();
}

// Trailing near-silence goes, but never into the rendered range; the last
// audible frame itself stays.
void cSampleRender::TrimTail()
{
    const int32_t keep = std::max(mLastAudibleFrame + 1, settings.endFrame - settings.startFrame);
    if (keep < FramesWritten())
        mWriter->CutData(uint32_t(keep) * mWriter->GetBlockAlign());
}

void cSampleRender::WriteFrames(int32_t offset, int32_t frames)
{
    const int32_t blockAlign = mWriter->GetBlockAlign();
    const int32_t cap = kMaxDataBytes / blockAlign;
    const int32_t written = FramesWritten();
    if (written + frames > cap)
    {
        frames = cap - written;
        mFlags |= kTruncated;
    }
    if (frames <= 0)
        return;
    float* first = mBlock + offset * 2;
    ConvertToPcm16(first, frames, mWriter->GetChannels() == 1);
    if (!mWriter->WriteData(first, uint32_t(frames * blockAlign)))
        mFlags |= kWriteFailed;
}

// In place: a 16-bit sample never overtakes the float it is read from.
void cSampleRender::ConvertToPcm16(float* buffer, int32_t frames, bool mono)
{
    const float scale = settings.gain * kFullScale * (mono ? 0.5f : 1.0f);
    int16_t* out = reinterpret_cast<int16_t*>(buffer);
    const int32_t perFrame = mono ? 1 : 2;
    for (int32_t f = 0; f < frames; ++f)
    {
        for (int32_t c = 0; c < perFrame; ++c)
        {
            const float x = mono ? buffer[f * 2] + buffer[f * 2 + 1] : buffer[f * 2 + c];
            const float scaled = std::isnan(x) ? 0.0f : std::trunc(scale * x);
            int32_t v;
            if (scaled > 32767.0f || scaled < -32768.0f)
            {
                v = scaled > 0.0f ? 32767 : -32768;
                ++mClipCount;
            }
            else
            {
                v = int32_t(scaled);
                if (v > kAudibleLevel || v < -kAudibleLevel)
                    mLastAudibleFrame = mFramesConverted;
            }
            out[f * perFrame + c] = int16_t(v);
        }
        ++mFramesConverted;
    }
}
