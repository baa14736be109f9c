#pragma once

#include <cstdint>

struct cAtlasSprite;
class cWidgetButton;
class cWidgetKnob;
class cWidgetSpinButton;

// The controls every pad-editor panel is built from, dressed in its skin.
// Each returns a new widget holding the caller's reference.

// A button on the pad images (the tiles' unlit and lit looks), its label
// dark on its face, with an icon on both looks when one is given.
cWidgetButton* CreatePadButton(int32_t mode, const cAtlasSprite* icon);
// A knob on the pad skin with its label above it.
cWidgetKnob* CreatePadKnob(uint32_t style);
// A row spin button that drags anywhere, its value in red.
cWidgetSpinButton* CreatePadSpinButton();
