#pragma once

#include <cstdint>

#include "sampler/SamplerPanelFrame.h"
#include "ui/Widget.h"
#include "ui/WidgetProgress.h"

class cOfflineRender;
class cSample;
class cSamplerPage;
class cWidgetButton;
class cWidgetSpinButton;

// The sampler's "Resample" tab: whole bars of the song rendered offline
// through the project's mixer into a new stereo sample, which becomes the
// page's modified sample. Pre-roll bars play the range's last bars first,
// so what rings out at the end already sounds at the start and the sample
// loops without a gap. Main thread only; the render runs as a job.
class cWidgetSamplerPanelResample : public cWidget
{
public:
    // One sample holds at most this many frames (32 MB of 16-bit stereo).
    static constexpr int32_t kMaxFrames = 8388608;

    // The render behind the progress overlay.
    class cJobResample : public cWidgetProgress::cJob
    {
    public:
        // firstBar is 0-based.
        cJobResample(int32_t firstBar, int32_t bars, int32_t preRollBars);
        ~cJobResample() override;

        void Run(JobQueue::cJobQueue* queue) override;
        void SetOverlay(cWidgetProgress* overlay) { mOverlay = overlay; }

        // The frames a span of ticks lasts at the current tempo and metre.
        static int32_t FramesOfTicks(int32_t ticks);

        // The new sample, with the job's reference, or none; TakeSample hands
        // that reference over.
        cSample* GetSample() const { return mSample; }
        cSample* TakeSample();
        bool IsClippingDetected() const { return mClipping; }

    private:
        bool IsCancelRequested() const;
        // False when cancelled.
        bool RenderPreRoll(cOfflineRender& render, int32_t frames);
        bool RenderInto(cOfflineRender& render, int32_t frames);
        void ShowProgress(int32_t remaining, int32_t total);
        void Finish(int32_t preRollFrames);

        int32_t mFirstBar;
        int32_t mBars;
        int32_t mPreRollBars;
        bool mClipping = false;
        cSample* mSample = nullptr;
        cWidgetProgress* mOverlay = nullptr;
    };

    explicit cWidgetSamplerPanelResample(cSamplerPage& page);

    // The spinners from the song: called every time the page opens.
    void ResetFromSong();
    void SetStartBar(int32_t bar);
    void SetNumberOfBars(int32_t bars);
    void SetPreRollBars(int32_t bars);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // The overlay's completion of the render.
    intptr_t FinishResample(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    // The status area's second line.
    void GetDescription(cGenString& text) const;

    cWidgetSpinButton* GetStartBar() const { return mStartBar; }
    cWidgetSpinButton* GetNumberOfBars() const { return mNumberOfBars; }
    cWidgetSpinButton* GetPreRollBars() const { return mPreRollBars; }
    cWidgetButton* GetAutoNormalize() const { return mAutoNormalize; }
    cWidgetButton* GetRecButton() const { return mRec; }
    int32_t GetLargestBars() const { return mLargestBars; }
    const cSamplerPanelFrame& GetFrame() const { return mFrame; }

protected:
    ~cWidgetSamplerPanelResample() override;

private:
    cWidgetSpinButton* AddSpinButton(const char* caption,
                                     intptr_t (cWidgetSamplerPanelResample::*changed)(intptr_t, cWidgetSpinButton*));
    intptr_t OnStartBarChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnNumberOfBarsChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnPreRollBarsChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnAutoNormalize(intptr_t value, cWidgetButton* button);
    intptr_t StartResample(intptr_t value, cWidgetButton* button);

    cSamplerPage& mPage;
    cWidgetSpinButton* mPreRollBars = nullptr;
    cWidgetSpinButton* mNumberOfBars = nullptr;
    cWidgetSpinButton* mStartBar = nullptr;
    cWidgetButton* mAutoNormalize = nullptr;
    cWidgetButton* mRec = nullptr;
    cSamplerPanelFrame mFrame;
    int32_t mLargestBars = 1;
    int32_t mLoopBars = 0;
    int32_t mLoopFirstBar = 1;
};
