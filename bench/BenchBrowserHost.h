#pragma once

// What the browser-side benchmarks stand in for above their dialogues.

#include "project/ui/FileBrowserHost.h"
#include "ui/WidgetDialogueDropDown.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// The main screen's services without a screen: nothing is ever asked.
class cBenchHost : public cFileBrowserHost
{
public:
    void PromptName(const cKeyboardRequest&, const cDelegate&) override {}
    bool IsKeyboardOpen() override { return false; }
    cWidgetAlert* GetAlert() override { return nullptr; }
    cWidgetProgress* GetProgress() override { return nullptr; }
    int32_t GetFolderProtection(const char*) override { return 3; }
    const char* GetProjectFolder() override { return "User/Projects/Song.prj"; }
    cWidgetModalContainer* GetMainWindow() override { return nullptr; }
    void ShowProjectSetupPage() override {}
    cWidgetFileBrowser* GetFileBrowser() override { return nullptr; }
    void SetRecentProject(const char*) override {}
    void ShowTimedMessage(const char*, float) override {}
    void ShowMixdown() override {}
    void OpenFolder(const char*) override {}
};

// Panels go on the root, as the main window takes them.
class cBenchDropDowns : public cDropDownHost
{
public:
    void PushPanel(cWidget* panel, int32_t dimMode, int32_t transition) override
    {
        cWidgetManager::GetInstance()->GetRoot()->Push(panel, dimMode, transition);
    }
    void PopPanel(cWidget* panel) override { cWidgetManager::GetInstance()->GetRoot()->Pop(panel); }
    void PushStatusState(const cDelegate&, bool) override {}
    void RestoreStatusState() override {}
    void ClearTimedMessage() override {}
};
