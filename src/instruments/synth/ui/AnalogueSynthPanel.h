#pragma once
#include <cstdint>

#include "ui/Widget.h"

class cAnalogueSynth;
class cAnalogueSynthInstrument;
class cAnalogueSynthUI;

// The base of every panel, strip and synthesizer widget that edits the
// module. A control's tag is the parameter id it edits; its change delegate
// is one of the two handlers below, which post the new value into the bound
// instrument's module ring. A full ring loses the change: the control keeps
// its look until the panel's next refresh reads the module back.
class cAnalogueSynthPanel : public cWidget
{
public:
    cAnalogueSynthPanel(cAnalogueSynthUI* owner, int32_t group);

    // The colour-atlas panel background, then the children.
    bool Draw(cDrawList& list) override;

    // The editor tells the preset panel whether it stands in the wide
    // screen's top band; other panels ignore it.
    virtual void SetWide(bool wide);

    // Set-float (type 9) with the sender's tag and the value's bits.
    void OnFloatChanged(float value, cWidget* sender);
    // Set-int (type 10) with the sender's tag and the value.
    void OnIntChanged(int32_t value, cWidget* sender);

    cAnalogueSynthUI* GetOwner() const { return mOwner; }
    int32_t GetGroup() const { return mGroup; }
    // The bound instrument and its module; null when none is bound.
    cAnalogueSynthInstrument* GetInstrument() const;
    cAnalogueSynth* GetModule() const;

protected:
    // For refreshes: lets what was just posted take effect first.
    void WaitForModule() const;
    // The module's value, held to 0..1 so a control shows its end stop.
    float ReadParamFloat(uint32_t id) const;
    int32_t ReadParamInt(uint32_t id) const;
    // Posts into the module's ring; false when it was full (or unbound).
    bool PostToModule(uint8_t type, int32_t wordA, int32_t wordB) const;
    // The line height of the editor's caption font: strips leave it free at
    // their top for the caption drawn there.
    float CaptionHeight() const;

    int32_t mGroup;
    cAnalogueSynthUI* mOwner;
};
