#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "ui/WidgetDialogue.h"

struct cAtlasSprite;
class cWidgetButton;

// Alert style bits beside the dialogue's.
enum eAlertStyle : int32_t
{
    // Cancel rightmost, OK next, No leftmost.
    kAlertCancelRightmost = 0x100,
    kAlertIconOnNo = 0x200,
    kAlertIconOnOK = 0x400,
};

enum eAlertButton : int32_t
{
    kAlertNo = 0,
    kAlertCancel = 1,
    kAlertOther = 2,
    kAlertOK = 3,
    kAlertButtonCount = 4,
};

// The message box: a title, at most two lines and up to four buttons; the
// tapped button's index goes to the result delegate as (index, alert) after
// the alert has left the screen. Callers Reset, set the title (the name) and
// lines, SetButton each wanted button, then Show. Main thread only.
class cWidgetAlert : public cWidgetDialogue
{
public:
    static constexpr int kLineCapacity = 260;

    cWidgetAlert();

    // The style always dims; texts, labels and icons are cleared.
    void Reset(int32_t style);
    // An index outside 0..3 is ignored; an empty label hides the button.
    void SetButton(int32_t index, const char* label);
    // Sizes and places the alert and its buttons and pushes it as the top
    // layer; an alert already shown takes the new texts, buttons and
    // delegate where it stands.
    void Show(const cDelegate& resultDelegate);
    void Hide();
    // How wide a line of text may be on this device class before it is cut.
    static float GetLineWidth();
    // The text on the first line, or split onto both when too wide for one
    // (SplitAlertText).
    void SetText(const char* text);

    bool Draw(cDrawList& list) override;

    cWidgetButton* GetButton(int32_t index) const { return mButtons[index]; }
    const cAtlasSprite* GetButtonIcon(int32_t index) const { return mButtonIcons[index]; }

    cGenStringFixed<kLineCapacity> firstLine;
    cGenStringFixed<kLineCapacity> secondLine;
    cFontHandle textFont;

protected:
    ~cWidgetAlert() override;

private:
    void PlaceButtons(float gap);
    void ShowButton(cWidgetButton* button, const cAtlasSprite* icon, float right);
    void HideButton(cWidgetButton* button);
    intptr_t OnButton(intptr_t value, cWidgetButton* button);

    cDelegate mResultDelegate;
    cWidgetButton* mButtons[kAlertButtonCount] = {};
    const cAtlasSprite* mButtonIcons[kAlertButtonCount] = {};
};

// The alert's lines for a text too wide for one: the part after the first
// ": " goes to the second line, so a reason at the end is never cut.
void SplitAlertText(const char* text, bool fitsOnALine, cGenString& first, cGenString& second);
