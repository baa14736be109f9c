#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PatternEditWorld.h"
#include "base/CriticalSection.h"
#include "editors/EventTypeSelectUI.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sequencer/Pattern.h"
#include "ui/DialogueFixture.h"

namespace
{
// The synthesizer's package, whose controllers are offered as lanes.
using cKestTables = cAnalogueSynthPackage;

// A chooser over an edit area of 560 x 300 on the root, its closed button
// on the area's top-right corner, and what it chose.
class EventTypeSelectTest : public DialogueFixture
{
protected:
    EventTypeSelectTest()
    {
        chooser = Place(new cEventTypeSelectUI(), {40.0f, 100.0f, 600.0f, 400.0f});
        chooser->choiceDelegate.Bind(this, &EventTypeSelectTest::OnChoice);
        Frame();
    }

    void OnChoice(const cEventTypeSelectUI::cCell* cell, cEventTypeSelectUI*)
    {
        choices.push_back(cell ? cell->key : kOpened);
    }

    cVector2 ButtonCentre() const
    {
        const cRect& b = chooser->GetButtonRect();
        return {(b.xMin + b.xMax) * 0.5f, (b.yMin + b.yMax) * 0.5f};
    }
    cVector2 CellCentre(int32_t cell) const
    {
        const cRect& r = chooser->GetCell(cell).rect;
        return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f};
    }
    void TapAt(const cVector2& at)
    {
        Down(1, at.X, at.Y);
        Frame();
        Up(1, at.X, at.Y);
        Frame();
    }

    // Line vertices in the preview of a cell: lines whose first vertex lies in it.
    std::vector<std::pair<cVertexIntXY, cVertexIntXY>> LinesIn(int32_t cell) const
    {
        std::vector<std::pair<cVertexIntXY, cVertexIntXY>> lines;
        const cRect& p = chooser->GetCell(cell).preview;
        const cVertexIntXY* v = chooser->GetLineVertices();
        for (int32_t i = 0; i + 1 < chooser->GetLineVertexCount(); i += 2)
            if (v[i].x >= p.xMin && v[i].x <= p.xMax && v[i].y >= p.yMin && v[i].y <= p.yMax)
                lines.emplace_back(v[i], v[i + 1]);
        return lines;
    }

    static constexpr int32_t kOpened = -100;
    cPatternEditWorld world;
    cEventTypeSelectUI* chooser = nullptr;
    std::vector<int32_t> choices;
};
} // namespace

// "Note" and "Velocity" head the last column; each controller takes the
// first free row of its lane group's column, in table order.
TEST_F(EventTypeSelectTest, TheSynthesizersLanesFillTheirColumns)
{
    cKestTables kest;
    chooser->Fill(world.part, &kest);
    struct
    {
        int32_t cell;
        int32_t key;
        const char* label;
    } cells[] = {{0, 0, "Knob"},  {1, 1, "Pad1 X"},     {2, 3, "Pad2 X"},  {3, -2, "Note"}, {5, 2, "Pad1 Y"},
                 {6, 4, "Pad2 Y"}, {7, -1, "Velocity"}, {11, 5, "Pitch Bend"}, {15, 6, "Volume"}, {19, 7, "Pan"}};
    for (const auto& c : cells)
    {
        EXPECT_EQ(chooser->GetCell(c.cell).key, c.key) << c.cell;
        EXPECT_STREQ(chooser->GetCell(c.cell).label, c.label) << c.cell;
    }
    for (int32_t cell : {4, 8, 9, 10, 12, 13, 14, 16, 17, 18})
        EXPECT_EQ(chooser->GetCell(cell).key, cEventTypeSelectUI::kKeyEmpty) << cell;
    EXPECT_EQ(chooser->SelectKey(5), 11);
    EXPECT_EQ(chooser->GetCurrentCell(), 11);
    EXPECT_EQ(chooser->SelectKey(42), cEventTypeSelectUI::kCellCount) << "no cell has it";
    EXPECT_EQ(chooser->GetCurrentCell(), 11);
    EXPECT_EQ(chooser->FindKey(42), -1);
}

