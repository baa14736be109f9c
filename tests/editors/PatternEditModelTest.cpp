#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PatternEditFixture.h"

namespace
{
using cModel = cPatternEditModel;
constexpr uint32_t kShown = cModel::kViewShown;
constexpr uint32_t kLoudColour = 0xC8CCB258; // velocity 127: 88, 178, 204 at alpha 200
constexpr uint32_t kControllerBottom = 0xC8EBE1E1;
constexpr uint32_t kGrey = 0xFF404040;
const float kNoteScale = 127.0f / 84.0f;        // the plain controller's range over notes 24..108
const float kCentredScale = 16383.0f / 84.0f;   // the centred one's

using cModelTest = cPatternEditTest;
} // namespace

TEST_F(cModelTest, ViewsTakeTheirGeometryFromTheLane)
{
    cPatternEvent* note = world.AddNote(100, 60, 50, 127);
    cPatternEvent* plain = world.AddController(200, cPatternEditWorld::kPlainController, 100);
    cPatternEvent* centred = world.AddController(300, cPatternEditWorld::kCentredController, -300);
    cPatternEvent* other = world.AddController(400, cPatternEditWorld::kOtherController, 5);
    world.Rebuild();

    struct cCase
    {
        int32_t lane, controller;
        const cPatternEvent* event;
        float bottom, top;
        uint32_t flags, bottomColour, topColour;
    };
    const float behindPlain = 36.0f * kNoteScale;
    const float behindCentred = 36.0f * kCentredScale - 8192.0f;
    const cCase cases[] = {
        {0, 0, note, 60.0f, 61.0f, kShown, kLoudColour, kLoudColour},
        {0, 0, plain, 0.0f, 0.0f, 0, 0, 0},
        {1, 0, note, 0.0f, 127.0f, kShown, kLoudColour, kLoudColour},
        {1, 0, plain, 0.0f, 0.0f, 0, 0, 0},
        {2, 0, note, behindPlain, behindPlain + kNoteScale, cModel::kViewDrawn, kGrey, kGrey},
        {2, 0, plain, 0.0f, 100.0f, kShown, kControllerBottom, kLoudColour},
        {2, 0, centred, 0.0f, -300.0f, 0, kControllerBottom, kLoudColour},
        {2, 0, other, 0.0f, 5.0f, 0, kControllerBottom, kLoudColour},
        {2, 1, note, behindCentred, behindCentred + kCentredScale, cModel::kViewDrawn, kGrey, kGrey},
        {2, 1, centred, -0.5f, -300.0f, kShown, kControllerBottom, kLoudColour},
        {2, 1, plain, -0.5f, 100.0f, 0, kControllerBottom, kLoudColour},
        {2, 5, note, 0.0f, 0.0f, 0, 0, 0},
        {2, 5, plain, 0.0f, 0.0f, 0, 0, 0},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE("lane " + std::to_string(c.lane) + " controller " + std::to_string(c.controller) + " event at " +
                     std::to_string(c.event->time));
        model.SetLane(c.lane, c.controller, false);
        const cEventView* view = ViewOf(c.event);
        EXPECT_EQ(view->start, float(c.event->time));
        EXPECT_EQ(view->end, float(c.event->time + c.event->length));
        EXPECT_EQ(view->note, c.event == note ? 60 : 0);
        EXPECT_FLOAT_EQ(view->bottom, c.bottom);
        EXPECT_FLOAT_EQ(view->top, c.top);
        EXPECT_EQ(view->flags, c.flags);
        if (c.flags != 0)
        {
            EXPECT_EQ(view->bottomColour, c.bottomColour);
            EXPECT_EQ(view->topColour, c.topColour);
        }
    }
}

TEST_F(cModelTest, VelocityColoursRunFromPaleToDeep)
{
    const struct
    {
        int32_t velocity;
        uint32_t red, green, blue;
    } cases[] = {{127, 88, 178, 204}, {1, 224, 225, 235}, {64, 156, 202, 220}};
    for (const auto& c : cases)
    {
        cPatternEvent* event = world.AddNote(c.velocity, 60, 10, c.velocity);
        world.Rebuild();
        const uint32_t colour = ViewOf(event)->topColour;
        EXPECT_EQ(colour, 200u << 24 | c.blue << 16 | c.green << 8 | c.red) << "velocity " << c.velocity;
    }
}

