#pragma once

#include <atomic>
#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "base/JobQueue.h"
#include "ui/WidgetDialogue.h"

class cWidgetButton;

// The modal overlay long work runs behind: a title, a spinning busy mark, a
// status line the job updates from its thread, optionally a progress bar and
// a Cancel or Stop button. It takes all input while it shows, polls its job
// every frame and, once the job has finished, removes itself and calls the
// starter's completion on the main thread. One overlay serves every starter,
// one job at a time.
//
// Setup, Start and the drawing run on the main thread; SetProgress and
// IsStopRequested on the job's. The status text is shared under the widget
// manager's status-text lock.
class cWidgetProgress : public cWidgetDialogue
{
public:
    enum : int32_t
    {
        kFlagCancel = 0x10000,    // a button labelled "Cancel"
        kFlagStop = 0x20000,      // a button labelled "Stop", unless kFlagCancel
        kFlagInvisible = 0x40000, // nothing drawn, input still blocked, the job still completed
    };

    // Work that runs behind the overlay on the job thread.
    class cJob : public JobQueue::cJob
    {
    public:
        // On the main thread, each frame while the overlay shows.
        virtual void OnFrame(cWidgetProgress* overlay, cDrawList& list);
    };

    cWidgetProgress();

    // Starts a new run: the flags, and an empty title, status line and job.
    void Setup(int32_t flags);
    // The starter's job, set between Setup and Start.
    void SetJob(cJob* job) { mJob = job; }
    cJob* GetJob() const { return mJob; }
    // Shows the overlay and queues the job. The completion is called with
    // (job, overlay) once the job has finished and takes care of the job.
    // A job the queue refuses runs at once, here, and completes at the next
    // frame.
    void Start(const cDelegate& completion);

    // From the job: shows the bar at the value, held to 0..1 (NaN counts as 0).
    void SetProgress(float value);
    // Whether the button was pressed since Start; jobs that can stop early poll it.
    bool IsStopRequested() const { return mStopRequested.load(std::memory_order_relaxed); }

    // The one status line of background work.
    static void SetStatusText(const char* text);
    static void GetStatusText(cGenString& out);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    bool IsBarShown() const { return mBarShown.load(std::memory_order_relaxed); }
    float GetBarValue() const { return mBarValue.load(std::memory_order_relaxed); }
    const char* GetText() const { return mText.CStr(); }
    float GetSpinnerAngle() const { return mSpinnerAngle; }
    cVector2 GetSpinnerCentre() const { return mSpinnerCentre; }
    const cRect& GetStatusBox() const { return mStatusBox; }
    cWidgetButton* GetButton() const { return mButton; }

protected:
    ~cWidgetProgress() override;

private:
    void PlaceBox();
    void ConfigureButton();
    void QueueJob();
    void FitStatusText(cDrawList& list);
    void DrawContent(cDrawList& list);
    void CompleteIfFinished();
    intptr_t OnButtonClicked(intptr_t value, cWidgetButton* button);

    cDelegate mCompletion;
    cGenStringFixed<260> mText;
    std::atomic<bool> mBarShown{false};
    float mSpinnerAngle = 0.0f;
    cVector2 mSpinnerCentre = {0.0f, 0.0f};
    // Left, top, right of the status line; its baseline is yMax.
    cRect mStatusBox = {0.0f, 0.0f, 0.0f, 0.0f};
    std::atomic<float> mBarValue{0.0f};
    cWidgetButton* mButton = nullptr;
    std::atomic<bool> mStopRequested{false};
    cJob* mJob = nullptr;
};
