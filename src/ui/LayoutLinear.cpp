#include "ui/LayoutLinear.h"

#include <algorithm>
#include <cmath>

#include "base/Serialise.h"
#include "ui/Widget.h"

namespace
{
// Differences below half a pixel are not worth sharing out.
constexpr float kPixelTolerance = 0.5f;
// A stretch sum this close to 0 would divide the room by zero.
constexpr float kNoStretch = 1e-6f;

float RoundPixel(float x) { return std::floor(x + 0.5f); }

// Adds to a maximum that stays unlimited once it is.
void AddLimited(float& total, float value)
{
    if (value == FLT_MAX || total == FLT_MAX)
        total = FLT_MAX;
    else
        total += value;
}

// The room of a grow class goes by stretch; a class whose factors add up to
// nothing shares it equally.
struct cStretchShares
{
    float Weight(float stretch) const { return equal ? 1.0f : stretch; }

    bool equal;
    float sum;
};

cStretchShares SharesOf(float stretchSum, int count)
{
    if (std::fabs(stretchSum) < kNoStretch)
        return {true, float(count)};
    return {false, stretchSum};
}
} // namespace

cLayoutLinear::cLayoutLinear(int32_t axis, uint32_t itemsToReserve)
    : mAxis(axis == kAxisY ? kAxisY : kAxisX), mCrossAxis(axis == kAxisY ? kAxisX : kAxisY)
{
    mItems.reserve(itemsToReserve);
}

float cLayoutLinear::GetSpacingTotal() const
{
    return mItems.empty() ? 0.0f : float(mItems.size() - 1) * itemSpacing;
}

void cLayoutLinear::GetSizePreferences(cSizePreferences* out, cSizePreferences* perItem)
{
    if (mItems.empty())
        return;
    const int m = mAxis, c = mCrossAxis;
    out->minimum = out->preferred = out->maximum = {0.0f, 0.0f};
    out->policy[kAxisX] = out->policy[kAxisY] = 0;
    cSizePreferences scratch;
    for (size_t i = 0; i < mItems.size(); ++i)
    {
        cSizePreferences& q = perItem ? perItem[i] : scratch;
        if (!perItem)
            q = cSizePreferences();
        mItems[i]->GetSizePreferences(&q);
        AxisOf(out->minimum, m) += AxisOf(q.minimum, m);
        AxisOf(out->preferred, m) += AxisOf(q.preferred, m);
        AddLimited(AxisOf(out->maximum, m), AxisOf(q.maximum, m));
        AxisOf(out->minimum, c) = std::max(AxisOf(out->minimum, c), AxisOf(q.minimum, c));
        AxisOf(out->preferred, c) = std::max(AxisOf(out->preferred, c), AxisOf(q.preferred, c));
        AxisOf(out->maximum, c) = std::max(AxisOf(out->maximum, c), AxisOf(q.maximum, c));
        q.size = q.preferred;
    }
    const float spacing = GetSpacingTotal();
    AxisOf(out->minimum, m) += spacing;
    AxisOf(out->preferred, m) += spacing;
    AddLimited(AxisOf(out->maximum, m), spacing);
    const cVector2 margins = GetMarginTotals();
    out->minimum = {out->minimum.X + margins.X, out->minimum.Y + margins.Y};
    out->preferred = {out->preferred.X + margins.X, out->preferred.Y + margins.Y};
    // The layout's own limits replace the summed maximum.
    ApplyOwnConstraints(*out, m, AxisOf(out->preferred, m), AxisOf(out->minimum, m));
    ApplyOwnConstraints(*out, c, AxisOf(out->preferred, c), AxisOf(out->minimum, c));
}

void cLayoutLinear::Apply()
{
    if (mItems.empty())
        return;
    mScratch.assign(mItems.size(), cSizePreferences());
    cSizePreferences* perItem = mScratch.data();
    cSizePreferences layout;
    GetSizePreferences(&layout, perItem);
    if (mOwner)
        mOwner->FitToContent(&layout.preferred, &mRect);
    UpdateContentRect();
    const cVector2 available = mContentRect.GetSize();
    DistributeMainAxis(perItem, layout, AxisOf(available, mAxis));
    for (size_t i = 0; i < mItems.size(); ++i)
        AxisOf(perItem[i].size, mCrossAxis) = AxisOf(available, mCrossAxis);
    PlaceItems(perItem);
}

// The items' sizes plus the spacing are measured against the content, which
// has the margins taken off already.
void cLayoutLinear::DistributeMainAxis(cSizePreferences* perItem, const cSizePreferences& layout, float available)
{
    const int m = mAxis;
    float minimumTotal = GetSpacingTotal();
    for (size_t i = 0; i < mItems.size(); ++i)
        minimumTotal += AxisOf(perItem[i].minimum, m);
    const float preferredTotal = SizeTotal(m, perItem);
    if (std::fabs(preferredTotal - available) < kPixelTolerance)
        return;
    if (preferredTotal > available)
    {
        if (minimumTotal > available)
        {
            for (size_t i = 0; i < mItems.size(); ++i)
                AxisOf(perItem[i].size, m) = AxisOf(perItem[i].minimum, m);
            return;
        }
        if (Shrink(m, kPolicyShrinkBits, perItem, available))
            Shrink(m, kPolicyMayShrink, perItem, available);
        return;
    }
    const float target = std::min(available, AxisOf(layout.maximum, m));
    if (Grow(m, kPolicyGrowBits, perItem, target))
        Grow(m, kPolicyMayGrow, perItem, target);
}

