#include <gtest/gtest.h>

#include "PianoRollFixture.h"
#include "audio/AudioEvent.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

namespace
{
using PianoRollTest = PianoRollFixture;
using cView = cPianoRoll::cView;
} // namespace

TEST_F(PianoRollTest, DrawingWritesOneNotePerGridCellAndATapOnANoteDeletesIt)
{
    Open();
    DrawTool(true);
    TapAt(100.0f, 60.0f);
    EXPECT_EQ(Notes(), (std::vector<std::pair<int32_t, int32_t>>{{64, 60}}));
    EXPECT_EQ(world.Pattern().head->length, 64);
    EXPECT_EQ(world.Pattern().head->data2, 100) << "a drawn note's velocity";

    // Press at 0, drag over four 1/16 cells of row 62.
    TouchAt(10.0f, 62.0f);
    DragTo(250.0f, 62.0f);
    Release(250.0f, 62.0f);
    EXPECT_EQ(Notes(), (std::vector<std::pair<int32_t, int32_t>>{{0, 62}, {64, 60}, {64, 62}, {128, 62}, {192, 62}}));

    TapAt(80.0f, 60.0f);
    EXPECT_EQ(Notes().size(), 4u) << "the tap on the C4 deleted it";
    EXPECT_EQ(roll->GetState(), cPianoRoll::kIdle);
}

TEST_F(PianoRollTest, AuditionPlaysTheRowOnThePartsInstrumentAndCutsItByItsVoice)
{
    Open();
    DrawTool(true);
    NoteIdCounter = 0x12345678;
    TouchAt(100.0f, 60.0f);
    std::vector<cAudioEvent> events = world.Take(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, kAudioEventNoteOn);
    EXPECT_EQ(events[0].flags, 10u);
    EXPECT_EQ(events[0].slot, 0);
    EXPECT_EQ(events[0].GetNote(), 60);
    EXPECT_EQ(events[0].GetVelocity(), 101) << "127 at 80%";
    EXPECT_EQ(events[0].wordB, 0x02345679u);

    DragTo(100.0f, 64.0f, 2);
    events = world.Take(0);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].type, kAudioEventNoteCut);
    EXPECT_EQ(events[0].wordB, 0x02345679u);
    EXPECT_EQ(events.back().type, kAudioEventNoteOn);
    EXPECT_EQ(events.back().GetNote(), 64);
    const uint32_t voice = events.back().wordB;

    Release(100.0f, 64.0f);
    events = world.Take(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, kAudioEventNoteCut);
    EXPECT_EQ(events[0].wordB, voice);
    EXPECT_FALSE(roll->IsAuditioning());
}

TEST_F(PianoRollTest, NothingIsHeardWithAuditionOffOrSilent)
{
    Open();
    DrawTool(true);
    struct
    {
        int32_t on;
        int32_t volume;
    } cases[] = {{0, 80}, {1, 0}};
    for (const auto& c : cases)
    {
        gSettings.auditionNote = c.on;
        gSettings.auditionNoteVol = c.volume;
        TouchAt(300.0f, 60.0f);
        DragTo(300.0f, 66.0f);
        Release(300.0f, 66.0f);
        EXPECT_TRUE(world.Take(0).empty()) << c.on << " " << c.volume;
    }
    // A quiet setting still sounds at velocity 1.
    gSettings.auditionNote = 1;
    gSettings.auditionNoteVol = 1;
    TouchAt(500.0f, 60.0f);
    const std::vector<cAudioEvent> events = world.Take(0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].GetVelocity(), 1);
    Release(500.0f, 60.0f);
}