TEST_F(cModelTest, APatternOfMoreThanAThousandEventsShowsItsFirstThousand)
{
    for (int32_t i = 0; i < 1200; ++i)
        world.AddNote(i, 60, 1);
    world.Rebuild();
    EXPECT_EQ(model.GetViewCount(), 1000);
    EXPECT_EQ(model.GetFreeViewCount(), 0);
    EXPECT_EQ(model.GetViews().GetLast()->event->time, 999);
    EXPECT_TRUE(model.SelectAll());
    EXPECT_EQ(model.GetSelectionCount(), 1000);

    EXPECT_EQ(model.DeleteAll(), 1000);
    ASSERT_EQ(world.Pattern().count, 200);
    EXPECT_EQ(world.Pattern().head->time, 1000);
}

TEST_F(cModelTest, NotesSelectedBeforeTheVelocityLaneAreTheOnlyOnesShownThere)
{
    cPatternEvent* a = world.AddNote(0, 60, 100);
    cPatternEvent* b = world.AddNote(200, 62, 100);
    cPatternEvent* c = world.AddNote(400, 64, 100);
    cPatternEvent* d = world.AddNote(600, 65, 100);
    world.Rebuild();
    Select({b, d});

    EXPECT_TRUE(model.SetLane(cModel::kLaneVelocity, 0, true));
    EXPECT_EQ(ViewOf(a)->flags, 0u);
    EXPECT_EQ(ViewOf(c)->flags, 0u);
    EXPECT_EQ(ViewOf(b)->flags, kShown);
    EXPECT_EQ(ViewOf(d)->flags, kShown);
    EXPECT_EQ(model.HitTest(50.0f, 50.0f, 10.0f, 10.0f), nullptr);
    EXPECT_EQ(model.HitTest(250.0f, 50.0f, 10.0f, 10.0f), ViewOf(b));
    EXPECT_EQ(SelectedEvents(), (std::vector<const cPatternEvent*>{b, d}));

    EXPECT_TRUE(model.SetLane(cModel::kLaneNotes, 0, true));
    for (const cPatternEvent* event : {a, b, c, d})
        EXPECT_EQ(ViewOf(event)->flags, kShown);
    EXPECT_EQ(SelectedEvents(), (std::vector<const cPatternEvent*>{b, d}));

    EXPECT_FALSE(model.SetLane(cModel::kLaneController, 0, true));
    EXPECT_EQ(model.GetSelectionCount(), 0);
}

TEST_F(cModelTest, SelectionCommands)
{
    cPatternEvent* n0 = world.AddNote(0, 60, 100);
    cPatternEvent* n1 = world.AddNote(200, 62, 100);
    world.AddController(300, cPatternEditWorld::kPlainController, 10); // hidden in the note lane
    cPatternEvent* n2 = world.AddNote(400, 60, 100);
    cPatternEvent* n3 = world.AddNote(600, 64, 100);
    world.Rebuild();

    using tEvents = std::vector<const cPatternEvent*>;
    struct cCase
    {
        const char* name;
        tEvents selected;
        std::function<bool()> command;
        tEvents expected;
    };
    const cCase cases[] = {
        {"all", {}, [&] { return model.SelectAll(); }, {n0, n1, n2, n3}},
        {"same notes", {n2}, [&] { return model.SelectSameNotes(); }, {n0, n2}},
        {"same notes of nothing", {}, [&] { return model.SelectSameNotes(); }, {}},
        {"to the end", {n1, n3}, [&] { return model.SelectToEnd(); }, {n1, n2, n3}},
        {"to the end of nothing", {}, [&] { return model.SelectToEnd(); }, {}},
        {"to the start", {n2, n1}, [&] { return model.SelectToStart(); }, {n0, n1, n2}},
        {"to the start of nothing", {}, [&] { return model.SelectToStart(); }, {}},
        {"inverse", {n1, n3}, [&] { return model.SelectInverse(); }, {n0, n2}},
        {"inverse of nothing", {}, [&] { return model.SelectInverse(); }, {n0, n1, n2, n3}},
        {"rectangle", {n0}, [&] { return model.SelectInRect(450.0f, 61.0f, 150.0f, 59.5f); }, {n2}},
        {"rectangle edges", {}, [&] { return model.SelectInRect(100.0f, 60.0f, 100.0f, 60.0f); }, {n0}},
        {"empty rectangle", {n0}, [&] { return model.SelectInRect(750.0f, 0.0f, 800.0f, 127.0f); }, {}},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        model.ClearSelection();
        for (const cPatternEvent* event : c.selected)
            model.Select(ViewOf(event), false);
        EXPECT_EQ(c.command(), !c.expected.empty());
        EXPECT_EQ(SelectedEvents(), c.expected);
    }

    model.ClearSelection();
    model.ToggleSelect(ViewOf(n1));
    model.ToggleSelect(ViewOf(n3));
    model.ToggleSelect(ViewOf(n1));
    EXPECT_EQ(SelectedEvents(), (tEvents{n3}));
    EXPECT_EQ(model.GetSelectionBounds().earliestStart, 600.0f);

    model.SaveSelection();
    model.SelectAll();
    model.RestoreSelection();
    EXPECT_EQ(SelectedEvents(), (tEvents{n3}));
}

