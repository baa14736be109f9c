#include "support/ControlKit.h"
#include "support/ControlKitValues.h"
#include "ui/ControlFixture.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetComboBox.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kHighlightSprite = 22;
constexpr int32_t kEscape = 257;

class WidgetComboBoxTest : public ControlFixture
{
protected:
    static constexpr float kX = 150.0f;
    static constexpr float kButtonY = 122.0f;
    static constexpr float kMenuTop = 144.0f;

    // The house combo 100 x 44 at (100, 100): items 40 high, overlapping by
    // one pixel, hang below it from y 144.
    cWidgetComboBox* MakeCombo(int32_t flags, int32_t items, int32_t capacity = 8)
    {
        cWidgetComboBox* combo =
            Place(ControlKit::ComboBox("", capacity, flags, recorder.Delegate()), {100, 100, 200, 144});
        static const char* const kNames[] = {"Bar", "Beat", "Half", "Quarter", "Eighth", "Tick", "Off", "On"};
        for (int32_t i = 0; i < items; ++i)
            combo->AddItem(kNames[i], 10 + i, true);
        Frame();
        return combo;
    }

    // Opens the menu with a tap and draws it, so that it can be touched.
    void Open()
    {
        Tap(1, kX, kButtonY);
        Frame();
    }

    static float ItemY(int index) { return kMenuTop + 39.0f * float(index) + 20.0f; }

    // The items drawn with the highlighted skin, by index: the pieces of
    // their three-patches lie inside the sprite's texture rect.
    std::vector<int> HighlightedItems() const
    {
        const cAtlasSprite& s = Sprite(kHighlightSprite);
        std::vector<int> items;
        for (const cDrawnQuad& quad : Quads())
        {
            const bool ofSprite = quad.u0 >= s.u0 && quad.u1 <= s.u1 && quad.v0 >= s.v0 && quad.v1 <= s.v1;
            if (!ofSprite || quad.rect.yMin < kMenuTop - 0.5f)
                continue;
            const int item = int((quad.rect.yMin - kMenuTop) / 39.0f + 0.5f);
            if (items.empty() || items.back() != item)
                items.push_back(item);
        }
        return items;
    }
};

TEST_F(WidgetComboBoxTest, FiveItemsMakeAMenuOf195PixelsAndATouch100PixelsDownPicksTheThird)
{
    cWidgetComboBox* combo = MakeCombo(0, 5);
    EXPECT_FLOAT_EQ(combo->itemHeight, std::round(Sprite(kHighlightSprite).height * 0.91f));
    Open();
    EXPECT_TRUE(combo->IsMenuOpen());
    const cRect menu = combo->GetMenuRect();
    EXPECT_FLOAT_EQ(menu.yMin, kMenuTop);
    EXPECT_FLOAT_EQ(menu.yMax - menu.yMin, 195.0f);
    EXPECT_FLOAT_EQ(menu.xMax, 200.0f);
    EXPECT_FLOAT_EQ(menu.xMax - menu.xMin, 100.0f) << "the combo's width, being above the minimum";
    ASSERT_TRUE(FindText("Half"));
    EXPECT_EQ(FindText("Half")->colour, ControlKit::kLightLabel);

    Tap(1, kX, kMenuTop + 100);
    EXPECT_THAT(recorder.Values(), ElementsAre(-1, 2));
    EXPECT_FALSE(combo->IsMenuOpen());
    Frame();
    EXPECT_FLOAT_EQ(combo->GetMenuRect().yMax, 0.0f) << "closed, the menu has no rect";
}

TEST_F(WidgetComboBoxTest, ASelectionMenuIgnoresItsChosenItemButACommandMenuReportsEveryChoice)
{
    struct cCase
    {
        int32_t flags;
        std::vector<int32_t> reports;
    };
    const cCase cases[] = {
        {kComboSelection, {-1, -1, 3}},
        {0, {-1, 1, -1, 3}},
    };
    for (const cCase& c : cases)
    {
        cWidgetComboBox* combo = MakeCombo(c.flags, 5);
        combo->SetSelectedItem(1);
        recorder.calls.clear();
        Open();
        Tap(1, kX, ItemY(1));
        EXPECT_FALSE(combo->IsMenuOpen()) << "choosing the selected item still closes the menu";
        Open();
        Tap(1, kX, ItemY(3));
        EXPECT_EQ(recorder.Values(), c.reports) << c.flags;
        EXPECT_EQ(combo->GetSelectedItem(), c.flags ? 3 : 1);
        root->RemoveChild(combo);
    }
}

