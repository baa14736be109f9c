#pragma once

#include "ui/WidgetDialogue.h"

// A framed dialogue around one settings editor, built once by its owner and
// shown again and again; dismissing it only hides it, so the editor keeps its
// settings for the next showing. It asks for more room than the editor's
// own size, so the controls breathe.
class cSettingsPopup : public cWidgetDialogue
{
public:
    // On the root's modal layers; showing a shown popup changes nothing.
    void Show();
    void Hide();

    void OnLayout() override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;
    void OnDismiss(int32_t fromCloseButton) override;

protected:
    // Takes a reference to the editor, which the caller then releases.
    explicit cSettingsPopup(cWidget* editor);
    ~cSettingsPopup() override;
};
