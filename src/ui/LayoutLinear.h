#pragma once

#include <vector>

#include "ui/LayoutItem.h"

// Places its items one after another in a row (axis 0) or a column (axis 1),
// with a fixed spacing between them, each filling the content's other
// extent. Room that differs from the preferred total is taken from or given
// to the items by their size policies, in priority classes.
class cLayoutLinear : public cLayout
{
public:
    cLayoutLinear(int32_t axis, uint32_t itemsToReserve);

    void GetSizePreferences(cSizePreferences* out) override { GetSizePreferences(out, nullptr); }
    // Fills perItem (one record per item, or null) with each item's own
    // preferences, its size set to the preferred size.
    void GetSizePreferences(cSizePreferences* out, cSizePreferences* perItem);
    void Apply() override;
    bool Serialise(Base::cSerialise& serialiser) override;

    // Each returns true when its class could not absorb the whole difference
    // between the items' total and the target.
    bool Shrink(int32_t axis, int32_t shrinkClass, cSizePreferences* perItem, float target);
    bool Grow(int32_t axis, int32_t growClass, cSizePreferences* perItem, float target);
    float GetSpacingTotal() const;

    int32_t GetAxis() const { return mAxis; }
    int32_t GetCrossAxis() const { return mCrossAxis; }

    float itemSpacing = 0.0f;

private:
    float SizeTotal(int32_t axis, const cSizePreferences* perItem) const;
    void DistributeMainAxis(cSizePreferences* perItem, const cSizePreferences& layout, float available);
    void PlaceItems(const cSizePreferences* perItem);
    bool MoveByFraction(int32_t axis, int32_t classBits, int32_t sizeClass, cSizePreferences* perItem,
                        float fraction, bool towardsMaximum);

    int32_t mAxis;
    int32_t mCrossAxis;
    // Reused from one application to the next.
    std::vector<cSizePreferences> mScratch;
};
