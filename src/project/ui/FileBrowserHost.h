#pragma once

#include <cstdint>

class cDelegate;
class cWidgetAlert;
class cWidgetFileBrowser;
class cWidgetModalContainer;
class cWidgetPasteboard;
class cWidgetProgress;
class cWidgetWebViewPopup;
struct cKeyboardRequest;

// What the file browser, the opened-file importer, the project page and the
// pasteboard and share pages need of the main screen above them: the shared
// on-screen keyboard, alert, progress overlay and dialogues, the protection
// of "Doc" folders, the open project's folder, the main window the importer
// shows on and the setup screen's project page; for the project page also the
// recent project of the settings, timed status messages, the mixdown dialogue
// and the desktop's file manager; for the sampler page the status bar's back
// action and the last sample folder. The main UI implements it
// and hands it to the browsers it makes; tests give a recording one. Main
// thread only.
class cFileBrowserHost
{
public:
    // Results of a name prompt.
    enum : int32_t
    {
        kPromptCancelled = 0,
        kPromptBrowse = 1,
        kPromptEntered = 2,
    };

    virtual ~cFileBrowserHost() = default;

    // Opens the keyboard with the request; the completion is called once as
    // (result, const char* text typed, extension included).
    virtual void PromptName(const cKeyboardRequest& request, const cDelegate& completion) = 0;
    virtual bool IsKeyboardOpen() = 0;
    virtual cWidgetAlert* GetAlert() = 0;
    virtual cWidgetProgress* GetProgress() = 0;
    // Bits: 1 folders may be made inside, 2 the item may be deleted or
    // renamed, 4 read-only; 0 inside the open project.
    virtual int32_t GetFolderProtection(const char* path) = 0;
    // The open project's folder in "Doc"; empty while none is open.
    virtual const char* GetProjectFolder() = 0;
    virtual cWidgetModalContainer* GetMainWindow() = 0;
    // Brings the setup screen's tabs to their first page, the project page.
    virtual void ShowProjectSetupPage() = 0;

    virtual cWidgetFileBrowser* GetFileBrowser() = 0;
    // The settings' "RecentProject" (empty: none) with "AutoSaved" off,
    // written to the settings file at once.
    virtual void SetRecentProject(const char* path) = 0;
    virtual void ShowTimedMessage(const char* text, float seconds) = 0;
    virtual void ShowMixdown() = 0;
    // A native folder opened in the desktop's file manager, not waited for.
    virtual void OpenFolder(const char* nativePath) = 0;
    // The dialogues the pasteboard and share pages open; a host without them
    // gives null and the action does nothing.
    virtual cWidgetPasteboard* GetPasteboardPage() { return nullptr; }
    virtual cWidgetWebViewPopup* GetWebViewPopup() { return nullptr; }
    // The share page, opened with its start value.
    virtual void ShowSharePage(float) {}

    // Full-screen pages (the sampler) over the main window: the status bar's
    // back button and Escape run the handler until the state is restored.
    virtual void PushStatusState(const cDelegate& handler, bool withTransport) = 0;
    virtual void RestoreStatusState() = 0;
    // Ends the message on show, so a closing page leaves no stale text.
    virtual void ClearTimedMessage() = 0;
    // The folder of the last sample loaded or saved, with its separator.
    virtual const char* GetLastFolder() const = 0;
    virtual void SetLastFolder(const char* path) = 0;
};
