#pragma once

#include <string>
#include <vector>

#include "base/Math.h"

class cWidget;

// Marks every widget below the root as not yet drawn, so that after the next
// frame FindOverlappingControls sees only what that frame drew.
void MarkControlsUndrawn(cWidget* root);

// Walks the widgets below the root drawn since MarkControlsUndrawn and lists
// each pair of sibling controls whose rectangles overlap by more than a
// pixel both ways, one line per pair with each control's path of names (or
// class names) and rectangle; empty when none do. A control is one of the
// toolkit's controls (buttons, knobs, sliders, spin buttons, labels, lists,
// scroll bars, combo boxes) or any drawn widget without drawn children;
// panels and pages that hold others are not.
std::string FindOverlappingControls(cWidget* root);

// The rectangles of the drawn controls that are disabled: their texts are
// dimmed on purpose, to show they take no input.
std::vector<cRect> FindDisabledControls(cWidget* root);
