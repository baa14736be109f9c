#include "ui/LayoutBuilders.h"

#include "platform/DisplayMetrics.h"
#include "ui/LayoutLinear.h"
#include "ui/Widget.h"

#include <cmath>

cLayoutItemWidget* AddWidgetItem(cLayoutLinear* layout, cWidget* widget, int32_t policyX, int32_t policyY)
{
    auto* item = new cLayoutItemWidget(widget, policyX, policyY);
    layout->AddItem(item);
    return item;
}

cLayoutItemSpacer* AddGapItem(cLayoutLinear* layout, float stretch, float minimum, float maximum)
{
    auto* gap = new cLayoutItemSpacer(kPolicyShrink, kPolicyShrink, {}, {});
    const int32_t axis = layout->GetAxis();
    AxisOf(gap->stretch, axis) = stretch;
    gap->minimum[axis] = {minimum, kUnitPixels};
    gap->maximum[axis] = {maximum, kUnitPixels};
    layout->AddItem(gap);
    return gap;
}

cLayoutItemSpacer* AddFixedGapItem(cLayoutLinear* layout, float length)
{
    auto* gap = new cLayoutItemSpacer(kPolicyShrink, kPolicyShrink, {}, {});
    const int32_t axis = layout->GetAxis();
    gap->policy[axis] = kPolicyFixed;
    gap->minimum[axis] = {length, kUnitPixels};
    gap->maximum[axis] = {length, kUnitPixels};
    layout->AddItem(gap);
    return gap;
}

cLayoutLinear* AddLayoutItem(cLayoutLinear* layout, cLayoutLinear* inner, int32_t policyX, int32_t policyY)
{
    inner->policy[kAxisX] = policyX;
    inner->policy[kAxisY] = policyY;
    layout->AddItem(inner);
    return inner;
}

float MillimetresToPixels(float millimetres) { return millimetres * gDisplayMetrics.pixelsPerMillimetre; }

void PlaceInParent(cWidget* widget, float left, float top, const cVector2& size)
{
    // Left and top from the parent's, width and height absolute.
    constexpr uint32_t kPlacedInParent = 0x1133;
    widget->SetAnchors(kPlacedInParent, std::round(left), std::round(top), std::round(size.X), std::round(size.Y));
}

cVector2 PreferredSizeOf(cWidget* widget)
{
    cVector2 minimum, preferred;
    widget->GetSizePreferences(&minimum, &preferred);
    return preferred;
}
