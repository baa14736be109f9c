#include <gtest/gtest.h>

#include <vector>

#include "MainScreenFixture.h"
#include "app/MainScreenSprites.h"

namespace
{
class InstrumentGridTest : public MainScreenFixture
{
public:
    intptr_t OnCell(int32_t kind, int32_t slot)
    {
        reports.push_back({kind, slot});
        return 0;
    }

protected:
    struct cReport
    {
        int32_t kind, slot;
        bool operator==(const cReport&) const = default;
    };

    InstrumentGridTest()
    {
        engine->Put(0, engine->mixer);
        engine->Put(2, engine->synth);
        OpenMenu();
        grid->clickDelegate = cDelegate(this, &InstrumentGridTest::OnCell);
    }
    // Held for a number of frames of 1/60 s, then released.
    void Hold(const cVector2& point, int frames)
    {
        Press(point);
        Frame(frames);
        Up(1, point.X, point.Y);
        Frame();
    }

    std::vector<cReport> reports;
};

TEST_F(InstrumentGridTest, ShortHoldsAreTapsAndA075SecondHoldIsOneLongPress)
{
    Hold(CellCentre(2), 44); // 0.73 s
    EXPECT_EQ(reports, (std::vector<cReport>{{0, 2}}));
    reports.clear();
    Hold(CellCentre(2), 45); // 0.75 s
    EXPECT_EQ(reports, (std::vector<cReport>{{1, 2}}));
    reports.clear();
    Hold(CellCentre(5), 120);
    EXPECT_EQ(reports, (std::vector<cReport>{{1, 5}})) << "empty cells have properties too";
}

TEST_F(InstrumentGridTest, SlidingToAnotherCellRestartsTheHold)
{
    Press(CellCentre(2));
    Frame(30);
    Move(1, CellCentre(3).X, CellCentre(3).Y);
    Frame(30);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(grid->GetPressedSlot(), 3);
    Frame(15);
    EXPECT_EQ(reports, (std::vector<cReport>{{1, 3}}));
    // The ghost grows from the held cell towards the properties' place.
    EXPECT_FLOAT_EQ(grid->GetHoldTime(), 0.75f);
    Up(1, CellCentre(3).X, CellCentre(3).Y);
    Frame();
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(InstrumentGridTest, PressesBetweenTheRowsOrFarOutsideSelectNothing)
{
    const cRect& upper = grid->GetCell(3).rect;
    const cRect& lower = grid->GetCell(11).rect;
    ASSERT_LT(upper.yMax, lower.yMin);
    TapAt({(upper.xMin + upper.xMax) * 0.5f, (upper.yMax + lower.yMin) * 0.5f});
    EXPECT_TRUE(reports.empty());

    // Within the touch margin above the grid: the first row.
    TapAt({(upper.xMin + upper.xMax) * 0.5f, grid->GetRect().yMin - 10.0f});
    EXPECT_EQ(reports, (std::vector<cReport>{{0, 3}}));
    reports.clear();
    // A slide far below the grid ends on no cell.
    Press(CellCentre(11));
    Move(1, CellCentre(11).X, grid->GetRect().yMax + 200.0f);
    Up(1, CellCentre(11).X, grid->GetRect().yMax + 200.0f);
    Frame();
    EXPECT_TRUE(reports.empty());
}

TEST_F(InstrumentGridTest, OnlyOccupiedSlotsAbove0BecomeTheLastInstrumentSlot)
{
    const int32_t before = grid->GetLastInstrumentSlot();
    for (int32_t slot : {0, 7})
    {
        TapAt(CellCentre(slot));
        EXPECT_EQ(grid->GetLastInstrumentSlot(), before) << slot;
    }
    TapAt(CellCentre(2));
    EXPECT_EQ(grid->GetLastInstrumentSlot(), 2);
    // Its bar lies 3 to 5 pixels under the cell.
    const cRect& cell = grid->GetCell(2).rect;
    bool marked = false;
    for (const cDrawnQuad& quad : Quads())
        marked |= quad.rect.yMin == cell.yMax + 3.0f && quad.rect.yMax == cell.yMax + 5.0f &&
                  quad.rect.xMin == cell.xMin + 1.0f && quad.rect.xMax == cell.xMax - 1.0f;
    EXPECT_TRUE(marked);
}

TEST_F(InstrumentGridTest, CellsShowNumbersNamesIconsAndLevels)
{
    engine->At(2)->SetName("Lead");
    engine->At(2)->Strip().meterLeft = 0.5f;
    engine->At(2)->Strip().meterRight = 0.25f;
    grid->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    EXPECT_TRUE(grid->GetCell(0).number.IsEmpty());
    EXPECT_STREQ(grid->GetCell(5).number.CStr(), "5");
    EXPECT_STREQ(grid->GetCell(2).name.CStr(), "Lead");
    EXPECT_TRUE(grid->GetCell(5).name.IsEmpty());
    EXPECT_EQ(grid->GetCell(5).icon, nullptr);
    EXPECT_EQ(grid->GetCell(2).icon, &Sprite(InstrumentIcons::kSynthGrid));
    EXPECT_TRUE(FindText("Lead").has_value());
    EXPECT_FALSE(FindText("0").has_value());

    // The level bar of slot 2 is filled to half its height from the bottom.
    const cRect& level = grid->GetCell(2).levelRect;
    const auto bars = QuadsInside(MainScreenSprite::kGridLevelBar);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_FLOAT_EQ(bars[0].rect.yMax, level.yMax);
    EXPECT_FLOAT_EQ(bars[0].rect.yMin, level.yMax - (level.yMax - level.yMin) * 0.5f);
}
} // namespace
