#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cWidgetKnob;
class cWidgetSpinButton;

// The foot of the Amp panel: polyphony (0 one voice gliding, 1 one voice
// retriggered) with the glide time shown only for 0, the bend range and the
// two global send levels.
class cAnalogueSynthStripPolyphonyFX : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kHighestPolyphony = 16;
    static constexpr int32_t kLowestBendRange = 1;
    static constexpr int32_t kHighestBendRange = 24;

    cAnalogueSynthStripPolyphonyFX(cAnalogueSynthUI* owner, int32_t unused);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetGlide() const { return mKnobs[0]; }
    cWidgetKnob* GetSend(int32_t index) const { return mKnobs[1 + index]; }
    cWidgetSpinButton* GetPolyphony() const { return mPolyphony; }
    cWidgetSpinButton* GetBendRange() const { return mBendRange; }

protected:
    ~cAnalogueSynthStripPolyphonyFX() override;

private:
    void OnPolyphonyChanged(int32_t value, cWidget* sender);
    void OnBendRangeChanged(int32_t value, cWidget* sender);
    void ShowPolyphony(int32_t value);
    void ShowBendRange(int32_t value);
    void BuildLayout();

    cWidgetKnob* mKnobs[3] = {};
    cWidgetSpinButton* mPolyphony = nullptr;
    cWidgetSpinButton* mBendRange = nullptr;
};
