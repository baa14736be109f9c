#pragma once
#include <cstdint>

#include "ui/WidgetDialogue.h"

class cQuantizeSettingsUI;

// A framed dialogue holding a quantize settings editor, built once by its
// owner and shown again and again: the status bar's "Record Quantize"
// (interval "OFF" shown, reported at once) and the piano roll's "Quantize"
// (with what to align and a "Quantize" button). The owner names it (the
// title), anchors it, sets the editor's change delegate and shows it.
// Closing it only hides it; it keeps its settings for the next showing.
class cQuantizeDialogue : public cWidgetDialogue
{
public:
    // Flags of cQuantizeSettingsUI::eStyle for the editor.
    explicit cQuantizeDialogue(int32_t settingsStyle);

    cQuantizeSettingsUI* GetSettingsUI() const { return mSettingsUI; }
    // On the root's modal layers; showing a shown dialogue changes nothing.
    void Show();
    void Hide();

    void OnLayout() override;
    // Roomier than the editor's own size, so its controls breathe.
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;
    void OnDismiss(int32_t fromCloseButton) override;

protected:
    ~cQuantizeDialogue() override;

private:
    cQuantizeSettingsUI* mSettingsUI;
};
