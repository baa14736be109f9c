#include "support/ControlKit.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetMultiButton.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Small square skins stretched across: unlit drawn 15, lit drawn 23.
constexpr uint32_t kStyle = ControlKit::kStyleSmallSquare | ControlKit::kStyleStretched;
constexpr int kUnlitDrawn = 15;
constexpr int kLitDrawn = 23;
constexpr int kIconSprite = 186;

// A grid of 4 x 3 over (100, 100)-(257, 218): with the shared border pixel
// every item is 40 x 40; the touch helper divides the grid evenly.
constexpr float kLeft = 100.0f, kTop = 100.0f;
constexpr float kCellWidth = 157.0f / 4.0f, kCellHeight = 118.0f / 3.0f;

class WidgetMultiButtonTest : public ControlFixture
{
protected:
    cWidgetMultiButton* MakeGrid(uint32_t flags)
    {
        cWidgetMultiButton* grid = Place(ControlKit::MultiButton("Feel", 4, 3, flags, kStyle), {kLeft, kTop, 257, 218});
        for (size_t i = 0; i < grid->items.size(); ++i)
            grid->items[i].text = std::to_string(i).c_str();
        grid->selectionDelegate = recorder.Delegate();
        Frame();
        return grid;
    }

    static cVector2 Cell(float column, float row)
    {
        return {kLeft + (column + 0.5f) * kCellWidth, kTop + (row + 0.5f) * kCellHeight};
    }
    void DownAt(int32_t id, cVector2 p) { Down(id, p.X, p.Y); }
    void MoveTo(int32_t id, cVector2 p) { Move(id, p.X, p.Y); }
    void UpAt(int32_t id, cVector2 p) { Up(id, p.X, p.Y); }
    void TapAt(int32_t id, cVector2 p) { Tap(id, p.X, p.Y); }
};

TEST_F(WidgetMultiButtonTest, TheGridMarginIsSixMillimetres)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiSingleSelect);
    EXPECT_NEAR(grid->GetTouchHelper().GetHitMargin(), 22.68f, 0.005f) << "at 96 dpi";
}

// Cell (2, 1) spans x 178.5..217.75; with the margin a finger may drift to
// 240.4 before the tap is abandoned.
TEST_F(WidgetMultiButtonTest, ATapChoosesItsCellWhileTheFingerStaysWithinTheMargin)
{
    MakeGrid(kMultiCommand);
    const float margin = 6.0f * gDisplayMetrics.pixelsPerMillimetre;
    const float edge = kLeft + 3 * kCellWidth + margin;
    DownAt(1, Cell(2, 1));
    Move(1, edge - 0.5f, Cell(2, 1).Y);
    UpAt(1, Cell(3, 1));
    EXPECT_THAT(recorder.Values(), ElementsAre(6)) << "released over the neighbour, still cell (2, 1)";

    DownAt(1, Cell(2, 1));
    Move(1, edge + 0.5f, Cell(2, 1).Y);
    Move(1, Cell(2, 1).X, Cell(2, 1).Y);
    UpAt(1, Cell(2, 1));
    EXPECT_THAT(recorder.Values(), ElementsAre(6)) << "past the margin the tap is abandoned for good";
}

TEST_F(WidgetMultiButtonTest, TrackingChoosesTheCellUnderTheFingerAtRelease)
{
    MakeGrid(kMultiCommand | kMultiTrack);
    DownAt(1, Cell(0, 0));
    MoveTo(1, Cell(1, 1));
    MoveTo(1, Cell(3, 2));
    UpAt(1, Cell(3, 2));
    EXPECT_THAT(recorder.Values(), ElementsAre(11));

    DownAt(1, Cell(0, 0));
    Move(1, 400, 400);
    UpAt(1, Cell(1, 0));
    EXPECT_THAT(recorder.Values(), ElementsAre(11)) << "leaving the grid abandons the touch";
}

