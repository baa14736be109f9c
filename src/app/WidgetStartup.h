#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "ui/Widget.h"
#include "ui/WidgetProgress.h"

class cFontHandle;
class cProject;
class cWidgetIntroHelp;

// The dark cover over the main screens at start. On its first state change
// it decides what the user meets first: documents kept beside the program
// because the data home cannot hold them, a failed audio start, the offer of
// an auto-saved version of the recent project, the offer of a project whose
// load the last start never finished, or the recent project loading unseen;
// then the intro help on the first three starts, after the import of a file
// handed to the program. Then it fades out and leaves the root. Main thread
// only, but for its job's Run.
class cWidgetStartup : public cWidget
{
public:
    enum eState : int32_t
    {
        kUndecided = 0,
        kIntroHelp = 1,
        kFinished = 2,
        kLoading = 3,
        kAlertShowing = 4,
        kDataFolderAlert = 5, // then the decision runs as if undecided
        kFadingOut = 6,
    };
    static constexpr int32_t kIntroHelpShowings = 3;
    static constexpr float kFadePerSecond = 600.0f;
    static constexpr uint32_t kCoverRGB = 0x202020;
    static constexpr const char* kFallbackPath = "User/Projects/Untitled.prj";

    // Loads the chosen project on the job thread.
    class cJobLoadProject : public cWidgetProgress::cJob
    {
    public:
        cJobLoadProject(cProject* project, const cGenString& path);
        void Run(JobQueue::cJobQueue* queue) override;

        cProject* project;
        cGenStringFixed<260> path;
        bool result = false;
    };

    cWidgetStartup();

    // Stage 2's last step: on the root, deciding at the next frame.
    void Push();
    // Shows the intro help that waited for a file handed to the program to be
    // imported, once the import has ended. Each frame.
    void ShowIntroHelpAfterImport();

    int32_t GetState() const { return mState; }
    int32_t GetAlpha() const { return mAlpha; }
    cWidgetIntroHelp* GetIntroHelp() const { return mIntroHelp; }

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

protected:
    ~cWidgetStartup() override;

private:
    void Decide();
    bool ShowDataFolderFallback();
    void ShowAudioFailure();
    void OfferAutoSave(const cGenString& recent);
    void OfferInterruptedLoad(const cGenString& path);
    void StartLoad(cProject* project, const cGenString& path, bool visible);
    void FallBackToNewProject(cProject* project, bool keepRecent);
    void ShowLoadFailure(const cGenString& path, const char* errorText);
    void ShowLoadWarning(const cGenString& warning);
    bool StartIntroHelp();
    void PushIntroHelp();
    void IntroHelpOrFade();
    intptr_t OnAlert(intptr_t index);
    intptr_t OnLoadDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);
    intptr_t OnIntroHelpClosed(cWidgetIntroHelp* help);
    void Finish();

    int32_t mAlpha = 255;
    int32_t mState = kUndecided;
    bool mDataFolderTold = false;
    bool mIntroHelpAfterImport = false;
    cWidgetIntroHelp* mIntroHelp = nullptr;
    // The load behind the overlay, until its completion takes it.
    cJobLoadProject* mPendingLoad = nullptr;
    // A load the last start never finished, offered again; empty otherwise.
    cGenStringFixed<264> mInterruptedLoad;
};

// The alert's lines for documents kept beside the program: the folder that
// could not be used (or why, when there is none) and the one used instead,
// each shortened in the middle to the width.
void DescribeDataFolderFallback(const char* wanted, const char* reason, const char* used, const cFontHandle& font,
                                float width, cGenString& first, cGenString& second);
