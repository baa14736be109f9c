#include <deque>
#include <string>

#include "render/TextBatch.h"
#include "support/ControlKitValues.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetList.h"
#include "ui/WidgetScrollBar.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kSolidFill = 465;
constexpr uint32_t kEvenRow = 0xff383838, kOddRow = 0xff2c2c2c;

struct cTestItem : cWidgetList::cItem
{
    std::string name;
    std::deque<cTestItem> children;
};

// Items "item0", "item1" ... that draw their names and log where.
class cTestSource : public cWidgetList::cDataSource
{
public:
    cTestSource(int32_t flags, int count) : cDataSource(flags)
    {
        for (int i = 0; i < count; ++i)
            items.push_back(Named("item" + std::to_string(i)));
        font.Select(10);
    }

    static cTestItem Named(const std::string& name)
    {
        cTestItem item;
        item.name = name;
        return item;
    }

    cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override
    {
        std::deque<cTestItem>& level = parent ? static_cast<cTestItem*>(parent)->children : items;
        return level.empty() ? nullptr : &level.front();
    }
    cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override
    {
        for (std::deque<cTestItem>* level : Levels())
            for (size_t i = 0; i < level->size(); ++i)
                if (&(*level)[i] == item)
                    return i + 1 < level->size() ? &(*level)[i + 1] : nullptr;
        return nullptr;
    }
    void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override
    {
        const std::string& name = static_cast<cTestItem*>(item)->name;
        drawn.push_back(name);
        rows.push_back(row);
        list.GetTextBatch().DrawText(row.xMin + 4, row.yMin + 4, list.depth, font, 0xffdcdcdc, name.c_str());
    }

    bool Selected(int index) const { return (items[size_t(index)].flags & cWidgetList::kItemSelected) != 0; }

    std::deque<cTestItem> items;
    std::vector<std::string> drawn;
    std::vector<cRect> rows;
    cFontHandle font;

private:
    std::vector<std::deque<cTestItem>*> Levels()
    {
        std::vector<std::deque<cTestItem>*> levels = {&items};
        for (size_t i = 0; i < levels.size(); ++i)
            for (cTestItem& item : *levels[i])
                levels.push_back(&item.children);
        return levels;
    }
};

struct cTestListener : cWidgetList::cListener
{
    bool OnItemTapped(cWidgetList*, cWidgetList::cItem* item, const cRect& row, const cVector2& point) override
    {
        tapped.push_back(static_cast<cTestItem*>(item)->name);
        EXPECT_TRUE(row.Contains(point));
        return accept;
    }
    void OnItemSelected(cWidgetList*, cWidgetList::cItem* item) override
    {
        selected.push_back(static_cast<cTestItem*>(item)->name);
    }

    bool accept = true;
    std::vector<std::string> tapped;
    std::vector<std::string> selected;
};

class WidgetListTest : public ControlFixture
{
protected:
    static constexpr float kX = 150.0f;

    // The house list at (100, 100), 200 pixels wide: rows 50 high by
    // default, so 4 fit in 200 pixels; insets of 1 above and below make a
    // row pitch of 49.5.
    cWidgetList* MakeList(cTestSource& source, float height = 200.0f, bool withListener = true)
    {
        cWidgetList* list = Place(ControlKit::List("Effects"), {100, 100, 300, 100 + height});
        list->SetDataSource(&source);
        if (withListener)
            list->SetListener(&listener);
        Frame();
        return list;
    }

    // The middle of a visible row, as the rows lie at the list's position.
    static float RowY(int visibleRow) { return 101.0f + 49.5f * (float(visibleRow) + 0.5f); }

    std::vector<uint32_t> RowColours() const
    {
        std::vector<uint32_t> colours;
        for (const cDrawnQuad& quad : QuadsOf(kSolidFill))
            if (quad.colour == kEvenRow || quad.colour == kOddRow)
                colours.push_back(quad.colour);
        return colours;
    }

    cTestListener listener;
};

