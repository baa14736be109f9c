#pragma once

#include <cfloat>
#include <cstdint>
#include <vector>

#include "base/Math.h"

namespace Base
{
class cSerialise;
}
class cWidget;

enum eLayoutAxis : int32_t
{
    kAxisX = 0,
    kAxisY = 1,
};

// Units of a layout length.
enum eLayoutUnit : int32_t
{
    kUnitPixels = 0,
    kUnitScreenWidth = 3,
    kUnitScreenHeight = 4,
    // Pixels of a 480-pixel-wide (320-pixel-high) screen at 163 dpi, scaled
    // to this screen's size and density.
    kUnitDensityWidth = 5,
    kUnitDensityHeight = 6,
};

// Size policy bits, one word per axis.
enum eSizePolicy : int32_t
{
    kPolicyMinIsPreferred = 0x1,
    kPolicyMaxIsPreferred = 0x2,
    kPolicyMayShrink = 0x10,
    kPolicyShrinksFirst = 0x20,
    kPolicyMayGrow = 0x100,
    kPolicyGrowsFirst = 0x200,

    kPolicyShrinkBits = kPolicyMayShrink | kPolicyShrinksFirst,
    kPolicyGrowBits = kPolicyMayGrow | kPolicyGrowsFirst,

    kPolicyFixed = 0x3,
    kPolicyMin = 0x101,
    kPolicyMax = 0x32,
    kPolicyPref = 0x110,
    kPolicyShrink = 0x130,
    kPolicyExpand = 0x310,
};

// A length with a unit, resolved against the screen and the display density.
struct cLayoutValue
{
    float Resolve() const;

    float value = 0.0f;
    int32_t unit = kUnitPixels;
};

// What an item asks for on each axis, and the size its container gives it
// while the room is shared out.
struct cSizePreferences
{
    cVector2 minimum = {0.0f, 0.0f};
    cVector2 preferred = {0.0f, 0.0f};
    cVector2 maximum = {FLT_MAX, FLT_MAX};
    int32_t policy[2] = {kPolicyPref, kPolicyPref};
    cVector2 size = {0.0f, 0.0f};
};

// One axis of a vector.
inline float& AxisOf(cVector2& v, int axis) { return axis == kAxisX ? v.X : v.Y; }
inline float AxisOf(const cVector2& v, int axis) { return axis == kAxisX ? v.X : v.Y; }

// Turns a preferred size, a policy, a lower bound from the content and the
// item's limits into the record's preferences on one axis: the limits win
// over the preferred size, the minimum wins over the maximum, and an item
// that cannot shrink or grow no longer claims to.
void ApplyConstraints(cSizePreferences& out, int axis, float preferred, int32_t policy, float lowerBound,
                      float minimum, float maximum);

// The base of all layout items: containers and leaves. An item reports its
// size preferences and places its content in the rect its container gives it.
class cLayoutItem
{
public:
    // The widget item's flag: only visible widgets count.
    static constexpr uint32_t kItemVisibleOnly = 0x1;

    cLayoutItem() = default;
    virtual ~cLayoutItem() = default;
    cLayoutItem(const cLayoutItem&) = delete;
    cLayoutItem& operator=(const cLayoutItem&) = delete;

    virtual void GetSizePreferences(cSizePreferences* out) = 0;
    // Stores the rect and applies it.
    virtual void SetRect(const cRect& rect);
    virtual cRect GetRect() const { return mRect; }
    virtual void Apply() {}
    // A notice passed down a layout tree; leaves ignore it.
    virtual void Notify(int32_t) {}
    virtual bool Serialise(Base::cSerialise& serialiser);

    // ApplyConstraints with this item's policy and limits.
    void ApplyOwnConstraints(cSizePreferences& out, int axis, float preferred, float lowerBound) const;

    uint32_t itemFlags = 0;
    cLayoutValue minimum[2];
    cLayoutValue maximum[2] = {{FLT_MAX, kUnitPixels}, {FLT_MAX, kUnitPixels}};
    cVector2 stretch = {1.0f, 1.0f};
    int32_t policy[2] = {kPolicyPref, kPolicyPref};

protected:
    // Wraps the item part in a node named after the kind and this object's
    // address, so a saved layout matches only the same objects of one run.
    bool BeginNamedNode(Base::cSerialise& serialiser, const char* kind, bool withAt);
    bool EndNamedNode(Base::cSerialise& serialiser, const char* kind, bool withAt);

    cRect mRect = {0.0f, 0.0f, 0.0f, 0.0f};

private:
    void FormatNodeName(char* out, int size, const char* kind, bool withAt) const;
};

// A container of items, owned: deleting a layout deletes its items. The
// owner widget (set by cWidget::SetLayout) may fit the rect to the content.
class cLayout : public cLayoutItem
{
public:
    cLayout() = default;
    ~cLayout() override;

    // The layout owns the item from here on.
    void AddItem(cLayoutItem* item) { mItems.push_back(item); }
    // Removes the item, closing the gap; the caller owns it then.
    virtual cLayoutItem* TakeItem(int32_t index);
    virtual int32_t GetItemCount() const { return int32_t(mItems.size()); }
    virtual cLayoutItem* GetItem(int32_t index) const;
    void Notify(int32_t notice) override;

    void SetOwner(cWidget* owner) { mOwner = owner; }
    cWidget* GetOwner() const { return mOwner; }
    // Left + right on x, top + bottom on y, in pixels.
    cVector2 GetMarginTotals() const;
    const cRect& GetContentRect() const { return mContentRect; }

    // Left, top, right, bottom.
    cLayoutValue margins[4];

protected:
    // The rect less the margins, stored.
    void UpdateContentRect();
    bool SerialiseItems(Base::cSerialise& serialiser);

    std::vector<cLayoutItem*> mItems;
    cWidget* mOwner = nullptr;
    cRect mContentRect = {0.0f, 0.0f, 0.0f, 0.0f};
};

// Takes room and nothing else.
class cLayoutItemSpacer : public cLayoutItem
{
public:
    cLayoutItemSpacer(int32_t policyX, int32_t policyY, cLayoutValue preferredX, cLayoutValue preferredY);

    void SetSize(cLayoutValue preferredX, cLayoutValue preferredY, int32_t policyX, int32_t policyY);
    void GetSizePreferences(cSizePreferences* out) override;
    bool Serialise(Base::cSerialise& serialiser) override;

    cLayoutValue preferredSize[2];
};

// Places widgets (not owned): each gets the item's rect as absolute anchors.
class cLayoutItemWidget : public cLayoutItem
{
public:
    cLayoutItemWidget(cWidget* widget, int32_t policyX, int32_t policyY);

    void AddWidget(cWidget* widget) { mWidgets.push_back(widget); }
    void GetSizePreferences(cSizePreferences* out) override;
    void Apply() override;
    bool Serialise(Base::cSerialise& serialiser) override;

    // Scales the widgets' preferred size.
    cVector2 sizePrefScale = {1.0f, 1.0f};

private:
    std::vector<cWidget*> mWidgets;
};
