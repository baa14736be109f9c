#pragma once

#include <cstdint>

#include "ui/Widget.h"

class cFileBrowserHost;
class cWidgetSystemTabView;

// The setup screen that "MANAGE" shows: the tabs "Project", "Settings",
// "Help" and "MIDI" along its top, each over its page. Made once with the
// main UI, opening on the project page, which reaches the main screen
// through the host; the tab chosen last stays chosen while the screen is
// hidden. Main thread only.
class cSetupUI : public cWidget
{
public:
    enum : int32_t
    {
        kProjectTab = 0,
        kSettingsTab = 1,
        kHelpTab = 2,
        kMIDITab = 3,
        kTabCount = 4,
    };

    explicit cSetupUI(cFileBrowserHost& host);

    cWidgetSystemTabView* GetTabView() const { return mTabView; }

protected:
    ~cSetupUI() override;

private:
    cWidgetSystemTabView* mTabView;
};
