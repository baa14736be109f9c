#pragma once
#include "ui/Widget.h"

class cAnalogueSynthUI;

// A page of the synthesizer editor's page scroller. A plain page shows every
// panel placed on it at once, so it is one step: stepping from it always
// leaves the page, and it reports its first panel as the one on screen. A
// page that scrolls between panels of its own overrides the protocol.
class cAnalogueSynthPage : public cWidget
{
public:
    explicit cAnalogueSynthPage(cAnalogueSynthUI* owner) : mOwner(owner) {}

    virtual void ShowFirstPanel(bool animate);
    virtual void ShowLastPanel(bool animate);
    virtual void StepBack();
    virtual void StepForward();
    virtual bool IsAtFirstPanel() const;
    virtual bool IsAtLastPanel() const;
    // True when a child bears the name, ignoring case; nothing moves.
    virtual bool ShowPanel(const char* name);
    // The first child's name; empty without children.
    virtual const char* GetCurrentPanelName() const;

    cAnalogueSynthUI* GetOwner() const { return mOwner; }

protected:
    cAnalogueSynthUI* mOwner;
};
