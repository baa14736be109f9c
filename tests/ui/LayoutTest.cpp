#include "ui/WidgetFixture.h"

#include <cfloat>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "base/File.h"
#include "base/SerialiseXML.h"
#include "render/AtlasSprite.h"
#include "render/Image.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/LayoutStacked.h"

namespace
{
// An item of a fixed preferred size with the given policy and limits.
class cFixedItem : public cLayoutItem
{
public:
    cFixedItem(float preferredX, float preferredY, int32_t policyX = kPolicyPref, int32_t policyY = kPolicyPref)
        : mPreferred{preferredX, preferredY}
    {
        policy[kAxisX] = policyX;
        policy[kAxisY] = policyY;
    }
    void GetSizePreferences(cSizePreferences* out) override
    {
        for (int axis = kAxisX; axis <= kAxisY; ++axis)
            ApplyOwnConstraints(*out, axis, AxisOf(mPreferred, axis), 0.0f);
    }
    cFixedItem* Limits(float minimumX, float maximumX)
    {
        minimum[kAxisX].value = minimumX;
        maximum[kAxisX].value = maximumX;
        return this;
    }
    cFixedItem* Stretch(float x)
    {
        stretch.X = x;
        return this;
    }

private:
    cVector2 mPreferred;
};

class LayoutTest : public WidgetFixture
{
protected:
    // A row of items laid out in a rect; returns the items' rects.
    static std::vector<cRect> LayOut(cLayoutLinear& layout, const cRect& rect)
    {
        layout.SetRect(rect);
        std::vector<cRect> rects;
        for (int i = 0; i < layout.GetItemCount(); ++i)
            rects.push_back(layout.GetItem(i)->GetRect());
        return rects;
    }

    static std::vector<float> Widths(const std::vector<cRect>& rects)
    {
        std::vector<float> widths;
        for (const cRect& r : rects)
            widths.push_back(r.xMax - r.xMin);
        return widths;
    }

