#include <gtest/gtest.h>

#include "PianoRollFixture.h"
#include "base/CriticalSection.h"
#include "editors/PatternToolsUI.h"
#include "editors/QuantizeSettingsUI.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternTable.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetSpinButton.h"
#include "ui/WidgetTabView.h"

namespace
{
class PatternToolsTest : public PianoRollFixture
{
protected:
    cPatternToolsUI* Tools() const { return roll->GetPatternTools(); }
    void OpenTools()
    {
        Char('T');
        Frame(2);
        ASSERT_TRUE(Tools()->IsVisible());
    }
    void ShowPage(int32_t page)
    {
        ClickWidget(Tools()->GetTabView()->GetTab(page));
        ASSERT_EQ(Tools()->GetTabView()->GetSelectedPage(), page);
    }
    // A switch takes touches on its switch, not its label.
    void TapSwitch(cWidgetButton* toggle)
    {
        const cRect r = toggle->GetTouchRect();
        Tap(7, (r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f);
        Frame();
    }
    void ClickAlertOK()
    {
        Frame(20);
        ClickWidget(host.alert->GetButton(kAlertOK));
        Frame(20);
    }
};
} // namespace

TEST_F(PatternToolsTest, ReopeningShowsTheGridAndIdenticalEvents)
{
    Open();
    OpenTools();
    EXPECT_STREQ(Tools()->GetName(), "Pattern Tools");
    EXPECT_EQ(Tools()->GetTabView()->GetSelectedPage(), cPatternToolsUI::kPageGrid);
    EXPECT_EQ(roll->GetTool(cPianoRoll::kToolTools)->value, 1) << "pressed while open";
    ShowPage(cPatternToolsUI::kPageClean);
    Tools()->GetCleanPanel()->GetKindSpin()->valueDelegate.Invoke(2, Tools()->GetCleanPanel()->GetKindSpin());
    EXPECT_STREQ(Tools()->GetCleanPanel()->GetKindSpin()->GetText(), "All Controller");
    Tools()->Close();
    Frame();
    EXPECT_EQ(roll->GetTool(cPianoRoll::kToolTools)->value, 0);
    OpenTools();
    EXPECT_EQ(Tools()->GetTabView()->GetSelectedPage(), cPatternToolsUI::kPageGrid);
    ShowPage(cPatternToolsUI::kPageClean);
    EXPECT_STREQ(Tools()->GetCleanPanel()->GetKindSpin()->GetText(), "Identical Events");
    EXPECT_EQ(Tools()->GetCleanPanel()->GetKindSpin()->GetValue(), 0);
}

TEST_F(PatternToolsTest, TheCopyButtonNamesWhatItWouldCopy)
{
    cPattern& seven = *cPatternTable::GetInstance()->GetPattern(7);
    cPattern& eight = *cPatternTable::GetInstance()->GetPattern(8);
    {
        cScopedLock lock(world.sequencer.GetLock());
        cPatternEditWorld::AddNoteTo(seven, 0, 60, 64, 100);
        cPatternEditWorld::AddNoteTo(eight, 0, 60, 64, 100);
        cPatternEditWorld::AddNoteTo(eight, 64, 62, 64, 100);
    }
    Open();
    OpenTools();
    ShowPage(cPatternToolsUI::kPageCopy);
    cPatternToolsPanelCopy* copy = Tools()->GetCopyPanel();
    struct
    {
        int32_t source;
        const char* spin;
        const char* button;
        bool enabled;
    } cases[] = {{1, "Pattern 01", "No events", false},
                 {7, "Pattern 07", "Copy 1 event", true},
                 {8, "Pattern 08", "Copy 2 events", true},
                 {120, "Pattern 99", "No events", false}};
    for (const auto& c : cases)
    {
        copy->GetSourceSpin()->valueDelegate.Invoke(c.source, copy->GetSourceSpin());
        Frame();
        EXPECT_STREQ(copy->GetSourceSpin()->GetText(), c.spin) << c.source;
        EXPECT_STREQ(copy->GetCopyButton()->GetName(), c.button) << c.source;
        EXPECT_EQ(copy->GetCopyButton()->IsEnabled(), c.enabled) << c.source;
    }
    copy->GetSourceSpin()->valueDelegate.Invoke(8, copy->GetSourceSpin());
    Frame();
    ClickWidget(copy->GetCopyButton());
    EXPECT_EQ(world.Pattern().count, 2);
    EXPECT_EQ(host.LastMessage(), "2 events copied");
    EXPECT_FALSE(Tools()->IsVisible()) << "copying closes the dialogue";

    // A part on pattern 8 cannot copy from itself.
    Tools()->Show(8);
    Frame();
    ShowPage(cPatternToolsUI::kPageCopy);
    EXPECT_STREQ(copy->GetCopyButton()->GetName(), "Same as dest.");
    EXPECT_FALSE(copy->GetCopyButton()->IsEnabled());
    Tools()->Close();
    cScopedLock lock(world.sequencer.GetLock());
    seven.Clear();
    eight.Clear();
}

TEST_F(PatternToolsTest, CleaningReportsWhatWasRemovedInAnAlert)
{
    for (int32_t value : {10, 10, 10, 10})
        world.AddController(0, cPatternEditWorld::kPlainController, value);
    world.AddNote(0, 60, 64);
    Open();
    OpenTools();
    ShowPage(cPatternToolsUI::kPageClean);
    cPatternToolsPanelClean* clean = Tools()->GetCleanPanel();
    clean->GetKindSpin()->valueDelegate.Invoke(1, clean->GetKindSpin());
    ClickWidget(clean->GetCleanButton());
    EXPECT_FALSE(Tools()->IsVisible());
    ASSERT_TRUE(host.IsAlertShown());
    EXPECT_EQ(host.AlertTitle(), "Clean Redundant Ctrl");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "3 events were removed.");
    EXPECT_EQ(host.LastMessage(), "3 events cleaned");
    ClickAlertOK();
    EXPECT_EQ(world.Pattern().count, 2);
    roll->CleanPattern(1);
    EXPECT_STREQ(host.alert->firstLine.CStr(), "No events were found to clean.");
    host.DismissAlert();
}

