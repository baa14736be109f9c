#include "SetupFixture.h"

#include <cmath>

#include "app/SetupPanelGlobal.h"
#include "app/SetupPanelHelp.h"
#include "app/SetupPanelMIDI.h"
#include "app/SetupUI.h"
#include "project/ui/SetupPanelProject.h"
#include "ui/WidgetTabView.h"

namespace
{
class SetupUITest : public SetupFixture
{
protected:
    cSetupUI* MakeScreen(float width = kScreenWidth)
    {
        screen = Place(new cSetupUI(browserHost), {0.0f, 0.0f, width, kScreenHeight});
        Frame();
        return screen;
    }
    cWidgetTabView* Tabs() const { return screen->GetTabView(); }
    void TapTab(int32_t index) { TapButton(Tabs()->GetTab(index)); }

    cSetupUI* screen = nullptr;
};

TEST_F(SetupUITest, FourTabsAsWideAsAQuarterOfTheScreenButNeverMoreThan160)
{
    const char* const titles[] = {"Project", "Settings", "Help", "MIDI"};
    for (float width : {400.0f, 500.0f, 640.0f})
    {
        SCOPED_TRACE(width);
        root->RemoveAllChildren();
        MakeScreen(width);
        const float expected = std::fmin(160.0f, std::round(width / 4.0f));
        ASSERT_EQ(Tabs()->GetPageCount(), 4);
        for (int32_t i = 0; i < 4; ++i)
        {
            const cRect& tab = Tabs()->GetTab(i)->GetRect();
            EXPECT_STREQ(Tabs()->GetTab(i)->GetName(), titles[i]);
            EXPECT_FLOAT_EQ(tab.xMax - tab.xMin, expected) << titles[i];
            // Neighbours share their border pixel.
            EXPECT_FLOAT_EQ(tab.xMin, float(i) * (expected - 1.0f)) << titles[i];
            if (cWidget* page = Tabs()->GetPage(i))
            {
                EXPECT_STREQ(page->GetName(), titles[i]);
            }
        }
    }
}

TEST_F(SetupUITest, TheScreenOpensOnTheProjectPage)
{
    engine.OpenProject();
    MakeScreen();
    ASSERT_NE(dynamic_cast<cSetupPanelProject*>(Tabs()->GetPage(cSetupUI::kProjectTab)), nullptr);
    EXPECT_EQ(Tabs()->GetSelectedPage(), cSetupUI::kProjectTab);
    EXPECT_TRUE(Tabs()->GetPage(cSetupUI::kProjectTab)->IsVisible());
    EXPECT_EQ(Tabs()->GetTab(cSetupUI::kProjectTab)->value, 1);
    for (int32_t i = 1; i < 4; ++i)
    {
        EXPECT_FALSE(Tabs()->GetPage(i)->IsVisible()) << i;
        EXPECT_EQ(Tabs()->GetTab(i)->value, 0) << i;
    }
}

TEST_F(SetupUITest, TheTitleFollowsATabChangeWithinOneFrame)
{
    engine.OpenProject();
    MakeScreen();
    const struct
    {
        int32_t tab;
        const char* title;
    } steps[] = {{cSetupUI::kHelpTab, "Quilwright Help"},
                 {cSetupUI::kMIDITab, "MIDI Devices"},
                 {cSetupUI::kSettingsTab, "Global Settings"}};
    for (const auto& step : steps)
    {
        host.title.clear();
        TapTab(step.tab);
        Frame();
        EXPECT_EQ(host.title, step.title);
    }

    TapTab(cSetupUI::kMIDITab);
    Frame();
    auto* midi = static_cast<cSetupPanelMIDI*>(Tabs()->GetPage(cSetupUI::kMIDITab));
    TapButton(midi->GetMappingsButton());
    Frame();
    EXPECT_EQ(host.title, "MIDI Mappings");
}

TEST_F(SetupUITest, ShownAgainItKeepsItsTab)
{
    MakeScreen();
    TapTab(cSetupUI::kHelpTab);
    Frame();
    screen->SetVisible(false);
    Frame();
    host.title.clear();
    screen->SetVisible(true);
    Frame();
    EXPECT_EQ(Tabs()->GetSelectedPage(), cSetupUI::kHelpTab);
    EXPECT_TRUE(Tabs()->GetPage(cSetupUI::kHelpTab)->IsVisible());
    EXPECT_EQ(host.title, "Quilwright Help");
}
} // namespace
