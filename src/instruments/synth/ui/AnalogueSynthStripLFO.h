#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cWidgetKnob;
class cWidgetLEDCycleButton;
class cWidgetSpinButton;

// One of the four LFOs of the single patch, chosen on the strip itself; the
// choice lives in the instrument. The title tells where the LFO is routed.
// Free and beat rate share one place: SYNC at BEAT shows the beat rate.
class cAnalogueSynthStripLFO : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kHighestShape = 6;
    static constexpr int32_t kSyncBeat = 2;

    // The int is unused: the selector chooses the LFO.
    cAnalogueSynthStripLFO(cAnalogueSynthUI* owner, int32_t unused);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    const char* GetTitle() const { return mTitle.CStr(); }
    cWidgetLEDCycleButton* GetSelector() const { return mSelector; }
    cWidgetSpinButton* GetShape() const { return mShape; }
    cWidgetLEDCycleButton* GetSync() const { return mSync; }
    cWidgetKnob* GetFreeRate() const { return mFreeRate; }
    cWidgetKnob* GetBeatRate() const { return mBeatRate; }
    cWidgetKnob* GetDelay() const { return mDelay; }
    cWidgetKnob* GetAmount() const { return mAmount; }

protected:
    ~cAnalogueSynthStripLFO() override;

private:
    void OnSelectorChanged(int32_t value, cWidget* sender);
    void OnShapeChanged(int32_t value, cWidget* sender);
    void OnSyncChanged(int32_t value, cWidget* sender);
    void ShowShape(int32_t value);
    void ShowRateFor(int32_t sync);
    void UpdateTitle(int32_t lfo);
    void BuildLayout();

    cWidgetKnob* mFreeRate = nullptr;
    cWidgetKnob* mBeatRate = nullptr;
    cWidgetKnob* mDelay = nullptr;
    cWidgetKnob* mAmount = nullptr;
    cWidgetSpinButton* mShape = nullptr;
    cWidgetLEDCycleButton* mSelector = nullptr;
    cWidgetLEDCycleButton* mSync = nullptr;
    cGenStringFixed<32> mTitle;
};
