#pragma once

#include <atomic>
#include <cstdint>

#include "audio/AudioModule.h"
#include "sampler/SamplerPanelFrame.h"
#include "ui/LevelMeter.h"
#include "ui/Widget.h"
#include "ui/WidgetProgress.h"

class cAudioDevicePort;
class cSample;
class cSamplerPage;
class cWidgetButton;
class cWidgetSpinButton;

// The sampler's "Sample" tab: records what the program itself plays, taken
// from the "MainOut" port after the mix, into a new sample. While it records
// the click or a range of the song can play; microphone and line inputs are
// not opened. Main thread only; the take runs as a job whose audio module
// copies each output block on the audio thread.
class cWidgetSamplerPanelSample : public cWidget
{
public:
    enum : int32_t
    {
        kModeNotReady = 0, // no audio output: "REC" disabled
        kModeReady = 1,
        kModeCapturing = 2,
    };
    // What plays while the take runs.
    enum : int32_t
    {
        kMonitorOff = 0,
        kMonitorClick = 1,
        kMonitorSong = 2,
    };
    // 32 MB of 16-bit data at most per take.
    static constexpr int32_t kMaxDataBytes = 33554432;

    // The take: on the job thread it starts what plays, waits and finishes
    // the sample; as a listener of "MainOut" it copies each block on the
    // audio thread into the sample, made at full size before listening.
    class cJobSample : public cWidgetProgress::cJob, public cAudioModule
    {
    public:
        struct cSettings
        {
            float seconds = 60.0f;
            int32_t sampleRate = 44100;
            bool loopRecord = true;
            int32_t source = kMonitorOff;
            int32_t rangeStart = 0; // ticks of the song range, source 2
            int32_t rangeEnd = 0;
        };

        cJobSample(cWidgetSamplerPanelSample* panel, const cSettings& settings);
        ~cJobSample() override;

        void Run(JobQueue::cJobQueue* queue) override;
        void OnFrame(cWidgetProgress* overlay, cDrawList& list) override;
        void SetOverlay(cWidgetProgress* overlay) { mOverlay = overlay; }

        // Audio thread, under the port's lock.
        int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
        int32_t ProcessInOut(const cAudioProcessInfo&, cAudioBuffer&, cAudioBuffer&) override { return 0; }

        // The take's sample, silent and at full size (the job takes the
        // reference). Run does this itself; a caller driving Process
        // directly starts here.
        void BeginTake(cSample* sample);
        // Trims or rotates the ring and normalizes as the settings say.
        void FinishTake();

        // The sample, with the job's reference, or none; TakeSample hands
        // that reference over.
        cSample* GetSample() const { return mSample; }
        cSample* TakeSample();
        int32_t GetCapacity() const { return mCapacity; }
        int32_t GetCaptured() const { return mCaptured.load(std::memory_order_relaxed); }
        int32_t GetWritePosition() const { return mWritePosition.load(std::memory_order_relaxed); }
        float GetLevel() const { return mLevel.load(std::memory_order_relaxed); }
        bool IsStopRequested() const { return mStopRequest.load(std::memory_order_relaxed); }
        bool IsCapturing() const { return mCapturing.load(std::memory_order_relaxed); }
        bool IsWrapped() const { return mWrapped; }

    private:
        bool IsCancelRequested() const;
        void StartSource();
        void RestoreTransport();
        bool CreateSample();
        void Listen(cAudioDevicePort* port);
        void ShowProgress();
        void Copy(const int16_t* samples, int32_t frames);
        void FollowLevel(const int16_t* samples, int32_t count);

        cWidgetSamplerPanelSample* mPanel;
        float mSeconds;
        int32_t mCapacity;
        int32_t mSampleRate;
        std::atomic<int32_t> mCaptured{0};
        std::atomic<int32_t> mWritePosition{0};
        std::atomic<float> mLevel{-90.0f};
        bool mLoopRecord;
        bool mWrapped = false;
        std::atomic<bool> mCapturing{false};
        cMeterBar mMeter;
        cRect mMeterRect = {0.0f, 0.0f, 0.0f, 0.0f};
        int32_t mSource;
        int32_t mRangeStart;
        int32_t mRangeEnd;
        // A song source drops its count-in: the blocks the sequencer spends
        // counting in, which the mix ahead of this listener has just played.
        bool mSkipCountIn = false;
        cSample* mSample = nullptr;
        std::atomic<bool> mStopRequest{false};
        bool mMeterRectDirty = true;
        cWidgetProgress* mOverlay = nullptr;
        // The transport as the take found it.
        int32_t mSavedPosition = 0;
        int32_t mSavedLoopOn = 0;
        int32_t mSavedLoopStart = 0;
        int32_t mSavedLoopEnd = 0;
    };

    explicit cWidgetSamplerPanelSample(cSamplerPage& page);

    // The song range and the rate: called every time the page opens.
    void UpdateSongRange();
    void SetLength(int32_t seconds);
    void SetMonitor(int32_t mode);
    int32_t GetMode() const { return mMode.load(std::memory_order_relaxed); }
    void SetMode(int32_t mode) { mMode.store(mode, std::memory_order_relaxed); }
    void StartSampling();
    // Asks a running take to stop; what it has recorded is kept.
    void CancelSampling();

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // The overlay's completion of a take.
    intptr_t FinishSampling(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    cWidgetSpinButton* GetLength() const { return mLength; }
    cWidgetSpinButton* GetMonitor() const { return mMonitor; }
    cWidgetButton* GetLoopRecord() const { return mLoopRecord; }
    cWidgetButton* GetAutoNormalize() const { return mAutoNormalize; }
    cWidgetButton* GetRecButton() const { return mRec; }
    cJobSample* GetJob() const { return mJob; }
    int32_t GetRangeFirstBar() const { return mFirstBar; }
    int32_t GetRangeLastBar() const { return mLastBar; }
    float GetRangeSeconds() const { return mSeconds; }

protected:
    ~cWidgetSamplerPanelSample() override;

private:
    cWidgetSpinButton* AddSpinButton(const char* caption,
                                     intptr_t (cWidgetSamplerPanelSample::*changed)(intptr_t, cWidgetSpinButton*));
    cWidgetButton* AddToggle(const char* label, intptr_t (cWidgetSamplerPanelSample::*changed)(intptr_t, cWidgetButton*));
    intptr_t OnLengthChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnMonitorChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnLoopRecord(intptr_t value, cWidgetButton* button);
    intptr_t OnAutoNormalize(intptr_t value, cWidgetButton* button);
    intptr_t OnRec(intptr_t value, cWidgetButton* button);
    void ShowLengthText();
    void ShowMonitorText();
    void UpdateReadiness();

    cSamplerPage& mPage;
    cWidgetSpinButton* mLength = nullptr;
    cWidgetSpinButton* mMonitor = nullptr;
    cWidgetButton* mAutoNormalize = nullptr;
    cWidgetButton* mLoopRecord = nullptr;
    cWidgetButton* mRec = nullptr;
    cSamplerPanelFrame mFrame;
    std::atomic<int32_t> mMode{kModeNotReady};
    cJobSample* mJob = nullptr;
    float mTempo = 120.0f;
    int32_t mStartTick = 0;
    int32_t mFirstBar = 1;
    int32_t mEndTick = 0;
    int32_t mLastBar = 1;
    float mSeconds = 0.0f;
    int32_t mSampleRate = 44100;
};
