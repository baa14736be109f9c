#pragma once

#include "project/ui/FileBrowserHost.h"

// The main screen's services without a screen, for benchmarks and fuzzers
// that drive a browser-side page alone: nothing is ever asked, every folder
// may be changed, and the open project is "User/Projects/Song.prj".
class cQuietBrowserHost : public cFileBrowserHost
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
    void PushStatusState(const cDelegate&, bool) override {}
    void RestoreStatusState() override {}
    void ClearTimedMessage() override {}
    const char* GetLastFolder() const override { return ""; }
    void SetLastFolder(const char*) override {}
};
