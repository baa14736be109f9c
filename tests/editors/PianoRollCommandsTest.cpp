#include <gtest/gtest.h>

#include "PianoRollFixture.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "platform/os/KeyTable.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "ui/WidgetAlert.h"

namespace
{
class PianoRollCommandsTest : public PianoRollFixture
{
protected:
    void ClickAlertButton(int32_t index)
    {
        Frame(20);
        ClickWidget(host.alert->GetButton(index));
        Frame(20);
    }
};
} // namespace

TEST_F(PianoRollCommandsTest, DeletingEveryNoteOfAPatternWithControllersAsksFirst)
{
    struct
    {
        int32_t answer;
        int events; // left afterwards
        const char* message;
    } answers[] = {{kAlertCancel, 4, "2 events selected"}, {kAlertNo, 2, "2 events deleted"}, {kAlertOK, 0, "4 events deleted"}};
    for (const auto& a : answers)
    {
        world.AddNote(0, 60, 64);
        world.AddNote(64, 62, 64);
        world.AddController(0, cPatternEditWorld::kPlainController, 10);
        world.AddController(64, cPatternEditWorld::kPlainController, 20);
        Open();
        host.messages.clear();
        PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectAll);
        ASSERT_EQ(roll->GetModel().GetSelectionCount(), 2);
        input->OnKey(1, 0, kKeyDelete);
        input->OnKey(0, 0, kKeyDelete);
        Frame();
        ASSERT_TRUE(host.IsAlertShown());
        EXPECT_EQ(host.AlertTitle(), "Delete All Notes");
        EXPECT_STREQ(host.alert->firstLine.CStr(), "This pattern contains 2 control events.");
        EXPECT_STREQ(host.alert->secondLine.CStr(), "Would you like to delete those too?");
        ClickAlertButton(a.answer);
        EXPECT_FALSE(host.IsAlertShown());
        EXPECT_EQ(world.Pattern().count, a.events) << a.answer;
        EXPECT_EQ(host.LastMessage(), a.message) << a.answer;
        roll->BindPart(nullptr);
        cScopedLock lock(world.sequencer.GetLock());
        world.Pattern().Clear();
        world.Pattern().loopLength = cPatternEditWorld::kPartLength;
    }
}

TEST_F(PianoRollCommandsTest, CopyAndDeleteReportTheirCountsAndNeedASelection)
{
    world.AddNote(0, 60, 64);
    Open();
    EXPECT_FALSE(roll->GetTool(cPianoRoll::kToolDelete)->IsEnabled());
    EXPECT_FALSE(roll->GetTool(cPianoRoll::kToolCopy)->IsEnabled());
    EXPECT_FALSE(roll->GetTool(cPianoRoll::kToolQuantize)->IsEnabled());
    TapAt(20.0f, 60.0f);
    EXPECT_TRUE(roll->GetTool(cPianoRoll::kToolCopy)->IsEnabled());
    Char('C');
    EXPECT_EQ(host.LastMessage(), "1 event copied");
    EXPECT_EQ(Notes(), (std::vector<std::pair<int32_t, int32_t>>{{0, 60}, {64, 60}}));
    ClickWidget(roll->GetTool(cPianoRoll::kToolDelete));
    EXPECT_EQ(host.LastMessage(), "1 event deleted");
    EXPECT_EQ(Notes().size(), 1u);
}

TEST_F(PianoRollCommandsTest, TheQuantizeDialogueIsNamedForTheSelectionAndQuantizesIt)
{
    world.AddNote(10, 60, 64);
    world.AddNote(140, 62, 64);
    Open();
    TapAt(20.0f, 60.0f);
    Char('Q');
    ASSERT_TRUE(roll->GetQuantizeDialogue()->IsShown());
    EXPECT_STREQ(roll->GetQuantizeDialogue()->GetName(), "Quantize 1 Event");
    EXPECT_EQ(roll->GetTool(cPianoRoll::kToolQuantize)->value, 1);
    // Closed by its own close button or a touch outside, the button follows.
    roll->GetQuantizeDialogue()->Hide();
    Frame();
    EXPECT_EQ(roll->GetTool(cPianoRoll::kToolQuantize)->value, 0);
    PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectAll);
    ClickWidget(roll->GetTool(cPianoRoll::kToolQuantize));
    EXPECT_STREQ(roll->GetQuantizeDialogue()->GetName(), "Quantize 2 Events");

    // "None" changes and reports nothing.
    cQuantizeSettings settings = roll->GetQuantizeDialogue()->GetSettingsUI()->settings;
    settings.on = 0;
    host.messages.clear();
    roll->QuantizeSelection(settings);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Notes(), (std::vector<std::pair<int32_t, int32_t>>{{10, 60}, {140, 62}}));

    settings.on = 1;
    roll->QuantizeSelection(settings);
    EXPECT_EQ(Notes(), (std::vector<std::pair<int32_t, int32_t>>{{0, 60}, {128, 62}}));
    EXPECT_EQ(host.LastMessage(), "2 events quantized to 1/16");
    EXPECT_FALSE(roll->GetQuantizeDialogue()->IsShown());
}

