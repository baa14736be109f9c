#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "RecordingBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "ui/DialogueFixture.h"
#include "ui/WidgetButton.h"

namespace ProjectTest
{
// A browser on a 1024 x 768 screen over a fresh documents folder, with the
// project's folder at "User/Projects/Song.prj".
class BrowserFixture : public DialogueFixture
{
protected:
    BrowserFixture()
    {
        UseScreen(1024.0f, 768.0f);
        SetStatusBarHost(&host);
        cWidgetDialogueDropDown::SetHost(&dropDowns);
        std::error_code ignored;
        std::filesystem::remove_all(Documents(), ignored);
        std::filesystem::create_directories(Native("User/Projects/Song.prj"));
        host.projectFolder = "User/Projects/Song.prj";
        browser = new cWidgetFileBrowser(&host);
        host.browser = browser;
    }
    ~BrowserFixture() override
    {
        browser->Close();
        if (host.alert->IsShown())
            host.alert->Hide();
        browser->Release();
        SetStatusBarHost(nullptr);
    }

    intptr_t OnDone(int32_t result, cWidgetFileBrowser* from)
    {
        results.push_back(result);
        chosen.push_back(from->path.CStr());
        return 0;
    }

    // A request as the program's callers make one.
    void Request(const char* title, const char* root, const char* start, std::vector<const char*> files,
                 std::vector<const char*> packages, uint32_t flags, const char* defaultExtension = "")
    {
        browser->Reset();
        browser->SetName(title);
        browser->rootFolder = root;
        browser->path = start;
        browser->extension = defaultExtension;
        for (const char* type : files)
            browser->AddFileType(type, nullptr);
        for (const char* type : packages)
            browser->AddPackageType(type, nullptr);
        browser->Show(flags, cDelegate(this, &BrowserFixture::OnDone));
        Frame(30);
    }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const cWidgetFileBrowser::cEntry& entry : browser->GetEntries())
            rows.push_back(entry.displayName);
        return rows;
    }
    int32_t RowOf(const std::string& name) const
    {
        const auto& entries = browser->GetEntries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].displayName == name)
                return int32_t(i);
        ADD_FAILURE() << "no row " << name;
        return -1;
    }
    void SelectRow(const std::string& name) { browser->Select(RowOf(name)); }
    void Press(int32_t id) { browser->OnButton(id, browser->GetButton(id)); }
    bool Enabled(int32_t id) const { return browser->GetButton(id)->IsEnabled(); }
    // The alert's button tapped as the user does.
    void AnswerAlert(int32_t button)
    {
        ASSERT_TRUE(host.alert->IsShown());
        Frame(30);
        cWidgetButton* target = host.alert->GetButton(button);
        const cRect& rect = target->GetRect();
        Tap(1, (rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
        Frame(30);
    }
    std::string AlertLines() const
    {
        return std::string(host.alert->firstLine.CStr()) + " / " + host.alert->secondLine.CStr();
    }
    // Runs the overlay's job to its completion.
    void FinishJob()
    {
        for (int i = 0; i < 600 && host.progress->IsShown(); ++i)
        {
            Frame();
            usleep(1000);
        }
    }
    static bool Exists(const std::string& docPath) { return std::filesystem::exists(Native(docPath)); }
    static void Touch(const std::string& docPath, const std::string& text = "x") { WriteText(Native(docPath), text); }
    static void Folder(const std::string& docPath) { std::filesystem::create_directories(Native(docPath)); }

    cRecordingDropDownHost dropDowns;
    cRecordingBrowserHost host;
    cWidgetFileBrowser* browser = nullptr;
    std::vector<int32_t> results;
    std::vector<std::string> chosen;
};
} // namespace ProjectTest
