#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "ui/SetupPanel.h"
#include "ui/WidgetProgress.h"

class cFileBrowserHost;
class cLayoutItemSpacer;
class cProject;
class cWidgetButton;
class cWidgetFileBrowser;
class cWidgetSpinButton;
namespace Zip
{
struct sProgress;
}

// The "Project" tab of the setup screen: new, save, save as, load, export
// and import of projects through the shared file browser, the slow steps as
// jobs behind the progress overlay; the mixdown dialogue; the project's key
// transpose; the sample memory in use and the audio CPU load. A pending
// action code tells the browser's, the alert's and the jobs' completions
// what comes next. It reaches the screens above it through its host. Every
// handler works on the project list's current project and does nothing
// without one. Main thread only, but for the jobs' Run.
class cSetupPanelProject : public cSetupPanel
{
public:
    enum : int32_t
    {
        kButtonSave = 0,
        kButtonSaveAs = 1,
        kButtonNew = 2,
        kButtonExport = 3,
        kButtonLoad = 4,
        kButtonMixdown = 5,
        kButtonShare = 6,
        kButtonEmail = 7,
        kButtonCount = 8,
    };

    // What is under way.
    enum : int32_t
    {
        kPendingNone = -1,
        kPendingSave = 0,
        kPendingSaveAs = 1,
        kPendingExport = 2,
        kPendingNew = 3,
        kPendingNewAskedToSave = 4,
        kPendingLoadAskedToSave = 5,
        kPendingLoad = 6,
        kPendingEmail = 7,
    };

    static constexpr int32_t kTransposeRange = 11;
    // The sample memory the meter shows as full.
    static constexpr int64_t kSampleMemoryFull = 125829120;
    // Frames between refreshes of the shown CPU load.
    static constexpr int32_t kCPURefreshFrames = 20;
    static constexpr float kCPUSmoothing = 0.05f;
    static constexpr float kMessageSeconds = 2.5f;
    static constexpr const char* kProjectsFolder = "User/Projects";
    static constexpr const char* kUntitledPath = "User/Projects/Untitled.prj";

    // Loads a project folder into the project, or unpacks an archive into a
    // new folder beside it ("Song.qpk" into "Song.prj", or "Song-02.prj"
    // when that is taken) and loads that.
    class cJobLoadProject : public cWidgetProgress::cJob
    {
    public:
        cJobLoadProject(cProject* project, const cGenString& path);
        void Run(JobQueue::cJobQueue* queue) override;

        cProject* project;
        cGenStringFixed<260> path; // the unpacked folder after an archive loaded
        cGenStringFixed<128> errorText;
        uint8_t nameChanged = 0;
        uint8_t result = 0;

    private:
        bool Unpack();
    };

    // Saves the project into a folder: its own, or a new one ("Save As").
    class cJobSaveProject : public cWidgetProgress::cJob
    {
    public:
        cJobSaveProject(cProject* project, const cGenString& path);
        void Run(JobQueue::cJobQueue* queue) override;

        cProject* project;
        cGenStringFixed<260> path;
        cGenStringFixed<128> errorText;
        uint8_t result = 0;
    };

    // Exports the project into a new work folder beside the chosen archive,
    // packs the folder into the archive and deletes the folder.
    class cJobExportProject : public cWidgetProgress::cJob
    {
    public:
        cJobExportProject(cProject* project, const cGenString& chosenPath);
        void Run(JobQueue::cJobQueue* queue) override;
        // The compressor's progress: the entry and the bar, or the stop a
        // cancel asks for.
        void OnCompressProgress(Zip::sProgress* progress);

        cGenStringFixed<260> name;
        cGenStringFixed<260> workFolder;
        cGenStringFixed<260> midiPath;
        cGenStringFixed<260> archivePath;
        cProject* project;
        cGenStringFixed<128> errorText;
        uint8_t result = 0;

    private:
        void AddMIDIFile();
        bool Compress();
    };

    explicit cSetupPanelProject(cFileBrowserHost* host);

    // Clears the pending action and reads the meters and the transpose.
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    void OnButton(int32_t value, cWidgetButton* button);
    void OnTransposeChanged(int32_t value, cWidgetSpinButton* spin);
    void OnBrowserDone(int32_t result, cWidgetFileBrowser* browser);
    void OnAlertDone(int32_t index);
    void OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    int32_t GetPendingAction() const { return mPendingAction; }
    cWidgetButton* GetButton(int32_t id) const { return mButtons[id]; }
    cWidgetSpinButton* GetTransposeSpin() const { return mTranspose; }
    const char* GetSampleText() const { return mSampleText.CStr(); }
    const char* GetCPUText() const { return mCPUText.CStr(); }
    float GetSampleFraction() const { return mSampleFraction; }
    float GetShownCPU() const { return mShownCPU; }

protected:
    ~cSetupPanelProject() override;

private:
    void BuildButtons();
    void BuildLayout();
    void AskToSaveChanges(cProject* project, const char* title);
    void ResetBrowser(const char* title, const char* fileName);
    void ShowNewProjectBrowser();
    void ShowSaveAsBrowser(cProject* project);
    void ShowExportBrowser(cProject* project);
    void ShowLoadBrowser(cProject* project);
    void CreateNewProject(cProject* project, const cGenString& path);
    void ResetToUntitled(cProject* project);
    void StartLoadJob(cProject* project, const cGenString& path);
    void StartSaveJob(cProject* project, const cGenString& path);
    void StartExportJob(cProject* project, const cGenString& path);
    void StartJob(int32_t style, const char* titleFormat, const cGenString& path, cWidgetProgress::cJob* job);
    void SetTransposeDisplay(int32_t value);
    void ShowEmailUnavailable();
    void ShowAlert(int32_t style, const char* title, const char* firstLine, const char* secondLine, bool answered);
    void ShowLoadWarning(const cGenString& warning);
    void ShowExportFolder();
    void OnExportDone(cJobExportProject* job);
    void OnLoadDone(cProject* project, cJobLoadProject* job);
    void OnSaveDone(cProject* project, cJobSaveProject* job);
    void AnnounceDone(const char* format, const cGenString& path);
    void MarkChanged();
    void ReadSampleMemory();
    void AdvanceCPU();
    void DrawMeters(cDrawList& list);

    cFileBrowserHost* mHost;
    int32_t mPendingAction = kPendingNone;
    cWidgetButton* mButtons[kButtonCount] = {};
    cWidgetSpinButton* mTranspose = nullptr;
    cGenStringFixed<32> mSampleText;
    cGenStringFixed<32> mCPUText;
    cLayoutItemSpacer* mSampleGap = nullptr;
    cLayoutItemSpacer* mCPUGap = nullptr;
    float mSampleFraction = 0.0f;
    float mSmoothedCPU = 0.0f;
    float mShownCPU = 0.0f;
    int32_t mFrameCounter = 0;
};
