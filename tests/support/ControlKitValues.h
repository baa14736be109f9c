#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "ui/HouseColours.h"
#include "ui/WidgetKnob.h"

class cWidgetComboBox;
class cWidgetList;
class cWidgetScrollBar;
class cWidgetSlider;
class cWidgetSpinButton;

// The value controls in the house style, beside the buttons of ControlKit.h:
// each returns a new widget holding the caller's reference.
namespace ControlKit
{
// Colours as the pages give them: the spin button's value text, the knobs'
// red touch glow.
constexpr uint32_t kValueText = HouseColour::kValue;
constexpr uint32_t kKnobGlow = 0xc83232ff;

cWidgetKnob* EffectKnob(const cWidgetKnob::cParameter& parameter, uint32_t captionColour);
cWidgetSpinButton* SpinButton(const char* caption);
cWidgetScrollBar* ScrollBar(bool vertical, bool large);
// A list with its small vertical scroll bar attached.
cWidgetList* List(const char* caption);
cWidgetComboBox* ComboBox(const char* name, int32_t capacity, int32_t comboFlags, const cDelegate& change);
// The mixing desk's fader: slotted track, cap and warm glow.
cWidgetSlider* Slider();
} // namespace ControlKit
