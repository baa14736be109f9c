#include "SongRollFixture.h"

#include "audio/Transport.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetScrollBar.h"

namespace
{
class SongRollTest : public cSongRollTest
{
protected:
    // The position the sequencer's queue sets, as the audio thread would take it; -1 for none.
    int32_t TakePositionEvent()
    {
        world.sequencer.SetPosition(-1);
        world.sequencer.DrainEvents();
        return gTransport.position.load();
    }
};

TEST_F(SongRollTest, AMovePastTheStartStopsAtBarOneAndTurnsBackAtOnce)
{
    cPatternInstance* part = world.AddPrivatePart(world.AddTrack(0), 2 * kBar, kBar);
    Build();
    TapAt(At(2.5f * kBar, 0.5f));
    ASSERT_EQ(Model().GetSelectedCount(), 1);
    Frame(20);
    const cVector2 handle = roll->GetHandle(cSongRoll::kHandleMove).position;

    Down(1, handle.X, handle.Y);
    Frame();
    EXPECT_EQ(roll->GetTouchMode(), cSongRoll::kMoving);
    // Far past the start, into the header.
    Move(1, roll->GetRollArea().xMin - 30.0f, handle.Y);
    Frame();
    EXPECT_EQ(Model().GetBounds().earliestStart, 0.0f) << "held at bar 1";
    EXPECT_EQ(host.hint, "Move to bar 001 (-2)");
    // A little over half a bar back.
    const float back = At(0.6f * kBar, 0.0f).X;
    Move(1, back, handle.Y);
    Frame();
    EXPECT_EQ(Model().GetBounds().earliestStart, float(kBar)) << "back at once";
    Up(1, back, handle.Y);
    Frame();
    EXPECT_EQ(part->start, kBar);
    EXPECT_EQ(roll->GetTouchMode(), cSongRoll::kIdle);
    EXPECT_STREQ(Model().GetStep(0)->GetName(), "Move");
}

TEST_F(SongRollTest, ARightButtonPinchWithin60PixelsAcrossChangesOnlyTheRows)
{
    for (int i = 0; i < 12; ++i)
        world.AddTrack(0);
    Build();
    roll->ZoomRows(0.0f, 12.0f, 0.0f, false);
    const cSongRoll::cView before = roll->GetView();
    const cVector2 press = At(3 * kBar, 2.5f);
    cMouseTouchTranslator::OnButtonDown(*input, cMouseTouchTranslator::kRight, false, press.X, press.Y);
    Frame();
    for (int step = 1; step <= 10; ++step)
    {
        cMouseTouchTranslator::OnMove(*input, press.X + 2.5f * float(step), press.Y + 12.0f * float(step));
        Frame();
    }
    EXPECT_EQ(roll->GetTouchMode(), cSongRoll::kPinching);
    cMouseTouchTranslator::OnButtonUp(*input, cMouseTouchTranslator::kRight, press.X + 25.0f, press.Y + 120.0f);
    Frame();
    EXPECT_EQ(roll->GetView().width, before.width);
    EXPECT_EQ(roll->GetView().left, before.left);
    EXPECT_LT(roll->GetView().rows, before.rows * 0.75f) << "fingers 240 pixels apart down zoom the rows in";
}

TEST_F(SongRollTest, ARulerTapSetsTheSongPositionToTheNearestBar)
{
    world.AddTrack(0);
    Build();
    struct
    {
        float tick;
        int32_t position;
        const char* text;
    } cases[] = {
        {1536.0f, 2048, "Song position set to bar 3"},
        {1530.0f, 1024, "Song position set to bar 2"},
        {200.0f, 0, "Song position set to bar 1"},
    };
    for (const auto& c : cases)
    {
        const cRect ruler = roll->GetRuler();
        TapAt({roll->TickToX(c.tick) + 0.01f, 0.5f * (ruler.yMin + ruler.yMax)});
        EXPECT_EQ(host.LastMessage(), c.text) << c.tick;
        EXPECT_EQ(TakePositionEvent(), c.position) << c.tick;
    }
}

TEST_F(SongRollTest, ATapOnALoopMarkerSetsThePositionAndADragMovesTheLoop)
{
    world.AddTrack(0);
    Build();
    world.sequencer.SetLoopRange(kBar, 4 * kBar);
    const float y = 0.5f * (roll->GetRuler().yMin + roll->GetRuler().yMax);
    TapAt({roll->TickToX(4 * kBar) + 3.0f, y});
    EXPECT_EQ(TakePositionEvent(), 4 * kBar);
    EXPECT_EQ(gTransport.loopEnd.load(), 4 * kBar);
    EXPECT_FALSE(modified);

    DragFrom({roll->TickToX(4 * kBar), y}, {{roll->TickToX(5.5f * kBar), y}, {roll->TickToX(6.1f * kBar), y}});
    EXPECT_EQ(gTransport.loopStart.load(), kBar);
    EXPECT_EQ(gTransport.loopEnd.load(), 6 * kBar);
    EXPECT_TRUE(modified) << "the loop is kept with the song";
}

TEST_F(SongRollTest, WithNothingSelectedDeleteCopyAndMoreHideAndEditIsDisabled)
{
    cPatternInstance* part = world.AddPrivatePart(world.AddTrack(0), 0, kBar);
    Build();
    EXPECT_FALSE(roll->GetTool(cSongRoll::kToolDelete)->IsVisible());
    EXPECT_FALSE(roll->GetTool(cSongRoll::kToolCopy)->IsVisible());
    EXPECT_FALSE(roll->GetTool(cSongRoll::kToolMore)->IsVisible());
    EXPECT_FALSE(roll->GetTool(cSongRoll::kToolEdit)->IsEnabled());
    EXPECT_TRUE(roll->GetTool(cSongRoll::kToolDraw)->IsVisible());

    TapAt(At(0.5f * kBar, 0.5f));
    EXPECT_TRUE(roll->GetTool(cSongRoll::kToolDelete)->IsVisible());
    EXPECT_TRUE(roll->GetTool(cSongRoll::kToolMore)->IsVisible());
    EXPECT_TRUE(roll->GetTool(cSongRoll::kToolEdit)->IsEnabled());
    TapWidget(roll->GetTool(cSongRoll::kToolEdit));
    EXPECT_EQ(owner.edited, (std::vector<cPatternInstance*>{part}));
    TapWidget(roll->GetTool(cSongRoll::kToolCopy));
    EXPECT_EQ(host.LastMessage(), "1 part copied");
    TapWidget(roll->GetTool(cSongRoll::kToolDelete));
    EXPECT_EQ(host.LastMessage(), "1 part deleted");
    EXPECT_FALSE(roll->GetTool(cSongRoll::kToolDelete)->IsVisible());
}

TEST_F(SongRollTest, DoubleTapsOpenAPartInThePianoRollAndAHeadersInstrumentPage)
{
    world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(world.AddTrack(1), kBar, kBar);
    Build();
    const cVector2 onPart = At(1.5f * kBar, 1.5f);
    Tap(1, onPart.X, onPart.Y);
    Tap(1, onPart.X, onPart.Y);
    Frame();
    EXPECT_EQ(owner.edited, (std::vector<cPatternInstance*>{part}));

    const float headerX = 0.5f * (roll->GetHeaderColumn().xMin + roll->GetHeaderColumn().xMax);
    const float y = roll->RowToY(1.5f);
    Tap(1, headerX, y);
    Tap(1, headerX, y);
    Frame();
    EXPECT_EQ(projectHost.pages, (std::vector<std::pair<int32_t, int32_t>>{{2, 1}}));
    const float below = roll->RowToY(3.5f);
    Tap(1, headerX, below);
    Tap(1, headerX, below);
    Frame();
    EXPECT_EQ(projectHost.pages.size(), 1u) << "no track there";
}

TEST_F(SongRollTest, DrawingBackFromBarThreeToBarOneOnTrackTwoShowsTheSpanAndMakesAThreeBarPart)
{
    world.AddTrack(0);
    world.AddTrack(0);
    Build();
    TapWidget(roll->GetTool(cSongRoll::kToolDraw));
    ASSERT_TRUE(roll->IsDrawToolOn());
    EXPECT_EQ(host.hint, "Tap/drag to add/remove parts");
    const cVector2 from = At(2.5f * kBar, 1.5f);
    Down(1, from.X, from.Y);
    Frame();
    const cVector2 to = At(0.3f * kBar, 1.5f);
    Move(1, to.X, to.Y);
    Frame();
    EXPECT_EQ(host.hint, "Track 2 001 - 003 (length 3)");
    EXPECT_EQ(host.LastMessage(), "Track 2 001 - 003 (length 3)");
    Up(1, to.X, to.Y);
    Frame();
    const cTrack* track = world.Track(1);
    ASSERT_EQ(track->GetPartCount(), 1);
    EXPECT_EQ(track->GetFirstPart()->start, 0);
    EXPECT_EQ(track->GetFirstPart()->length, 3 * kBar);

    // A tap below the last track draws nothing.
    TapAt(At(5.5f * kBar, 3.5f));
    EXPECT_EQ(Model().GetStepCount(), 1);
}

TEST_F(SongRollTest, AddInstrIsRefusedAtSixtyFourTracks)
{
    for (int i = 0; i < 63; ++i)
        world.AddTrack(i % 2);
    Build();
    EXPECT_TRUE(roll->AddInstrumentTrack(&world.package, "Added", 4));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetCount(), 64);
    EXPECT_FALSE(roll->AddInstrumentTrack(&world.package, "Refused", 5));
    EXPECT_EQ(world.slots.GetInstrument(5), nullptr);
    EXPECT_EQ(Model().GetStepCount(), 1);
    EXPECT_TRUE(roll->RemoveInstrumentTrack(4));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetCount(), 63);
}
} // namespace
