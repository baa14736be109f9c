#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "base/MessageQueue.h"
#include "base/Singleton.h"
#include "project/ui/FileBrowserHost.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetDialogueDropDown.h"

class cInstrument;
class cSample;
class cWidget;
class cWidgetAlert;
class cWidgetFileBrowser;
class cWidgetKeyboard;
class cWidgetMixdown;
class cAppMixdownHost;
class cWidgetMainMenu;
class cWidgetModalContainer;
class cWidgetCloudShare;
class cWidgetOpenURL;
class cWidgetPasteboard;
class cWidgetProgress;
class cWidgetSampler;
class cWidgetStartup;
class cWidgetStatusBar;
class cWidgetWebViewPopup;

// The protection of a path of the "Doc" mount, as bits: 1 folders may be
// created inside, 2 the item may be deleted or renamed, 4 read-only. Fixed
// user folders have their own; anything inside the open project's folder is
// 0, anything else 3; an empty path 0.
int32_t GetFolderProtection(const char* path);

// The top of the user interface, one per run: the "MainWin" container that
// shows one page at a time with the drop-down panels over it, the
// "StatusBar" above it with the main menu, and the dialogues every page
// borrows (the on-screen keyboard, the alert). It routes the engine's
// messages to the screen, remembers the last folder a sample came from and
// the open project's folder, and serves the toolkit's drop-downs and title
// screens. Not a widget itself: it owns widgets. Main thread only.
//
// Pages of later screens join "MainWin" in this order: the sequencer page
// (SetSequencerPage), the setup page (SetSetupPage), then each instrument
// package's editor page (AddPage, in package order). Shared dialogues are
// made in the constructor in the order: file browser, keyboard, alert,
// progress overlay, sampler page, pasteboard page, mixdown dialogue,
// start-up page, share page, web-view popup, open-file page.
class cMainUI : public Base::cSingleton<cMainUI>,
                public cDropDownHost,
                public cDialogueTitleScreenHook,
                public cStatusBarHost,
                public cFileBrowserHost
{
public:
    static constexpr int32_t kPathCapacity = 260;
    // Seconds a short status message stays.
    static constexpr float kMessageSeconds = 1.5f;

    cMainUI();
    ~cMainUI() override;
    cMainUI(const cMainUI&) = delete;
    cMainUI& operator=(const cMainUI&) = delete;

    // Shows that child of "MainWin" and hides the others; a page that is not
    // a child shows the sequencer page, and while a page is not built (null)
    // every page is hidden.
    void ShowPage(cWidget* page);
    void ShowSequencerPage() { ShowPage(mSequencerPage); }
    void ShowSetupPage() { ShowPage(mSetupPage); }
    // Selects the instrument, then shows its package's editor page.
    void ShowInstrumentPage(cInstrument* instrument);
    // The later screens' pages, each held by "MainWin" from here on.
    void SetSequencerPage(cWidget* page);
    void SetSetupPage(cWidget* page);
    void AddPage(cWidget* page);
    void RemovePage(cWidget* page);

    // One message of the engine's queue, on the main thread.
    intptr_t HandleMessage(const cMessageQueue::cMessage* message);
    // The text in the status bar for 1.5 s; knobs post their value texts here.
    void ShowStatusMessage(const char* text) override;
    // The bar's line while no message is up; the visible page writes it each frame.
    void SetTitleText(const char* text) override;
    // A message for its time, blinking when asked (warnings).
    void ShowTimedMessage(const char* text, float seconds, bool blink);

    // Keeps the folder of a sample file just loaded or saved, with its separator.
    void SetLastFolder(const char* path) override;
    const char* GetLastFolder() const override { return mLastFolder.CStr(); }
    // The open project's folder in "Doc"; empty while none is open.
    void SetCurrentProjectPath(const char* path);
    const char* GetCurrentProjectPath() const { return mProjectPath.CStr(); }

    cWidgetStatusBar* GetStatusBar() const { return mStatusBar; }
    cWidgetMainMenu* GetMainMenu() const;
    cWidgetModalContainer* GetMainWindow() const { return mMainWindow; }
    cWidgetKeyboard* GetKeyboard() const { return mKeyboard; }
    cWidgetAlert* GetAlert() const { return mAlert; }
    cWidgetProgress* GetProgress() const { return mProgress; }
    cWidgetMixdown* GetMixdown() const { return mMixdown; }
    cWidgetSampler* GetSampler() const { return mSampler; }
    // Opens the sampler page afresh on the sample, or on none to make one;
    // the completion is the page's, (result, page).
    void ShowSampler(cSample* sample, const cDelegate& completion);
    cWidgetStartup* GetStartup() const { return mStartup; }
    cWidget* GetSetupPage() const { return mSetupPage; }
    cWidgetFileBrowser* GetFileBrowser() const { return mFileBrowser; }
    cWidgetOpenURL* GetOpenURL() const { return mOpenURL; }
    cWidgetCloudShare* GetSharePage() const { return mSharePage; }

    // The browsers' host: the keyboard, alert and overlay above, the
    // folders' protection and the open project.
    void PromptName(const cKeyboardRequest& request, const cDelegate& completion) override;
    bool IsKeyboardOpen() override;
    cWidgetAlert* GetAlert() override { return mAlert; }
    cWidgetProgress* GetProgress() override { return mProgress; }
    int32_t GetFolderProtection(const char* path) override;
    const char* GetProjectFolder() override { return mProjectPath.CStr(); }
    cWidgetModalContainer* GetMainWindow() override { return mMainWindow; }
    void ShowProjectSetupPage() override;
    cWidgetFileBrowser* GetFileBrowser() override { return mFileBrowser; }
    cWidgetPasteboard* GetPasteboardPage() override { return mPasteboardPage; }
    cWidgetWebViewPopup* GetWebViewPopup() override { return mWebViewPopup; }
    void ShowSharePage(float startValue) override;
    void SetRecentProject(const char* path) override;
    void ShowTimedMessage(const char* text, float seconds) override { ShowTimedMessage(text, seconds, false); }
    void ShowMixdown() override;
    void OpenFolder(const char* nativePath) override;

    // The drop-down panels' host: "MainWin" and the status bar.
    void PushPanel(cWidget* panel, int32_t dimMode, int32_t transition) override;
    void PopPanel(cWidget* panel) override;
    void PushStatusState(const cDelegate& handler, bool threeExtraButtons) override;
    void RestoreStatusState() override;
    void ClearTimedMessage() override;
    // Dialogues' title screens are song-position screens.
    cWidget* CreateTitleScreen(bool songPositionOption) override;
    void SetTitleScreenText(cWidget* screen, const char* text, uint32_t colour) override;

private:
    void BuildMainWindow();
    void BuildStatusBar();
    void BuildSetupScreen();
    void StepToTrack(int32_t channel);
    void StepInstrument(bool forward);
    void InsertPage(cWidget*& field, cWidget* page, cWidget* before);
    bool IsPage(const cWidget* widget) const;

    intptr_t OnNameEntered(int32_t result, cWidgetKeyboard* keyboard);

    cWidgetFileBrowser* mFileBrowser = nullptr;
    cWidgetOpenURL* mOpenURL = nullptr;
    cWidgetPasteboard* mPasteboardPage = nullptr;
    cWidgetCloudShare* mSharePage = nullptr;
    cWidgetWebViewPopup* mWebViewPopup = nullptr;
    cDelegate mNameCompletion;
    cWidgetKeyboard* mKeyboard = nullptr;
    cWidgetAlert* mAlert = nullptr;
    cWidgetProgress* mProgress = nullptr;
    cWidgetSampler* mSampler = nullptr;
    cAppMixdownHost* mMixdownHost = nullptr;
    cWidgetMixdown* mMixdown = nullptr;
    cWidgetStartup* mStartup = nullptr;
    cWidgetModalContainer* mMainWindow = nullptr;
    cWidgetStatusBar* mStatusBar = nullptr;
    cWidget* mSequencerPage = nullptr;
    cWidget* mSetupPage = nullptr;
    cGenStringFixed<kPathCapacity> mLastFolder;
    cGenStringFixed<kPathCapacity> mProjectPath;
};