    static std::vector<float> Lefts(const std::vector<cRect>& rects)
    {
        std::vector<float> lefts;
        for (const cRect& r : rects)
            lefts.push_back(r.xMin);
        return lefts;
    }
};

struct cConstraintCase
{
    const char* what;
    float preferred;
    int32_t policy;
    float lowerBound, minimum, maximum;
    float expectedMinimum, expectedPreferred, expectedMaximum;
    int32_t expectedPolicy;
};

TEST_F(LayoutTest, ConstraintsLetTheLimitsWinAndDropClaimsThatCannotBeMet)
{
    const cConstraintCase cases[] = {
        {"limits crossed: the minimum wins", 50, kPolicyPref, 0, 60, 40, 60, 60, 60, 0},
        {"fixed", 30, kPolicyFixed, 0, 0, FLT_MAX, 30, 30, 30, kPolicyFixed},
        {"min keeps growing", 30, kPolicyMin, 0, 0, FLT_MAX, 30, 30, FLT_MAX, kPolicyMin},
        {"max shrinks first", 30, kPolicyMax, 0, 0, FLT_MAX, 0, 30, 30, kPolicyMax},
        {"the content's bound raises it", 30, kPolicyPref, 40, 0, FLT_MAX, 40, 40, FLT_MAX, kPolicyMayGrow},
        {"a maximum below the preferred size", 30, kPolicyExpand, 0, 0, 20, 0, 20, 20, kPolicyMayShrink},
        {"nothing to give", 0, kPolicyShrink, 0, 0, FLT_MAX, 0, 0, FLT_MAX, kPolicyMayGrow},
    };
    for (const cConstraintCase& c : cases)
    {
        cSizePreferences out;
        ApplyConstraints(out, kAxisY, c.preferred, c.policy, c.lowerBound, c.minimum, c.maximum);
        EXPECT_FLOAT_EQ(out.minimum.Y, c.expectedMinimum) << c.what;
        EXPECT_FLOAT_EQ(out.preferred.Y, c.expectedPreferred) << c.what;
        EXPECT_FLOAT_EQ(out.maximum.Y, c.expectedMaximum) << c.what;
        EXPECT_EQ(out.policy[kAxisY], c.expectedPolicy) << c.what;
        EXPECT_FLOAT_EQ(out.preferred.X, 0) << "the other axis is left alone";
    }
}

TEST_F(LayoutTest, LengthsResolveAgainstTheScreenAndItsDensity)
{
    const cLayoutValue density = {100, kUnitDensityWidth};
    SetDisplayMetricsForClass(kDeviceClassPhone);
    manager->SetScreenRect({0, 0, 480, 320});
    EXPECT_NEAR(density.Resolve(), 100.0f, 0.001f);
    EXPECT_NEAR((cLayoutValue{100, kUnitDensityHeight}.Resolve()), 100.0f, 0.001f);

    SetDisplayMetricsForClass(kDeviceClassDesktop);
    manager->SetScreenRect({0, 0, 1024, 768});
    EXPECT_NEAR(density.Resolve(), 125.64f, 0.01f);
    EXPECT_FLOAT_EQ((cLayoutValue{0.25f, kUnitScreenWidth}.Resolve()), 256);
    EXPECT_FLOAT_EQ((cLayoutValue{0.5f, kUnitScreenHeight}.Resolve()), 384);
    EXPECT_FLOAT_EQ((cLayoutValue{12, kUnitPixels}.Resolve()), 12);
    EXPECT_FLOAT_EQ((cLayoutValue{12, 9}.Resolve()), 12);
}

TEST_F(LayoutTest, AWidgetItemSizesFromItsWidgetsAndPlacesThemAll)
{
    cProbeWidget* a = AddProbe(root, "a", {0, 0, 1, 1});
    a->minimumSize = {10, 5};
    a->preferredSize = {70, 20};
    cProbeWidget* b = AddProbe(root, "b", {0, 0, 1, 1});
    b->minimumSize = {30, 2};
    b->preferredSize = {40, 25};
    cLayoutItemWidget item(a, kPolicyPref, kPolicyPref);
    item.AddWidget(b);
    item.sizePrefScale = {2, 1};
    cSizePreferences out;
    item.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.minimum.X, 30);
    EXPECT_FLOAT_EQ(out.preferred.X, 140);
    EXPECT_FLOAT_EQ(out.preferred.Y, 25);

    item.SetRect({10, 20, 110, 60});
    for (cProbeWidget* widget : {a, b})
    {
        EXPECT_EQ(widget->GetAnchorWord() & 0xffff, kAnchorsAbsoluteRect);
        EXPECT_FLOAT_EQ(widget->GetRect().xMax, 110);
        EXPECT_FLOAT_EQ(widget->GetRect().yMax, 60);
    }

    b->SetVisible(false);
    a->SetVisible(false);
    item.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.preferred.Y, 25) << "without the flag hidden widgets count";
    item.itemFlags = cLayoutItem::kItemVisibleOnly;
    item.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.minimum.X, 0);
    EXPECT_FLOAT_EQ(out.preferred.X, 0);
    EXPECT_FLOAT_EQ(out.maximum.X, 0);
    EXPECT_FLOAT_EQ(out.maximum.Y, 0);
}

TEST_F(LayoutTest, AStackedLayoutOverlaysItsItemsInsideItsMargins)
{
    cLayoutStacked stack;
    stack.AddItem(new cFixedItem(100, 40));
    stack.AddItem(new cFixedItem(60, 80));
    cSizePreferences out;
    stack.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.preferred.X, 100);
    EXPECT_FLOAT_EQ(out.preferred.Y, 80);
    stack.SetRect({0, 0, 200, 100});
    EXPECT_FLOAT_EQ(stack.GetItem(0)->GetRect().xMax, 200);
    EXPECT_FLOAT_EQ(stack.GetItem(1)->GetRect().yMax, 100);

    cLayoutStacked framed;
    framed.AddItem(new cFixedItem(100, 40));
    for (cLayoutValue& margin : framed.margins)
        margin.value = 5;
    framed.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.preferred.X, 110);
    EXPECT_FLOAT_EQ(out.preferred.Y, 50);
    framed.SetRect({10, 10, 210, 110});
    const cRect inner = framed.GetItem(0)->GetRect();
    EXPECT_FLOAT_EQ(inner.xMin, 15);
    EXPECT_FLOAT_EQ(inner.yMin, 15);
    EXPECT_FLOAT_EQ(inner.xMax, 205);
    EXPECT_FLOAT_EQ(inner.yMax, 105);

    cLayoutStacked empty;
    cSizePreferences record;
    empty.GetSizePreferences(&record);
    EXPECT_FLOAT_EQ(record.preferred.X, 0);
    EXPECT_FLOAT_EQ(record.preferred.Y, 0);
    empty.SetRect({0, 0, 50, 50});
    EXPECT_EQ(empty.GetItemCount(), 0);
}

