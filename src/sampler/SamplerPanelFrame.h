#pragma once

#include "base/Math.h"

class cDrawList;
class cWidget;

// The look the Resample and Sample tabs share: "REC" at the left, two
// columns of two controls each 200 wide with a divider between them, and a
// status area over a sunk background holding two centred lines. Not a
// widget: the panel places its children through it and draws it behind them.
// Main thread only.
class cSamplerPanelFrame
{
public:
    static constexpr float kColumnWidth = 200.0f;

    // Places rec and the controls (column by column, top then bottom) inside
    // the panel's rect.
    void Layout(cWidget* panel, cWidget* rec, cWidget* const (&controls)[4]);
    // Background, sunk status area, divider and the two lines at one quarter
    // and three quarters of the status area's height.
    void Draw(cDrawList& list, const cRect& panelRect, const char* firstLine, const char* secondLine) const;

    const cRect& GetStatusRect() const { return mStatus; }

private:
    cRect mStatus = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mDivider = {0.0f, 0.0f, 0.0f, 0.0f};
};
