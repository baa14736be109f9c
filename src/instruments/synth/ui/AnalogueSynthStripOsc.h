#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "render/Image.h"

class cWidgetSpinButton;

// One oscillator of the single patch: its wave and its transpose beside a
// badge naming it. The second oscillator's wave hides while the oscillator
// mode is SYNC, which takes that oscillator over.
class cAnalogueSynthStripOsc : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kHighestTranspose = 24;

    cAnalogueSynthStripOsc(cAnalogueSynthUI* owner, int32_t oscillator);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    int32_t GetOscillator() const { return mOscillator; }
    cWidgetSpinButton* GetWaveform() const { return mWaveform; }
    cWidgetSpinButton* GetTranspose() const { return mTranspose; }

protected:
    ~cAnalogueSynthStripOsc() override;

private:
    void OnWaveChanged(int32_t value, cWidget* sender);
    void OnTransposeChanged(int32_t value, cWidget* sender);
    void ShowWave(int32_t value);
    void ShowTranspose(int32_t value);
    uint32_t FieldId(int32_t field) const;
    void BuildLayout();

    int32_t mOscillator;
    cWidgetSpinButton* mWaveform = nullptr;
    cWidgetSpinButton* mTranspose = nullptr;
    cImage mBadge;
};
