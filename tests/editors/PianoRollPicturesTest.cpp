#include <gtest/gtest.h>

#include <cstdio>

#include "EditorHostRecorder.h"
#include "PatternEditWorld.h"
#include "base/CriticalSection.h"
#include "editors/EditGeometryBatch.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/PatternToolsUI.h"
#include "editors/PianoRoll.h"
#include "editors/PianoRollOwner.h"
#include "editors/PianoRollRenderer.h"
#include "editors/QuantizeDialogue.h"
#include "mixer/MixingDeskPackage.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/InputManager.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/UIMetrics.h"
#include "RollZoomButtons.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetTabView.h"

namespace
{
class cPictureOwner : public cPianoRollOwner
{
public:
    cEditGeometryBatch* GetEditGeometryBatch() override { return &batch; }
    void ShowSongView() override {}
    cEditGeometryBatch batch;
};

// The piano roll drawn through the real renderer with the generated
// content, on a part of the desk's keyboard: a phrase of notes, a ramp of a
// controller, as a new user meets them.
class PianoRollPicturesTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override
    {
        StartScreen(1024, 768);
        SetupUIMetrics();
        SetKeyStripDrawerFactory(&cPianoRollRenderer::Create);
        desk = std::make_unique<cMixingDeskPackage>();
        keyboard = desk->CreateInstrument(0);
        plain = world.slots.SetSlot(0, keyboard, false);
        host = std::make_unique<cEditorHostRecorder>();
        const int32_t phrase[][3] = {{0, 60, 100},   {256, 64, 90},  {512, 67, 110}, {768, 72, 70},
                                     {1024, 71, 95}, {1280, 67, 80}, {1536, 64, 120}, {1792, 62, 60}};
        for (const auto& n : phrase)
            world.AddNote(n[0], n[1], 192, n[2]);
        // A ramp of the desk's first lane.
        const cInstrumentPackage::cControllerParam& lane = *desk->GetControllerParam(0);
        for (int32_t i = 0; i < 16; ++i)
            world.AddController(i * 128, lane.paramIndex,
                                int32_t(lane.minimum + (lane.maximum - lane.minimum) * (0.1f + 0.05f * float(i))), 16);
        roll = new cPianoRoll(&owner);
        roll->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 1024.0f, 768.0f);
        manager->GetRoot()->AddChild(roll);
        roll->Release();
        roll->BindPart(world.part);
        roll->RebuildForPart(true);
        roll->ResetViewForPart();
        roll->ZoomToTicks(0.0f, 2048.0f, 0.0f, false);
        roll->ZoomToValues(52.0f, 28.0f, 0.0f, false);
        Settle();
    }
    void TearDown() override
    {
        roll->BindPart(nullptr);
        manager->GetRoot()->RemoveChild(roll);
        host.reset();
        world.slots.SetSlot(0, plain, false);
        desk->DestroyInstrument(keyboard);
        desk.reset();
        SetKeyStripDrawerFactory(nullptr);
        OffscreenScreenFixture::TearDown();
    }

    void Settle(int frames = 30)
    {
        for (int i = 0; i < frames; ++i)
            DrawFrame();
    }
    void Touch(int32_t type, float tick, float value)
    {
        touch.id = 1;
        touch.tapCount = 1;
        touch.position = {roll->TickToX(tick) + 0.5f, roll->ValueToY(value + 0.5f)};
        roll->HandleTouch(type, &touch, nullptr);
    }
    void Save(const char* name) { std::printf("saved as %s\n", gl->SaveFrame(name).c_str()); }

    cPatternEditWorld world;
    cPictureOwner owner;
    std::unique_ptr<cMixingDeskPackage> desk;
    cInstrument* keyboard = nullptr;
    cInstrument* plain = nullptr;
    std::unique_ptr<cEditorHostRecorder> host;
    cPianoRoll* roll = nullptr;
    cTouch touch;
};
} // namespace

TEST_F(PianoRollPicturesTest, NotesWithASelectionAndHandles)
{
    Touch(kTouchDown, 530.0f, 67.0f);
    Touch(kTouchUp, 530.0f, 67.0f);
    Settle();
    ASSERT_EQ(roll->GetModel().GetSelectionCount(), 1);
    EXPECT_TRUE(roll->GetHandle(cPianoRoll::kHandleMove).visible);
    Save("piano-roll-selection");
}