// The running position is never rounded, so rounding errors do not add up.
void cLayoutLinear::PlaceItems(const cSizePreferences* perItem)
{
    cVector2 position = {mContentRect.xMin, mContentRect.yMin};
    for (size_t i = 0; i < mItems.size(); ++i)
    {
        const cVector2& size = perItem[i].size;
        mItems[i]->SetRect({RoundPixel(position.X), RoundPixel(position.Y), RoundPixel(position.X + size.X),
                            RoundPixel(position.Y + size.Y)});
        AxisOf(position, mAxis) += AxisOf(size, mAxis) + itemSpacing;
    }
}

float cLayoutLinear::SizeTotal(int32_t axis, const cSizePreferences* perItem) const
{
    float total = GetSpacingTotal();
    for (size_t i = 0; i < mItems.size(); ++i)
        total += AxisOf(perItem[i].size, axis);
    return total;
}

bool cLayoutLinear::Shrink(int32_t axis, int32_t shrinkClass, cSizePreferences* perItem, float target)
{
    const float total = SizeTotal(axis, perItem);
    if (std::fabs(total - target) <= kPixelTolerance)
        return false;
    float room = 0.0f;
    for (size_t i = 0; i < mItems.size(); ++i)
        if ((perItem[i].policy[axis] & kPolicyShrinkBits) == shrinkClass)
            room += AxisOf(perItem[i].minimum, axis) - AxisOf(perItem[i].preferred, axis);
    if (std::fabs(room) <= kPixelTolerance)
        return true;
    // Every item of the class gives up the same fraction of what it can give.
    return MoveByFraction(axis, kPolicyShrinkBits, shrinkClass, perItem, (target - total) / room, false);
}

// Moves each item of the class the same fraction of the way from its
// preferred size to its limit (at most all the way); true when the class
// could not absorb the whole difference.
bool cLayoutLinear::MoveByFraction(int32_t axis, int32_t classBits, int32_t sizeClass, cSizePreferences* perItem,
                                   float fraction, bool towardsMaximum)
{
    const bool notAbsorbed = fraction > 1.0f;
    fraction = std::min(fraction, 1.0f);
    for (size_t i = 0; i < mItems.size(); ++i)
    {
        cSizePreferences& q = perItem[i];
        if ((q.policy[axis] & classBits) != sizeClass)
            continue;
        const float limit = AxisOf(towardsMaximum ? q.maximum : q.minimum, axis);
        AxisOf(q.size, axis) = AxisOf(q.preferred, axis) + fraction * (limit - AxisOf(q.preferred, axis));
    }
    return notAbsorbed;
}

bool cLayoutLinear::Grow(int32_t axis, int32_t growClass, cSizePreferences* perItem, float target)
{
    const float total = SizeTotal(axis, perItem);
    if (std::fabs(total - target) <= kPixelTolerance)
        return false;
    auto inClass = [&](size_t i) { return (perItem[i].policy[axis] & kPolicyGrowBits) == growClass; };
    auto unlimited = [&](size_t i) { return AxisOf(perItem[i].maximum, axis) == FLT_MAX; };
    auto stretchOf = [&](size_t i) { return AxisOf(mItems[i]->stretch, axis); };
    int count = 0, unlimitedCount = 0;
    float stretchSum = 0.0f, unlimitedStretch = 0.0f, room = 0.0f;
    for (size_t i = 0; i < mItems.size(); ++i)
    {
        if (!inClass(i))
            continue;
        ++count;
        stretchSum += stretchOf(i);
        if (unlimited(i))
        {
            ++unlimitedCount;
            unlimitedStretch += stretchOf(i);
            room = FLT_MAX;
        }
        else if (room != FLT_MAX)
            room += AxisOf(perItem[i].maximum, axis) - AxisOf(perItem[i].preferred, axis);
    }
    if (count == 0)
        return true;
    if (room == FLT_MAX)
    {
        // Limited items first, by stretch and within their limits; the
        // unlimited ones then share what is left by their own stretch.
        const cStretchShares shares = SharesOf(stretchSum, count);
        const float perStretch = (target - total) / shares.sum;
        for (size_t i = 0; i < mItems.size(); ++i)
        {
            if (!inClass(i) || unlimited(i))
                continue;
            cSizePreferences& q = perItem[i];
            const float grown = AxisOf(q.size, axis) + shares.Weight(stretchOf(i)) * perStretch;
            AxisOf(q.size, axis) = std::min(std::max(grown, AxisOf(q.minimum, axis)), AxisOf(q.maximum, axis));
        }
        const cStretchShares rest = shares.equal ? cStretchShares{true, float(unlimitedCount)}
                                                 : SharesOf(unlimitedStretch, unlimitedCount);
        const float restPerStretch = (target - SizeTotal(axis, perItem)) / rest.sum;
        for (size_t i = 0; i < mItems.size(); ++i)
        {
            if (!inClass(i) || !unlimited(i))
                continue;
            cSizePreferences& q = perItem[i];
            const float grown = AxisOf(q.size, axis) + rest.Weight(stretchOf(i)) * restPerStretch;
            AxisOf(q.size, axis) = std::max(grown, AxisOf(q.minimum, axis));
        }
        return false;
    }
    if (std::fabs(room) <= kPixelTolerance)
        return true;
    // Limited items share by their remaining room.
    return MoveByFraction(axis, kPolicyGrowBits, growClass, perItem, (target - total) / room, true);
}

bool cLayoutLinear::Serialise(Base::cSerialise& serialiser)
{
    if (BeginNamedNode(serialiser, "LayoutLinear", true))
    {
        cLayoutItem::Serialise(serialiser);
        serialiser.SerialiseFloat("ItemSpacing", &itemSpacing, -FLT_MAX, FLT_MAX);
        SerialiseItems(serialiser);
        EndNamedNode(serialiser, "LayoutLinear", true);
    }
    return true;
}
