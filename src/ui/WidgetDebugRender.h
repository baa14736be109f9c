#pragma once

#include "ui/Widget.h"

// An empty widget a developer can hang in the tree: it lays out and draws
// nothing.
class cWidgetDebugRender : public cWidget
{
public:
    void OnLayout() override {}
    bool Draw(cDrawList&) override { return false; }
};
