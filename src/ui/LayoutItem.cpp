#include "ui/LayoutItem.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "base/Serialise.h"
#include "platform/DisplayMetrics.h"
#include "ui/Widget.h"
#include "ui/WidgetManager.h"

namespace
{
// The density units measure against a 480 x 320 screen at 163 dpi.
constexpr float kReferenceWidth = 480.0f;
constexpr float kReferenceHeight = 320.0f;
constexpr float kReferenceDpi = 163.0f;

const Base::cEnumEntry kPolicyNames[] = {
    {kPolicyFixed, "FIXED"}, {kPolicyMin, "MIN"},       {kPolicyMax, "MAX"},
    {kPolicyPref, "PREF"},   {kPolicyShrink, "SHRINK"}, {kPolicyExpand, "EXPAND"},
};
const Base::cEnumTable kPolicyTable = {kPolicyNames, int32_t(std::size(kPolicyNames))};

cVector2 ScreenSize()
{
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    return manager ? manager->GetScreenRect().GetSize() : cVector2{0.0f, 0.0f};
}
} // namespace

float cLayoutValue::Resolve() const
{
    switch (unit)
    {
    case kUnitScreenWidth:
        return value * ScreenSize().X;
    case kUnitScreenHeight:
        return value * ScreenSize().Y;
    case kUnitDensityWidth:
        return value * ScreenSize().X * gDisplayMetrics.dpi / (kReferenceWidth * kReferenceDpi);
    case kUnitDensityHeight:
        return value * ScreenSize().Y * gDisplayMetrics.dpi / (kReferenceHeight * kReferenceDpi);
    default:
        return value;
    }
}

void ApplyConstraints(cSizePreferences& out, int axis, float preferred, int32_t policy, float lowerBound,
                      float minimum, float maximum)
{
    float low = (policy & kPolicyMinIsPreferred) ? preferred : 0.0f;
    float high = (policy & kPolicyMaxIsPreferred) ? preferred : FLT_MAX;
    low = std::max(std::max(low, lowerBound), minimum);
    high = std::max(std::min(high, maximum), low);
    if (preferred <= low)
    {
        preferred = low;
        policy &= ~kPolicyShrinkBits;
    }
    if (high <= preferred)
    {
        preferred = high;
        policy &= ~kPolicyGrowBits;
    }
    out.policy[axis] = policy;
    AxisOf(out.preferred, axis) = preferred;
    AxisOf(out.minimum, axis) = low;
    AxisOf(out.maximum, axis) = high;
}

void cLayoutItem::SetRect(const cRect& rect)
{
    mRect = rect;
    Apply();
}

void cLayoutItem::ApplyOwnConstraints(cSizePreferences& out, int axis, float preferred, float lowerBound) const
{
    ApplyConstraints(out, axis, preferred, policy[axis], lowerBound, minimum[axis].Resolve(),
                     maximum[axis].Resolve());
}

bool cLayoutItem::Serialise(Base::cSerialise& serialiser)
{
    serialiser.SerialiseVector2("Stretch", &stretch, -FLT_MAX, FLT_MAX);
    if (serialiser.BeginNode("SizePolicy", true))
    {
        serialiser.SerialiseEnum("X", &policy[kAxisX], &kPolicyTable);
        serialiser.SerialiseEnum("Y", &policy[kAxisY], &kPolicyTable);
        serialiser.EndNode("SizePolicy");
    }
    return true;
}

void cLayoutItem::FormatNodeName(char* out, int size, const char* kind, bool withAt) const
{
    // The whole address, however wide a pointer is.
    std::snprintf(out, size_t(size), "%s%s0x%0*" PRIxPTR, kind, withAt ? "@" : "", int(sizeof(void*) * 2),
                  reinterpret_cast<uintptr_t>(this));
}

bool cLayoutItem::BeginNamedNode(Base::cSerialise& serialiser, const char* kind, bool withAt)
{
    char name[64];
    FormatNodeName(name, int(sizeof(name)), kind, withAt);
    return serialiser.BeginNode(name, true);
}

bool cLayoutItem::EndNamedNode(Base::cSerialise& serialiser, const char* kind, bool withAt)
{
    char name[64];
    FormatNodeName(name, int(sizeof(name)), kind, withAt);
    return serialiser.EndNode(name);
}

cLayout::~cLayout()
{
    for (cLayoutItem* item : mItems)
        delete item;
}

