#include "MainScreenFixture.h"

#include "app/SetupUI.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStatusBar.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetTabView.h"

namespace
{
class SetupScreenTest : public MainScreenFixture
{
};

// The one setup screen stands in the main window, hidden until "MANAGE".
TEST_F(SetupScreenTest, ManageShowsTheSetupScreenOnItsProjectPageAndTheTitleNamesThePage)
{
    auto* setup = dynamic_cast<cSetupUI*>(ui->GetSetupPage());
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(ui->GetMainWindow()->IsChild(setup));
    EXPECT_FALSE(setup->IsVisible());

    TapButton(cWidgetStatusBar::kManage);
    Frame();
    EXPECT_TRUE(setup->IsVisible());
    EXPECT_EQ(menu->GetPageType(), cWidgetMainMenu::kPageManage);
    EXPECT_EQ(setup->GetTabView()->GetSelectedPage(), cSetupUI::kProjectTab);
    EXPECT_STREQ(bar->GetTitleText().CStr(), "") << "no project is open";
    EXPECT_FLOAT_EQ(setup->GetRect().yMin, cWidgetStatusBar::GetBarHeight()) << "under the bar";

    const cRect& help = setup->GetTabView()->GetTab(cSetupUI::kHelpTab)->GetRect();
    TapAt(Centre(help));
    Frame();
    EXPECT_STREQ(bar->GetTitleText().CStr(), "Quilwright Help");

    TapButton(cWidgetStatusBar::kSong);
    Frame();
    EXPECT_FALSE(setup->IsVisible());
    TapButton(cWidgetStatusBar::kManage);
    Frame();
    EXPECT_EQ(setup->GetTabView()->GetSelectedPage(), cSetupUI::kHelpTab) << "the tab chosen last";
    EXPECT_STREQ(bar->GetTitleText().CStr(), "Quilwright Help");
}
} // namespace
