#include <gtest/gtest.h>

#include "PianoRollFixture.h"
#include "base/CriticalSection.h"
#include "editors/EventTypeSelectUI.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

namespace
{
using PianoRollDrawTest = PianoRollFixture;
} // namespace

// The status hint for each gesture and lane, as the user reads it.
TEST_F(PianoRollDrawTest, HintsFollowTheGestureAndTheLane)
{
    static const char* const kNames[] = {"", "Knob", "", "", "", "", "", "Bend"};
    world.package.SetControllerTables(kNames, 8, cPatternEditWorld::kControllers, 2, nullptr, 0);
    world.AddNote(0, 60, 64);
    world.AddNote(256, 64, 64, 90);
    Open();
    EXPECT_EQ(host.hint, "Edit part (track 1) ");

    TapAt(20.0f, 60.0f);
    EXPECT_EQ(host.hint, "C4 001.01.00-001.01.16") << "a selected 64-tick C4 at 0";
    PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectAll);
    EXPECT_EQ(host.hint, "C4-E4 001.01.00-001.02.16");

    const cRect move = roll->GetHandle(cPianoRoll::kHandleMove).dragged;
    const float tickPixels = (roll->GetEditArea().xMax - roll->GetEditArea().xMin) / 1024.0f;
    TouchPoint((move.xMin + move.xMax) * 0.5f, (move.yMin + move.yMax) * 0.5f);
    DragPoint(last.X + 64.0f * tickPixels, last.Y);
    EXPECT_EQ(host.hint, "Move 001.01.16 (+001.01.16)");
    Up(1, last.X, last.Y);
    Frame();

    roll->GetModel().ClearSelection();
    DrawTool(true);
    TouchAt(600.0f, 62.0f);
    EXPECT_EQ(host.hint, "D4 - 1/16");
    DragTo(830.0f, 62.0f);
    EXPECT_EQ(host.hint, "D4 - 4 events 1/16");
    Release(830.0f, 62.0f);
    DrawTool(false);

    struct
    {
        int32_t key;
        bool select;
        const char* hint;
    } lanes[] = {
        {cPianoRoll::kLaneKeyVelocity, false, "Edit part  - Velocity"},
        {cPianoRoll::kLaneKeyVelocity, true, "E4 velocity 090"},
        {0, false, "Edit part  - Knob"},
    };
    for (const auto& lane : lanes)
    {
        roll->SwitchLane(lane.key);
        roll->GetModel().ClearSelection();
        if (lane.select)
            TapAt(340.0f, 80.0f); // the E4, moved to 320
        Frame();
        EXPECT_EQ(host.hint, lane.hint) << lane.key;
    }
    roll->SwitchLane(cPianoRoll::kLaneKeyNotes);

    const cRect strip = roll->GetKeyStrip();
    TouchPoint((strip.xMin + strip.xMax) * 0.5f, 200.0f);
    EXPECT_EQ(host.hint, "Drag to scroll/Dbl tap to zoom");
    Up(1, last.X, last.Y);
    Frame();
    TouchAt(900.0f, 50.0f);
    DragTo(1000.0f, 52.0f);
    EXPECT_EQ(host.hint, "Drag to select");
    Release(1000.0f, 52.0f);
    const cRect button = roll->GetLaneChooser()->GetButtonRect();
    Tap(1, (button.xMin + button.xMax) * 0.5f, (button.yMin + button.yMax) * 0.5f);
    Frame();
    EXPECT_EQ(host.hint, "Select an event type to edit");
}

TEST_F(PianoRollDrawTest, TheEventCountShowsOnlyWithoutASelection)
{
    Open();
    EXPECT_TRUE(DrewText("Empty pattern"));
    {
        cScopedLock lock(world.sequencer.GetLock());
        for (int32_t i = 0; i < 999; ++i)
            cPatternEditWorld::AddNoteTo(world.Pattern(), i * 4, 60, 4, 100);
    }
    world.AddController(0, cPatternEditWorld::kPlainController, 5);
    roll->RebuildForPart(false);
    Frame();
    uint32_t colour = 0;
    ASSERT_TRUE(DrewText("1000/1000 events used", &colour));
    EXPECT_EQ(colour, 0xff4040ffu) << "red when full";
    EXPECT_TRUE(DrewText("(999 note, 1 controller)"));
    TapAt(2.0f, 60.0f);
    Frame();
    EXPECT_FALSE(DrewText("1000/1000 events used"));
    EXPECT_TRUE(DrewText("1/16")) << "the grid's text";
}

// An event reaching far past a zoomed-in window is held at the clip's
// edge, not wrapped round across the screen.
TEST_F(PianoRollDrawTest, QuadsFarOutsideTheWindowAreHeldAtTheClipEdge)
{
    world.AddNote(128, 60, 60000);
    Open();
    roll->ZoomToTicks(0.0f, 256.0f, 0.0f, false);
    Frame();
    ASSERT_EQ(roll->GetDrawnEventCount(), 1);
    const cVertexIntXYColour* v = owner.batch.fillVertices.GetData();
    EXPECT_EQ(v[1].x, INT16_MAX) << "the right edge, some 133000 pixels away";
    EXPECT_EQ(v[3].x, INT16_MAX);
    EXPECT_GT(v[0].x, 0);
}

// A part whose track has no instrument has no key strip, no audition and no
// controller lanes; notes span every MIDI note.
TEST_F(PianoRollDrawTest, APartWithoutAnInstrumentEditsNotesAndVelocitiesOnly)
{
    cTrack* silent = new cTrack();
    world.sequencer.InsertTrack(silent, 5, -1);
    cPatternInstance* part = nullptr;
    {
        cScopedLock lock(world.sequencer.GetLock());
        part = cPatternInstance::CreateWithPrivatePattern();
        part->length = 4096;
        part->pattern->loopLength = 4096;
        silent->InsertPart(part);
    }
    roll->BindPart(part);
    roll->RebuildForPart(true);
    roll->ResetViewForPart();
    Frame();
    EXPECT_FLOAT_EQ(roll->GetValueRangeLow(), 0.0f);
    EXPECT_FLOAT_EQ(roll->GetValueRangeHigh(), 127.0f);
    cEventTypeSelectUI* chooser = roll->GetLaneChooser();
    EXPECT_EQ(chooser->FindKey(0), -1);
    EXPECT_GE(chooser->FindKey(cPianoRoll::kLaneKeyVelocity), 0);
    DrawTool(true);
    world.Take(0);
    TapAt(100.0f, 60.0f);
    EXPECT_EQ(part->pattern->count, 1);
    EXPECT_TRUE(world.Take(0).empty());
    EXPECT_FALSE(roll->IsAuditioning());
}