cLayoutItem* cLayout::TakeItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    cLayoutItem* item = mItems[size_t(index)];
    mItems.erase(mItems.begin() + index);
    return item;
}

cLayoutItem* cLayout::GetItem(int32_t index) const
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return mItems[size_t(index)];
}

void cLayout::Notify(int32_t notice)
{
    for (cLayoutItem* item : mItems)
        item->Notify(notice);
}

cVector2 cLayout::GetMarginTotals() const
{
    return {margins[0].Resolve() + margins[2].Resolve(), margins[1].Resolve() + margins[3].Resolve()};
}

void cLayout::UpdateContentRect()
{
    mContentRect = {mRect.xMin + margins[0].Resolve(), mRect.yMin + margins[1].Resolve(),
                    mRect.xMax - margins[2].Resolve(), mRect.yMax - margins[3].Resolve()};
}

bool cLayout::SerialiseItems(Base::cSerialise& serialiser)
{
    for (cLayoutItem* item : mItems)
        item->Serialise(serialiser);
    return true;
}

cLayoutItemSpacer::cLayoutItemSpacer(int32_t policyX, int32_t policyY, cLayoutValue preferredX,
                                     cLayoutValue preferredY)
{
    SetSize(preferredX, preferredY, policyX, policyY);
}

void cLayoutItemSpacer::SetSize(cLayoutValue preferredX, cLayoutValue preferredY, int32_t policyX,
                                int32_t policyY)
{
    preferredSize[kAxisX] = preferredX;
    preferredSize[kAxisY] = preferredY;
    policy[kAxisX] = policyX;
    policy[kAxisY] = policyY;
}

void cLayoutItemSpacer::GetSizePreferences(cSizePreferences* out)
{
    for (int axis = kAxisX; axis <= kAxisY; ++axis)
        ApplyOwnConstraints(*out, axis, preferredSize[axis].Resolve(), 0.0f);
}

bool cLayoutItemSpacer::Serialise(Base::cSerialise& serialiser)
{
    if (BeginNamedNode(serialiser, "Spacer", false))
    {
        cLayoutItem::Serialise(serialiser);
        EndNamedNode(serialiser, "Spacer", false);
    }
    return true;
}

cLayoutItemWidget::cLayoutItemWidget(cWidget* widget, int32_t policyX, int32_t policyY)
{
    policy[kAxisX] = policyX;
    policy[kAxisY] = policyY;
    if (widget)
        mWidgets.push_back(widget);
}

void cLayoutItemWidget::GetSizePreferences(cSizePreferences* out)
{
    cVector2 largestMinimum = {0.0f, 0.0f};
    cVector2 largestPreferred = {0.0f, 0.0f};
    int asked = 0;
    for (cWidget* widget : mWidgets)
    {
        if ((itemFlags & kItemVisibleOnly) && !widget->IsVisible())
            continue;
        cVector2 widgetMinimum, widgetPreferred;
        widget->GetSizePreferences(&widgetMinimum, &widgetPreferred);
        largestMinimum = {std::max(largestMinimum.X, widgetMinimum.X), std::max(largestMinimum.Y, widgetMinimum.Y)};
        largestPreferred = {std::max(largestPreferred.X, widgetPreferred.X),
                            std::max(largestPreferred.Y, widgetPreferred.Y)};
        ++asked;
    }
    for (int axis = kAxisX; axis <= kAxisY; ++axis)
    {
        // An item with nothing to show collapses to its own minimum.
        const float itemMaximum = asked > 0 ? maximum[axis].Resolve() : 0.0f;
        ApplyConstraints(*out, axis, AxisOf(sizePrefScale, axis) * AxisOf(largestPreferred, axis), policy[axis],
                         AxisOf(largestMinimum, axis), minimum[axis].Resolve(), itemMaximum);
    }
}

void cLayoutItemWidget::Apply()
{
    for (cWidget* widget : mWidgets)
        widget->SetAnchors(kAnchorsAbsoluteRect, mRect.xMin, mRect.yMin, mRect.xMax - mRect.xMin,
                           mRect.yMax - mRect.yMin);
}

bool cLayoutItemWidget::Serialise(Base::cSerialise& serialiser)
{
    if (BeginNamedNode(serialiser, "Widget", true))
    {
        cLayoutItem::Serialise(serialiser);
        serialiser.SerialiseVector2("SizePrefScale", &sizePrefScale, -FLT_MAX, FLT_MAX);
        EndNamedNode(serialiser, "Widget", true);
    }
    return true;
}