TEST_F(PianoRollCommandsTest, MenusEnableByTheSelectionAndTheDrawnEvents)
{
    Open();
    const auto enabled = [&](int32_t tool, int32_t item) { return roll->GetMenu(tool)->GetItem(item)->enabled; };
    Char('Z');
    EXPECT_FALSE(enabled(cPianoRoll::kToolZoom, cPianoRoll::kZoomSelection));
    EXPECT_FALSE(enabled(cPianoRoll::kToolZoom, cPianoRoll::kZoomAll));
    EXPECT_TRUE(enabled(cPianoRoll::kToolZoom, cPianoRoll::kZoomMin));
    Char('S');
    EXPECT_FALSE(roll->GetMenu(cPianoRoll::kToolZoom)->IsMenuOpen()) << "one menu at a time";
    EXPECT_TRUE(enabled(cPianoRoll::kToolSelect, cPianoRoll::kSelectAll));
    EXPECT_TRUE(enabled(cPianoRoll::kToolSelect, cPianoRoll::kSelectInverse));
    EXPECT_FALSE(enabled(cPianoRoll::kToolSelect, cPianoRoll::kSelectNote));
    EXPECT_FALSE(enabled(cPianoRoll::kToolSelect, cPianoRoll::kSelectToEnd));
    roll->GetMenu(cPianoRoll::kToolSelect)->CancelInput();

    world.AddNote(0, 60, 64);
    world.AddNote(512, 60, 64);
    world.AddNote(256, 64, 64);
    roll->RebuildForPart(false);
    Frame();
    TapAt(20.0f, 60.0f);
    Char('Z');
    EXPECT_TRUE(enabled(cPianoRoll::kToolZoom, cPianoRoll::kZoomSelection));
    EXPECT_TRUE(enabled(cPianoRoll::kToolZoom, cPianoRoll::kZoomAll));
    PickMenu(cPianoRoll::kToolZoom, cPianoRoll::kZoomSelection);
    EXPECT_EQ(host.LastMessage(), "Zoom selected events");
    PickMenu(cPianoRoll::kToolZoom, cPianoRoll::kZoomMin);
    EXPECT_EQ(host.LastMessage(), "Zoom out");
    PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectNote);
    EXPECT_EQ(host.LastMessage(), "2 events selected");
    PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectAddTo);
    EXPECT_EQ(host.LastMessage(), "Add to selection ON");
    Char('S');
    EXPECT_EQ(roll->GetMenu(cPianoRoll::kToolSelect)->GetSelectedItem(), cPianoRoll::kSelectAddTo) << "checked";
    PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectAddTo);
    EXPECT_EQ(host.LastMessage(), "Add to selection OFF");
}

TEST_F(PianoRollCommandsTest, TheHistoryMenuUndoesToAStepAndRedoesFromTheTop)
{
    Open();
    DrawTool(true);
    for (float tick : {0.0f, 256.0f, 512.0f})
        TapAt(tick + 10.0f, 60.0f);
    ASSERT_EQ(Notes().size(), 3u);
    Char('H');
    cWidgetComboBox* menu = roll->GetMenu(cPianoRoll::kToolHistory);
    ASSERT_EQ(menu->GetItemCount(), 4);
    EXPECT_STREQ(menu->GetItem(0)->text, "3. Draw note");
    EXPECT_STREQ(menu->GetItem(3)->text, "...");
    EXPECT_EQ(menu->GetSelectedItem(), 0) << "the current step";
    menu->CancelInput();
    PickMenu(cPianoRoll::kToolHistory, 3);
    EXPECT_TRUE(Notes().empty());
    PickMenu(cPianoRoll::kToolHistory, 0);
    EXPECT_EQ(Notes().size(), 3u);
}

TEST_F(PianoRollCommandsTest, LanesSwitchAndDoneReturnsToNotesThenToTheSong)
{
    world.AddNote(0, 60, 64, 90);
    Open();
    roll->ZoomToValues(55.0f, 12.0f, 0.0f, false);
    Frame();
    roll->SwitchLane(cPianoRoll::kLaneKeyVelocity);
    Frame();
    EXPECT_EQ(roll->GetLane(), cPatternEditModel::kLaneVelocity);
    EXPECT_FLOAT_EQ(roll->GetValueRangeHigh(), 128.0f);
    roll->SwitchLane(0);
    Frame();
    EXPECT_EQ(roll->GetLane(), cPatternEditModel::kLaneController);
    EXPECT_FLOAT_EQ(roll->GetValueRangeLow(), 0.0f);
    EXPECT_FLOAT_EQ(roll->GetValueRangeHigh(), 127.0f);
    input->OnKey(1, 0, kKeyEnter);
    input->OnKey(0, 0, kKeyEnter);
    Frame();
    EXPECT_EQ(roll->GetLane(), cPatternEditModel::kLaneNotes);
    EXPECT_FLOAT_EQ(roll->GetView().lowestValue, 55.0f) << "the note rows shown before";
    EXPECT_FLOAT_EQ(roll->GetView().valueSpan, 12.0f);
    EXPECT_EQ(owner.songViews, 0);
    ClickWidget(roll->GetTool(cPianoRoll::kToolDone));
    EXPECT_EQ(owner.songViews, 1);
}

TEST_F(PianoRollCommandsTest, ZoomButtonsHalveAndDoubleAroundTheSelection)
{
    world.AddNote(2048, 60, 256);
    Open();
    roll->ZoomToTicks(0.0f, 4096.0f, 0.0f, false);
    Frame();
    TapAt(2100.0f, 60.0f);
    ClickWidget(roll->GetZoomButton(false, true));
    Frame(30);
    EXPECT_FLOAT_EQ(roll->GetView().tickSpan, 2048.0f);
    EXPECT_FLOAT_EQ(roll->GetView().firstTick, 2176.0f - 1024.0f);
    ClickWidget(roll->GetZoomButton(false, false));
    Frame(30);
    EXPECT_FLOAT_EQ(roll->GetView().tickSpan, 4096.0f);
}
