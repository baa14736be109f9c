#pragma once

#include "ui/Widget.h"

class cWidgetAlert;
class cWidgetProgress;

// What the setup pages ask of the main screen: the status bar's title and
// its timed messages, and the alert and progress overlay every page borrows. The main UI installs
// it; without one the pages still work and show nothing there.
class cSetupPanelHost
{
public:
    virtual ~cSetupPanelHost() = default;
    virtual void SetStatusTitle(const char* title) = 0;
    virtual void ShowStatusMessage(const char* text, float seconds, bool blink) = 0;
    // Each null while there is none.
    virtual cWidgetAlert* GetSharedAlert() = 0;
    virtual cWidgetProgress* GetProgressOverlay() = 0;
};

// The base of every page of the setup screen: a plain widget filling its tab
// view's page area over the common background. A page re-reads what it shows
// in OnStateChange, which runs at the next frame whenever it becomes
// visible, and names itself in the status bar's title from its Draw, every
// frame it is visible. Main thread only.
class cSetupPanel : public cWidget
{
public:
    // Colour-atlas entries of the background nine-patch.
    static constexpr int kBackgroundSprite = 462;
    static constexpr int kBackgroundInnerSprite = 463;

    static void SetHost(cSetupPanelHost* host);
    static cSetupPanelHost* GetHost();

    // The background; the widget pass draws the children after it.
    bool Draw(cDrawList& list) override;

protected:
    ~cSetupPanel() override;

    void DrawBackground(cDrawList& list);
    static void SetStatusTitle(const char* title);
    static void ShowStatusMessage(const char* text, float seconds, bool blink);
    static cWidgetAlert* GetSharedAlert();
    static cWidgetProgress* GetProgressOverlay();
};
