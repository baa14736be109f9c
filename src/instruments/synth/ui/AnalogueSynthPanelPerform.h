#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPage.h"

class cAnalogueSynthPanelKeyboard;
class cAnalogueSynthPanelMod;
class cPitchBendPanel;
class cWidgetPanelScroller;

// The page for playing: a pitch-bend wheel at its left edge beside a
// scroller of two panels, the performance controls ("Mod") and a second
// keyboard ("Keys"). It steps between them for the editor, and while the
// wheel is not held it follows the module's bend, so bends from a MIDI
// keyboard or from playback move the wheel on screen.
class cAnalogueSynthPanelPerform : public cAnalogueSynthPage
{
public:
    explicit cAnalogueSynthPanelPerform(cAnalogueSynthUI* owner);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    void ShowFirstPanel(bool animate) override;
    void ShowLastPanel(bool animate) override;
    void StepBack() override;
    void StepForward() override;
    bool IsAtFirstPanel() const override;
    bool IsAtLastPanel() const override;
    // The scroller's panel of that name, ignoring case, shows at once.
    bool ShowPanel(const char* name) override;
    // The scroller's target panel's name; empty without one.
    const char* GetCurrentPanelName() const override;

    cWidgetPanelScroller* GetScroller() const { return mScroller; }
    cAnalogueSynthPanelMod* GetModPanel() const { return mMod; }
    cAnalogueSynthPanelKeyboard* GetKeyboardPanel() const { return mKeyboard; }
    cPitchBendPanel* GetPitchBend() const { return mPitchBend; }

protected:
    ~cAnalogueSynthPanelPerform() override;

private:
    void FollowModuleBend();

    cWidgetPanelScroller* mScroller = nullptr;
    cAnalogueSynthPanelMod* mMod = nullptr;
    cAnalogueSynthPanelKeyboard* mKeyboard = nullptr;
    cPitchBendPanel* mPitchBend = nullptr;
};
