#include "app/SetupUI.h"

#include "app/SetupPanelGlobal.h"
#include "app/SetupPanelHelp.h"
#include "app/SetupPanelMIDI.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetTabView.h"

namespace
{
// The view keeps its own references to the page and the tab.
void AddTab(cWidgetTabView* view, int32_t index, const char* title, cWidget* page)
{
    cWidgetButton* tab = CreateTabButton(false);
    view->AddPage(index, title, page, tab);
    tab->Release();
    if (page)
        page->Release();
}
} // namespace

// The project page is not part of this screen yet: its tab shows nothing,
// and the screen opens on the settings.
cSetupUI::cSetupUI() : mTabView(new cWidgetSystemTabView(kTabCount, false))
{
    AddChild(mTabView);
    AddTab(mTabView, kProjectTab, "Project", nullptr);
    AddTab(mTabView, kSettingsTab, "Settings", new cSetupPanelGlobal());
    AddTab(mTabView, kHelpTab, "Help", new cSetupPanelHelp());
    AddTab(mTabView, kMIDITab, "MIDI", new cSetupPanelMIDI());
    mTabView->SelectPage(kSettingsTab, true);
}

cSetupUI::~cSetupUI() { mTabView->Release(); }