TEST_F(WidgetListTest, ARowCountAndSelectionReadAtTheDrawBringTheSelectedItemIntoView)
{
    cTestSource source(0, 10);
    source.items[7].flags = cWidgetList::kItemSelected;
    cWidgetList* list = MakeList(source);
    EXPECT_FLOAT_EQ(list->GetVisibleRows(), 4.0f);
    EXPECT_FLOAT_EQ(list->GetScrollHelper().GetPosition(), 6.0f) << "10 rows less the 4 that fit";
    EXPECT_THAT(source.drawn, ElementsAre("item6", "item7", "item8", "item9"));
    EXPECT_EQ(list->GetSelectedCount(), 1);
    EXPECT_THAT(listener.selected, IsEmpty()) << "reading the rows selects nothing";
    ASSERT_TRUE(FindText("item6"));
    EXPECT_FLOAT_EQ(FindText("item6")->y, 105.0f);
    ASSERT_TRUE(FindText("Effects"));
    EXPECT_LT(FindText("Effects")->y, 100.0f) << "the caption sits above";

    cWidgetScrollBar* bar = list->GetScrollBar();
    EXPECT_FLOAT_EQ(bar->GetMaximum(), 10.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowStart(), 6.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowEnd(), 10.0f);
    EXPECT_FLOAT_EQ(bar->GetRect().xMin, 300.0f - Sprite(327).width) << "at the right edge";
}

TEST_F(WidgetListTest, RowsThatAllFitSelectOnTheDownAndNeverScroll)
{
    cTestSource source(0, 3);
    cWidgetList* list = MakeList(source);
    Down(1, kX, RowY(1));
    EXPECT_THAT(listener.selected, ElementsAre("item1")) << "before the finger lifts";
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    Move(1, kX, RowY(1) - 60);
    Up(1, kX, RowY(1) - 60);
    EXPECT_FLOAT_EQ(list->GetScrollHelper().GetPosition(), 0.0f);
    EXPECT_THAT(listener.selected, ElementsAre("item1"));
    Frame();
    EXPECT_THAT(RowColours(), ElementsAre(kEvenRow, kOddRow, kEvenRow)) << "backgrounds only behind the items";
}

TEST_F(WidgetListTest, WithMoreRowsATapSelectsOnReleaseAndADragOfMoreThanThreePixelsScrolls)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source);
    Down(1, kX, RowY(2));
    EXPECT_THAT(listener.selected, IsEmpty());
    Move(1, kX, RowY(2) - 3);
    Up(1, kX, RowY(2) - 3);
    EXPECT_THAT(listener.selected, ElementsAre("item2"));
    EXPECT_TRUE(source.Selected(2));

    Down(1, kX, 250);
    Move(1, kX, 246); // more than 3 pixels: now dragging
    Move(1, kX, 200); // 50 pixels of 200 for 4 rows
    Up(1, kX, 200);
    EXPECT_FLOAT_EQ(list->GetScrollHelper().GetPosition(), 1.0f);
    EXPECT_THAT(listener.selected, ElementsAre("item2")) << "a drag selects nothing";
    source.drawn.clear();
    Frame();
    EXPECT_EQ(source.drawn.front(), "item1");
}

TEST_F(WidgetListTest, AFlickCoastsAtMostThreeQuartersOfARowPerFrameAndSlowsByATenth)
{
    cTestSource source(0, 15);
    cWidgetList* list = MakeList(source);
    const cScrollHelper& scroll = list->GetScrollHelper();
    Down(1, kX, 290);
    Move(1, kX, 280);
    Frame();
    Move(1, kX, 180); // 110 pixels: 2.2 rows in one frame
    Frame();
    Up(1, kX, 180);
    std::vector<float> steps;
    float last = scroll.GetPosition();
    for (int frame = 0; frame < 3; ++frame)
    {
        Frame();
        steps.push_back(scroll.GetPosition() - last);
        last = scroll.GetPosition();
    }
    EXPECT_NEAR(steps[0], 0.675f, 1e-4f);
    EXPECT_NEAR(steps[1], 0.6075f, 1e-4f);
    EXPECT_NEAR(steps[2], 0.54675f, 1e-4f);
    Frame(200);
    EXPECT_NEAR(scroll.GetPosition(), 2.2f + 0.675f / 0.1f, 0.01f) << "the coast adds up to 6.75 rows";

    Down(1, kX, 290);
    Move(1, kX, 280);
    Frame();
    Move(1, kX, 100);
    Frame();
    Up(1, kX, 100);
    Frame(200);
    EXPECT_FLOAT_EQ(scroll.GetPosition(), 11.0f) << "it stops at the last rows";
}

