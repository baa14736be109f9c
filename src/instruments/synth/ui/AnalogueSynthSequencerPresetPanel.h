#pragma once
#include <cstdint>

#include "ui/SequencerPresetPanel.h"

class cWidgetBankPreset;
class cWidgetButton;

// The synthesizer's part preset panel: ENABLE and a bank/preset chooser. Its
// "bank" is the chooser's kind (0 single, 1 multi), its "preset" the whole
// preset id, bank << 8 | slot. It never talks to the module: the part
// properties fill it and take the user's choices through the delegates;
// every choice marks the project modified.
class cAnalogueSynthSequencerPresetPanel : public cSequencerPresetPanel
{
public:
    cAnalogueSynthSequencerPresetPanel();

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    void OnEnableClicked(int32_t value, cWidget* sender);
    void OnChooserChanged(int32_t id, cWidget* sender);

    cWidgetButton* GetEnableButton() const { return mEnable; }
    cWidgetBankPreset* GetChooser() const { return mChooser; }

protected:
    ~cAnalogueSynthSequencerPresetPanel() override;

private:
    cWidgetButton* mEnable = nullptr;
    cWidgetBankPreset* mChooser = nullptr;
};
