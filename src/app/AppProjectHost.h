#pragma once

#include "project/ProjectHost.h"

class cSequencerUI;
class cWidgetProgress;

// The application's side of what the projects ask of the screens: the
// progress overlay's status line, bar and button, the frame lock, the main
// menu's pages and the main UI's project folder. The parts whose screens do
// not exist yet keep the headless answers.
class cAppProjectHost : public cProjectHost
{
public:
    void SetStatusText(const char* text) override;
    void SetProgress(float fraction) override;
    bool IsCancelPressed() override;
    cCriticalSection* GetFrameLock() override;
    void ResetInstrumentSelector() override;
    void SelectPage(int32_t page, int32_t instrument) override;
    void GetRestorePage(int32_t& page, int32_t& instrument) override;
    void SetCurrentProjectPath(const char* path) override;
    void ResetToSongView() override;

    // The overlay the project jobs run behind, or none.
    void SetOverlay(cWidgetProgress* overlay) { mOverlay = overlay; }
    // The page a project's activation returns to the song view, or none.
    void SetSequencerPage(cSequencerUI* page) { mSequencerPage = page; }

private:
    cWidgetProgress* mOverlay = nullptr;
    cSequencerUI* mSequencerPage = nullptr;
};
