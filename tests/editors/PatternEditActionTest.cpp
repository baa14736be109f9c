#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "PatternEditFixture.h"
#include "base/CriticalSection.h"
#include "sequencer/PatternTable.h"

namespace
{
using cModel = cPatternEditModel;
using cAction = cPatternEditAction;
using tRecords = std::vector<cEventRecord>;
constexpr int32_t kPlain = cPatternEditWorld::kPlainController;
constexpr int32_t kSharedSource = 5;

// Notes well after a run of controllers, no two events on one tick, so
// patterns compare event by event.
class cActionTest : public cPatternEditTest
{
protected:
    void AddFixture()
    {
        n0 = world.AddNote(1000, 60, 100, 100);
        n1 = world.AddNote(1128, 62, 60, 120);
        n2 = world.AddNote(1256, 60, 30, 10);
        n3 = world.AddNote(1600, 64, 200, 90);
        const int32_t controllers[][2] = {{0, 100}, {8, 3000}, {20, 110}, {40, 10}, {60, 20}};
        for (const auto& c : controllers)
            world.AddController(c[0], kPlain, c[1]);
        world.AddController(80, cPatternEditWorld::kCentredController, -300);
        cScopedLock lock(world.sequencer.GetLock());
        cPattern& shared = *cPatternTable::GetInstance()->GetPattern(kSharedSource);
        cPatternEditWorld::AddNoteTo(shared, 2, 40, 100, 70);
        cPatternEditWorld::AddNoteTo(shared, 3000, 41, 1000, 70);
        cPatternEditWorld::AddNoteTo(shared, 4000, 42, 200, 70); // ends past the loop
        cPatternEditWorld::AddNoteTo(shared, 4010, 43, 10, 70);
    }

    void Lane(int32_t lane, int32_t controller = 0) { model.SetLane(lane, controller, false); }

    cPatternEvent* n0 = nullptr;
    cPatternEvent* n1 = nullptr;
    cPatternEvent* n2 = nullptr;
    cPatternEvent* n3 = nullptr;
};

const cQuantizeGrid kNoGrid;
} // namespace