TEST_F(PianoRollTest, TapsSelectTheNearestEventAndAddToToggles)
{
    world.AddNote(0, 60, 128);
    world.AddNote(256, 62, 128);
    Open();
    TapAt(60.0f, 60.0f);
    ASSERT_EQ(roll->GetModel().GetSelectionCount(), 1);
    EXPECT_EQ(roll->GetModel().GetSelection().GetFirst()->view->note, 60);
    TapAt(300.0f, 62.0f);
    ASSERT_EQ(roll->GetModel().GetSelectionCount(), 1);
    EXPECT_EQ(roll->GetModel().GetSelection().GetFirst()->view->note, 62);
    TapAt(700.0f, 50.0f);
    EXPECT_EQ(roll->GetModel().GetSelectionCount(), 0) << "a tap on nothing clears";

    PickMenu(cPianoRoll::kToolSelect, cPianoRoll::kSelectAddTo);
    EXPECT_TRUE(roll->IsAddToSelection());
    EXPECT_EQ(host.LastMessage(), "Add to selection ON");
    TapAt(60.0f, 60.0f);
    TapAt(300.0f, 62.0f);
    EXPECT_EQ(roll->GetModel().GetSelectionCount(), 2);
    TapAt(60.0f, 60.0f);
    EXPECT_EQ(roll->GetModel().GetSelectionCount(), 1) << "tapping a selected note drops it";
}

TEST_F(PianoRollTest, ARubberBandStartsPastEightPixels)
{
    world.AddNote(0, 60, 64);
    world.AddNote(128, 61, 64);
    world.AddNote(512, 62, 64);
    Open();
    TapAt(20.0f, 60.0f);
    ASSERT_EQ(roll->GetModel().GetSelectionCount(), 1);
    // Seven pixels keep the tap.
    TouchPoint(X(20.0f), Y(60.0f));
    DragPoint(X(20.0f) + 7.0f, Y(60.0f));
    EXPECT_EQ(roll->GetState(), cPianoRoll::kSelectTap);
    DragPoint(X(300.0f), Y(64.0f));
    EXPECT_EQ(roll->GetState(), cPianoRoll::kRubberBand);
    Up(1, last.X, last.Y);
    Frame();
    EXPECT_EQ(roll->GetModel().GetSelectionCount(), 2) << "the two notes inside the band";
}