TEST_F(WidgetComboBoxTest, HighlightsFollowTheFingerTheSelectionOrTheLevelBelowThem)
{
    cWidgetComboBox* level = MakeCombo(kComboSelection | kComboLevelHighlight, 5);
    level->SetSelectedItem(3);
    Open();
    EXPECT_THAT(HighlightedItems(), ElementsAre(0, 1, 2));
    Down(1, kX, ItemY(1));
    Frame();
    EXPECT_THAT(HighlightedItems(), ElementsAre(0)) << "below the item under the finger";
    Up(1, kX, ItemY(1));
    root->RemoveChild(level);

    cWidgetComboBox* plain = MakeCombo(kComboSelection, 5);
    plain->SetSelectedItem(3);
    Open();
    EXPECT_THAT(HighlightedItems(), ElementsAre(3));
    Down(1, kX, ItemY(0));
    Move(1, kX, ItemY(1));
    Frame();
    EXPECT_EQ(plain->GetHoveredItem(), 1);
    EXPECT_THAT(HighlightedItems(), ElementsAre(1, 3));
    Up(1, kX, ItemY(1));
    EXPECT_EQ(plain->GetSelectedItem(), 1) << "released over an item, the finger chose it";
}

TEST_F(WidgetComboBoxTest, EscapeAndCancelCloseTheMenuSilentlyAndAShortcutTogglesIt)
{
    cWidgetComboBox* combo = MakeCombo(0, 3);
    combo->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    Open();
    input->OnKey(1, 1, kEscape);
    input->OnKey(0, 1, kEscape);
    EXPECT_FALSE(combo->IsMenuOpen());
    EXPECT_THAT(recorder.Values(), ElementsAre(-1));

    Open();
    root->HandleCancel(0, 0);
    EXPECT_FALSE(combo->IsMenuOpen());
    EXPECT_THAT(recorder.Values(), ElementsAre(-1, -1));

    combo->SetKeyShortcut('M');
    input->OnKey(1, 50, 'M');
    EXPECT_TRUE(combo->IsMenuOpen());
    input->OnKey(0, 50, 'M');
    EXPECT_TRUE(combo->IsMenuOpen()) << "a release does nothing";
    input->OnKey(1, 50, 'M');
    input->OnKey(0, 50, 'M');
    EXPECT_FALSE(combo->IsMenuOpen());
    EXPECT_THAT(recorder.Values(), ElementsAre(-1, -1, -1));
}

TEST_F(WidgetComboBoxTest, WithoutItemsATapReportsButOpensNothingAndTheOwnerMayFillItThen)
{
    cWidgetComboBox* combo = MakeCombo(0, 0);
    Down(1, kX, kButtonY);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    Up(1, kX, kButtonY);
    EXPECT_THAT(recorder.Values(), ElementsAre(-1));
    EXPECT_FALSE(combo->IsMenuOpen());

    struct cFiller
    {
        void OnReport(int32_t value, cWidgetComboBox* source)
        {
            if (value == -1 && source->GetItemCount() == 0)
                source->AddItem("Late", 0, true);
        }
    } filler;
    combo->clickDelegate = cDelegate(&filler, &cFiller::OnReport);
    Open();
    EXPECT_TRUE(combo->IsMenuOpen()) << "items added on hearing -1 open the menu";
    EXPECT_TRUE(FindText("Late"));
}

TEST_F(WidgetComboBoxTest, ItemsBeyondTheCapacityAreRefusedAndASelectionOutsideTheItemsShowsNoLabel)
{
    cWidgetComboBox* combo = MakeCombo(kComboSelection, 0, 2);
    EXPECT_TRUE(combo->AddItem("One", 1, true));
    EXPECT_TRUE(combo->AddItem("Two", 2, true));
    EXPECT_FALSE(combo->AddItem("Three", 3, true));
    EXPECT_EQ(combo->GetItemCount(), 2);
    EXPECT_EQ(combo->GetItem(2), nullptr);

    combo->SetSelectedItem(1);
    Frame();
    ASSERT_TRUE(FindText("Two"));
    EXPECT_NEAR(FindText("Two")->x, kX - 7.5f, 0.5f) << "centred on the combo, on a whole pixel";
    for (int32_t outside : {2, 5, -1})
    {
        combo->SetSelectedItem(outside);
        Frame();
        EXPECT_TRUE(Texts().empty()) << outside;
    }
    combo->ClearItems();
    combo->SetSelectedItem(0);
    Frame();
    EXPECT_TRUE(Texts().empty()) << "a cleared menu shows nothing of its old items";
    EXPECT_TRUE(combo->AddItem("Again", 0, true));
}