TEST_F(cActionTest, EveryKindIsUndoneAndRedoneExactly)
{
    struct cCase
    {
        const char* name;
        cAction::eKind kind;
        std::function<void()> setUp;
        std::function<int32_t()> edit;
    };
    const cCase cases[] = {
        {"transpose", cAction::kTranspose, [&] { Select({n0, n2}); }, [&] { return model.Transpose(5); }},
        {"offset velocity", cAction::kOffsetVelocity, [&] { Select({n1, n3}); },
         [&] { return model.OffsetVelocity(-20); }},
        {"offset controller", cAction::kOffsetController, [&] { Lane(2), model.SelectAll(); },
         [&] { return model.OffsetController(50); }},
        {"length", cAction::kLength, [&] { Select({n0}); }, [&] { return model.ChangeLength(30.0f); }},
        {"move", cAction::kMove, [&] { Select({n3, n0}); }, [&] { return model.Move(100.0f); }},
        {"quantize positions", cAction::kQuantize, [&] { Select({n1, n2}); },
         [&] { return model.Quantize(cAction::kQuantizePosition, 128.0f, 21.0f); }},
        {"quantize lengths", cAction::kQuantize, [&] { Select({n1, n2}); },
         [&] { return model.Quantize(cAction::kQuantizeLength, 64.0f, 0.0f); }},
        {"quantize ends", cAction::kQuantize, [&] { Select({n1, n2}); },
         [&] { return model.Quantize(cAction::kQuantizeEnd, 64.0f, 0.0f); }},
        {"delete", cAction::kDelete, [&] { Select({n2, n1}); }, [&] { return model.DeleteSelected(); }},
        {"delete all", cAction::kDeleteAll, [] {}, [&] { return model.DeleteAll(); }},
        {"copy", cAction::kCopy, [&] { Select({n0, n1}); }, [&] { return model.CopySelection(Grid(256.0f)); }},
        {"copy pattern", cAction::kCopyPattern, [] {}, [&] { return model.CopyPattern(kSharedSource); }},
        {"clean identical", cAction::kClean, [&] { world.AddNote(1128, 62, 30, 50), world.Rebuild(); },
         [&] { return model.Clean(cAction::kCleanIdentical); }},
        {"clean redundant controllers", cAction::kClean, [] {},
         [&] { return model.Clean(cAction::kCleanRedundantControllers); }},
        {"clean all controllers", cAction::kClean, [] {}, [&] { return model.Clean(cAction::kCleanAllControllers); }},
        {"draw notes", cAction::kDrawNote, [] {}, [&] { return model.DrawNotes(1000.0f, 1300.0f, 60.0f, Grid(64.0f)); }},
        {"draw velocities", cAction::kDrawVelocity, [] {},
         [&] { return model.DrawVelocities(1700.0f, 1000.0f, 120.0f, 10.0f); }},
        {"draw controllers", cAction::kDrawController, [&] { Lane(2); },
         [&] { return model.DrawControllers(0.0f, 100.0f, 0.0f, 127.0f, kNoGrid); }},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        {
            cScopedLock lock(world.sequencer.GetLock());
            world.Pattern().Clear();
            cPatternTable::GetInstance()->GetPattern(kSharedSource)->Clear();
        }
        AddFixture();
        world.Rebuild();
        Lane(cModel::kLaneNotes);
        c.setUp();
        const tRecords before = Pattern();

        c.edit();
        ASSERT_EQ(model.GetStepCount(), 1);
        const cAction* action = model.GetStep(0);
        EXPECT_EQ(action->kind, c.kind);
        const tRecords after = Pattern();
        const tRecords selected = SelectedRecords();
        EXPECT_NE(after, before);
        EXPECT_EQ(action->GetEventCount(), int32_t(after.size()));

        for (int pass = 0; pass < 2; ++pass)
        {
            EXPECT_EQ(model.UndoStep(), action);
            EXPECT_EQ(Pattern(), before);
            EXPECT_EQ(action->GetState(), cAction::kUndone);
            EXPECT_EQ(model.RedoStep(), action);
            EXPECT_EQ(Pattern(), after);
            EXPECT_EQ(SelectedRecords(), selected);
        }
    }
}

TEST_F(cActionTest, KindsHaveTheirNames)
{
    const char* const names[] = {"",         "Transpose", "Offset vel", "Offset ctrl", "Length",
                                 "Move",     "Quantize",  "Delete",     "Delete all",  "Copy",
                                 "Copy ptn", "Clean",     "Draw note",  "Draw vel",    "Draw ctrl"};
    cAction action(&model);
    for (uint32_t kind = 0; kind < cAction::kKindCount; ++kind)
    {
        action.kind = cAction::eKind(kind);
        EXPECT_STREQ(action.GetName(), names[kind]);
    }
}

