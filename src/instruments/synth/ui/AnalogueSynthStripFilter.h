#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cWidgetButton;
class cWidgetKnob;
class cWidgetLEDCycleButton;
class cWidgetSpinButton;

// The filter of the single patch (group 2): type, slope, cutoff, Q and key
// tracking. The type spin and the slope toggle compose their ids themselves.
class cAnalogueSynthStripFilter : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kHighestType = 3;

    // The int is unused: the filter is always group 2.
    cAnalogueSynthStripFilter(cAnalogueSynthUI* owner, int32_t unused);

    void OnStateChange() override;
    // The panel behind draws the background and the caption.
    bool Draw(cDrawList& list) override;

    cWidgetSpinButton* GetType() const { return mType; }
    cWidgetButton* GetSlope() const { return mSlope; }
    cWidgetKnob* GetCutoff() const { return mCutoff; }
    cWidgetKnob* GetQ() const { return mQ; }
    cWidgetLEDCycleButton* GetTrackKeys() const { return mTrackKeys; }

protected:
    ~cAnalogueSynthStripFilter() override;

private:
    void OnTypeChanged(int32_t value, cWidget* sender);
    void OnSlopeChanged(int32_t value, cWidget* sender);
    void ShowType(int32_t value);
    void BuildLayout();

    cWidgetKnob* mCutoff = nullptr;
    cWidgetKnob* mQ = nullptr;
    cWidgetSpinButton* mType = nullptr;
    cWidgetButton* mSlope = nullptr;
    cWidgetLEDCycleButton* mTrackKeys = nullptr;
};
