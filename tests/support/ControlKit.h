#pragma once

#include <cstdint>

#include "ui/HouseColours.h"
#include "ui/WidgetFactories.h"

class cWidgetButton;
class cWidgetEditLabel;
class cWidgetLabel;
class cWidgetLEDCycleButton;
class cWidgetMultiButton;

// The standard controls as the application's pages get them, from the
// house-style factories, so that tests and benchmarks see the controls as a
// user does; sprites are named by their colour-atlas index.
namespace ControlKit
{
constexpr uint32_t kLightLabel = HouseColour::kLightLabel;
constexpr uint32_t kDarkCaption = HouseColour::kDarkCaption;

constexpr uint32_t kStyleSmallSquare = kButtonStyleSmallSquare;
constexpr uint32_t kStyleSmall = kButtonStyleSmall;
constexpr uint32_t kStyleSmallTall = kButtonStyleSmallTall;
constexpr uint32_t kStyleStretched = kButtonStyleStretched;
constexpr uint32_t kStyleNoShadow = kButtonStyleNoShadow;

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