TEST_F(WidgetListTest, FewerRowsThanTheSelectedOneSelectTheNewLastRow)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source);
    list->GetScrollHelper().SetPosition(6.0f, true);
    Tap(1, kX, RowY(1));
    EXPECT_THAT(listener.selected, ElementsAre("item7"));
    source.items.resize(5);
    list->MarkForReload();
    Frame();
    EXPECT_THAT(listener.selected, ElementsAre("item7", "item4"));
    EXPECT_TRUE(source.Selected(4));
    EXPECT_FLOAT_EQ(list->GetScrollHelper().GetPosition(), 1.0f);
}

// Between the owner's change and the next draw, a tap must not reach back
// to an item that may be gone.
TEST_F(WidgetListTest, ATapBeforeTheRowsAreReadAgainLeavesTheOldItemsAlone)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source);
    Tap(1, kX, RowY(3));
    ASSERT_EQ(list->GetLastSelectedItem(), &source.items[3]);
    source.items[3].flags = 0;
    source.items.resize(3);
    list->MarkForReload();
    EXPECT_EQ(list->GetLastSelectedItem(), nullptr);
    Tap(1, kX, RowY(1));
    EXPECT_TRUE(source.Selected(1));
    EXPECT_THAT(listener.selected, ElementsAre("item3", "item1"));
}

TEST_F(WidgetListTest, AHiddenListTakesNoTouches)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source);
    list->SetVisible(false);
    Down(1, kX, RowY(1));
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    Up(1, kX, RowY(1));
    EXPECT_THAT(listener.selected, IsEmpty());
}

TEST_F(WidgetListTest, SingleAndMultipleSelectionSetAndClearTheSelectedBit)
{
    struct cCase
    {
        int32_t flags;
        std::vector<int> taps;
        std::vector<bool> bits;
        int32_t count;
    };
    const cCase cases[] = {
        {0, {1, 3}, {false, false, false, true}, 1},
        {0, {1, 1}, {false, true, false, false}, 1},
        {cWidgetList::cDataSource::kMultipleSelection, {1, 3}, {false, true, false, true}, 2},
        {cWidgetList::cDataSource::kMultipleSelection, {1, 3, 1}, {false, false, false, true}, 1},
    };
    for (const cCase& c : cases)
    {
        cTestSource source(c.flags, 4);
        source.items[0].flags = cWidgetList::kItemSelected; // cleared by the first single selection
        if (c.flags)
            source.items[0].flags = 0;
        cWidgetList* list = MakeList(source);
        listener.selected.clear();
        for (int row : c.taps)
            Tap(1, kX, RowY(row));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(source.Selected(i), c.bits[size_t(i)]) << c.flags << " item " << i;
        EXPECT_EQ(list->GetSelectedCount(), c.count);
        EXPECT_EQ(listener.selected.size(), c.taps.size());
        root->RemoveChild(list);
    }
}

TEST_F(WidgetListTest, AListenerThatRefusesATapLeavesTheSelectionAlone)
{
    cTestSource source(0, 3);
    MakeList(source);
    listener.accept = false;
    Tap(1, kX, RowY(2));
    EXPECT_THAT(listener.tapped, ElementsAre("item2"));
    EXPECT_THAT(listener.selected, IsEmpty());
    EXPECT_FALSE(source.Selected(2));
}

TEST_F(WidgetListTest, WithoutAListenerOrADataSourceTapsAreIgnored)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source, 200.0f, false);
    Tap(1, kX, RowY(1));
    Tap(1, kX, RowY(0));
    EXPECT_FALSE(source.Selected(0));
    EXPECT_FALSE(source.Selected(1));
    EXPECT_EQ(list->GetSelectedCount(), 0);

    cWidgetList* bare = Place(ControlKit::List("Bare"), {350, 100, 550, 300});
    Frame();
    Tap(1, 400, 150);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    EXPECT_EQ(bare->GetItemAtRow(0), nullptr);
}

