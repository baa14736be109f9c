#pragma once

#include <string>
#include <vector>

#include "base/CriticalSection.h"
#include "project/ProjectHost.h"

namespace ProjectTest
{
// Keeps what the projects ask of the screens; installed for its lifetime.
class cRecordingHost : public cProjectHost
{
public:
    cRecordingHost() { SetProjectHost(this); }
    ~cRecordingHost() override { SetProjectHost(nullptr); }
    cRecordingHost(const cRecordingHost&) = delete;
    cRecordingHost& operator=(const cRecordingHost&) = delete;

    void SetStatusText(const char* text) override { statusTexts.push_back(text); }
    void SetProgress(float fraction) override { progress.push_back(fraction); }
    bool IsCancelPressed() override { return cancelPressed; }
    cCriticalSection* GetFrameLock() override { return &frameLock; }
    void ResetInstrumentSelector() override { ++selectorResets; }
    void SelectPage(int32_t page, int32_t instrument) override { pages.push_back({page, instrument}); }
    void GetRestorePage(int32_t& page, int32_t& instrument) override
    {
        if (restorePage >= 0)
        {
            page = restorePage;
            instrument = restoreInstrument;
        }
    }
    void SetCurrentProjectPath(const char* path) override { currentPath = path; }
    void ResetToSongView() override { ++songViewResets; }

    struct cPage
    {
        int32_t page;
        int32_t instrument;
    };

    std::vector<std::string> statusTexts;
    std::vector<float> progress;
    bool cancelPressed = false;
    cCriticalSection frameLock;
    int selectorResets = 0;
    std::vector<cPage> pages;
    int32_t restorePage = -1; // -1: no main menu
    int32_t restoreInstrument = 0;
    std::string currentPath;
    int songViewResets = 0;
};
} // namespace ProjectTest
