#include "SongEditFixture.h"

#include "sequencer/Pattern.h"
#include "sequencer/Track.h"

namespace
{
class SongEditModelTest : public cSongEditTest
{
};

TEST_F(SongEditModelTest, ASongOfMoreThanAThousandPartsShowsTheFirstThousandInTrackAndPartOrder)
{
    cTrack* first = world.AddTrack(0);
    cTrack* second = world.AddTrack(1);
    std::vector<cPatternInstance*> parts;
    for (int32_t i = 0; i < 600; ++i)
        parts.push_back(world.AddPrivatePart(first, i * kBar, kBar));
    for (int32_t i = 0; i < 401; ++i)
        parts.push_back(world.AddPrivatePart(second, i * kBar, kBar));
    world.Bind();

    EXPECT_EQ(model.GetViewCount(), 1000);
    EXPECT_NE(ViewOf(parts[999]), nullptr);
    EXPECT_EQ(ViewOf(parts[1000]), nullptr) << "the last part of the second track has no view";
    EXPECT_EQ(ViewOf(parts[600])->top, 1.0f);
    model.SelectAll();
    EXPECT_EQ(model.GetSelectedCount(), 1000);
}

TEST_F(SongEditModelTest, ViewsTakeThePrivateColoursOrTheSharedPairOfTheirPatternNumberModEight)
{
    cTrack* track = world.AddTrack(0);
    const cPatternInstance* own = world.AddPrivatePart(track, 0, kBar);
    const cPatternInstance* three = world.AddSharedPart(track, 3, kBar, kBar, kBar);
    const cPatternInstance* eleven = world.AddSharedPart(track, 11, 2 * kBar, kBar, kBar);
    const cPatternInstance* zero = world.AddSharedPart(track, 0, 3 * kBar, kBar, kBar);
    world.Bind();

    struct
    {
        const cPatternInstance* part;
        uint32_t fill, edge;
    } cases[] = {
        {own, 0xb9ffcf5a, 0xb9ffb400},
        {three, 0xb9f07171, 0xb9bb3c3c},
        {eleven, 0xb9f07171, 0xb9bb3c3c},
        {zero, 0xb97d71f0, 0xb94b3fbb},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(ViewOf(c.part)->fillColour, c.fill) << c.part->patternNumber;
        EXPECT_EQ(ViewOf(c.part)->edgeColour, c.edge) << c.part->patternNumber;
    }
}

TEST_F(SongEditModelTest, SettingAPartsPatternRecoloursItsViewAndMarksTheProjectModified)
{
    cPatternInstance* part = world.AddPrivatePart(world.AddTrack(0), 0, kBar);
    const cPattern* own = part->pattern;
    world.Bind();
    cSongViewInfo info;
    info.rect = {0.0f, 0.0f, 800.0f, 600.0f};
    info.widthTicks = 8.0f * kBar;
    info.rows = 6.0f;
    cDrawList& list = *manager->GetDrawList();
    list.Begin();
    model.Draw(list, cSongEditModel::kGuideNone, info);
    list.End();
    ASSERT_FALSE(model.ArePartsDirty());

    model.SetPartPattern(ViewOf(part), 3);
    EXPECT_EQ(part->patternNumber, 3);
    EXPECT_EQ(part->pattern, world.SharedPattern(3));
    EXPECT_EQ(own->referenceCount, 0) << "the private pattern is let go";
    EXPECT_EQ(ViewOf(part)->fillColour, 0xb9f07171u);
    EXPECT_EQ(ViewOf(part)->edgeColour, 0xb9bb3c3cu);
    EXPECT_TRUE(model.ArePartsDirty());
    EXPECT_TRUE(modified);
    EXPECT_EQ(model.GetStepCount(), 0) << "not a step of the history";
}

TEST_F(SongEditModelTest, HitTestPrefersTheShorterOfOverlappingPartsAndElseTheNearest)
{
    cTrack* track = world.AddTrack(0);
    world.AddTrack(0);
    const cPatternInstance* longPart = world.AddPrivatePart(track, 0, 8 * kBar);
    const cPatternInstance* shortPart = world.AddPrivatePart(track, kBar, kBar);
    const cPatternInstance* lower = world.AddPrivatePart(world.Track(1), 20 * kBar, kBar);
    world.Bind();

    EXPECT_EQ(model.HitTest(1500.0f, 0.5f, 50.0f, 0.2f)->part, shortPart);
    EXPECT_EQ(model.HitTest(4000.0f, 0.5f, 50.0f, 0.2f)->part, longPart);
    EXPECT_EQ(model.HitTest(20 * kBar - 30.0f, 1.1f, 50.0f, 0.2f)->part, lower) << "near, outside";
    EXPECT_EQ(model.HitTest(20 * kBar - 60.0f, 1.1f, 50.0f, 0.2f), nullptr) << "outside the ellipse";
    EXPECT_EQ(model.HitTest(30 * kBar, 0.5f, 50.0f, 0.2f), nullptr);
}

// Inside a part longer than 100000 ticks, a neighbour just outside the
// radius's reach of the point used to win.
TEST_F(SongEditModelTest, APartHoldingThePointWinsHoweverLongItIs)
{
    cTrack* track = world.AddTrack(0);
    const cPatternInstance* longPart = world.AddPrivatePart(track, 0, 200000);
    world.AddPrivatePart(track, 200010, kBar);
    world.Bind();

    EXPECT_EQ(model.HitTest(199995.0f, 0.5f, 50.0f, 0.2f)->part, longPart);
}

TEST_F(SongEditModelTest, MovesSnapTheEarliestStartToTheNearestBarAndStopAtTheSongEdges)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(track, 2 * kBar, kBar);
    world.Bind();
    Select({part});

