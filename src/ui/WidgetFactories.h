#pragma once

#include <cstdint>

#include "ui/WidgetKnob.h"

struct cAtlasSprite;
class cDelegate;
class cWidgetButton;
class cWidgetComboBox;
class cWidgetList;
class cWidgetScrollBar;
class cWidgetSpinButton;
class cWidgetEditLabel;
class cWidgetLabel;
class cWidgetMultiButton;

// Button style bits: 1 with 4 small square, 1 with 8 small, 2 with 8 (without
// 1) small tall, anything else the standard wide body; 0x20 stretched across,
// 0x40 without the shadow.
enum eButtonStyle : uint32_t
{
    kButtonStyleSmallSquare = 0x5,
    kButtonStyleSmall = 0x9,
    kButtonStyleSmallTall = 0xa,
    kButtonStyleStretched = 0x20,
    kButtonStyleNoShadow = 0x40,
};

// The skin a button style chooses from the colour atlas.
struct cButtonSkin
{
    const cAtlasSprite* drawn;
    const cAtlasSprite* size;
    const cAtlasSprite* litDrawn;
    const cAtlasSprite* litSize;
    int32_t alignment;
    uint32_t labelColour;
    float labelTextSize;

    static cButtonSkin FromStyle(uint32_t style);
};

// The standard widgets in the house style: skins of the colour atlas, the
// text sizes of the device class, the house colours and margins. Each
// returns a new widget holding the caller's reference.
cWidgetButton* CreateButton(const char* label, int32_t mode, uint32_t style);
cWidgetMultiButton* CreateMultiButton(const char* label, int32_t columns, int32_t rows, uint32_t flags,
                                      uint32_t style);
// An on/off switch with its label to the right.
cWidgetButton* CreateToggleButton(const char* label);
// The caller names it.
cWidgetButton* CreateTabButton(bool alternativeLook);
cWidgetLabel* CreateLabel(const char* caption);
cWidgetEditLabel* CreateEditLabel();
// The close button of dialogues, also pressed by Escape.
cWidgetButton* CreateDialogueButton();
// The icon shows only while the button is lit.
cWidgetButton* CreateEffectButton(const char* label, int32_t mode, const cAtlasSprite* icon, uint32_t labelColour);
// A list with its small vertical scroll bar attached.
cWidgetList* CreateList(const char* caption);
cWidgetSpinButton* CreateSpinButton(const char* caption);
cWidgetScrollBar* CreateScrollBar(bool vertical, bool large);
cWidgetComboBox* CreateComboBox(const char* name, int32_t capacity, int32_t comboFlags, const cDelegate& change);
cWidgetKnob* CreateEffectKnob(const cWidgetKnob::cParameter& parameter, uint32_t captionColour);

// The icon above the centre, the label below it.
void SetButtonIcon(cWidgetButton* button, const cAtlasSprite* icon);
// The icon left of the text, 6 pixels apart.
void SetButtonIconBeside(cWidgetButton* button, const cAtlasSprite* icon);
void ClearButtonIcon(cWidgetButton* button);
