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

// What the song tools dialogue asks of the roll once it comes: each command
// clears the history and says what it did.
TEST_F(SongRollTest, SongToolsCommandsClearTheHistoryAndSayWhatTheyDid)
{
    cPatternInstance* part = world.AddSharedPart(world.AddTrack(0), 2, 0, kBar, kBar);
    world.AddNote(*part->pattern, 0, 60, 256);
    cPattern* unused = world.SharedPattern(9);
    for (int32_t i = 0; i < 5; ++i)
        world.AddNote(*unused, i * 256, 60, 128);
    Build();
    Model().SelectAll();
    Model().MoveSelected(float(kBar), 0.0f);
    ASSERT_EQ(Model().GetStepCount(), 1);

    roll->OnSongToolsCommand(cSongRoll::kClearUnusedPatterns);
    EXPECT_EQ(host.LastMessage(), "5 events cleared");
    EXPECT_EQ(Model().GetStepCount(), 0);
    EXPECT_EQ(unused->count, 0);
    EXPECT_EQ(part->pattern->count, 1) << "a pattern a part plays keeps its events";

    roll->OnSongToolsZoom();
    EXPECT_EQ(host.LastMessage(), "Zoom out");
    EXPECT_FLOAT_EQ(roll->GetTargetView().width, 1.2f * cSongRoll::kMinimumWidth);
    EXPECT_EQ(roll->GetTargetView().left, 0.0f);

    Model().SelectAll();
    Model().DeleteSelected();
    roll->OnSongToolsCommand(cSongRoll::kNewSong);
    EXPECT_EQ(host.LastMessage(), "New song created");
    EXPECT_EQ(Model().GetStepCount(), 0);
    EXPECT_EQ(Model().GetViewCount(), 0);
    const cTrackList& tracks = *world.sequencer.GetTrackList();
    ASSERT_EQ(tracks.GetCount(), 2) << "a track for each instrument";
    EXPECT_EQ(tracks.GetTrack(0)->GetChannel(), 0);
    EXPECT_EQ(tracks.GetTrack(1)->GetChannel(), 1);
    EXPECT_EQ(tracks.CountParts(), 0);
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

namespace
{
class SongRollPanelTest : public cSongRollTest
{
protected:
    void SetUp() override
    {
        a = world.AddTrack(0);
        b = world.AddTrack(0);
        c = world.AddTrack(1);
        Build();
        TapWidget(roll->GetPanelToggle());
        ASSERT_TRUE(roll->IsPanelExpanded());
    }
    cVector2 Cell(int32_t column, int32_t row) const { return Centre(roll->GetPanelCell(column, float(row))); }
    std::vector<int32_t> States() const
    {
        std::vector<int32_t> states;
        for (int32_t i = 0; i < world.sequencer.GetTrackList()->GetCount(); ++i)
            states.push_back(world.Track(i)->GetMuteSolo());
        return states;
    }

    cTrack* a = nullptr;
    cTrack* b = nullptr;
    cTrack* c = nullptr;
};

TEST_F(SongRollPanelTest, MuteAndSoloToggleByTapAndByDragOverRowsOfTracksOnly)
{
    TapAt(Cell(cSongRoll::kColumnMute, 0));
    EXPECT_EQ(States(), (std::vector<int32_t>{cTrack::kMute, 0, 0}));
    EXPECT_TRUE(modified);
    EXPECT_FALSE(a->IsAudible());
    TapAt(Cell(cSongRoll::kColumnMute, 0));
    EXPECT_EQ(States(), (std::vector<int32_t>{0, 0, 0}));

    // Down from the first row past the last track: rows without a track change nothing.
    DragFrom(Cell(cSongRoll::kColumnMute, 0), {Cell(cSongRoll::kColumnMute, 2), Cell(cSongRoll::kColumnMute, 4)});
    EXPECT_EQ(States(), (std::vector<int32_t>{cTrack::kMute, cTrack::kMute, cTrack::kMute}));
    DragFrom(Cell(cSongRoll::kColumnSolo, 2), {Cell(cSongRoll::kColumnSolo, 1)});
    EXPECT_EQ(States(), (std::vector<int32_t>{cTrack::kMute, cTrack::kSolo, cTrack::kSolo}));
    EXPECT_TRUE(b->IsAudible());
    EXPECT_FALSE(a->IsAudible());

    const std::vector<int32_t> before = States();
    TapAt(Cell(cSongRoll::kColumnMute, 4));
    TapAt(Cell(cSongRoll::kColumnSolo, 5));
    EXPECT_EQ(States(), before) << "below the last track";
    EXPECT_EQ(roll->GetTouchMode(), cSongRoll::kIdle);
}

TEST_F(SongRollPanelTest, RecMakesTheInputTrackDelAndAddKeepAnInstrumentBetweenOneAndFourTracks)
{
    TapAt(Cell(cSongRoll::kColumnInput, 1));
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());

    TapAt(Cell(cSongRoll::kColumnDelete, 2));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetCount(), 3) << "slot 1's only track stays";
    TapAt(Cell(cSongRoll::kColumnAdd, 0));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetCount(), 3) << "ADD is only on an instrument's last track";
    for (int32_t added = 0; added < 2; ++added)
        TapAt(Cell(cSongRoll::kColumnAdd, 1 + added));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetGroup(0).end, 4);
    TapAt(Cell(cSongRoll::kColumnAdd, 3));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetGroup(0).end, 4) << "four tracks at most";
    EXPECT_STREQ(Model().GetStep(Model().GetCurrentStep())->GetName(), "Add track");

    TapAt(Cell(cSongRoll::kColumnDelete, 0));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetCount(), 4);
    EXPECT_EQ(world.Track(0), b);
    EXPECT_STREQ(Model().GetStep(Model().GetCurrentStep())->GetName(), "Del track");
    TapAt(Cell(cSongRoll::kColumnDelete, 5));
    TapAt(Cell(cSongRoll::kColumnAdd, 5));
    EXPECT_EQ(world.sequencer.GetTrackList()->GetCount(), 4) << "below the last track";
}
} // namespace