// A nine-patch of 40 x 30 whose stretchable middle is 20 x 10.
TEST_F(LayoutTest, AShadowRectSizesFromItsImageAndLaysItOut)
{
    const cAtlasSprite frame = {0, 0, 0.5f, 0.5f, 0, 0, 40, 30, 40, 30, 20, 15};
    const cAtlasSprite middle = {0.125f, 0.125f, 0.375f, 0.375f, 10, 10, 30, 20, 20, 10, 20, 15};
    cImage image;
    image.SetSprites(&frame, nullptr, &middle);
    image.alignment = 0x33;
    cLayoutItemGPShadowRect item(&image, kPolicyPref);
    cSizePreferences out;
    item.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.minimum.X, 20);
    EXPECT_FLOAT_EQ(out.preferred.X, 40);
    EXPECT_FLOAT_EQ(out.maximum.X, FLT_MAX) << "PREF stretches across";
    EXPECT_FLOAT_EQ(out.minimum.Y, 30);
    EXPECT_FLOAT_EQ(out.maximum.Y, 30) << "FIXED keeps the image's height";

    cLayoutLinear row(kAxisX, 1);
    row.AddItem(new cLayoutItemGPShadowRect(&image, kPolicyPref));
    row.SetRect({0, 0, 150, 30});
    EXPECT_FLOAT_EQ(image.layoutRect.xMax, 150);
    EXPECT_EQ(image.type, kImageTypeThreePatchH) << "stretched across, its own height";

    cLayoutItemGPShadowRect blank(nullptr, kPolicyFixed);
    blank.GetSizePreferences(&out);
    EXPECT_FLOAT_EQ(out.preferred.X, 0);
}

struct cRowCase
{
    const char* what;
    std::vector<cFixedItem*> items;
    float spacing;
    float margin;
    float width;
    std::vector<float> expectedLefts;
    std::vector<float> expectedWidths;
};

