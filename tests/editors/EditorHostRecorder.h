#pragma once

#include <string>
#include <vector>

#include "editors/EditorHost.h"
#include "ui/WidgetAlert.h"

// The main UI's part for the editors, as a test sees it: messages and hints
// kept, the alert a real one on the widget manager's root. Installed while
// it lives; build it after the widget manager.
class cEditorHostRecorder : public cEditorHost
{
public:
    cEditorHostRecorder() : alert(new cWidgetAlert()) { SetEditorHost(this); }
    ~cEditorHostRecorder() override
    {
        SetEditorHost(nullptr);
        if (alert->IsShown())
            alert->Hide();
        alert->Release();
    }

    void ShowStatusMessage(const char* text, float seconds) override
    {
        messages.push_back(text);
        messageSeconds = seconds;
    }
    void SetStatusHint(const char* text) override { hint = text; }
    cWidgetAlert* GetAlert() override { return alert; }

    bool IsAlertShown() const { return alert->IsShown(); }
    std::string AlertTitle() const { return alert->GetName(); }
    std::string LastMessage() const { return messages.empty() ? std::string() : messages.back(); }
    void DismissAlert()
    {
        if (alert->IsShown())
            alert->Hide();
    }

    cWidgetAlert* alert;
    std::vector<std::string> messages;
    float messageSeconds = 0.0f;
    std::string hint;
};
