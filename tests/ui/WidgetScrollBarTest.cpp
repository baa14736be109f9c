#include "support/ControlKitValues.h"
#include "ui/ControlFixture.h"
#include "ui/ValueRecorder.h"
#include "ui/WidgetScrollBar.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A thumb sprite 30 pixels long and 10 across.
const cAtlasSprite kLongThumb = {0, 0, 0.1f, 0.3f, 0, 0, 10, 30, 10, 30, 5, 15};

class WidgetScrollBarTest : public ControlFixture
{
protected:
    // A bare vertical bar 20 x 200 at (300, 100), over the range 0..1000.
    cWidgetScrollBar* MakeBar(float start, float end)
    {
        cWidgetScrollBar* bar = Place(new cWidgetScrollBar(true), {300, 100, 320, 300});
        bar->SetRange(0.0f, 1000.0f);
        bar->SetWindow(start, end);
        bar->windowMovedDelegate = moved.Delegate();
        bar->windowResizedDelegate = resized.Delegate();
        Frame();
        return bar;
    }

    cFloatRecorder moved;
    cFloatRecorder resized;
};

TEST_F(WidgetScrollBarTest, TheWindowIsFittedIntoTheRangeKeepingItsSizeWhereItCan)
{
    struct cCase
    {
        float minimum, maximum, start, end;
        float fittedStart, fittedEnd;
    };
    const cCase cases[] = {
        {0, 100, 90, 110, 80, 100},
        {0, 100, -10, 200, 0, 100}, // wider than the range: the whole range
        {0, 100, -20, 10, 0, 30},
        {0, 100, 20, 30, 20, 30},
        {0, 100, 50, 40, 50, 50},   // reversed: empty at its start
        {10, 10, 0, 5, 10, 10},
    };
    for (const cCase& c : cases)
    {
        auto* bar = new cWidgetScrollBar(false);
        bar->SetRange(-1000, 1000);
        bar->SetWindow(c.start, c.end);
        bar->SetRange(c.minimum, c.maximum);
        EXPECT_FLOAT_EQ(bar->GetWindowStart(), c.fittedStart) << c.start << ".." << c.end;
        EXPECT_FLOAT_EQ(bar->GetWindowEnd(), c.fittedEnd) << c.start << ".." << c.end;
        bar->Release();
    }
}

TEST_F(WidgetScrollBarTest, DraggingTheBarMovesTheWindowByTheRangesShareOfEachPixel)
{
    cWidgetScrollBar* bar = MakeBar(0, 100);
    Down(1, 310, 110);
    Move(1, 310, 130); // 20 of 200 pixels over a range of 1000
    EXPECT_FLOAT_EQ(bar->GetWindowStart(), 100.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowEnd(), 200.0f);
    EXPECT_THAT(moved.values, ElementsAre(100.0f));
    Move(1, 310, 400); // far past the end
    EXPECT_FLOAT_EQ(bar->GetWindowEnd(), 1000.0f);
    moved.values.clear();
    Move(1, 310, 420);
    Move(1, 310, 440);
    EXPECT_THAT(moved.values, IsEmpty()) << "at the end, further drags report nothing";
    Move(1, 310, 430);
    EXPECT_THAT(moved.values, ElementsAre(850.0f));
    Up(1, 310, 430);
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    EXPECT_THAT(resized.values, IsEmpty());
}

TEST_F(WidgetScrollBarTest, TouchesAreTakenWithinTheMarginsAndWindowsSetByCodeReportNothing)
{
    cWidgetScrollBar* bar = MakeBar(0, 100);
    bar->touchMargins[0] = 15.0f;
    Down(1, 284, 150);
    EXPECT_FALSE(bar->IsDragging());
    Up(1, 284, 150);
    Down(1, 286, 150);
    EXPECT_TRUE(bar->IsDragging()) << "15 pixels to the left still counts";
    Up(1, 286, 150);
    bar->SetWindowStart(500);
    bar->SetWindowSize(200);
    EXPECT_FLOAT_EQ(bar->GetWindowEnd(), 700.0f);
    EXPECT_THAT(moved.values, IsEmpty());
}

