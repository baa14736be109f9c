#include "support/ControlKit.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetTabView.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kHorizontalStrip = 445;
constexpr int kVerticalStrip = 423;

// What a page-changed delegate saw of the view at the moment it was told.
struct cPageWatcher
{
    struct cSeen
    {
        int32_t page;
        bool pageVisible;
        int32_t tabValue;
    };
    void OnPageChanged(int32_t page, cWidgetTabView* view)
    {
        seen.push_back({page, view->GetPage(page)->IsVisible(), view->GetTab(page)->value});
    }
    std::vector<cSeen> seen;
};

class WidgetTabViewTest : public ControlFixture
{
protected:
    // A view of pages named A, B, C... with house tabs.
    template <class View>
    View* MakeView(View* view, int32_t count, const cRect& rect)
    {
        Place(view, rect);
        for (int32_t i = 0; i < count; ++i)
        {
            const char name[2] = {char('A' + i), '\0'};
            cWidget* page = new cWidget();
            cWidgetButton* tab = ControlKit::TabButton(false);
            view->AddPage(i, name, page, tab);
            page->Release();
            tab->Release();
        }
        view->pageChanged = cDelegate(&watcher, &cPageWatcher::OnPageChanged);
        return view;
    }

    void Click(cWidgetButton* tab)
    {
        const cRect& rect = tab->GetRect();
        Tap(1, (rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
    }

    cPageWatcher watcher;
};

TEST_F(WidgetTabViewTest, ATabClickShowsItsPageLightsItsTabThenReports)
{
    cWidgetTabView* view = MakeView(new cWidgetSystemTabView(3, true), 3, {100, 100, 500, 400});
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_FALSE(view->GetPage(i)->IsVisible()) << "pages start hidden";
    view->SelectPage(0, true);
    Frame();
    Click(view->GetTab(2));
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[1].page, 2);
    EXPECT_TRUE(watcher.seen[1].pageVisible);
    EXPECT_EQ(watcher.seen[1].tabValue, 1);
    EXPECT_FALSE(view->GetPage(0)->IsVisible());
    EXPECT_EQ(view->GetTab(0)->value, 0);
    EXPECT_STREQ(view->GetTab(2)->GetName(), "C");
    EXPECT_STREQ(view->GetPage(2)->GetName(), "C");

    Frame();
    EXPECT_FALSE(QuadsInside(27).empty()) << "the lit tab is drawn lit";
}

TEST_F(WidgetTabViewTest, ReselectingReportsOnlyWhenForced)
{
    cWidgetTabView* view = MakeView(new cWidgetTabView(2, false), 2, {100, 100, 500, 400});
    view->SelectPage(1, false);
    view->SelectPage(1, false);
    Frame();
    Click(view->GetTab(1));
    ASSERT_EQ(watcher.seen.size(), 1u);
    view->SelectPage(1, true);
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[1].page, 1);
}

// With no room for eight tabs of 40 in 300 pixels (300 - 8 x 40 = -20),
// the column is centred and starts 10 pixels above the view.
TEST_F(WidgetTabViewTest, ATooTallColumnOfTabsIsCentredOnTheView)
{
    const cAtlasSprite tall = {0, 0, 0, 0, 0, 0, 60, 40, 60, 40, 30, 20};
    cWidgetTabView* view = Place(new cWidgetTabView(8, true), {100, 100, 300, 400});
    view->tabSize = 60.0f;
    std::vector<cWidgetButton*> tabs;
    for (int32_t i = 0; i < 8; ++i)
    {
        cWidget* page = new cWidget();
        tabs.push_back(new cWidgetButton(kButtonPush, &tall, nullptr));
        view->AddPage(i, "", page, tabs.back());
        page->Release();
        tabs.back()->Release();
    }
    Frame();
    for (int32_t i = 0; i < 8; ++i)
    {
        EXPECT_FLOAT_EQ(tabs[size_t(i)]->GetAnchorValue(1), -10.0f + 40.0f * float(i)) << i;
        EXPECT_FLOAT_EQ(tabs[size_t(i)]->GetRect().xMax - tabs[size_t(i)]->GetRect().xMin, 60.0f);
    }
    EXPECT_FLOAT_EQ(tabs[0]->GetRect().yMin, 90.0f);
    EXPECT_FLOAT_EQ(view->GetPage(0)->GetAnchorValue(0), 60.0f) << "pages right of the column";
}

