#pragma once
#include <cstdint>

class cWidgetButton;
class cWidgetKnob;
class cWidgetLabel;
class cWidgetLoopDirection;
class cWidgetLEDCycleButton;
class cWidgetMultiButton;
class cWidgetSpinButton;

// The toolkit's controls dressed in the synthesizer's skin. Each returns a
// new widget holding the caller's reference, marked for layout.

// Style 0 is the plain push button with its text centred; 3 and the others
// are the small square lamp buttons, their text raised by half a line.
cWidgetButton* CreateSynthButton(int32_t mode, int32_t style);
// Flag 0x40000 makes it a cycle button with the other lit look.
cWidgetLEDCycleButton* CreateSynthLEDButton(int32_t highestValue, uint32_t flags);
// No label until the caller applies its descriptor.
cWidgetKnob* CreateSynthKnob();
// A continuous knob (0..1) under the label, with the knob style flags.
cWidgetKnob* CreateSynthKnob(const char* label, uint32_t style);
// The callers pass style 16 or 17.
cWidgetSpinButton* CreateSynthSpin(uint32_t flags);
cWidgetSpinButton* CreateSynthModMatrixSpin();
cWidgetLabel* CreateSynthValueLabel();
cWidgetMultiButton* CreateSynthMultiButton(int32_t columns, int32_t rows, uint32_t flags);
// The sample layer's loop-direction lamp with its four icons.
cWidgetLoopDirection* CreateSynthLoopDirection();
// How far a button's touch area reaches beyond its images on each side.
void SetTouchMargins(cWidgetButton* button, float left, float top, float right, float bottom);
