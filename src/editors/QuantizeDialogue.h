#pragma once
#include <cstdint>

#include "editors/SettingsPopup.h"

class cQuantizeSettingsUI;

// The popup around a quantize settings editor: the status bar's "Record
// Quantize" (interval "OFF" shown, reported at once) and the piano roll's
// "Quantize" (with what to align and a "Quantize" button). The owner names
// it (the title), anchors it, sets the editor's change delegate and shows it.
class cQuantizeDialogue : public cSettingsPopup
{
public:
    // Flags of cQuantizeSettingsUI::eStyle for the editor.
    explicit cQuantizeDialogue(int32_t settingsStyle);

    cQuantizeSettingsUI* GetSettingsUI() const { return mSettingsUI; }

protected:
    ~cQuantizeDialogue() override;

private:
    explicit cQuantizeDialogue(cQuantizeSettingsUI* settingsUI);

    cQuantizeSettingsUI* mSettingsUI;
};