namespace
{
class SongRollMenuTest : public cSongRollTest
{
protected:
    std::vector<bool> Enabled(int32_t tool)
    {
        std::vector<bool> enabled;
        cWidgetComboBox* menu = roll->GetMenu(tool);
        for (int32_t i = 0; i < menu->GetItemCount(); ++i)
            enabled.push_back(menu->GetItem(i)->enabled != 0);
        return enabled;
    }
    void Open(int32_t tool)
    {
        TapWidget(roll->GetMenu(tool));
        Frame();
    }
    void Close(int32_t tool)
    {
        TapWidget(roll->GetMenu(tool));
        Frame();
    }
};

TEST_F(SongRollMenuTest, MenusEnableTheirEntriesByTheSelectionAndSayWhatTheyDid)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* a = world.AddPrivatePart(track, 0, kBar);
    cPatternInstance* b = world.AddPrivatePart(track, kBar, kBar);
    Build();

    Open(cSongRoll::kToolZoom);
    EXPECT_EQ(Enabled(cSongRoll::kToolZoom), (std::vector<bool>{true, false, true, true}));
    Close(cSongRoll::kToolZoom);
    Open(cSongRoll::kToolSelect);
    EXPECT_EQ(Enabled(cSongRoll::kToolSelect), (std::vector<bool>{true, true, false, false, false, true}));
    EXPECT_EQ(roll->GetMenu(cSongRoll::kToolSelect)->GetSelectedItem(), -1);
    Close(cSongRoll::kToolSelect);

    Pick(cSongRoll::kToolSelect, cSongRoll::kSelectAddTo);
    EXPECT_EQ(host.LastMessage(), "Add to selection = ON");
    Open(cSongRoll::kToolSelect);
    EXPECT_EQ(roll->GetMenu(cSongRoll::kToolSelect)->GetSelectedItem(), int32_t(cSongRoll::kSelectAddTo)) << "marked";
    EXPECT_FALSE(roll->GetMenu(cSongRoll::kToolZoom)->IsMenuOpen());
    Close(cSongRoll::kToolSelect);
    TapAt(At(0.5f * kBar, 0.5f));
    TapAt(At(1.5f * kBar, 0.5f));
    EXPECT_EQ(Model().GetSelectedCount(), 2) << "taps add to the selection";
    Pick(cSongRoll::kToolSelect, cSongRoll::kSelectAddTo);
    EXPECT_EQ(host.LastMessage(), "Add to selection = OFF");

    Open(cSongRoll::kToolMore);
    EXPECT_EQ(Enabled(cSongRoll::kToolMore), (std::vector<bool>{false, true, true, true}));
    Close(cSongRoll::kToolMore);
    Pick(cSongRoll::kToolZoom, cSongRoll::kZoomSelection);
    EXPECT_EQ(host.LastMessage(), "Zoom selected parts");
    Pick(cSongRoll::kToolMore, cSongRoll::kMoreJoin);
    EXPECT_EQ(host.LastMessage(), "Parts joined");
    ASSERT_EQ(track->GetPartCount(), 1);
    (void)a;
    (void)b;

