#include "ui/ControlFixture.h"

#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetTabView.h"
#include "ui/WidgetTabbedProperties.h"

namespace
{
// Four pages of nothing but their probes.
class cFourPageProperties : public cWidgetTabbedProperties
{
public:
    cFourPageProperties() : cWidgetTabbedProperties(4)
    {
        for (int32_t i = 0; i < 4; ++i)
        {
            cWidgetButton* tab = CreateTabButton(false);
            cProbeWidget* page = cProbeWidget::Make("page");
            GetTabView()->AddPage(i, kTitles[i], page, tab);
            tab->Release();
            page->Release();
        }
    }
    static constexpr const char* kTitles[] = {"Notes", "Velocity", "Length", "Swing"};
};

class WidgetTabbedPropertiesTest : public ControlFixture
{
protected:
    WidgetTabbedPropertiesTest()
    {
        SetupUIMetrics();
        dialogue = new cFourPageProperties();
        dialogue->resultDelegate = recorder.Delegate();
        dialogue->SetName("Part Properties");
        Place(dialogue, {100.0f, 40.0f, 560.0f, 440.0f});
    }
    void TapTab(int32_t index)
    {
        const cRect& tab = dialogue->GetTabView()->GetTab(index)->GetRect();
        Tap(1, (tab.xMin + tab.xMax) * 0.5f, (tab.yMin + tab.yMax) * 0.5f);
    }

    cFourPageProperties* dialogue = nullptr;
};

TEST_F(WidgetTabbedPropertiesTest, ShowKeepsThePageForMinusOneAndCloseReportsThePageShown)
{
    EXPECT_FALSE(dialogue->IsVisible()) << "made hidden";
    dialogue->Show(2);
    Frame();
    EXPECT_TRUE(dialogue->IsVisible());
    EXPECT_EQ(dialogue->GetTabView()->GetSelectedPage(), 2);
    dialogue->Close();
    EXPECT_FALSE(dialogue->IsVisible());
    dialogue->Show(-1);
    Frame();
    EXPECT_EQ(dialogue->GetTabView()->GetSelectedPage(), 2);
    EXPECT_TRUE(dialogue->GetTabView()->GetPage(2)->IsVisible());

    TapTab(1);
    Frame();
    EXPECT_EQ(dialogue->GetTabView()->GetSelectedPage(), 1);
    // The close button.
    const cRect& close = dialogue->GetCloseButton()->GetRect();
    Tap(1, (close.xMin + close.xMax) * 0.5f, (close.yMin + close.yMax) * 0.5f);
    EXPECT_FALSE(dialogue->IsVisible());
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0].value, 2);
    EXPECT_EQ(recorder.calls[1].value, 1);
    EXPECT_EQ(recorder.calls[1].widget, dialogue);
}

TEST_F(WidgetTabbedPropertiesTest, TheTabsStackDownTheLeftOfTheContent)
{
    dialogue->Show(0);
    Frame();
    const cRect& content = dialogue->GetContentRect();
    const cRect& view = dialogue->GetTabView()->GetRect();
    EXPECT_FLOAT_EQ(view.xMin, content.xMin);
    EXPECT_FLOAT_EQ(view.yMin, content.yMin);
    EXPECT_FLOAT_EQ(view.xMax, content.xMax);
    EXPECT_FLOAT_EQ(view.yMax, content.yMax);
    for (int32_t i = 1; i < 4; ++i)
    {
        const cRect& above = dialogue->GetTabView()->GetTab(i - 1)->GetRect();
        const cRect& tab = dialogue->GetTabView()->GetTab(i)->GetRect();
        EXPECT_FLOAT_EQ(tab.xMin, content.xMin);
        EXPECT_FLOAT_EQ(tab.yMin, above.yMax - 1.0f) << "neighbours share a pixel";
        EXPECT_STREQ(dialogue->GetTabView()->GetTab(i)->GetName(), cFourPageProperties::kTitles[i]);
    }
}

TEST_F(WidgetTabbedPropertiesTest, FourPagesAskForTheirTabsOneAboveTheOther)
{
    const float tabHeight = dialogue->GetTabView()->GetTab(0)->background.sprite->height;
    const cRect insets = dialogue->GetFrameInsets();
    for (int32_t deviceClass : {kDeviceClassDesktop, kDeviceClassPhone, kDeviceClassTablet})
    {
        SetDisplayMetricsForClass(deviceClass);
        cVector2 minimum, preferred;
        dialogue->GetSizePreferences(&minimum, &preferred);
        EXPECT_EQ(minimum.X, 0.0f);
        EXPECT_EQ(minimum.Y, 0.0f);
        EXPECT_FLOAT_EQ(preferred.X, deviceClass == kDeviceClassTablet ? 640.0f : 460.0f) << deviceClass;
        EXPECT_FLOAT_EQ(preferred.Y, insets.yMin + insets.yMax + 4.0f * (tabHeight - 1.0f)) << deviceClass;
    }
}
} // namespace