TEST_F(WidgetScrollBarTest, TheThumbShowsTheWindowAndAShortOneKeepsItsSpriteLengthWithinTheTrack)
{
    cWidgetScrollBar* bar = MakeBar(250, 500);
    bar->thumbEndInset = 2.0f;
    bar->thumbSideInset = 3.0f;
    bar->UpdateThumb();
    cRect thumb = bar->GetThumbRect();
    EXPECT_FLOAT_EQ(thumb.yMin, 100.0f + 2.0f + 0.25f * 196.0f);
    EXPECT_FLOAT_EQ(thumb.yMax - thumb.yMin, 0.25f * 196.0f);
    EXPECT_FLOAT_EQ(thumb.xMin, 303.0f);
    EXPECT_FLOAT_EQ(thumb.xMax, 317.0f);

    bar->thumbSprite = &kLongThumb;
    bar->SetWindow(999, 1000);
    thumb = bar->GetThumbRect();
    EXPECT_FLOAT_EQ(thumb.yMax - thumb.yMin, 30.0f);
    EXPECT_FLOAT_EQ(thumb.yMax, 298.0f) << "ending at the end of the travel";

    bar->SetRange(5, 5);
    EXPECT_FLOAT_EQ(bar->GetThumbRect().yMax, 0.0f) << "no thumb without a range";
}

TEST_F(WidgetScrollBarTest, PagesMoveByTheWindowsSizeUntilTheEnds)
{
    cWidgetScrollBar* bar = MakeBar(0, 400);
    EXPECT_FALSE(bar->PageUp());
    EXPECT_TRUE(bar->PageDown());
    EXPECT_TRUE(bar->PageDown());
    EXPECT_FLOAT_EQ(bar->GetWindowStart(), 600.0f) << "the second page stops at the end";
    EXPECT_FALSE(bar->PageDown());
    EXPECT_TRUE(bar->PageUp());
    EXPECT_THAT(moved.values, ElementsAre(400.0f, 600.0f, 200.0f));
}

// A widget 200 pixels long over 1000: five units a pixel.
TEST_F(WidgetScrollBarTest, ZoomingSetsAWindowAroundTheCentreAndReportsItsSize)
{
    cWidgetScrollBar* bar = MakeBar(0, 100);
    bar->ZoomWindow(100.0f, 40.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowStart(), 400.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowEnd(), 600.0f);
    bar->ZoomWindow(190.0f, 40.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowStart(), 800.0f) << "fitted into the range";
    bar->ZoomWindow(50.0f, -3.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowStart(), 250.0f);
    EXPECT_FLOAT_EQ(bar->GetWindowEnd(), 250.0f);
    EXPECT_THAT(resized.values, ElementsAre(200.0f, 200.0f, 0.0f));
    EXPECT_THAT(moved.values, IsEmpty());
}

TEST_F(WidgetScrollBarTest, AStateChangeOrACancelEndsTheDrag)
{
    for (bool cancel : {false, true})
    {
        cWidgetScrollBar* bar = MakeBar(0, 100);
        Down(1, 310, 110);
        if (cancel)
            root->HandleCancel(0, 0);
        else
        {
            bar->ModifyFlags(kWidgetStateDirty, 0, false);
            Frame();
        }
        Move(1, 310, 150);
        Up(1, 310, 150);
        EXPECT_THAT(moved.values, IsEmpty()) << cancel;
        EXPECT_EQ(manager->GetCaptureCount(), 0);
        root->RemoveChild(bar);
    }
}

TEST_F(WidgetScrollBarTest, HouseBarsDrawTrackThumbAndGripWhenTheThumbHasRoom)
{
    cWidgetScrollBar* bar = Place(ControlKit::ScrollBar(false, true), {100, 300, 400, 324});
    bar->SetRange(0, 10);
    bar->SetWindow(2, 6);
    Frame();
    EXPECT_EQ(QuadsOf(332).size(), 1u) << "the grip";
    const cRect grip = QuadsOf(332)[0].rect;
    const cRect thumb = bar->GetThumbRect();
    EXPECT_NEAR((grip.xMin + grip.xMax) * 0.5f, (thumb.xMin + thumb.xMax) * 0.5f, 0.5f);
    bar->thumbSprite = nullptr;
    bar->SetWindow(2, 2.3f);
    Frame();
    EXPECT_TRUE(QuadsOf(332).empty()) << "a thumb of 8.7 pixels has no room for the grip";
}
} // namespace