TEST_F(cModelTest, HitTestPrefersTheShortestViewHoldingThePoint)
{
    const cPatternEvent* longNote = world.AddNote(0, 60, 1000);
    const cPatternEvent* shortNote = world.AddNote(400, 60, 100);
    // Longer than 100000 ticks, holding the point, beside a short note
    // within the radius that does not hold it.
    const cPatternEvent* veryLong = world.AddNote(0, 70, 200000);
    world.AddNote(150000, 71, 10);
    const cPatternEvent* near = world.AddNote(5100, 80, 100);
    world.AddNote(4700, 80, 100); // exactly one radius away
    const cPatternEvent* firstOfTwo = world.AddNote(7000, 90, 10);
    world.AddNote(7020, 90, 10);
    world.Rebuild();

    const struct
    {
        const char* name;
        float tick, value;
        const cPatternEvent* expected;
    } cases[] = {
        {"short inside long", 450.0f, 60.5f, shortNote},
        {"long only", 200.0f, 60.5f, longNote},
        {"holding beats near", 150005.0f, 70.5f, veryLong},
        {"nearest within the radius", 5000.0f, 80.5f, near},
        {"the first of two as near", 7015.0f, 90.5f, firstOfTwo},
        {"nothing within the radius", 20000.0f, 30.0f, nullptr},
    };
    for (const auto& c : cases)
    {
        const cEventView* hit = model.HitTest(c.tick, c.value, 200.0f, 1.0f);
        EXPECT_EQ(hit ? hit->event : nullptr, c.expected) << c.name;
    }
}