TEST_F(LayoutTest, ARowSharesOutRoomByPolicyClassAndStretch)
{
    auto pref = [](float width) { return new cFixedItem(width, 20); };
    auto expand = [](float width) { return new cFixedItem(width, 20, kPolicyExpand); };
    auto shrink = [](float width) { return new cFixedItem(width, 20, kPolicyShrink); };
    const cRowCase cases[] = {
        {"grows equally by stretch 1", {pref(50), pref(50), pref(50)}, 0, 0, 300, {0, 100, 200}, {100, 100, 100}},
        {"stretch 1, 2, 1: the running position is not rounded",
         {pref(50), pref(50)->Stretch(2), pref(50)},
         0,
         0,
         300,
         {0, 88, 213},
         {88, 125, 87}},
        {"shrinks to fit", {pref(50)->Limits(20, FLT_MAX), pref(50)->Limits(20, FLT_MAX), pref(50)->Limits(20, FLT_MAX)},
         0, 0, 120, {0, 40, 80}, {40, 40, 40}},
        {"below the minimum total every item is at its minimum and the row overflows",
         {pref(50)->Limits(20, FLT_MAX), pref(50)->Limits(20, FLT_MAX), pref(50)->Limits(20, FLT_MAX)},
         0, 0, 50, {0, 20, 40}, {20, 20, 20}},
        {"EXPAND takes all the extra room", {expand(50), pref(50)}, 0, 0, 300, {0, 250}, {250, 50}},
        {"a limited EXPAND item leaves the rest to the next class",
         {expand(50)->Limits(0, 80), pref(50)}, 0, 0, 200, {0, 80}, {80, 120}},
        {"SHRINK gives first", {shrink(100)->Limits(20, FLT_MAX), pref(100)->Limits(20, FLT_MAX)}, 0, 0, 150,
         {0, 50}, {50, 100}},
        {"then PREF", {shrink(100)->Limits(20, FLT_MAX), pref(100)->Limits(20, FLT_MAX)}, 0, 0, 100, {0, 20},
         {20, 80}},
        {"FIXED neither grows nor shrinks", {new cFixedItem(50, 20, kPolicyFixed), pref(50)}, 0, 0, 300, {0, 50},
         {50, 250}},
        {"spacing between items", {pref(50), pref(50)}, 10, 0, 110, {0, 60}, {50, 50}},
        {"margins of 10 around items that exactly fill the content keep their sizes",
         {pref(50)->Limits(45, FLT_MAX), pref(50)->Limits(45, FLT_MAX), pref(50)->Limits(45, FLT_MAX)},
         0, 10, 170, {10, 60, 110}, {50, 50, 50}},
        {"margins of 10 and a little room to spare: the room goes by stretch",
         {pref(40)->Stretch(0), pref(40)->Stretch(0), pref(60)}, 0, 10, 170, {10, 50, 90}, {40, 40, 70}},
        {"margins of 10 and items that can shrink just enough",
         {pref(100)->Limits(40, FLT_MAX), pref(100)->Limits(40, FLT_MAX)}, 0, 10, 115, {10, 58}, {48, 47}},
        {"stretch factors summing to 0 share equally", {pref(50)->Stretch(0), pref(50)->Stretch(0)}, 0, 0, 200,
         {0, 100}, {100, 100}},
        {"unlimited items of stretch 0 share what a limited one leaves",
         {pref(50)->Limits(0, 60), pref(50)->Stretch(0), pref(50)->Stretch(0)}, 0, 0, 250, {0, 60, 155},
         {60, 95, 95}},
    };
    for (const cRowCase& c : cases)
    {
        cLayoutLinear row(kAxisX, uint32_t(c.items.size()));
        for (cFixedItem* item : c.items)
            row.AddItem(item);
        row.itemSpacing = c.spacing;
        for (cLayoutValue& margin : row.margins)
            margin.value = c.margin;
        const std::vector<cRect> rects = LayOut(row, {0, 0, c.width, 40});
        EXPECT_EQ(Lefts(rects), c.expectedLefts) << c.what;
        EXPECT_EQ(Widths(rects), c.expectedWidths) << c.what;
        for (const cRect& r : rects)
        {
            EXPECT_FLOAT_EQ(r.yMin, c.margin) << c.what << ": items fill the row's height";
            EXPECT_FLOAT_EQ(r.yMax, 40 - c.margin) << c.what;
        }
    }
}

