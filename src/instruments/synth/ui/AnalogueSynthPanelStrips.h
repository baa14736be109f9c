#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"

// The three panels that frame two strips each, the upper strip over the top
// half and the lower over the bottom half, and draw the section captions.
class cAnalogueSynthPanelTwoStrips : public cAnalogueSynthPanel
{
public:
    cAnalogueSynthPanelTwoStrips(cAnalogueSynthUI* owner, cAnalogueSynthPanel* upper, cAnalogueSynthPanel* lower);

    cAnalogueSynthPanel* GetUpper() const { return mUpper; }
    cAnalogueSynthPanel* GetLower() const { return mLower; }

protected:
    ~cAnalogueSynthPanelTwoStrips() override;
    // The caption's box from the panel's left to its right edge, at y.
    void DrawCaption(cDrawList& list, float y, const char* text);
    float Middle() { return (GetRect().yMin + GetRect().yMax) * 0.5f; }

    cAnalogueSynthPanel* mUpper;
    cAnalogueSynthPanel* mLower;
};

// "Filter": the filter over the filter envelope.
class cAnalogueSynthPanelFilter : public cAnalogueSynthPanelTwoStrips
{
public:
    explicit cAnalogueSynthPanelFilter(cAnalogueSynthUI* owner);
    bool Draw(cDrawList& list) override;
};

// "Amp": the amp envelope over polyphony, bend range and sends.
class cAnalogueSynthPanelAmp : public cAnalogueSynthPanelTwoStrips
{
public:
    explicit cAnalogueSynthPanelAmp(cAnalogueSynthUI* owner);
    bool Draw(cDrawList& list) override;
};

// "LFO/Env": an LFO over the aux envelope, whose title says where the
// matrix routes it, since it does nothing until a routing uses it.
class cAnalogueSynthPanelAux1 : public cAnalogueSynthPanelTwoStrips
{
public:
    explicit cAnalogueSynthPanelAux1(cAnalogueSynthUI* owner);
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    const char* GetTitle() const { return mTitle.CStr(); }

private:
    cGenStringFixed<64> mTitle;
};