    // A split with the song position outside the selection.
    world.sequencer.SetPosition(5 * kBar);
    Pick(cSongRoll::kToolMore, cSongRoll::kMoreSplit);
    EXPECT_TRUE(host.IsAlertShown());
    EXPECT_EQ(host.AlertTitle(), "Split Parts");
    EXPECT_EQ(host.LastMessage(), "0 new parts created");
    host.DismissAlert();
    world.sequencer.SetPosition(kBar);
    Pick(cSongRoll::kToolMore, cSongRoll::kMoreSplit);
    EXPECT_EQ(host.LastMessage(), "1 new parts created");

    Pick(cSongRoll::kToolSelect, cSongRoll::kSelectAll);
    EXPECT_EQ(host.LastMessage(), "2 parts selected");
    Open(cSongRoll::kToolZoom);
    Model().ClearSelection();
    const cRect rect = roll->GetMenu(cSongRoll::kToolZoom)->GetMenuRect();
    const float pitch = roll->GetMenu(cSongRoll::kToolZoom)->itemHeight + roll->GetMenu(cSongRoll::kToolZoom)->itemGap;
    TapAt({0.5f * (rect.xMin + rect.xMax), rect.yMax - 1.5f * pitch});
    EXPECT_EQ(host.LastMessage(), "No parts selected") << "frames all parts instead";
    Pick(cSongRoll::kToolZoom, cSongRoll::kZoomMin);
    EXPECT_EQ(host.LastMessage(), "Zoom out");
}

// The loop is stored with the song, so setting it from the selection is a
// change the auto-save must keep.
TEST_F(SongRollMenuTest, LoopToSelectionLoopsTheSelectedBarsAndMarksTheProjectModified)
{
    cTrack* track = world.AddTrack(0);
    world.AddPrivatePart(track, kBar, kBar);
    world.AddPrivatePart(track, 2 * kBar, 2 * kBar);
    Build();
    gTransport.loopOn = 0;
    Pick(cSongRoll::kToolSelect, cSongRoll::kSelectAll);
    modified = false;
    Pick(cSongRoll::kToolMore, cSongRoll::kMoreLoopToSelection);
    EXPECT_EQ(gTransport.loopStart.load(), kBar);
    EXPECT_EQ(gTransport.loopEnd.load(), 4 * kBar);
    EXPECT_EQ(gTransport.loopOn.load(), 1);
    EXPECT_TRUE(modified.load());
}

TEST_F(SongRollMenuTest, HistoryListsTheStepsNewestFirstAndItsLastEntryUndoesThemAll)
{
    cTrack* track = world.AddTrack(0);
    world.AddPrivatePart(track, 0, kBar);
    Build();
    const cSongRecord first = Song();
    TapAt(At(0.5f * kBar, 0.5f));
    TapWidget(roll->GetTool(cSongRoll::kToolCopy));
    TapWidget(roll->GetTool(cSongRoll::kToolCopy));
    TapWidget(roll->GetTool(cSongRoll::kToolDelete));
    ASSERT_NE(Song(), first);

    Open(cSongRoll::kToolHistory);
    cWidgetComboBox* menu = roll->GetMenu(cSongRoll::kToolHistory);
    ASSERT_EQ(menu->GetItemCount(), 4);
    EXPECT_STREQ(menu->GetItem(0)->text, "3. Delete");
    EXPECT_STREQ(menu->GetItem(1)->text, "2. Copy");
    EXPECT_STREQ(menu->GetItem(2)->text, "1. Copy");
    EXPECT_STREQ(menu->GetItem(3)->text, "...");
    EXPECT_EQ(menu->GetSelectedItem(), 0) << "the current step";
    Close(cSongRoll::kToolHistory);
    Pick(cSongRoll::kToolHistory, 3);
    EXPECT_EQ(Song(), first);
    Open(cSongRoll::kToolHistory);
    EXPECT_EQ(menu->GetSelectedItem(), 3) << "\"...\" marks the song before every step";
}

TEST_F(SongRollMenuTest, PartsUsedShowsWithNothingSelectedAndTurnsRedAtAThousand)
{
    world.AddTrack(0);
    cTrack* full = world.AddTrack(0);
    for (int32_t i = 0; i < 999; ++i)
        world.AddPrivatePart(full, i * 512, 256);
    Build();
    std::optional<cDrawnText> text = FindText("999/1000 parts used");
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->colour, 0xff4040ffu);
    TapWidget(roll->GetTool(cSongRoll::kToolDraw));
    TapAt(At(7.5f * kBar, 0.5f));
    Frame();
    EXPECT_FALSE(FindText("1000/1000 parts used").has_value()) << "hidden while the drawn part is selected";
    TapWidget(roll->GetTool(cSongRoll::kToolDraw));
    TapAt(At(2.5f * kBar, 0.5f));
    Frame();
    text = FindText("1000/1000 parts used");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->colour, 0xff4040ffu);
}
} // namespace
