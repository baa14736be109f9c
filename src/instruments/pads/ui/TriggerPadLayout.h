#pragma once

#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"

// The pieces the pad editor's panels arrange their controls with: rows and
// columns of widgets at their own sizes, and gaps that share the room left
// over by their stretch factors.
namespace TriggerPadLayout
{
inline cLayoutLinear* Row(uint32_t items) { return new cLayoutLinear(kAxisX, items); }
inline cLayoutLinear* Column(uint32_t items) { return new cLayoutLinear(kAxisY, items); }

// Takes the room first, by its share.
inline cLayoutItemSpacer* Gap(float stretch)
{
    auto* gap = new cLayoutItemSpacer(kPolicyExpand, kPolicyExpand, {}, {});
    gap->stretch = {stretch, stretch};
    return gap;
}

// A gap of a fixed length along the layout.
inline cLayoutItemSpacer* FixedGap(float length)
{
    return new cLayoutItemSpacer(kPolicyFixed, kPolicyFixed, {length, kUnitPixels}, {length, kUnitPixels});
}

inline cLayoutItemWidget* Item(cWidget* widget, float stretch = 1.0f)
{
    auto* item = new cLayoutItemWidget(widget, kPolicyPref, kPolicyPref);
    item->stretch = {stretch, stretch};
    return item;
}

// A widget that takes its share of the room with the gaps.
inline cLayoutItemWidget* Filling(cWidget* widget, float stretch)
{
    auto* item = new cLayoutItemWidget(widget, kPolicyExpand, kPolicyExpand);
    item->stretch = {stretch, stretch};
    return item;
}

// A layout inside another, sharing the room by its stretch.
template <class T>
inline T* Stretched(T* item, float stretch)
{
    item->stretch = {stretch, stretch};
    return item;
}

inline void SetMargins(cLayout* layout, float left, float top, float right, float bottom)
{
    layout->margins[0] = {left, kUnitPixels};
    layout->margins[1] = {top, kUnitPixels};
    layout->margins[2] = {right, kUnitPixels};
    layout->margins[3] = {bottom, kUnitPixels};
}
} // namespace TriggerPadLayout