// Items overlapping by their whole height leave no room to find one in.
TEST_F(WidgetComboBoxTest, ItemsWithoutHeightCannotBeChosen)
{
    cWidgetComboBox* combo = MakeCombo(0, 3);
    combo->itemHeight = 1.0f;
    combo->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    Down(1, kX, kButtonY);
    Frame();
    ASSERT_TRUE(combo->IsMenuOpen());
    Move(1, kX, kMenuTop + 50);
    EXPECT_EQ(combo->GetHoveredItem(), -1);
    Up(1, kX, kMenuTop + 50);
    EXPECT_THAT(recorder.Values(), ElementsAre(-1));
    EXPECT_TRUE(combo->IsMenuOpen());
}

TEST_F(WidgetComboBoxTest, AMenuOpeningUpwardsGrowsAboveTheCombo)
{
    cWidgetComboBox* combo = MakeCombo(kComboOpensUpwards, 3);
    Open();
    const cRect menu = combo->GetMenuRect();
    EXPECT_FLOAT_EQ(menu.yMax, 100.0f);
    EXPECT_FLOAT_EQ(menu.yMin, 100.0f - 3 * 39.0f);
    Tap(1, kX, 95);
    EXPECT_THAT(recorder.Values(), ElementsAre(-1, 0)) << "the nearest item is the first";
}

TEST_F(WidgetComboBoxTest, DisabledItemsAreDimmedAndCannotBeChosen)
{
    cWidgetComboBox* combo = MakeCombo(0, 3);
    combo->GetItem(1)->enabled = 0;
    Open();
    ASSERT_TRUE(FindText("Beat"));
    EXPECT_EQ(FindText("Beat")->colour, HalveColour(ControlKit::kLightLabel));
    Down(1, kX, ItemY(1));
    EXPECT_EQ(combo->GetHoveredItem(), -1);
    Up(1, kX, ItemY(1));
    EXPECT_TRUE(combo->IsMenuOpen()) << "nothing was chosen";
    EXPECT_THAT(recorder.Values(), ElementsAre(-1));
    Tap(1, kX, kButtonY);
    EXPECT_FALSE(combo->IsMenuOpen()) << "a tap on the combo closes it";
    EXPECT_THAT(recorder.Values(), ElementsAre(-1));
}

TEST_F(WidgetComboBoxTest, ASuppressedMenuKeepsTheComboLitAndOnlyReports)
{
    cWidgetComboBox* combo = MakeCombo(0, 3);
    combo->SetMenuSuppressed(true);
    EXPECT_EQ(combo->value, 1);
    Open();
    EXPECT_FALSE(combo->IsMenuOpen());
    root->HandleCancel(0, 0);
    EXPECT_EQ(combo->value, 1) << "a cancel leaves a suppressed combo lit";
    combo->SetMenuSuppressed(false);
    EXPECT_EQ(combo->value, 0);
    EXPECT_THAT(recorder.Values(), ElementsAre(-1));
}

TEST_F(WidgetComboBoxTest, AnItemDrawDelegateDrawsEachItemInsteadOfItsText)
{
    cWidgetComboBox* combo = MakeCombo(0, 3);
    std::vector<cWidgetComboBox::cItemDrawRecord> records;
    struct cDrawer
    {
        void OnDraw(const cWidgetComboBox::cItemDrawRecord* record) { log->push_back(*record); }
        std::vector<cWidgetComboBox::cItemDrawRecord>* log;
    } drawer{&records};
    combo->itemDrawDelegate = cDelegate(&drawer, &cDrawer::OnDraw);
    Open();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].index, 2);
    EXPECT_EQ(records[2].combo, combo);
    EXPECT_EQ(records[2].item->value, 12);
    EXPECT_FLOAT_EQ(records[2].rect.yMin, kMenuTop + 78.0f);
    EXPECT_FALSE(FindText("Half"));
}
} // namespace