    struct
    {
        float offset;
        float refused;
        float finalOffset;
    } cases[] = {
        {0.0f, 0.0f, 0.0f},
        {500.0f, 0.0f, 0.0f},            // under half a bar: back to bar 3
        {512.0f, 0.0f, 1024.0f},         // half a bar rounds up
        {-1500.0f, 0.0f, -1024.0f},      // to the nearest bar
        {-2048.0f, 0.0f, -2048.0f},      // bar 1
        {-2600.0f, -1024.0f, -2048.0f},  // past the start: held at bar 1, the rest refused
        {510000.0f, 1024.0f, 508928.0f}, // past the end: ends at 512000
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(model.ConstrainMove(c.offset), c.refused) << c.offset;
        EXPECT_EQ(model.GetBounds().timeOffset, c.finalOffset) << c.offset;
        EXPECT_EQ(model.GetBounds().ghostStart, c.finalOffset) << c.offset;
        EXPECT_EQ(model.GetBounds().earliestStart, 2 * kBar + c.finalOffset) << c.offset;
    }
    EXPECT_EQ(model.GetBounds().latestEnd, 512000.0f);
}

TEST_F(SongEditModelTest, ResizesSnapTheEndToABarAndNeverLeaveAPartUnderABar)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* oneBar = world.AddPrivatePart(track, 0, kBar);
    cPatternInstance* twoBars = world.AddPrivatePart(track, 4 * kBar, 2 * kBar);
    cPatternInstance* nearEnd = world.AddPrivatePart(world.AddTrack(0), 498 * kBar, kBar);
    world.Bind();

    struct
    {
        std::initializer_list<const cPatternInstance*> parts;
        float delta;
        float refused;
        float finalDelta;
    } cases[] = {
        {{oneBar, twoBars}, 600.0f, 0.0f, 1024.0f},
        {{oneBar, twoBars}, 400.0f, 0.0f, 0.0f},
        {{oneBar, twoBars}, -600.0f, 0.0f, 0.0f}, // the one-bar part stays a bar
        {{twoBars}, -600.0f, 0.0f, -1024.0f},
        {{twoBars}, -5000.0f, 0.0f, -1024.0f},
        {{nearEnd}, 5000.0f, 4096.0f, 1024.0f}, // ends at 512000
    };
    for (const auto& c : cases)
    {
        Select(c.parts);
        EXPECT_EQ(model.ConstrainResize(c.delta), c.refused) << c.delta;
        EXPECT_EQ(model.GetBounds().lengthDelta, c.finalDelta) << c.delta;
        EXPECT_GE(model.GetBounds().shortestLength, float(kBar)) << c.delta;
        EXPECT_EQ(model.GetBounds().ghostEnd, c.finalDelta) << c.delta;
    }
}

