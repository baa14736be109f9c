#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "render/FontHandle.h"
#include "ui/WidgetDialogue.h"

// Tells a new user where help is: everything but the status bar's
// song-position screen darkens, and a small framed note below the screen
// says to hold it. The close delegate gets (this overlay). Main thread only.
class cWidgetIntroHelp : public cWidgetDialogue
{
public:
    static constexpr float kWidth = 300.0f;
    static constexpr float kHeight = 120.0f;
    static constexpr uint32_t kShadeColour = 0x80000000;
    static constexpr const char* kFirstLine = "If you need help, hold the text area at the";
    static constexpr const char* kSecondLine = "top of the screen for a few moments.";

    // The screen is the status bar's; the overlay points at it.
    explicit cWidgetIntroHelp(cWidget* screen);

    // Pushes the overlay on the root without dimming or transition.
    void Show(const cDelegate& closeDelegate);
    // Pops the overlay, when it is shown, without calling the delegate.
    void Close();

    // The three shaded rectangles around the screen, as last drawn.
    const cRect* GetShades() const { return mShades; }

    bool Draw(cDrawList& list) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;
    void OnDismiss(int32_t fromCloseButton) override;

protected:
    ~cWidgetIntroHelp() override;

private:
    void PlaceShades();

    cDelegate mCloseDelegate;
    cFontHandle mTextFont;
    cRect mShades[3] = {};
};
