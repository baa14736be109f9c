#pragma once

#include <cstdint>

class cWidgetButton;
class cWidgetEditLabel;
class cWidgetLabel;
class cWidgetLEDCycleButton;
class cWidgetMultiButton;

// Builds the standard controls in the house style (the skin sprites of the
// colour atlas, the text sizes of the device class, the house colours and
// margins), as the application's pages will get them, so that tests and
// benchmarks see the controls as a user does.
namespace ControlKit
{
// Light label text on the dark button skins, dark caption text on pages.
constexpr uint32_t kLightLabel = 0xffdcdcdc;
constexpr uint32_t kDarkCaption = 0xff1e1e1e;

// Button style bits: 1 with 4 small square, 1 with 8 small, 2 with 8 (without
// 1) small tall, anything else the standard wide body; 0x20 stretched across,
// 0x40 without the shadow.
enum eButtonStyle : uint32_t
{
    kStyleSmallSquare = 0x5,
    kStyleSmall = 0x9,
    kStyleSmallTall = 0xa,
    kStyleStretched = 0x20,
    kStyleNoShadow = 0x40,
};

// Text sizes 0..6 of the device class (2 is the standard size of button
// labels and captions).
float TextSize(int index);

// The skin's sprite indices for a style: background drawn and size, lit
// background drawn and size, and the image alignment.
struct cButtonSkin
{
    int drawn, size, litDrawn, litSize;
    int32_t alignment;

    static cButtonSkin FromStyle(uint32_t style);
};

// Each returns a new widget holding the caller's reference.
cWidgetButton* Button(const char* label, int32_t mode, uint32_t style);
// Items skinned like buttons of the style, sharing a border pixel.
cWidgetMultiButton* MultiButton(const char* label, int32_t columns, int32_t rows, uint32_t flags, uint32_t style);
cWidgetLabel* Label(const char* caption);
cWidgetEditLabel* EditLabel();
// A lamp button whose LEDs show values 0..maximum, as the instrument pages
// build them.
cWidgetLEDCycleButton* LEDCycleButton(int32_t maximum, uint32_t flags);
// An on/off switch with its label to the right.
cWidgetButton* ToggleButton(const char* label);
cWidgetButton* TabButton(bool alternativeLook);

// The icon above the centre, the label below it.
void SetButtonIcon(cWidgetButton* button, int sprite);
// The icon left of the text, 6 pixels apart.
void SetButtonIconBeside(cWidgetButton* button, int sprite);
} // namespace ControlKit