TEST_F(WidgetMultiButtonTest, PaintingReportsEveryCellAlongTheFingersPath)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiToggle | kMultiTrack);
    DownAt(1, Cell(0, 0));
    MoveTo(1, Cell(3, 2));
    // (0, 0) at the down, then the line's cells after the first step.
    EXPECT_THAT(recorder.Values(), ElementsAre(0, 5, 6, 11));
    MoveTo(1, Cell(2, 2));
    EXPECT_THAT(recorder.Values(), ElementsAre(0, 5, 6, 11, 11, 10)) << "the cell left behind comes first";
    UpAt(1, Cell(2, 2));
    EXPECT_EQ(recorder.calls.size(), 6u) << "a painting finger reports nothing at release";
    EXPECT_TRUE(grid->items[0].on);
    EXPECT_FALSE(grid->items[11].on) << "painted twice";

    // Four fingers paint at once.
    recorder.calls.clear();
    for (int32_t finger = 0; finger < 4; ++finger)
        DownAt(finger + 1, Cell(float(finger), 1));
    EXPECT_THAT(recorder.Values(), ElementsAre(4, 5, 6, 7));
}

TEST_F(WidgetMultiButtonTest, SingleSelectChoosesAgainOrDeselectsWithTheFlag)
{
    for (uint32_t flags : {uint32_t(kMultiSingleSelect), uint32_t(kMultiSingleSelect | kMultiDeselect)})
    {
        cWidgetMultiButton* grid = MakeGrid(flags);
        recorder.calls.clear();
        TapAt(1, Cell(2, 0));
        TapAt(1, Cell(2, 0));
        const int32_t second = (flags & kMultiDeselect) ? -1 : 2;
        EXPECT_THAT(recorder.Values(), ElementsAre(2, second)) << flags;
        EXPECT_EQ(grid->selectedItem, second);
        EXPECT_EQ(recorder.calls[0].widget, grid);
        root->RemoveChild(grid);
    }
}

TEST_F(WidgetMultiButtonTest, AHiddenItemGivesItsPlaceToTheNext)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiSingleSelect);
    grid->items[1].visible = 0;
    grid->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    EXPECT_EQ(grid->items[2].position, 1);
    EXPECT_EQ(grid->items[1].itemAtPosition, 2);
    EXPECT_EQ(grid->items[11].itemAtPosition, -1) << "the last cell stays empty";
    TapAt(1, Cell(1, 0));
    TapAt(1, Cell(3, 2));
    EXPECT_THAT(recorder.Values(), ElementsAre(2)) << "an empty cell chooses nothing";

    grid->SetFirstItemVisible(false);
    Frame();
    EXPECT_EQ(grid->items[0].itemAtPosition, 2);
}

// One record: a second finger is captured, so nothing under the grid sees
// it, but it chooses nothing.
TEST_F(WidgetMultiButtonTest, AFingerBeyondThePoolIsSwallowedAndTrackedByNothing)
{
    cProbeWidget* beneath = AddProbe(root, "beneath", {0, 0, 640, 480});
    root->RaiseChild(MakeGrid(kMultiCommand));
    DownAt(1, Cell(0, 0));
    DownAt(2, Cell(3, 0));
    EXPECT_EQ(manager->GetCaptureCount(), 2);
    UpAt(2, Cell(3, 0));
    EXPECT_THAT(recorder.Values(), IsEmpty());
    UpAt(1, Cell(0, 0));
    EXPECT_THAT(recorder.Values(), ElementsAre(0));
    EXPECT_TRUE(beneath->touches.empty());

    Tap(3, 50, 50);
    EXPECT_EQ(beneath->touches.size(), 2u) << "a touch outside the grid is not taken";
}

