#pragma once

#include <cfloat>
#include <cstdint>

class cLayoutItemSpacer;
class cLayoutItemWidget;
class cLayoutLinear;
class cWidget;
struct cVector2;

// Shorthands for pages that build their rows and columns in code: each adds
// one item to the layout, which owns it, and returns it for further limits.

cLayoutItemWidget* AddWidgetItem(cLayoutLinear* layout, cWidget* widget, int32_t policyX, int32_t policyY);
// An empty gap that takes a share of the room left over along the layout's
// axis by its stretch, between the limits (pixels) on that axis.
cLayoutItemSpacer* AddGapItem(cLayoutLinear* layout, float stretch, float minimum = 0.0f, float maximum = FLT_MAX);
// A gap exactly that many pixels long along the layout's axis.
cLayoutItemSpacer* AddFixedGapItem(cLayoutLinear* layout, float length);
// The nested layout as an item of the outer one.
cLayoutLinear* AddLayoutItem(cLayoutLinear* layout, cLayoutLinear* inner, int32_t policyX, int32_t policyY);
// Places a widget at whole pixels from its parent's top-left corner, for
// pages that lay their children out by hand.
void PlaceInParent(cWidget* widget, float left, float top, const cVector2& size);
// The widget's own preferred size.
cVector2 PreferredSizeOf(cWidget* widget);
// Display millimetres in pixels at the display's density.
float MillimetresToPixels(float millimetres);