TEST_F(cModelTest, ConstrainMoveKeepsTheSelectionOnTheGridAndInTheSong)
{
    cPatternEvent* early = world.AddNote(100, 60, 50);
    cPatternEvent* late = world.AddNote(511900, 60, 50);
    world.Rebuild();
    const cQuantizeGrid off;
    const struct
    {
        const char* name;
        const cPatternEvent* event;
        float offset;
        cQuantizeGrid grid;
        float expected;
    } cases[] = {
        {"before the start", early, -300.0f, off, -100.0f},
        {"before the start on a swung grid", early, -300.0f, Grid(128.0f, 128.0f / 6.0f), -100.0f},
        {"onto a swung line", early, 29.0f, Grid(128.0f, 128.0f / 6.0f), 128.0f + 128.0f / 6.0f - 100.0f},
        {"onto the nearest line", early, 200.0f, Grid(64.0f), 220.0f},
        {"past the song end", late, 300.0f, off, 50.0f},
        {"past the end on a grid", late, 300.0f, Grid(64.0f), 50.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        model.ClearSelection();
        model.Select(ViewOf(c.event), false);
        model.UpdateSelectionBounds(c.offset, 0.0f, 0.0f);
        model.ConstrainMove(c.grid);
        EXPECT_FLOAT_EQ(model.GetTimeOffset(), c.expected);
        EXPECT_FLOAT_EQ(model.GetStartShift(), c.expected);
        EXPECT_FLOAT_EQ(model.GetEndShift(), c.expected);
        EXPECT_FLOAT_EQ(model.GetSelectionBounds().earliestStart, float(c.event->time) + c.expected);
    }
}

TEST_F(cModelTest, ConstrainLengthKeepsEveryNoteATickLongAndInTheSong)
{
    cPatternEvent* a = world.AddNote(100, 60, 10);
    cPatternEvent* b = world.AddNote(200, 62, 50);
    cPatternEvent* last = world.AddNote(511000, 62, 500);
    world.Rebuild();
    const struct
    {
        const char* name;
        std::vector<const cPatternEvent*> events;
        float offset;
        cQuantizeGrid grid;
        float expected;
    } cases[] = {
        {"shortest one tick", {a, b}, -100.0f, cQuantizeGrid(), -9.0f},
        {"shortest one tick on a grid", {a, b}, -100.0f, Grid(64.0f), -9.0f},
        {"end onto the grid", {a, b}, 30.0f, Grid(64.0f), 6.0f},
        {"not past the song end", {last}, 1000.0f, Grid(64.0f), 500.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        model.ClearSelection();
        for (const cPatternEvent* event : c.events)
            model.Select(ViewOf(event), false);
        model.UpdateSelectionBounds(0.0f, 0.0f, c.offset);
        model.ConstrainLength(c.grid);
        EXPECT_FLOAT_EQ(model.GetLengthOffset(), c.expected);
        EXPECT_EQ(model.GetStartShift(), 0.0f);
        EXPECT_FLOAT_EQ(model.GetEndShift(), c.expected);
        EXPECT_GE(model.GetSelectionBounds().shortestLength, 1.0f);
    }
}

TEST_F(cModelTest, ValueShiftsStayInTheLaneRange)
{
    world.AddNote(100, 60, 10, 30);
    world.AddNote(200, 120, 10, 120);
    world.Rebuild();
    model.SelectAll();
    const struct
    {
        int32_t lane;
        float offset, expected;
    } cases[] = {{0, 10.0f, 7.0f}, {0, -70.0f, -60.0f}, {0, 3.0f, 3.0f}, {1, 20.0f, 8.0f}, {1, -40.0f, -29.0f}};
    for (const auto& c : cases)
    {
        if (c.lane != model.GetLane())
            model.SetLane(c.lane, 0, true);
        model.UpdateSelectionBounds(0.0f, c.offset, 0.0f);
        if (c.lane == cModel::kLaneNotes)
            model.ConstrainNoteShift(0.0f, 128.0f);
        else
            model.ConstrainValueShift(1.0f, 128.0f);
        EXPECT_FLOAT_EQ(model.GetValueOffset(), c.expected) << "lane " << c.lane << " offset " << c.offset;
    }
}

TEST_F(cModelTest, CopiesGoJustAfterTheSelectionOnTheGrid)
{
    cPatternEvent* note = world.AddNote(1000, 60, 500);
    world.Rebuild();
    const struct
    {
        cQuantizeGrid grid;
        int32_t copyAt;
    } cases[] = {{Grid(256.0f), 1768}, {cQuantizeGrid(), 1500}};
    for (const auto& c : cases)
    {
        Select({note});
        EXPECT_EQ(model.CopySelection(c.grid), 1);
        EXPECT_EQ(Pattern(), (std::vector<cEventRecord>{cEventRecord::Of(*note), cEventRecord::Note(c.copyAt, 60, 500)}));
        EXPECT_EQ(SelectedRecords(), (std::vector<cEventRecord>{cEventRecord::Note(c.copyAt, 60, 500)}));
        model.UndoStep();
    }
}

TEST_F(cModelTest, SmallChangesRoundHalfAwayFromZero)
{
    cPatternEvent* note = world.AddNote(1000, 60, 500);
    world.Rebuild();
    Select({note});
    EXPECT_EQ(model.Move(0.4f), 0);
    EXPECT_EQ(model.ChangeLength(0.4f), 0);
    EXPECT_EQ(model.GetStepCount(), 0);
    EXPECT_FALSE(modified);

    EXPECT_EQ(model.ChangeLength(-0.5f), 1);
    EXPECT_EQ(note->length, 499);
    EXPECT_EQ(model.Move(-0.5f), 1);
    EXPECT_EQ(note->time, 999);
    EXPECT_TRUE(modified);
}

TEST_F(cModelTest, VisibleBoundsCoverTheDrawnViews)
{
    float start, end, bottom, top;
    world.Rebuild();
    model.GetVisibleBounds(&start, &end, &bottom, &top);
    EXPECT_EQ(std::vector<float>({start, end, bottom, top}), std::vector<float>({0.0f, 0.0f, 0.0f, 0.0f}));

    world.AddNote(300, 50, 100);
    world.AddNote(100, 70, 50);
    world.AddController(900, cPatternEditWorld::kPlainController, 40); // not drawn with the notes
    world.Rebuild();
    model.GetVisibleBounds(&start, &end, &bottom, &top);
    EXPECT_EQ(std::vector<float>({start, end, bottom, top}), std::vector<float>({100.0f, 400.0f, 50.0f, 71.0f}));
}