TEST_F(WidgetTabViewTest, SystemTabsShareABorderPixelOnTheHouseStrips)
{
    cWidgetTabView* column = MakeView(new cWidgetSystemTabView(3, true), 3, {0, 0, 300, 400});
    cWidgetTabView* row = MakeView(new cWidgetSystemTabView(2, false), 2, {300, 0, 640, 400});
    column->SelectPage(0, true);
    row->SelectPage(0, true);
    Frame();
    EXPECT_FLOAT_EQ(column->tabSize, 80.0f) << "desktop";
    const float tabHeight = Sprite(16).height;
    EXPECT_FLOAT_EQ(column->GetTab(1)->GetRect().yMin, tabHeight - 1.0f);
    EXPECT_FLOAT_EQ(column->GetPage(0)->GetRect().xMin, 80.0f);
    EXPECT_EQ(column->background.sprite, &Sprite(kVerticalStrip));
    EXPECT_FLOAT_EQ(column->background.layoutRect.xMax, 80.0f) << "the strip runs down the column";
    EXPECT_FLOAT_EQ(column->background.layoutRect.yMax, 400.0f);

    EXPECT_FLOAT_EQ(row->tabSize, 160.0f);
    EXPECT_FLOAT_EQ(row->GetTab(1)->GetRect().xMin, 300.0f + 159.0f) << "170 wide each, held to 160";
    const float rowHeight = std::max(tabHeight, Sprite(kHorizontalStrip).height);
    EXPECT_FLOAT_EQ(row->GetPage(0)->GetRect().yMin, rowHeight);
    EXPECT_EQ(row->background.sprite, &Sprite(kHorizontalStrip));
    EXPECT_FLOAT_EQ(row->background.layoutRect.yMax, Sprite(kHorizontalStrip).height);

    SetDisplayMetricsForClass(kDeviceClassPhone);
    cWidgetSystemTabView* phone = new cWidgetSystemTabView(1, true);
    EXPECT_FLOAT_EQ(phone->tabSize, 120.0f);
    phone->Release();
}

// Only indices below the page count reach the arrays.
TEST_F(WidgetTabViewTest, IndicesOutsideThePagesChangeNothing)
{
    cWidgetTabView* view = MakeView(new cWidgetTabView(2, true), 2, {100, 100, 500, 400});
    view->SelectPage(1, true);
    watcher.seen.clear();
    cWidget* stray = new cWidget();
    cWidgetButton* strayTab = ControlKit::TabButton(true);
    for (int32_t index : {2, -1, 1 << 20})
    {
        view->AddPage(index, "X", stray, strayTab);
        view->SelectPage(index, true);
    }
    EXPECT_EQ(stray->GetParent(), nullptr);
    EXPECT_EQ(view->GetChildCount(), 4);
    EXPECT_EQ(view->GetSelectedPage(), 1);
    EXPECT_THAT(watcher.seen, IsEmpty());
    EXPECT_EQ(view->GetPage(2), nullptr);
    stray->Release();
    strayTab->Release();
}

TEST_F(WidgetTabViewTest, SizePreferencesAddTheTabToTheLargestPage)
{
    cWidgetTabView* view = MakeView(new cWidgetTabView(2, true), 0, {100, 100, 500, 400});
    cProbeWidget* small = cProbeWidget::Make("small");
    cProbeWidget* large = cProbeWidget::Make("large");
    small->minimumSize = {50, 200};
    small->preferredSize = {300, 250};
    large->minimumSize = {100, 40};
    large->preferredSize = {120, 400};
    view->AddPage(0, "S", small, ControlKit::TabButton(false));
    view->AddPage(1, "L", large, ControlKit::TabButton(false));
    view->GetTab(0)->Release();
    view->GetTab(1)->Release();
    small->Release();
    large->Release();
    cVector2 minimum, preferred;
    view->GetSizePreferences(&minimum, &preferred);
    const float tab = Sprite(16).width;
    EXPECT_FLOAT_EQ(minimum.X, tab + 100.0f);
    EXPECT_FLOAT_EQ(minimum.Y, 200.0f);
    EXPECT_FLOAT_EQ(preferred.X, tab + 300.0f);
    EXPECT_FLOAT_EQ(preferred.Y, 400.0f);
}
} // namespace
