#pragma once

#include <string>
#include <vector>

#include "base/Delegate.h"
#include "editors/EditorHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetProgress.h"

// The main UI's part for the editors, as a test sees it: messages and hints
// kept, the alert a real one on the widget manager's root. Installed while
// it lives; build it after the widget manager.
class cEditorHostRecorder : public cEditorHost
{
public:
    // A file question as the editors asked it.
    struct cRequest
    {
        std::string title, button, folder, fileName;
        bool save = false;
    };

    cEditorHostRecorder() : alert(new cWidgetAlert()), progress(new cWidgetProgress()) { SetEditorHost(this); }
    ~cEditorHostRecorder() override
    {
        SetEditorHost(nullptr);
        if (alert->IsShown())
            alert->Hide();
        alert->Release();
        progress->Release();
    }

    void ShowStatusMessage(const char* text, float seconds) override
    {
        messages.push_back(text);
        messageSeconds = seconds;
    }
    void SetStatusHint(const char* text) override { hint = text; }
    cWidgetAlert* GetAlert() override { return alert; }
    cWidgetProgress* GetProgress() override { return progress; }
    bool ChooseMIDIFile(const cFileRequest& request, const cDelegate& completion) override
    {
        requests.push_back({request.title, request.button, request.folder, request.fileName, request.save});
        pendingChoice = completion;
        return true;
    }
    void OpenFolder(const char* nativePath) override { openedFolders.push_back(nativePath); }
    // The browser's answer: a path in "Doc" (shown without "User/"), or none.
    void AnswerFile(const std::string& path)
    {
        const cDelegate completion = pendingChoice;
        pendingChoice.Clear();
        const std::string shown = path.rfind("User/", 0) == 0 ? path.substr(5) : path;
        const cFileChoice choice{path.c_str(), shown.c_str()};
        if (path.empty())
            completion.Invoke(0, static_cast<const cFileChoice*>(nullptr));
        else
            completion.Invoke(1, &choice);
    }

    bool IsAlertShown() const { return alert->IsShown(); }
    std::string AlertTitle() const { return alert->GetName(); }
    std::string LastMessage() const { return messages.empty() ? std::string() : messages.back(); }
    void DismissAlert()
    {
        if (alert->IsShown())
            alert->Hide();
    }

    cWidgetAlert* alert;
    cWidgetProgress* progress;
    std::vector<cRequest> requests;
    cDelegate pendingChoice;
    std::vector<std::string> openedFolders;
    std::vector<std::string> messages;
    float messageSeconds = 0.0f;
    std::string hint;
};
