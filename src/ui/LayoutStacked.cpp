#include "ui/LayoutStacked.h"

#include <algorithm>

#include "render/Image.h"
#include "ui/Widget.h"

namespace
{
constexpr uint32_t kReservedItems = 2;
}

cLayoutStacked::cLayoutStacked() { mItems.reserve(kReservedItems); }

// The largest of the items' needs plus the margins; the maximum comes from
// the layout's own fields only.
void cLayoutStacked::GetSizePreferences(cSizePreferences* out)
{
    cVector2 largestMinimum = {0.0f, 0.0f};
    cVector2 largestPreferred = {0.0f, 0.0f};
    for (cLayoutItem* item : mItems)
    {
        cSizePreferences q;
        item->GetSizePreferences(&q);
        largestMinimum = {std::max(largestMinimum.X, q.minimum.X), std::max(largestMinimum.Y, q.minimum.Y)};
        largestPreferred = {std::max(largestPreferred.X, q.preferred.X), std::max(largestPreferred.Y, q.preferred.Y)};
    }
    const cVector2 margins = GetMarginTotals();
    for (int axis = kAxisX; axis <= kAxisY; ++axis)
        ApplyOwnConstraints(*out, axis, AxisOf(largestPreferred, axis) + AxisOf(margins, axis),
                            AxisOf(largestMinimum, axis) + AxisOf(margins, axis));
}

void cLayoutStacked::Apply()
{
    if (mOwner)
    {
        cSizePreferences preferences;
        GetSizePreferences(&preferences);
        mOwner->FitToContent(&preferences.preferred, &mRect);
    }
    UpdateContentRect();
    for (cLayoutItem* item : mItems)
        item->SetRect(mContentRect);
}

bool cLayoutStacked::Serialise(Base::cSerialise& serialiser)
{
    if (BeginNamedNode(serialiser, "LayoutStacked", true))
    {
        cLayoutItem::Serialise(serialiser);
        SerialiseItems(serialiser);
        EndNamedNode(serialiser, "LayoutStacked", true);
    }
    return true;
}

cLayoutItemGPShadowRect::cLayoutItemGPShadowRect(cImage* image, int32_t policyX) : mImage(image)
{
    policy[kAxisX] = policyX;
    policy[kAxisY] = kPolicyFixed;
}

// The stretchable inner part of the image is all it can give up.
void cLayoutItemGPShadowRect::GetSizePreferences(cSizePreferences* out)
{
    cVector2 minimum = {0.0f, 0.0f};
    cVector2 natural = {0.0f, 0.0f};
    if (mImage)
        mImage->GetSize(minimum, natural);
    for (int axis = kAxisX; axis <= kAxisY; ++axis)
        ApplyOwnConstraints(*out, axis, AxisOf(natural, axis), AxisOf(minimum, axis));
}

void cLayoutItemGPShadowRect::Apply()
{
    if (mImage)
        mImage->Layout(mRect, {0.0f, 0.0f});
}

bool cLayoutItemGPShadowRect::Serialise(Base::cSerialise& serialiser)
{
    if (BeginNamedNode(serialiser, "GPShadowRect", true))
    {
        cLayoutItem::Serialise(serialiser);
        EndNamedNode(serialiser, "GPShadowRect", true);
    }
    return true;
}
