#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "sampler/SampleEditorHost.h"
#include "sampler/SamplerPage.h"
#include "ui/Widget.h"
#include "ui/WidgetProgress.h"

class cWidgetAlert;
class cWidgetFileBrowser;
class cWidgetSamplerPanelEdit;
class cWidgetSamplerPanelEffects;
class cWidgetSamplerPanelResample;
class cWidgetSamplerPanelSample;
class cWidgetSamplerTransportBar;
class cWidgetSystemTabView;

// The one page where samples are made and changed, shown full screen over
// the main window: record the program's output, resample song bars, edit,
// and render through the audition effects, each on its tab, with the
// audition transport at the top right. A requester sets the sample (or none
// to make one) and shows the page with a completion; on leaving the page
// asks whether to keep the changes, writes a kept sample behind the progress
// overlay, and calls the completion as (1 saved or 0, page) while it still
// holds the sample. Its work files live in "Tmp/Sampler" while it shows.
// Main thread only; the save runs as a job.
class cWidgetSampler : public cWidget, public cSamplerPage, public cSampleEditorHost
{
public:
    enum : int32_t
    {
        kTabSample = 0,
        kTabResample = 1,
        kTabEdit = 2,
        kTabEffects = 3,
        kTabCount = 4,
    };
    // Where leaving the page is.
    enum : int32_t
    {
        kSaveIdle = -1,
        kSaveAsking = 0,
        kSaveRunning = 1,
    };
    // What the completion reports.
    enum : int32_t
    {
        kResultNothingKept = 0,
        kResultSaved = 1,
    };
    static constexpr const char* kWorkFolder = "Sampler";
    static constexpr float kSavedMessageSeconds = 2.5f;
    static constexpr float kTabSpacing = -1.0f;
    static constexpr float kTabWidth = 160.0f;

    // Writes the sample to a path on the job thread. A sample saved under a
    // new path is read back from its own file, so the edits live on only in
    // the new one.
    class cJobSaveSample : public cWidgetProgress::cJob
    {
    public:
        cJobSaveSample(cSample* sample, const char* path);
        ~cJobSaveSample() override;
        void Run(JobQueue::cJobQueue* queue) override;

        const char* GetPath() const { return mPath.CStr(); }
        // The sample now registered under the path, with a reference the
        // taker releases; null when the save failed.
        cSample* TakeResult();

    private:
        cGenStringFixed<260> mPath;
        cSample* mSample; // not counted: the page holds it
        cSample* mResult = nullptr;
    };

    explicit cWidgetSampler(cFileBrowserHost& host);

    // Opens the page on "Edit" with a sample, else on "Resample".
    void Show(const cDelegate& completion);
    // The status bar's back action: leaves, asking first about changes.
    void ConfirmClose() override;
    void Close(int32_t result);
    // Auditions the sample: through the rack on "Effects", else the
    // editor's selection (or all of it from the selection point).
    void PlaySample();
    bool IsShown() const { return mShown; }
    // The "Sample" tab's capture mode while it shows, else 0.
    int32_t GetSampleMode() const;

    // What the tabs reach through.
    cSample* GetSample() const override { return mSample; }
    void SetSample(cSample* sample) override;
    void MarkModified() override { mModified = mSample != nullptr; }
    void SelectEditTab() override;
    cSampleEditor& GetSampleEditor() override;
    cFileBrowserHost& GetHost() override { return mHost; }
    void OnEditorModified(cSampleEditor* editor) override;

    void OnLayout() override;

    bool IsModified() const { return mModified; }
    bool WasOpenedWithSample() const { return mOpenedWithSample; }
    int32_t GetSaveState() const { return mSaveState; }
    cWidgetSystemTabView* GetTabView() const { return mTabView; }
    cWidgetSamplerTransportBar* GetTransportBar() const { return mTransportBar; }
    cWidgetSamplerPanelSample* GetPanelSample() const { return mPanelSample; }
    cWidgetSamplerPanelResample* GetPanelResample() const { return mPanelResample; }
    cWidgetSamplerPanelEdit* GetPanelEdit() const { return mPanelEdit; }
    cWidgetSamplerPanelEffects* GetPanelEffects() const { return mPanelEffects; }

protected:
    ~cWidgetSampler() override;

private:
    void AddTab(int32_t index, const char* title, cWidget* panel);
    void EnableTabs(bool withSample);
    void OpenWorkFolder();
    void DeleteWorkFolder();
    void ShowKeepChangesQuestion();
    intptr_t OnKeepChangesAnswer(intptr_t button, cWidgetAlert* alert);
    void SaveInPlace();
    void ShowSaveAsBrowser();
    intptr_t OnSaveAsChosen(intptr_t result, cWidgetFileBrowser* browser);
    bool IsReadOnly(const char* path);
    void StartSave(const char* path);
    intptr_t OnSaveDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);
    void ShowSaveFailed(const char* path);
    intptr_t OnTabChanged(intptr_t page, cWidgetSystemTabView* view);
    bool IsTabShown(int32_t tab) const;

    cFileBrowserHost& mHost;
    cDelegate mCompletion;
    cWidgetSystemTabView* mTabView;
    cWidgetSamplerPanelSample* mPanelSample = nullptr;
    cWidgetSamplerPanelResample* mPanelResample = nullptr;
    cWidgetSamplerPanelEdit* mPanelEdit = nullptr;
    cWidgetSamplerPanelEffects* mPanelEffects = nullptr;
    cWidgetSamplerTransportBar* mTransportBar = nullptr;
    int32_t mSaveState = kSaveIdle;
    cSample* mSample = nullptr;
    bool mModified = false;
    bool mOpenedWithSample = false;
    bool mShown = false;
};