TEST_F(cActionTest, DrawingNotes)
{
    using N = cEventRecord;
    const struct
    {
        const char* name;
        tRecords existing;
        float a, b;
        cQuantizeGrid grid;
        tRecords expected;
        int32_t change;
    } cases[] = {
        {"a tap on a note of the row deletes it", {N::Note(1000, 60, 100)}, 1050.0f, 1052.0f, Grid(64.0f), {}, -1},
        {"a tap beside it draws a cell", {N::Note(1000, 60, 100)}, 1100.0f, 1100.0f, Grid(64.0f),
         {N::Note(1000, 60, 100), N::Note(1088, 60, 64)}, 1},
        {"a tap on an empty place draws at the line below", {}, 100.0f, 100.0f, Grid(64.0f), {N::Note(64, 60, 64)}, 1},
        {"a drag writes one note per cell and replaces the row",
         {N::Note(100, 60, 10), N::Note(100, 61, 10), N::Note(280, 60, 500)}, 0.0f, 300.0f, Grid(64.0f),
         {N::Note(0, 60, 64), N::Note(64, 60, 64), N::Note(100, 61, 10), N::Note(128, 60, 64), N::Note(192, 60, 64),
          N::Note(256, 60, 64)},
         3},
        {"a drag backwards", {}, 300.0f, 0.0f, Grid(64.0f),
         {N::Note(0, 60, 64), N::Note(64, 60, 64), N::Note(128, 60, 64), N::Note(192, 60, 64), N::Note(256, 60, 64)},
         5},
        {"without a grid a tap", {}, 100.0f, 103.0f, kNoGrid, {N::Note(100, 60, 8)}, 1},
        {"without a grid a drag", {}, 100.0f, 300.0f, kNoGrid, {N::Note(100, 60, 200)}, 1},
        {"swung cells", {}, 0.0f, 250.0f, Grid(64.0f, 10.0f),
         {N::Note(0, 60, 74), N::Note(74, 60, 54), N::Note(128, 60, 74), N::Note(202, 60, 54)}, 4},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        {
            cScopedLock lock(world.sequencer.GetLock());
            world.Pattern().Clear();
        }
        for (const cEventRecord& r : c.existing)
            world.AddNote(r.time, r.data1, r.length, r.data2);
        world.Rebuild();
        EXPECT_EQ(model.DrawNotes(c.a, c.b, 60.0f, c.grid), c.change);
        EXPECT_EQ(Pattern(), c.expected);
    }
}

TEST_F(cActionTest, QuantizeLimits)
{
    const struct
    {
        const char* name;
        int32_t mode, time, length;
        float interval, swing;
        int32_t expectedTime, expectedLength;
    } cases[] = {
        {"a position onto a swung line", cAction::kQuantizePosition, 130, 10, 128.0f, 128.0f / 6.0f, 149, 10},
        {"a position half-way goes up", cAction::kQuantizePosition, 96, 10, 64.0f, 0.0f, 128, 10},
        {"note end never under 16 ticks", cAction::kQuantizeEnd, 1020, 2, 64.0f, 0.0f, 1020, 16},
        {"note end onto the line", cAction::kQuantizeEnd, 1000, 90, 64.0f, 0.0f, 1000, 88},
        {"note length never under an interval", cAction::kQuantizeLength, 1000, 5, 64.0f, 0.0f, 1000, 64},
        {"note length onto a swung line", cAction::kQuantizeLength, 1000, 130, 128.0f, 20.0f, 1000, 148},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        {
            cScopedLock lock(world.sequencer.GetLock());
            world.Pattern().Clear();
        }
        cPatternEvent* note = world.AddNote(c.time, 60, c.length);
        world.Rebuild();
        Select({note});
        EXPECT_EQ(model.Quantize(c.mode, c.interval, c.swing), 1);
        EXPECT_EQ(note->time, c.expectedTime);
        EXPECT_EQ(note->length, c.expectedLength);
    }
}

TEST_F(cActionTest, QuantizingLengthsLeavesControllersAlone)
{
    cPatternEvent* controller = world.AddController(100, kPlain, 5, 3);
    world.Rebuild();
    model.SetLane(cModel::kLaneController, 0, false);
    model.SelectAll();
    EXPECT_EQ(model.Quantize(cAction::kQuantizeLength, 64.0f, 0.0f), 1);
    EXPECT_EQ(controller->length, 3);
    EXPECT_EQ(model.Quantize(cAction::kQuantizePosition, 64.0f, 0.0f), 1);
    EXPECT_EQ(controller->time, 128);
}

