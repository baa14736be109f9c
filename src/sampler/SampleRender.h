#pragma once

#include <cstdint>

#include "audio/AudioBuffer.h"
#include "audio/SamplePlayer.h"
#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/WidgetProgress.h"

class cEffectRack;
class cSample;
class cWavFile;

// Plays a sample through an effect rack offline and writes the result as a
// 16-bit WAV file, in 128-frame float blocks converted in place, so memory
// stays at one block whatever the sample's length. A pre-roll pass plays the
// sample once unwritten so the rack already carries its end (a looped sample
// then starts as it sounds in steady state); a tail pass writes the rack's
// ring-out after the end and trims the near-silence again; mono writes the
// average of left and right. One renderer per render, on the job thread.
class cSampleRender
{
public:
    // Result flags; the low byte holds the errors, which leave no file.
    enum : int32_t
    {
        kWriteFailed = 0x1,
        kOpenFailed = 0x2,
        kSampleEmpty = 0x4,
        kSampleTooShort = 0x8,
        kCancelled = 0x20,
        kErrorMask = 0xff,
        kClipping = 0x100,
        kTruncated = 0x200,
    };
    static constexpr int32_t kMaxDataBytes = 33554432; // 32 MB of sample data
    static constexpr int32_t kBlockFrames = 128;
    static constexpr int32_t kMinimumFrames = 4;
    // A converted sample above this magnitude counts as audible.
    static constexpr int32_t kAudibleLevel = 2;

    struct Settings
    {
        cSample* sample = nullptr; // not counted
        cEffectRack* rack = nullptr;
        int32_t startFrame = 0;
        int32_t endFrame = 0;
        int32_t preRoll = 0;
        int32_t tail = 0;
        int32_t rate = 44100;
        int32_t channels = 2;
        // Applied on the way into the rack and again on the way out.
        float gain = 1.0f;
    };

    // The render behind the progress overlay; the completion reads the result.
    class cJob : public cWidgetProgress::cJob
    {
    public:
        cJob(const Settings& settings, const char* outputPath);

        void Run(JobQueue::cJobQueue* queue) override;
        // The overlay whose bar and Cancel button the run reports to; none
        // without a screen.
        void SetOverlay(cWidgetProgress* overlay) { mOverlay = overlay; }
        // The render's flags; -1 until the job has run.
        int32_t GetResult() const { return mResult; }
        const char* GetOutputPath() const { return mOutputPath.CStr(); }
        const Settings& GetSettings() const { return mSettings; }

    private:
        void OnProgress(bool* cancel, float progress);

        cGenStringFixed<260> mOutputPath;
        Settings mSettings;
        int32_t mResult = -1;
        // The bar moves on every 21st call only.
        int32_t mProgressCountdown = 0;
        cWidgetProgress* mOverlay = nullptr;
    };

    // progress: (bool* cancel, float progress 0..1).
    explicit cSampleRender(const cDelegate& progress);
    ~cSampleRender();
    cSampleRender(const cSampleRender&) = delete;
    cSampleRender& operator=(const cSampleRender&) = delete;

    // Renders into the native path; the result flags.
    int32_t Render(const char* path);

    Settings settings;

    int32_t GetFramesConverted() const { return mFramesConverted; }
    int32_t GetLastAudibleFrame() const { return mLastAudibleFrame; }
    int32_t GetClipCount() const { return mClipCount; }

private:
    bool TakeRange();
    bool OpenOutput(const char* path);
    void PrepareProcessing();
    void RunPasses();
    bool HasError() const { return (mFlags & kErrorMask) != 0; }
    void ProcessBlock(int32_t frames, float gain, bool force);
    bool IsCancelRequested(float progress);
    void FlushRack();
    int32_t RunPreRoll();
    void RenderSample(int32_t offset);
    void RenderTail();
    void TrimTail();
    void WriteFrames(int32_t offset, int32_t frames);
    void ConvertToPcm16(float* buffer, int32_t frames, bool mono);
    int32_t FramesWritten() const;
    void CloseOutput(const char* path);

    int32_t mFlags = 0;
    cDelegate mProgress;
    cAudioProcessInfo mInfo;
    cAudioBuffer mBuffer;
    float mBlock[kBlockFrames * 2] = {};
    bool mTailOn = false;
    bool mPreRollOn = false;
    cWavFile* mWriter = nullptr;
    int32_t mFramesConverted = 0;
    int32_t mLastAudibleFrame = 0;
    cSamplePlayer mPlayer;
    int32_t mClipCount = 0;
};