TEST_F(LayoutTest, ALayoutsPreferencesAddUpItsItemsSpacingAndMargins)
{
    cLayoutLinear column(kAxisY, 3);
    column.AddItem(new cFixedItem(60, 20));
    column.AddItem((new cFixedItem(80, 30))->Limits(70, 90));
    column.AddItem(new cFixedItem(40, 10, kPolicyFixed, kPolicyFixed));
    column.itemSpacing = 5;
    column.margins[0].value = 1;
    column.margins[1].value = 2;
    column.margins[2].value = 3;
    column.margins[3].value = 4;
    EXPECT_FLOAT_EQ(column.GetSpacingTotal(), 10);
    cSizePreferences out;
    cSizePreferences perItem[3];
    column.GetSizePreferences(&out, perItem);
    EXPECT_FLOAT_EQ(out.preferred.Y, 20 + 30 + 10 + 10 + 6);
    EXPECT_FLOAT_EQ(out.minimum.Y, 10 + 10 + 6) << "only the fixed item cannot shrink";
    EXPECT_FLOAT_EQ(out.preferred.X, 80 + 4);
    EXPECT_FLOAT_EQ(out.minimum.X, 70 + 4);
    EXPECT_FLOAT_EQ(out.maximum.Y, FLT_MAX) << "the layout's own maximum, not its items'";
    EXPECT_FLOAT_EQ(perItem[1].size.Y, 30);

    // Laid out in more room than it wants: the fixed item keeps its height.
    column.SetRect({0, 0, 100, 126});
    EXPECT_FLOAT_EQ(column.GetItem(0)->GetRect().yMin, 2);
    EXPECT_FLOAT_EQ(column.GetItem(2)->GetRect().yMax - column.GetItem(2)->GetRect().yMin, 10);
    EXPECT_FLOAT_EQ(column.GetItem(2)->GetRect().yMax, 122);
    EXPECT_FLOAT_EQ(column.GetItem(1)->GetRect().xMax, 97) << "items fill the column's width";

    cLayoutLinear empty(kAxisX, 0);
    cSizePreferences untouched;
    untouched.preferred = {7, 8};
    empty.GetSizePreferences(&untouched);
    EXPECT_FLOAT_EQ(untouched.preferred.X, 7);
    empty.SetRect({0, 0, 10, 10});
}

TEST_F(LayoutTest, AHiddenWidgetTakesNoRoomButItsSpacingStays)
{
    cProbeWidget* widgets[3];
    cLayoutLinear row(kAxisX, 3);
    for (cProbeWidget*& widget : widgets)
    {
        widget = AddProbe(root, "w", {0, 0, 1, 1});
        widget->preferredSize = {50, 20};
        auto* item = new cLayoutItemWidget(widget, kPolicyFixed, kPolicyPref);
        item->itemFlags = cLayoutItem::kItemVisibleOnly;
        row.AddItem(item);
    }
    widgets[1]->SetVisible(false);
    row.itemSpacing = 10;
    const std::vector<cRect> rects = LayOut(row, {0, 0, 300, 40});
    EXPECT_EQ(Lefts(rects), (std::vector<float>{0, 60, 70}));
    EXPECT_EQ(Widths(rects), (std::vector<float>{50, 0, 50}));
}

// A widget whose layout nests a column of rows: the draw pass hands the
// widget's rect to the layout, and every placed widget follows.
TEST_F(LayoutTest, AWidgetsLayoutPlacesNestedRowsAndColumnsWhenDrawn)
{
    struct cFitting : cProbeWidget
    {
        cFitting() : cProbeWidget("panel", false) {}
        void FitToContent(const cVector2* preferred, cRect* rect) override
        {
            fittedTo = *preferred;
            rect->yMax = rect->yMin + preferred->Y;
        }
        cVector2 fittedTo = {0, 0};
    };
    auto* panel = new cFitting();
    panel->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 300, 300);
    root->AddChild(panel);
    panel->Release();
    auto* column = new cLayoutLinear(kAxisY, 2);
    for (cLayoutValue& margin : column->margins)
        margin.value = 10;
    column->itemSpacing = 4;
    auto* row = new cLayoutLinear(kAxisX, 2);
    row->itemSpacing = 6;
    cProbeWidget* left = AddProbe(panel, "left", {0, 0, 1, 1});
    cProbeWidget* right = AddProbe(panel, "right", {0, 0, 1, 1});
    cProbeWidget* below = AddProbe(panel, "below", {0, 0, 1, 1});
    for (cProbeWidget* widget : {left, right, below})
        widget->preferredSize = {40, 30};
    row->AddItem(new cLayoutItemWidget(left, kPolicyPref, kPolicyPref));
    row->AddItem(new cLayoutItemWidget(right, kPolicyExpand, kPolicyPref));
    column->AddItem(row);
    column->AddItem(new cLayoutItemWidget(below, kPolicyPref, kPolicyFixed));
    panel->SetLayout(column);
    Frame();

    EXPECT_FLOAT_EQ(panel->fittedTo.Y, 10 + 30 + 4 + 30 + 10);
    const cRect l = left->GetRect(), r = right->GetRect(), b = below->GetRect();
    EXPECT_FLOAT_EQ(l.xMin, 110);
    EXPECT_FLOAT_EQ(l.xMax, 150) << "PREF keeps its width beside EXPAND";
    EXPECT_FLOAT_EQ(r.xMin, 156);
    EXPECT_FLOAT_EQ(r.xMax, 390);
    EXPECT_FLOAT_EQ(l.yMin, 110);
    EXPECT_FLOAT_EQ(b.yMin, 144);
    EXPECT_FLOAT_EQ(b.yMax, 174);
    EXPECT_FLOAT_EQ(b.xMax, 390);

    cVector2 minimum, preferred;
    panel->GetSizePreferences(&minimum, &preferred);
    EXPECT_FLOAT_EQ(preferred.X, 10 + 40 + 6 + 40 + 10);
}