TEST_F(SongEditModelTest, TrackMovesRoundAndStayOnTheTracks)
{
    for (int i = 0; i < 4; ++i)
        world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(world.Track(1), 0, kBar);
    world.Bind();
    Select({part});

    EXPECT_EQ(model.ConstrainTrackMove(1.4f, 0.0f, 4.0f), 0.0f);
    EXPECT_EQ(model.GetBounds().rowOffset, 1.0f);
    EXPECT_EQ(model.ConstrainTrackMove(1.5f, 0.0f, 4.0f), 0.0f);
    EXPECT_EQ(model.GetBounds().rowOffset, 2.0f);
    EXPECT_EQ(model.ConstrainTrackMove(-3.0f, 0.0f, 4.0f), -2.0f);
    EXPECT_EQ(model.GetBounds().rowOffset, -1.0f);
    EXPECT_EQ(model.ConstrainTrackMove(5.0f, 0.0f, 4.0f), 3.0f);
    EXPECT_EQ(model.GetBounds().rowOffset, 2.0f);
}

TEST_F(SongEditModelTest, DuplicatingNearTheSongEndEndsThereAndAtAThousandPartsDoesNothing)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(track, 510000, 1500);
    world.Bind();
    Select({part});

    EXPECT_EQ(model.DuplicateSelected(), 1);
    const cPatternInstance* copy = Selected().front();
    EXPECT_NE(copy, part);
    EXPECT_EQ(copy->start, 510500);
    EXPECT_EQ(copy->GetEnd(), 512000);

    for (int32_t i = 0; i < 998; ++i)
        world.AddPrivatePart(track, i * 500, 100);
    world.Bind();
    Select({part});
    EXPECT_EQ(model.DuplicateSelected(), 0);
    EXPECT_EQ(model.GetStepCount(), 0);
    EXPECT_EQ(world.sequencer.GetTrackList()->CountParts(), 1000);
}

TEST_F(SongEditModelTest, SelectionCommands)
{
    world.AddTrack(0);
    world.AddTrack(1);
    cPatternInstance* a = world.AddPrivatePart(world.Track(0), 0, kBar);
    cPatternInstance* b = world.AddPrivatePart(world.Track(0), 2 * kBar, kBar);
    cPatternInstance* c = world.AddPrivatePart(world.Track(1), kBar, 2 * kBar);
    cPatternInstance* d = world.AddPrivatePart(world.Track(1), 4 * kBar, kBar);
    world.Bind();
    using tParts = std::vector<const cPatternInstance*>;

    EXPECT_FALSE(model.SelectToEnd()) << "nothing selected, nothing to select";
    EXPECT_FALSE(model.SelectTracksOfSelection());
    Select({b});
    EXPECT_TRUE(model.SelectToEnd());
    EXPECT_EQ(Selected(), (tParts{b, d}));
    Select({c});
    EXPECT_TRUE(model.SelectToStart());
    EXPECT_EQ(Selected(), (tParts{a, b, c}));
    Select({a});
    EXPECT_TRUE(model.SelectTracksOfSelection());
    EXPECT_EQ(Selected(), (tParts{a, b}));
    EXPECT_TRUE(model.InvertSelection());
    EXPECT_EQ(Selected(), (tParts{c, d}));
    EXPECT_TRUE(model.SelectInRect(2 * kBar, 0.5f, 3.5f * kBar, 1.0f)) << "edges count";
    EXPECT_EQ(Selected(), (tParts{b, c}));
    model.SaveSelection();
    model.ToggleSelected(ViewOf(b));
    model.ToggleSelected(ViewOf(a));
    EXPECT_EQ(Selected(), (tParts{c, a}));
    model.RestoreSelection();
    EXPECT_EQ(Selected(), (tParts{b, c}));
    EXPECT_EQ(model.GetBounds().earliestStart, float(kBar));
    EXPECT_EQ(model.GetBounds().latestEnd, 3.0f * kBar);
    EXPECT_EQ(model.GetBounds().lowestRow, 0.0f);
    EXPECT_EQ(model.GetBounds().highestRow, 2.0f);
    const cSongEditModel::cExtent extent = model.GetExtent();
    EXPECT_EQ(extent.latestEnd, 5.0f * kBar);
    EXPECT_EQ(extent.highestRow, 2.0f);
}
} // namespace