TEST_F(PatternToolsTest, SnapToGridOffKeepsIntervalFeelAndSwing)
{
    SetGridQuantizeSettings({1, 6, 0, 0.5f});
    Open();
    OpenTools();
    cPatternToolsPanelGrid* grid = Tools()->GetGridPanel();
    EXPECT_EQ(grid->GetSnapToggle()->value, 1);
    EXPECT_EQ(grid->GetSettingsUI()->settings.interval, 6);
    TapSwitch(grid->GetSnapToggle());
    EXPECT_EQ(gGridQuantizeSettings.on, 0);
    EXPECT_EQ(gGridQuantizeSettings.interval, 6);
    EXPECT_EQ(gGridQuantizeSettings.type, 0);
    EXPECT_FLOAT_EQ(gGridQuantizeSettings.swing, 0.5f);
    EXPECT_FALSE(gGridQuantizeGrid.IsActive()) << "snapping stops";
    TapSwitch(grid->GetSnapToggle());
    EXPECT_EQ(gGridQuantizeSettings.on, 1);
    EXPECT_EQ(gGridQuantizeSettings.interval, 6);
}

TEST_F(PatternToolsTest, PreferencesWriteTheAuditionSettings)
{
    Open();
    OpenTools();
    ShowPage(cPatternToolsUI::kPagePreferences);
    cPatternToolsPanelPreferences* preferences = Tools()->GetPreferencesPanel();
    EXPECT_STREQ(preferences->GetVolumeSpin()->GetText(), "80%");
    EXPECT_EQ(preferences->GetAuditionToggle()->value, 1);
    preferences->GetVolumeSpin()->valueDelegate.Invoke(0, preferences->GetVolumeSpin());
    EXPECT_EQ(gSettings.auditionNoteVol, 0);
    EXPECT_STREQ(preferences->GetVolumeSpin()->GetText(), "0%");
    ClickWidget(preferences->GetAuditionToggle());
    EXPECT_EQ(gSettings.auditionNote, 0);
}