TEST_F(WidgetMultiButtonTest, ADisabledItemChoosesNothingAndLooksDim)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiSingleSelect);
    grid->items[5].enabled = 0;
    TapAt(1, Cell(1, 1));
    EXPECT_THAT(recorder.Values(), IsEmpty());
    Frame();
    // Every item draws the same patch pieces; only item 5's are dimmed.
    const std::vector<cDrawnQuad> unlit = QuadsInside(kUnlitDrawn);
    ASSERT_EQ(unlit.size() % 12, 0u);
    size_t dimmed = 0;
    for (const cDrawnQuad& quad : unlit)
    {
        if (quad.colour == 0xffffffffu)
            continue;
        EXPECT_EQ(quad.colour, 0xff7f7f7fu);
        EXPECT_GE(quad.rect.xMin, 139.0f - 2.0f) << "item 5 is the second of its row";
        EXPECT_LE(quad.rect.xMax, 179.0f + 2.0f);
        ++dimmed;
    }
    EXPECT_EQ(dimmed, unlit.size() / 12);
}

TEST_F(WidgetMultiButtonTest, DrawsTheSelectedAndTheHeldItemLit)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiSingleSelect);
    grid->selectedItem = 3;
    DownAt(1, Cell(0, 2));
    Frame();
    const size_t lit = QuadsInside(kLitDrawn).size(), unlit = QuadsInside(kUnlitDrawn).size();
    EXPECT_GT(lit, 0u);
    EXPECT_EQ(lit * 5, unlit) << "two items lit, ten not";
    EXPECT_TRUE(grid->IsItemLit(3));
    EXPECT_TRUE(grid->IsItemLit(8));
    EXPECT_FALSE(grid->IsItemLit(0));
}

TEST_F(WidgetMultiButtonTest, ToggleItemsPreviewTheirNextStateWhileHeld)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiToggle);
    grid->items[1].on = 1;
    DownAt(1, Cell(1, 0));
    EXPECT_FALSE(grid->IsItemLit(1));
    UpAt(1, Cell(1, 0));
    EXPECT_FALSE(grid->items[1].on);
    EXPECT_THAT(recorder.Values(), ElementsAre(1));
}

// Neighbouring items share their border pixel (gap -1); text and icons are
// centred on their items, the caption sits above the grid.
TEST_F(WidgetMultiButtonTest, LaysItemsOutEdgeToEdgeWithTextsAndIconsCentred)
{
    cWidgetMultiButton* grid = MakeGrid(kMultiSingleSelect);
    grid->items[1].text = "";
    grid->items[1].icon = &Sprite(kIconSprite);
    grid->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    const cRect& first = grid->items[0].normalImage.layoutRect;
    const cRect& second = grid->items[1].normalImage.layoutRect;
    EXPECT_FLOAT_EQ(first.xMin, 100.0f);
    EXPECT_FLOAT_EQ(first.xMax, 140.0f);
    EXPECT_FLOAT_EQ(second.xMin, 139.0f);
    EXPECT_FLOAT_EQ(grid->items[4].textAnchor.Y, 159.0f);

    const auto zero = FindText("0");
    ASSERT_TRUE(zero);
    EXPECT_FLOAT_EQ(zero->x, 118.0f) << "a 5-pixel glyph centred on 120, on a whole pixel";
    ASSERT_EQ(QuadsOf(kIconSprite).size(), 1u);
    const cRect icon = QuadsOf(kIconSprite)[0].rect;
    EXPECT_FLOAT_EQ((icon.xMin + icon.xMax) * 0.5f, 159.0f);
    EXPECT_FLOAT_EQ(icon.xMax - icon.xMin, Sprite(kIconSprite).width);
    ASSERT_TRUE(FindText("Feel"));
    EXPECT_EQ(FindText("Feel")->colour, ControlKit::kDarkCaption);

    cVector2 minimum, preferred;
    grid->GetSizePreferences(&minimum, &preferred);
    EXPECT_FLOAT_EQ(preferred.X, 4 * Sprite(24).width - 3);
    EXPECT_FLOAT_EQ(minimum.X, 4 * Sprite(kIconSprite).width - 3) << "the icon is wider than any text";
}
} // namespace