TEST_F(cActionTest, CleaningRedundantControllersKeepsTheMeaningfulOnes)
{
    using N = cEventRecord;
    const int32_t controllers[][2] = {{0, 100}, {8, 3000}, {20, 110}, {40, 10}, {60, 20}};
    for (const auto& c : controllers)
        world.AddController(c[0], kPlain, c[1]);
    world.AddController(10, cPatternEditWorld::kOtherController, 100); // ids of 16 and above stay
    world.Rebuild();
    EXPECT_EQ(model.Clean(cAction::kCleanRedundantControllers), 3);
    EXPECT_EQ(Pattern(), (tRecords{N::Controller(0, kPlain, 100), N::Controller(10, cPatternEditWorld::kOtherController, 100),
                                   N::Controller(40, kPlain, 10)}));
}

TEST_F(cActionTest, CleaningIdenticalEventsSelectsTheOneKept)
{
    using N = cEventRecord;
    cPatternEvent* kept = world.AddNote(100, 60, 10, 90);
    world.AddNote(100, 60, 20, 50);
    world.AddNote(100, 61, 20, 50);
    world.AddController(100, kPlain, 1);
    world.AddController(100, kPlain, 2);
    world.Rebuild();
    EXPECT_EQ(model.Clean(cAction::kCleanIdentical), 2);
    EXPECT_EQ(Pattern(), (tRecords{N::Note(100, 60, 10, 90), N::Note(100, 61, 20, 50), N::Controller(100, kPlain, 1)}));
    EXPECT_EQ(SelectedEvents(), (std::vector<const cPatternEvent*>{kept}));
}

TEST_F(cActionTest, CopyingAPatternStopsAtTheLoop)
{
    using N = cEventRecord;
    AddFixture();
    world.Rebuild();
    EXPECT_EQ(model.CopyPattern(kSharedSource), 2);
    const tRecords copied = {N::Note(2, 40, 100, 70), N::Note(3000, 41, 1000, 70)};
    EXPECT_EQ(SelectedRecords(), copied);

    // A first event that ends past the loop copies nothing; a pattern into
    // itself is refused.
    {
        cScopedLock lock(world.sequencer.GetLock());
        cPattern& late = *cPatternTable::GetInstance()->GetPattern(kSharedSource + 1);
        cPatternEditWorld::AddNoteTo(late, 4000, 40, 200, 70);
    }
    const tRecords before = Pattern();
    EXPECT_EQ(model.CopyPattern(kSharedSource + 1), 0);
    EXPECT_EQ(Pattern(), before);
    EXPECT_EQ(model.CopyPattern(world.Pattern().number), 0);
    EXPECT_EQ(model.GetStepCount(), 2);
}

TEST_F(cActionTest, EditsStopAtAThousandEvents)
{
    for (int32_t i = 0; i < 998; ++i)
        world.AddNote(i * 4, 60, 2);
    world.Rebuild();
    model.SelectAll();
    EXPECT_EQ(model.CopySelection(kNoGrid), 2);
    EXPECT_EQ(world.Pattern().count, 1000);
    EXPECT_EQ(model.DrawNotes(0.0f, 1000.0f, 100.0f, Grid(64.0f)), 0);
    EXPECT_EQ(model.DrawControllers(0.0f, 1000.0f, 0.0f, 100.0f, kNoGrid), 0);
    EXPECT_EQ(model.CopyPattern(kSharedSource), 0);
    EXPECT_EQ(world.Pattern().count, 1000);
}

TEST_F(cActionTest, DrawnVelocitiesFollowTheLineAndComeBack)
{
    AddFixture();
    world.Rebuild();
    model.SetLane(cModel::kLaneVelocity, 0, false);
    EXPECT_EQ(model.DrawVelocities(1000.0f, 1800.0f, 1.0f, 127.0f), 0);
    // At each note's middle: 1050, 1158, 1271, 1700 of 800 ticks.
    EXPECT_EQ(std::vector<int>({n0->data2, n1->data2, n2->data2, n3->data2}), std::vector<int>({8, 25, 43, 111}));
    model.UndoStep();
    EXPECT_EQ(std::vector<int>({n0->data2, n1->data2, n2->data2, n3->data2}), std::vector<int>({100, 120, 10, 90}));
}

