#include "app/AppProjectHost.h"

#include "app/MainUI.h"
#include "app/WidgetMainMenu.h"
#include "editors/SequencerUI.h"
#include "sequencer/Sequencer.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetProgress.h"

void cAppProjectHost::SetStatusText(const char* text) { cWidgetProgress::SetStatusText(text); }

void cAppProjectHost::SetProgress(float fraction)
{
    if (mOverlay)
        mOverlay->SetProgress(fraction);
}

bool cAppProjectHost::IsCancelPressed() { return mOverlay && mOverlay->IsStopRequested(); }

namespace
{
cWidgetMainMenu* MainMenu()
{
    cMainUI* ui = cMainUI::GetInstance();
    return ui ? ui->GetMainMenu() : nullptr;
}
} // namespace

cCriticalSection* cAppProjectHost::GetFrameLock()
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    return ui ? ui->GetFrameLock() : nullptr;
}

// A project coming in has none of the last one's instruments selected.
void cAppProjectHost::ResetInstrumentSelector()
{
    if (cWidgetMainMenu* menu = MainMenu())
    {
        menu->SetSelectedSlot(-1);
        menu->ResetLastInstrumentSlot();
    }
}

void cAppProjectHost::SelectPage(int32_t page, int32_t instrument)
{
    if (cWidgetMainMenu* menu = MainMenu())
        menu->SelectPage(page, instrument);
}

void cAppProjectHost::GetRestorePage(int32_t& page, int32_t& instrument)
{
    if (cWidgetMainMenu* menu = MainMenu())
    {
        page = menu->GetLastPageType();
        instrument = menu->GetCurrentSlot();
    }
}

void cAppProjectHost::SetCurrentProjectPath(const char* path)
{
    if (cMainUI* ui = cMainUI::GetInstance())
        ui->SetCurrentProjectPath(path);
}

void cAppProjectHost::ResetToSongView()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (mSequencerPage && sequencer)
        mSequencerPage->ResetToSongView(sequencer->GetTrackList());
}