TEST_F(PianoRollTest, HandleDragsMoveResizeAndTransposeOnTheGrid)
{
    world.AddNote(64, 60, 64);
    Open();
    TapAt(80.0f, 60.0f);
    const auto drag = [&](int32_t handle, float dx, float dy)
    {
        const cRect r = roll->GetHandle(handle).dragged;
        TouchPoint((r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f);
        DragPoint(last.X + dx, last.Y + dy);
        Up(1, last.X, last.Y);
        Frame();
    };
    const float tickPixels = (roll->GetEditArea().xMax - roll->GetEditArea().xMin) / 1024.0f;
    drag(cPianoRoll::kHandleMove, 150.0f * tickPixels, 0.0f);
    EXPECT_EQ(world.Pattern().head->time, 192) << "64 + 150 snapped to the 1/16 grid";
    drag(cPianoRoll::kHandleLength, 100.0f * tickPixels, 0.0f);
    EXPECT_EQ(world.Pattern().head->length, 192) << "its end, 356, snapped to 384";
    const float rowPixels = (roll->GetEditArea().yMax - roll->GetEditArea().yMin) / 24.0f;
    drag(cPianoRoll::kHandleValue, 0.0f, -3.0f * rowPixels);
    EXPECT_EQ(world.Pattern().head->data1, 63);
    EXPECT_EQ(roll->GetModel().GetStepCount(), 3);
}

TEST_F(PianoRollTest, ARulerTapSetsTheSongPositionToTheNearestBeatOfThePart)
{
    {
        cScopedLock lock(world.sequencer.GetLock());
        world.part->start = 4096;
    }
    Open();
    roll->ZoomToTicks(0.0f, 2048.0f, 0.0f, false);
    Frame();
    const cRect ruler = roll->GetRuler();
    TouchPoint(X(1000.0f), (ruler.yMin + ruler.yMax) * 0.5f);
    Up(1, last.X, last.Y);
    Frame();
    world.sequencer.AdvanceBlock(44100, 128);
    EXPECT_EQ(world.sequencer.GetParamInt(cSequencer::kParamPosition), 5120);
    EXPECT_EQ(host.LastMessage(), "Song position set to 006.01");
}

TEST_F(PianoRollTest, TheRepeatDragChangesOnlySharedPatterns)
{
    Open();
    const cRect ruler = roll->GetRuler();
    const float y = (ruler.yMin + ruler.yMax) * 0.5f;
    roll->ZoomToTicks(0.0f, 8192.0f, 0.0f, false);
    Frame();
    // A private part: only the tap's position.
    TouchPoint(X(1000.0f), y);
    DragPoint(X(3000.0f), y);
    Up(1, last.X, last.Y);
    Frame();
    EXPECT_EQ(world.Pattern().loopLength, 4096);

    cPatternInstance* shared = nullptr;
    {
        cScopedLock lock(world.sequencer.GetLock());
        shared = cPatternInstance::CreateWithSharedPattern();
        shared->start = 8192;
        shared->length = 8192;
        shared->pattern->loopLength = 4096;
        world.track->InsertPart(shared);
    }
    roll->BindPart(shared);
    roll->RebuildForPart(true);
    roll->ZoomToTicks(0.0f, 8192.0f, 0.0f, false);
    Frame();
    TouchPoint(X(1000.0f), y);
    DragPoint(X(2900.0f), y);
    EXPECT_EQ(host.hint, "Repeat pattern every 3 bars");
    Up(1, last.X, last.Y);
    Frame();
    EXPECT_EQ(shared->pattern->loopLength, 3072) << "2900 + a quarter bar, in whole bars";
}

TEST_F(PianoRollTest, PinchingNeverShowsMoreThanTheContentOrLessThan256Ticks)
{
    Open();
    const cRect area = roll->GetEditArea();
    const float cy = (area.yMin + area.yMax) * 0.5f;
    const float cx = (area.xMin + area.xMax) * 0.5f;
    // Two fingers 200 pixels apart closing to 40: zoomed far out, held at 1.05 x 4096.
    Down(1, cx - 100.0f, cy);
    Frame();
    Down(2, cx + 100.0f, cy);
    Frame();
    EXPECT_EQ(roll->GetState(), cPianoRoll::kPinching);
    Move(1, cx - 20.0f, cy);
    Move(2, cx + 20.0f, cy);
    Frame(10);
    EXPECT_FLOAT_EQ(roll->GetView().tickSpan, 1.05f * 4096.0f);
    // Spread to the edges: never under 256 ticks.
    Move(1, area.xMin + 1.0f, cy);
    Move(2, area.xMax - 1.0f, cy);
    Frame(10);
    Move(1, area.xMin - 400.0f, cy);
    Frame(10);
    EXPECT_GE(roll->GetView().tickSpan, 256.0f);
    Up(2, area.xMax - 1.0f, cy);
    Frame();
    EXPECT_EQ(roll->GetState(), cPianoRoll::kScrolling) << "the other finger scrolls on";
    Up(1, area.xMin, cy);
    Frame();
}

TEST_F(PianoRollTest, ScrollModeDragsTheViewAndFlingsOnAfterTheRelease)
{
    Open();
    ClickWidget(roll->GetScrollModeToggle());
    ASSERT_TRUE(roll->IsScrollModeOn());
    roll->ZoomToTicks(1024.0f, 1024.0f, 0.0f, false);
    Frame();
    TouchAt(1500.0f, 60.0f);
    DragTo(1400.0f, 60.0f, 4);
    EXPECT_NEAR(roll->GetView().firstTick, 1124.0f, 1.0f);
    Release(1400.0f, 60.0f);
    const float released = roll->GetView().firstTick;
    Frame(5);
    EXPECT_GT(roll->GetView().firstTick, released) << "the fling goes on";
    Frame(200);
    const float settled = roll->GetView().firstTick;
    Frame(5);
    EXPECT_EQ(roll->GetView().firstTick, settled) << "and spends itself";
    EXPECT_EQ(host.hint, "Drag to scroll/Pinch to zoom");
}

TEST_F(PianoRollTest, DrawingNearTheEdgeScrollsAndAHeldDrawZoomsIn)
{
    Open();
    DrawTool(true);
    roll->ZoomToValues(24.0f, 84.0f, 0.0f, false);
    Frame();
    const cRect area = roll->GetEditArea();
    TouchAt(600.0f, 60.0f);
    const float spanBefore = roll->GetView().valueSpan;
    // Steps of 1/30 s a frame: 0.75 s is 22.5 frames.
    Frame(21);
    EXPECT_EQ(roll->GetView().valueSpan, spanBefore) << "no zoom before 0.75 s";
    Frame(4);
    EXPECT_LT(roll->GetView().valueSpan, spanBefore);
    Frame(30);
    EXPECT_NEAR(roll->GetView().valueSpan, roll->GetMinimumValueSpan(), 0.01f);
    // Into the right band, past the press: the view scrolls by up to 4.7% a frame.
    DragPoint(area.xMax - 1.0f, last.Y, 2);
    const float first = roll->GetView().firstTick;
    Frame();
    EXPECT_NEAR(roll->GetView().firstTick - first, 1024.0f * 0.046875f * (29.0f / 30.0f), 1.0f);
    Up(1, last.X, last.Y);
    Frame(20);
    EXPECT_NEAR(roll->GetView().valueSpan, spanBefore, 0.01f) << "back after the release";
}

// A draw held long enough to zoom in keeps the pressed row under the finger,
// so the note lands where it was pressed, wherever the press was.
TEST_F(PianoRollTest, AHeldDrawZoomsInAroundThePressedRow)
{
    Open();
    DrawTool(true);
    const std::vector<std::pair<int32_t, int32_t>> presses = {{0, 30}, {256, 72}, {512, 100}};
    for (const auto& [tick, row] : presses)
    {
        roll->ZoomToValues(24.0f, 84.0f, 0.0f, false);
        Frame();
        TouchAt(float(tick) + 8.0f, float(row));
        Frame(60);
        EXPECT_NEAR(roll->GetView().valueSpan, roll->GetMinimumValueSpan(), 0.01f) << row;
        EXPECT_EQ(int32_t(roll->YToValue(last.Y)), row) << "the pressed row stays under the finger";
        Up(1, last.X, last.Y);
        Frame(20);
    }
    EXPECT_EQ(Notes(), presses) << "each note where it was pressed";
}

TEST_F(PianoRollTest, AKeyStripDoubleTapZoomsInAndOutAgain)
{
    Open();
    roll->ZoomToValues(24.0f, 84.0f, 0.0f, false);
    Frame();
    const cRect strip = roll->GetKeyStrip();
    const float x = (strip.xMin + strip.xMax) * 0.5f;
    Tap(1, x, Y(60.0f));
    Tap(1, x, Y(60.0f));
    Frame(30);
    EXPECT_FLOAT_EQ(roll->GetView().valueSpan, 11.0f);
    EXPECT_NEAR(roll->GetView().lowestValue + 5.5f, 60.5f, 0.6f);
    Tap(1, x, 300.0f);
    Tap(1, x, 300.0f);
    Frame(30);
    EXPECT_FLOAT_EQ(roll->GetView().valueSpan, 84.0f);
}

TEST_F(PianoRollTest, TheVelocityLaneAlwaysShowsItsWholeRange)
{
    world.AddNote(0, 60, 64);
    Open();
    roll->SwitchLane(cPianoRoll::kLaneKeyVelocity);
    Frame();
    for (bool in : {true, false, true})
    {
        ClickWidget(roll->GetZoomButton(true, in));
        Frame(30);
        EXPECT_FLOAT_EQ(roll->GetView().lowestValue, 0.0f);
        EXPECT_FLOAT_EQ(roll->GetView().valueSpan, 128.0f);
    }
}

TEST_F(PianoRollTest, ThePagesCallsBindResetAndForget)
{
    world.AddNote(6000, 60, 64);
    Open();
    roll->ResetViewForPart();
    EXPECT_EQ(roll->GetLane(), cPatternEditModel::kLaneNotes);
    EXPECT_FLOAT_EQ(roll->GetView().tickSpan, 6064.0f * 1.1f);
    EXPECT_FLOAT_EQ(roll->GetView().lowestValue, 24.0f);
    EXPECT_FLOAT_EQ(roll->GetView().valueSpan, 84.0f);
    roll->GetModel().SelectAll();
    roll->GetModel().DeleteSelected();
    EXPECT_TRUE(roll->GetModel().CanUndo());
    roll->ForgetHistory();
    EXPECT_FALSE(roll->GetModel().CanUndo());
    world.AddNote(0, 61, 64);
    roll->RefreshFromRecorder();
    roll->RebuildForPart(false);
    EXPECT_EQ(roll->GetModel().GetViewCount(), 1);
}