// The pad instrument's fifteen controllers, five buses' worth per column.
TEST_F(EventTypeSelectTest, ThePadsFifteenLanesFillTheFirstThreeColumns)
{
    cTriggerPadPackage pads;
    chooser->Fill(world.part, &pads);
    for (int32_t column = 0; column < 3; ++column)
        for (int32_t row = 0; row < 5; ++row)
            EXPECT_EQ(chooser->GetCell(row * 4 + column).key, column * 5 + row) << row << " " << column;
    EXPECT_EQ(chooser->GetCell(3).key, cEventTypeSelectUI::kKeyNote);
    EXPECT_EQ(chooser->GetCell(7).key, cEventTypeSelectUI::kKeyVelocity);
    EXPECT_EQ(chooser->GetCell(11).key, cEventTypeSelectUI::kKeyEmpty);
}

// One loop of the part: a note from tick 1024 to 1536 of a four-bar part
// on the row of its note and the bar of its velocity; a note outside the
// instrument's range shows its velocity only; a note past the loop ends at
// the preview's edge; a centred controller grows from the middle.
TEST_F(EventTypeSelectTest, PreviewsShowOneLoopOfEachKind)
{
    cKestTables kest; // notes 24..108
    world.AddNote(1024, 66, 512, 127);
    world.AddNote(2048, 10, 256, 64);
    world.AddController(3072, 0, 16384);
    chooser->Fill(world.part, &kest);
    Frame();
    const cRect& notes = chooser->GetCell(3).preview;
    const float scale = (notes.xMax - notes.xMin - 4.0f) / 4096.0f;
    const auto noteLines = LinesIn(3);
    ASSERT_EQ(noteLines.size(), 1u) << "note 10 lies below the range";
    const int16_t y = int16_t(notes.yMax - 2.0f - (notes.yMax - notes.yMin - 4.0f) / 84.0f * (66.0f - 24.0f));
    EXPECT_EQ(noteLines[0].first.x, int16_t(1024.0f * scale + notes.xMin + 2.0f));
    EXPECT_EQ(noteLines[0].first.y, y);
    EXPECT_EQ(noteLines[0].second.x, int16_t(1536.0f * scale + notes.xMin + 2.0f) + 1);

    const auto velocities = LinesIn(7);
    ASSERT_EQ(velocities.size(), 2u);
    const cRect& v = chooser->GetCell(7).preview;
    EXPECT_EQ(velocities[0].first.y, int16_t(v.yMax - 2.0f));
    EXPECT_EQ(velocities[0].second.y, int16_t(v.yMax - 2.0f) - int16_t((v.yMax - v.yMin - 4.0f) / 127.0f * 127.0f));

    const auto bends = LinesIn(11);
    ASSERT_EQ(bends.size(), 1u);
    const cRect& b = chooser->GetCell(11).preview;
    EXPECT_EQ(bends[0].first.y, int16_t((b.yMin + b.yMax) * 0.5f)) << "from the middle";

    // A pattern that repeats every bar previews that bar: the note at 1024
    // lies past it, and the long note reaches the edge.
    world.AddNote(512, 60, 2000, 100);
    {
        cScopedLock lock(world.sequencer.GetLock());
        world.Pattern().loopLength = 1024;
    }
    chooser->InvalidatePreviews();
    Frame();
    const auto looped = LinesIn(3);
    ASSERT_EQ(looped.size(), 1u);
    const float loopScale = (notes.xMax - notes.xMin - 4.0f) / 1024.0f;
    EXPECT_EQ(looped[0].first.x, int16_t(512.0f * loopScale + notes.xMin + 2.0f));
    EXPECT_EQ(looped[0].second.x, int16_t(1024.0f * loopScale + notes.xMin + 2.0f) + 1);
}

// Past 1998 events the previews stop at 3996 vertices.
TEST_F(EventTypeSelectTest, PreviewsStopAt3996Vertices)
{
    cKestTables kest;
    {
        cScopedLock lock(world.sequencer.GetLock());
        for (int32_t i = 0; i < 1100; ++i)
            cPatternEditWorld::AddNoteTo(world.Pattern(), i * 2, 60, 1, 100);
    }
    chooser->Fill(world.part, &kest);
    Frame();
    EXPECT_EQ(chooser->GetLineVertexCount(), 3996);
}

