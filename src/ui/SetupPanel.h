#pragma once

#include "ui/Widget.h"

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

    // The background; the widget pass draws the children after it.
    bool Draw(cDrawList& list) override;

    // The status bar's title line, when there is a status bar.
    static void SetStatusTitle(const char* title);

protected:
    ~cSetupPanel() override;

    void DrawBackground(cDrawList& list);
};
