#pragma once

#include <atomic>
#include <cstdint>

#include "base/GenString.h"
#include "ui/WidgetDialogueDropDown.h"
#include "ui/WidgetProgress.h"

class cFileBrowserHost;
class cWidgetButton;
class cWidgetFileBrowser;
class cWidgetLabel;
class cWidgetSpinButton;
class cWidgetWebViewPopup;

// The drop-down page for sharing an audio file on the Quilcloud service. This
// program has no connection to it: the page shows the account line, a
// "Connect" that only resets its state, and keeps the file, name, publishing,
// licence and share controls hidden. The sign-in, upload and group flow
// stands behind operations no visible control reaches, with its texts and
// results, for a real service to use. Main thread only, but for the wait
// job's Run.
class cWidgetCloudShare : public cWidgetDialogueDropDown
{
public:
    static constexpr int32_t kPathCapacity = 260;
    static constexpr const char* kNotAvailable = "Quilcloud sharing is only available in the mobile version.";
    static constexpr const char* kTapConnect = "Tap 'Connect' to begin.";
    static constexpr const char* kAuthorizationFailed = "Authorization failed.  Tap 'Connect' to try again.";

    enum : int32_t
    {
        kStateIdle = 0,
        kStateConnecting = 1,
        kStateUploading = 3,
        kStateGroup = 4,
        kStateFinished = 5,
    };

    enum : int32_t
    {
        kButtonConnect = 0,
        kButtonFile = 1,
        kButtonTrackName = 2,
        kButtonShare = 3,
        kButtonCount = 4,
    };

    // Waits on the job thread for the service's answer, which nothing here
    // gives: only a cancel ends it.
    class cJobWaitForCloudShare : public cWidgetProgress::cJob
    {
    public:
        enum : int32_t
        {
            kResultNone = 0,
            kResultFailed = 1,
            kResultCancelled = 2,
            kResultSucceeded = 3,
        };

        explicit cJobWaitForCloudShare(cWidgetProgress* overlay) : mOverlay(overlay) {}
        void Run(JobQueue::cJobQueue* queue) override;
        // The service's report: 0 progress, 1 success, 2 failure.
        void OnServiceEvent(int32_t kind, float value);

        std::atomic<int32_t> result{kResultNone};

    private:
        cWidgetProgress* mOverlay;
    };

    explicit cWidgetCloudShare(cFileBrowserHost* host);

    void Show(float startValue);
    bool Draw(cDrawList& list) override;
    void OnLayout() override;
    void OnButton(int32_t tag);

    void SetUploadFile(const char* path);
    void SetDefaultTrackName();
    void ShowNotAvailable();
    static const char* GetLicenceIdentifier(int32_t value);
    static const char* GetLicenceText(int32_t value);

    // The flow no visible control reaches.
    void StartConnect();
    intptr_t OnConnectClosed();
    void OnAuthorizationReturned(const char* address);
    void OnServiceError(int32_t kind, int32_t code);
    void SetAccountInfo(const char* userName, int32_t trackCount);
    intptr_t OnShareJobDone(cJobWaitForCloudShare* job, cWidgetProgress* overlay);
    intptr_t OnAlertDone(int32_t button, cWidget* alert);
    void SetState(int32_t state) { mState = state; }

    intptr_t OnUploadBrowserDone(int32_t result, cWidgetFileBrowser* browser);
    intptr_t OnTrackNameEntered(int32_t result, const char* text);

    int32_t GetState() const { return mState; }
    bool IsFileChosen() const { return mFileChosen; }
    bool GetRetryFlag() const { return mRetry; }
    float GetStartValue() const { return mStartValue; }
    const char* GetFilePath() const { return mFilePath.CStr(); }
    const char* GetStatusText() const { return mStatusText.CStr(); }
    const char* GetAccountText() const { return mAccountText.CStr(); }
    cWidgetLabel* GetAccountLabel() const { return mAccountLabel; }
    cWidgetLabel* GetFileLabel() const { return mFileLabel; }
    cWidgetLabel* GetTrackNameLabel() const { return mTrackNameLabel; }
    cWidgetSpinButton* GetPublishAs() const { return mPublishAs; }
    cWidgetSpinButton* GetLicence() const { return mLicence; }
    cWidgetButton* GetButton(int32_t tag) const { return tag >= 0 && tag < kButtonCount ? mButtons[tag] : nullptr; }

protected:
    ~cWidgetCloudShare() override;

private:
    void MakeControls();
    void BuildLayout();
    intptr_t OnButtonClicked(int32_t value, cWidgetButton* button);
    intptr_t OnPublishAsChanged(int32_t value, cWidgetSpinButton* spin);
    intptr_t OnLicenceChanged(int32_t value, cWidgetSpinButton* spin);
    intptr_t OnBack();
    void BrowseForFile();
    void PromptTrackName();
    void ClearFile(const char* fileText);
    void ShowResult(const char* title, const char* first, const char* second, bool withQuestion, bool copyURL);
    void DescribePublishing(cGenString& out) const;
    bool FileExists(const char* path) const;
    static bool InternetReachable();

    cFileBrowserHost* mHost;
    bool mRetry = false;
    bool mFileChosen = false;
    bool mInternetReachable = false;
    float mStartValue = 0.0f;
    int32_t mState = kStateIdle;
    cGenStringFixed<kPathCapacity> mFilePath;
    cGenStringFixed<256> mAccountText;
    cGenStringFixed<256> mStatusText;
    cWidgetLabel* mAccountLabel = nullptr;
    cWidgetLabel* mFileLabel = nullptr;
    cWidgetLabel* mTrackNameLabel = nullptr;
    cWidgetSpinButton* mPublishAs = nullptr;
    cWidgetSpinButton* mLicence = nullptr;
    cWidgetButton* mButtons[kButtonCount] = {};
};