// The grid opens from the button (the delegate hears null); a release over
// the button leaves it open and a touch on the button closes it without a
// choice; a release over an empty cell leaves it open; a new cell is chosen.
TEST_F(EventTypeSelectTest, TheGridOpensChoosesAndCloses)
{
    cKestTables kest;
    chooser->Fill(world.part, &kest);
    chooser->SelectKey(cEventTypeSelectUI::kKeyNote);
    Frame();
    TapAt(ButtonCentre());
    EXPECT_TRUE(chooser->IsOpen());
    EXPECT_EQ(choices, std::vector<int32_t>{kOpened});
    TapAt(ButtonCentre());
    EXPECT_FALSE(chooser->IsOpen()) << "the second touch on the button closes it";
    EXPECT_EQ(choices.size(), 1u);

    TapAt(ButtonCentre());
    Down(1, CellCentre(0).X, CellCentre(0).Y);
    Frame();
    EXPECT_EQ(chooser->GetHoverCell(), 0);
    Move(1, ButtonCentre().X, ButtonCentre().Y);
    Up(1, ButtonCentre().X, ButtonCentre().Y);
    Frame();
    EXPECT_TRUE(chooser->IsOpen()) << "released over the button";
    TapAt(CellCentre(4));
    EXPECT_TRUE(chooser->IsOpen()) << "an empty cell";
    TapAt(CellCentre(3));
    EXPECT_FALSE(chooser->IsOpen()) << "the current cell closes it";
    EXPECT_EQ(choices, (std::vector<int32_t>{kOpened, kOpened}));
    TapAt(ButtonCentre());
    TapAt(CellCentre(11));
    EXPECT_EQ(choices, (std::vector<int32_t>{kOpened, kOpened, kOpened, 5}));
    EXPECT_EQ(chooser->GetCurrentCell(), 11);
}

// Closed, "Pitch Bend" stands on two lines in the button; "Velocity" on one.
TEST_F(EventTypeSelectTest, ANameWithABlankIsShownOnTwoLines)
{
    cKestTables kest;
    chooser->Fill(world.part, &kest);
    chooser->SelectKey(5);
    Frame();
    const cRect& b = chooser->GetButtonRect();
    const auto first = FindText("Pitch");
    const auto second = FindText("Bend");
    ASSERT_TRUE(first && second);
    const float size = 10.0f; // the test font's size for entry 6 of the text sizes
    EXPECT_NEAR(first->y + size * 0.5f, b.yMin + 0.33f * (b.yMax - b.yMin), 1.0f);
    EXPECT_NEAR(second->y + size * 0.5f, b.yMin + 0.66f * (b.yMax - b.yMin), 1.0f);
    chooser->SelectKey(cEventTypeSelectUI::kKeyVelocity);
    Frame();
    EXPECT_TRUE(FindText("Velocity"));
}

// An empty instrument slot has no package: "Note" and "Velocity" only, and
// notes previewed over every MIDI note instead of a range it cannot read.
TEST_F(EventTypeSelectTest, WithoutAPackageOnlyNotesAndVelocitiesAreOffered)
{
    world.AddNote(0, 10, 4096, 100);
    world.AddNote(0, 127, 4096, 100);
    world.AddController(100, 8, 1000);
    chooser->Fill(world.part, nullptr);
    Frame();
    int32_t filled = 0;
    for (int32_t i = 0; i < cEventTypeSelectUI::kCellCount; ++i)
        filled += chooser->GetCell(i).key != cEventTypeSelectUI::kKeyEmpty;
    EXPECT_EQ(filled, 2);
    const auto notes = LinesIn(3);
    ASSERT_EQ(notes.size(), 2u);
    const cRect& p = chooser->GetCell(3).preview;
    EXPECT_EQ(notes[0].first.y, int16_t(p.yMax - 2.0f - (p.yMax - p.yMin - 4.0f) / 127.0f * 10.0f));
    EXPECT_EQ(notes[1].first.y, int16_t(p.yMin + 2.0f));
    EXPECT_EQ(chooser->GetLineVertexCount(), 8) << "two notes and their velocities, no controller";
}