TEST_F(PianoRollPicturesTest, ADrawPreviewOverFourCells)
{
    roll->GetTool(cPianoRoll::kToolDraw)->value = 1;
    Touch(kTouchDown, 1100.0f, 58.0f);
    Touch(kTouchMove, 1300.0f, 58.0f);
    Settle(3);
    EXPECT_EQ(roll->GetState(), cPianoRoll::kDrawing);
    Save("piano-roll-draw-preview");
    Touch(kTouchUp, 1300.0f, 58.0f);
}

TEST_F(PianoRollPicturesTest, VelocityAndControllerLanes)
{
    roll->SwitchLane(cPianoRoll::kLaneKeyVelocity);
    Settle();
    Save("piano-roll-velocity");
    roll->SwitchLane(0);
    Settle();
    Save("piano-roll-controller");
}

TEST_F(PianoRollPicturesTest, TheOpenLaneChooser)
{
    cTouch press;
    press.id = 2;
    press.tapCount = 1;
    const cRect button = roll->GetLaneChooser()->GetButtonRect();
    press.position = {(button.xMin + button.xMax) * 0.5f, (button.yMin + button.yMax) * 0.5f};
    roll->HandleTouch(kTouchDown, &press, nullptr);
    roll->HandleTouch(kTouchUp, &press, nullptr);
    Settle();
    EXPECT_TRUE(roll->GetLaneChooser()->IsOpen());
    Save("piano-roll-lane-chooser");
}

TEST_F(PianoRollPicturesTest, QuantizeHistoryAndTheDeleteQuestion)
{
    roll->GetModel().SelectAll();
    roll->GetTool(cPianoRoll::kToolQuantize)->clickDelegate.Invoke(1, roll->GetTool(cPianoRoll::kToolQuantize));
    Settle();
    EXPECT_TRUE(roll->GetQuantizeDialogue()->IsShown());
    Save("piano-roll-quantize");
    roll->GetQuantizeDialogue()->Hide();

    roll->GetModel().Transpose(2);
    roll->GetModel().OffsetVelocity(-10);
    roll->GetModel().Move(64.0f);
    cWidgetComboBox* history = roll->GetMenu(cPianoRoll::kToolHistory);
    history->clickDelegate.Invoke(-1, history);
    history->value = 1;
    Settle();
    Save("piano-roll-history");
    history->CancelInput();

    roll->GetModel().SelectAll();
    roll->GetTool(cPianoRoll::kToolDelete)->clickDelegate.Invoke(0, roll->GetTool(cPianoRoll::kToolDelete));
    Settle();
    EXPECT_TRUE(host->IsAlertShown());
    Save("piano-roll-delete-alert");
    host->DismissAlert();
}

TEST_F(PianoRollPicturesTest, EachPatternToolsTab)
{
    cWidgetButton* tools = roll->GetTool(cPianoRoll::kToolTools);
    tools->clickDelegate.Invoke(0, tools);
    Settle();
    ASSERT_TRUE(roll->GetPatternTools()->IsVisible());
    const char* names[] = {"pattern-tools-grid", "pattern-tools-copy", "pattern-tools-clean", "pattern-tools-preferences"};
    for (int32_t page = 0; page < cPatternToolsUI::kPageCount; ++page)
    {
        roll->GetPatternTools()->GetTabView()->SelectPage(page, true);
        Settle();
        Save(names[page]);
    }
    roll->GetPatternTools()->Close();
}

// The zoom buttons beside the scroll bars keep their skins in their own
// corners, clear of the toolbar's Done button below; nothing on the roll's
// screen overlaps and every text reads.
TEST_F(PianoRollPicturesTest, TheZoomButtonsKeepToTheirCorner)
{
    Save("piano-roll-zoom-buttons");
    EXPECT_EQ(ZoomSkinsOutsideTheirButtons(*roll), "");
    EXPECT_EQ(ScreenFaults(), "");
}
