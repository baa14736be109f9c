#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cWidgetADSR;
class cWidgetKnob;
class cWidgetLEDCycleButton;

// One envelope of the single patch (group 3 filter, 4 amp, 9 aux): five
// knobs, INVERT, and a graph of the shape they make. The graph is rebuilt
// only after a change, a refresh or a layout, never every frame.
class cAnalogueSynthStripEnvelope : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kKnobCount = 5;
    static constexpr int32_t kInvertIndex = 5;

    cAnalogueSynthStripEnvelope(cAnalogueSynthUI* owner, int32_t group);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetKnob(int32_t index) const { return mKnobs[index]; }
    cWidgetLEDCycleButton* GetInvert() const { return mInvert; }
    cWidgetADSR* GetDisplay() const { return mDisplay; }
    // How often the graph took new values: for tests and benchmarks.
    int32_t GetDisplayUpdates() const { return mDisplayUpdates; }

protected:
    ~cAnalogueSynthStripEnvelope() override;

private:
    void OnKnobChanged(float value, cWidget* sender);
    void OnInvertChanged(int32_t value, cWidget* sender);
    void BuildLayout();

    cWidgetKnob* mKnobs[kKnobCount] = {};
    bool mDisplayDirty = true;
    cWidgetLEDCycleButton* mInvert = nullptr;
    cWidgetADSR* mDisplay = nullptr;
    int32_t mDisplayUpdates = 0;
};