std::string SaveLayout(cLayoutItem& layout)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    EXPECT_TRUE(serialiser.Begin());
    EXPECT_TRUE(layout.Serialise(serialiser));
    EXPECT_TRUE(serialiser.End());
    const uint8_t* data = stream.GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), size_t(stream.GetLength())) : std::string();
}

std::string NodeName(const char* kind, const void* object)
{
    char name[64];
    std::snprintf(name, sizeof(name), "%s0x%016" PRIxPTR, kind, reinterpret_cast<uintptr_t>(object));
    return name;
}

// Node names carry each object's whole address, so a saved layout matches
// only the same objects of the same run.
TEST_F(LayoutTest, ALayoutSavesItsItemsUnderTheirAddressesAndPoliciesByName)
{
    cImage image;
    cLayoutLinear row(kAxisX, 3);
    row.itemSpacing = 6;
    auto* spacer = new cLayoutItemSpacer(kPolicyShrink, kPolicyShrink, {}, {});
    auto* item = new cLayoutItemWidget(nullptr, kPolicyExpand, kPolicyFixed);
    item->sizePrefScale = {1.5f, 1};
    auto* stack = new cLayoutStacked();
    auto* shadow = new cLayoutItemGPShadowRect(&image, kPolicyMin);
    stack->AddItem(shadow);
    row.AddItem(spacer);
    row.AddItem(item);
    row.AddItem(stack);
    const std::string text = SaveLayout(row);
    for (const std::string& name : {NodeName("LayoutLinear@", &row), NodeName("Spacer", spacer),
                                    NodeName("Widget@", item), NodeName("LayoutStacked@", stack),
                                    NodeName("GPShadowRect@", shadow)})
        EXPECT_NE(text.find("<" + name), std::string::npos) << name << " in\n" << text;
    EXPECT_NE(text.find("ItemSpacing=\"6.000000\""), std::string::npos);
    EXPECT_NE(text.find("<SizePolicy X=\"EXPAND\" Y=\"FIXED\"/>"), std::string::npos) << text;
    EXPECT_NE(text.find("<SizePolicy X=\"SHRINK\" Y=\"SHRINK\"/>"), std::string::npos);
    EXPECT_NE(text.find("<SizePolicy X=\"MIN\" Y=\"FIXED\"/>"), std::string::npos);
    EXPECT_NE(text.find("<Stretch X=\"1.000000\" Y=\"1.000000\"/>"), std::string::npos);
    EXPECT_NE(text.find("<SizePrefScale X=\"1.500000\" Y=\"1.000000\"/>"), std::string::npos);
}

TEST_F(LayoutTest, ALayoutOwnsItsItemsUntilOneIsTaken)
{
    cLayoutLinear row(kAxisX, 2);
    auto* kept = new cFixedItem(10, 10);
    row.AddItem(new cFixedItem(5, 5));
    row.AddItem(kept);
    EXPECT_EQ(row.TakeItem(2), nullptr);
    EXPECT_EQ(row.TakeItem(-1), nullptr);
    EXPECT_EQ(row.TakeItem(1), kept);
    EXPECT_EQ(row.GetItemCount(), 1);
    EXPECT_EQ(row.GetItem(1), nullptr);
    delete kept;
}
} // namespace