TEST_F(WidgetListTest, AShortListStillCountsItsMinimumRowsAndShrinksThePitch)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source, 100.0f);
    EXPECT_FLOAT_EQ(list->GetVisibleRows(), 4.0f);
    ASSERT_GE(source.rows.size(), 4u);
    EXPECT_FLOAT_EQ(source.rows[0].yMax - source.rows[0].yMin, 24.5f) << "(100 - 2) / 4";
    cVector2 minimum, preferred;
    list->GetSizePreferences(&minimum, &preferred);
    EXPECT_FLOAT_EQ(minimum.Y, 200.0f);
    EXPECT_FLOAT_EQ(preferred.Y, 200.0f);
    list->SetRowHeight(20.0f, 2);
    Frame();
    EXPECT_FLOAT_EQ(list->GetVisibleRows(), 5.0f);
}

TEST_F(WidgetListTest, RowBackgroundsAlternateByAbsoluteRow)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source);
    const std::vector<uint32_t> atTop = RowColours();
    ASSERT_GE(atTop.size(), 4u);
    EXPECT_EQ(atTop[0], kEvenRow);
    EXPECT_EQ(atTop[1], kOddRow);
    list->GetScrollHelper().SetPosition(1.0f, true);
    Frame();
    const std::vector<uint32_t> scrolled = RowColours();
    ASSERT_GE(scrolled.size(), 4u);
    EXPECT_EQ(scrolled[0], kOddRow);
    EXPECT_EQ(scrolled[1], kEvenRow);
}

TEST_F(WidgetListTest, TheScrollBarMovesTheListAndKeepsItsTouchFromWhatLiesBeneath)
{
    cProbeWidget* beneath = AddProbe(root, "beneath", {0, 0, 640, 480});
    cTestSource source(0, 20);
    cWidgetList* list = MakeList(source);
    cWidgetScrollBar* bar = list->GetScrollBar();
    const float barX = (bar->GetRect().xMin + bar->GetRect().xMax) * 0.5f;
    Down(1, barX, 120);
    Move(1, barX, 150); // 30 of 200 pixels over 20 rows
    Up(1, barX, 150);
    EXPECT_FLOAT_EQ(list->GetScrollHelper().GetPosition(), 3.0f);
    EXPECT_TRUE(beneath->touches.empty()) << "the bar's touch went nowhere else";
    source.drawn.clear();
    Frame();
    EXPECT_EQ(source.drawn.front(), "item3");
}

TEST_F(WidgetListTest, ExpandedItemsAddTheirChildrenAsRowsAndSelectionsCountEveryItem)
{
    cTestSource source(0, 3);
    source.items[0].children = {cTestSource::Named("a"), cTestSource::Named("b")};
    source.items[1].children = {cTestSource::Named("c")};
    source.items[0].flags = cWidgetList::kItemExpanded;
    source.items[1].children[0].flags = cWidgetList::kItemSelected; // under a collapsed parent
    cWidgetList* list = MakeList(source);
    EXPECT_EQ(list->CountRows(), 5);
    EXPECT_EQ(static_cast<cTestItem*>(list->GetItemAtRow(2))->name, "b");
    EXPECT_EQ(static_cast<cTestItem*>(list->GetItemAtRow(3))->name, "item1");
    EXPECT_EQ(list->GetItemAtRow(5), nullptr);
    EXPECT_EQ(list->GetSelectedCount(), 1);
    EXPECT_FLOAT_EQ(list->GetScrollHelper().GetPosition(), 0.0f) << "a hidden selection is not a row";
    list->ClearSelection();
    EXPECT_TRUE(source.items[1].children[0].flags & cWidgetList::kItemSelected) << "only the top level";
}

TEST_F(WidgetListTest, ACancelledPressLeavesTheNextTouchToStartAfresh)
{
    cTestSource source(0, 10);
    cWidgetList* list = MakeList(source);
    Down(1, kX, RowY(1));
    root->HandleCancel(0, 0);
    Up(1, kX, RowY(1));
    EXPECT_THAT(listener.selected, IsEmpty());
    Down(1, kX, RowY(2));
    EXPECT_EQ(manager->GetCaptureCount(), 1) << "the new press is captured";
    Up(1, kX, RowY(2));
    EXPECT_THAT(listener.selected, ElementsAre("item2"));
    EXPECT_EQ(list->GetScrollHelper().GetState(), cScrollHelper::kIdle);
}
} // namespace