TEST_F(cActionTest, DrawnControllersReplaceTheirIdOnTheGrid)
{
    using N = cEventRecord;
    world.AddController(0, kPlain, 90);
    world.AddController(64, kPlain, 90);
    world.AddController(70, cPatternEditWorld::kCentredController, 5);
    world.AddController(200, kPlain, 90);
    world.Rebuild();
    model.SetLane(cModel::kLaneController, 0, false);
    EXPECT_EQ(model.DrawControllers(70.0f, 10.0f, 100.0f, 0.0f, Grid(32.0f)), 1);
    // Snapped to 0 and 64; values along the line from (10, 0) to (70, 100).
    EXPECT_EQ(Pattern(), (tRecords{N::Controller(0, kPlain, 0), N::Controller(32, kPlain, 36),
                                   N::Controller(64, kPlain, 90), N::Controller(70, cPatternEditWorld::kCentredController, 5),
                                   N::Controller(200, kPlain, 90)}));
}

// A shift of the other kind of event would write a controller's value into
// a note's pitch and velocity, or a pitch into a controller's value.
TEST_F(cActionTest, ShiftsLeaveTheOtherKindOfEventAlone)
{
    using N = cEventRecord;
    world.AddNote(100, 60, 10, 100);
    world.AddController(200, kPlain, 300);
    world.Rebuild();
    const tRecords before = Pattern();
    model.SelectAll();
    EXPECT_EQ(model.OffsetController(1000), 1);
    model.SetLane(cModel::kLaneController, 0, false);
    model.SelectAll();
    EXPECT_EQ(model.Transpose(24), 1);
    EXPECT_EQ(model.OffsetVelocity(-50), 1);
    EXPECT_EQ(Pattern(), before);
    EXPECT_EQ(model.OffsetController(-100), 1);
    EXPECT_EQ(Pattern(), (tRecords{N::Note(100, 60, 10, 100), N::Controller(200, kPlain, 200)}));
}

// A pattern without a loop of its own repeats at its part's length.
TEST_F(cActionTest, CopyingIntoAPatternWithoutItsOwnLoopUsesThePartsLength)
{
    AddFixture();
    world.Pattern().loopLength = 0;
    world.Rebuild();
    EXPECT_EQ(model.CopyPattern(kSharedSource), 2);
}

// What touches and dialogues pass is held to the song: ticks not a number
// count as 0, deltas and grids that would overflow are refused or clamped.
TEST_F(cActionTest, InputsOutsideTheSongAreHeldToIt)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float huge = 1e30f;
    cPatternEvent* note = world.AddNote(100, 60, 10);
    world.Rebuild();
    Select({note});
    EXPECT_EQ(model.Move(nan), 0);
    EXPECT_EQ(model.ChangeLength(nan), 0);
    EXPECT_EQ(model.Move(huge), 1);
    EXPECT_EQ(note->time, 100 + 512000);
    model.UndoStep();
    EXPECT_EQ(model.Quantize(cAction::kQuantizeLength, huge, nan), 1);
    EXPECT_EQ(note->length, 512000);
    model.UndoStep();
    EXPECT_EQ(model.Quantize(7, 64.0f, 0.0f), 0);
    EXPECT_EQ(model.Clean(9), 0);

    cQuantizeGrid tiny = Grid(1e-20f);
    EXPECT_EQ(model.DrawNotes(nan, huge, nan, tiny), 1);
    EXPECT_EQ(world.Pattern().head->time, 0);
    EXPECT_EQ(world.Pattern().head->length, 512000);
    EXPECT_EQ(world.Pattern().head->data1, 0);
    model.SetLane(cModel::kLaneController, 0, false);
    model.DrawControllers(-huge, huge, -huge, huge, Grid(huge));
    for (const cPatternEvent* e = world.Pattern().head; e; e = e->next)
    {
        EXPECT_GE(e->time, 0);
        EXPECT_LE(e->time, 512100);
    }
}
