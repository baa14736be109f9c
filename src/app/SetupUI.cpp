#include "app/SetupUI.h"

#include "app/SetupPanelGlobal.h"
#include "app/SetupPanelHelp.h"
#include "app/SetupPanelMIDI.h"
#include "project/ui/SetupPanelProject.h"
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

cSetupUI::cSetupUI(cFileBrowserHost& host) : mTabView(new cWidgetSystemTabView(kTabCount, false))
{
    AddChild(mTabView);
    AddTab(mTabView, kProjectTab, "Project", new cSetupPanelProject(&host));
    AddTab(mTabView, kSettingsTab, "Settings", new cSetupPanelGlobal());
    AddTab(mTabView, kHelpTab, "Help", new cSetupPanelHelp());
    AddTab(mTabView, kMIDITab, "MIDI", new cSetupPanelMIDI());
    mTabView->SelectPage(kProjectTab, true);
}

cSetupUI::~cSetupUI() { mTabView->Release(); }
