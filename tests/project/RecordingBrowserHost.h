#pragma once

#include <map>
#include <string>
#include <vector>

#include "project/ui/FileBrowserHost.h"
#include "ui/KeyboardRequest.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetProgress.h"

namespace ProjectTest
{
// What the browsers and the project page ask of the main screen, kept: the
// keyboard's requests wait for the test to answer them, the alert and the
// overlay are real; the browser is the test's. Install it as the status-bar
// host to keep the titles.
class cRecordingBrowserHost : public cFileBrowserHost, public cStatusBarHost
{
public:
    cRecordingBrowserHost() : alert(new cWidgetAlert()), progress(new cWidgetProgress()) {}
    ~cRecordingBrowserHost() override
    {
        alert->Release();
        progress->Release();
    }
    cRecordingBrowserHost(const cRecordingBrowserHost&) = delete;
    cRecordingBrowserHost& operator=(const cRecordingBrowserHost&) = delete;

    void PromptName(const cKeyboardRequest& request, const cDelegate& completion) override
    {
        prompts.push_back(request);
        pending = completion;
        keyboardOpen = true;
    }
    bool IsKeyboardOpen() override { return keyboardOpen; }
    cWidgetAlert* GetAlert() override { return alert; }
    cWidgetProgress* GetProgress() override { return progress; }
    int32_t GetFolderProtection(const char* path) override
    {
        const auto found = protections.find(path);
        return found != protections.end() ? found->second : defaultProtection;
    }
    const char* GetProjectFolder() override { return projectFolder.c_str(); }
    cWidgetModalContainer* GetMainWindow() override { return cWidgetManager::GetInstance()->GetRoot(); }
    void ShowProjectSetupPage() override { ++projectPageShown; }
    cWidgetFileBrowser* GetFileBrowser() override { return browser; }
    void SetRecentProject(const char* path) override { recentProjects.push_back(path); }
    void ShowTimedMessage(const char* text, float seconds) override
    {
        messages.push_back(text);
        messageSeconds.push_back(seconds);
    }
    void ShowMixdown() override { ++mixdownShown; }
    void ShowSharePage(float startValue) override { sharePagesShown.push_back(startValue); }
    void OpenFolder(const char* nativePath) override { openedFolders.push_back(nativePath); }
    void SetTitleText(const char* text) override { title = text; }
    void ShowStatusMessage(const char*) override {}
    void PushStatusState(const cDelegate& handler, bool withTransport) override
    {
        statusStates.push_back({handler, withTransport});
    }
    void RestoreStatusState() override
    {
        if (!statusStates.empty())
            statusStates.pop_back();
    }
    // Kept as an empty message, so its order among the messages shows.
    void ClearTimedMessage() override { ShowTimedMessage("", 0.0f); }
    const char* GetLastFolder() const override { return lastFolder.c_str(); }
    void SetLastFolder(const char* path) override { lastFolder = path; }

    // The keyboard's answer: typed text (its extension included), "Browse" or cancel.
    void Answer(int32_t result, const std::string& text = "")
    {
        keyboardOpen = false;
        const cDelegate completion = pending;
        pending.Clear();
        completion.Invoke(result, text.c_str());
    }
    void Enter(const std::string& text) { Answer(cFileBrowserHost::kPromptEntered, text); }

    cWidgetAlert* alert;
    cWidgetProgress* progress;
    std::vector<cKeyboardRequest> prompts;
    cDelegate pending;
    bool keyboardOpen = false;
    std::map<std::string, int32_t> protections;
    int32_t defaultProtection = 3;
    std::string projectFolder;
    int projectPageShown = 0;
    std::string title;
    cWidgetFileBrowser* browser = nullptr;
    std::vector<std::string> recentProjects;
    std::vector<std::string> messages;
    int mixdownShown = 0;
    std::vector<float> sharePagesShown;
    std::vector<std::string> openedFolders;
    struct cStatusState
    {
        cDelegate handler;
        bool withTransport;
    };
    std::vector<cStatusState> statusStates;
    std::vector<float> messageSeconds;
    std::string lastFolder;
};

} // namespace ProjectTest
