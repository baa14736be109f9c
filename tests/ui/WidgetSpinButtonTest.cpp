#include "support/ControlKitValues.h"
#include "ui/ControlFixture.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetSpinButton.h"

#include <limits>

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kDownDrawn = 338, kBoxDrawn = 340, kUpDrawn = 342;

class WidgetSpinButtonTest : public ControlFixture
{
protected:
    // The house spin button in a row 150 x 28 at (100, 100): the down button
    // at the left, the up button at the right, the value box between.
    cWidgetSpinButton* MakeSpin(int32_t minimum, int32_t maximum, int32_t value)
    {
        cWidgetSpinButton* spin = Place(ControlKit::SpinButton("Octave"), {100, 100, 250, 128});
        spin->minimum = minimum;
        spin->maximum = maximum;
        spin->SetValue(value);
        spin->valueDelegate = recorder.Delegate();
        Frame();
        return spin;
    }

    cVector2 UpCentre(cWidgetSpinButton* spin) const { return RectCentre(spin->upImage.layoutRect); }
    cVector2 DownCentre(cWidgetSpinButton* spin) const { return RectCentre(spin->downImage.layoutRect); }
    cVector2 BoxCentre(cWidgetSpinButton* spin) const { return RectCentre(spin->valueBoxImage.layoutRect); }

    // The frames (1 for the first after the press) at which the value changed.
    std::vector<int> StepFrames(int frames)
    {
        std::vector<int> steps;
        for (int frame = 1; frame <= frames; ++frame)
        {
            const size_t before = recorder.calls.size();
            Frame();
            if (recorder.calls.size() != before)
                steps.push_back(frame);
        }
        return steps;
    }
};

TEST_F(WidgetSpinButtonTest, AHeldButtonStepsAtOnceAgainTwelveFramesLaterThenEverFaster)
{
    cWidgetSpinButton* spin = MakeSpin(0, 127, 0);
    const cVector2 up = UpCentre(spin);
    Down(1, up.X, up.Y);
    const std::vector<int> steps = StepFrames(120);
    ASSERT_GE(steps.size(), 10u);
    EXPECT_THAT(std::vector<int>(steps.begin(), steps.begin() + 4), ElementsAre(1, 13, 21, 29))
        << "at once, about 0.2 s later, then quicker";
    EXPECT_EQ(steps.back() - steps[steps.size() - 2], 2) << "by two seconds every tick steps";
    Up(1, up.X, up.Y);
    EXPECT_EQ(spin->GetValue(), 44) << "and late ticks take two steps at once";
    EXPECT_EQ(steps.size(), 37u);

    recorder.calls.clear();
    spin->SetValue(126);
    Down(1, up.X, up.Y);
    StepFrames(30);
    Up(1, up.X, up.Y);
    EXPECT_THAT(recorder.Values(), ElementsAre(127)) << "nothing more at the maximum";
    EXPECT_EQ(spin->GetValue(), 127);
}

TEST_F(WidgetSpinButtonTest, TheDownButtonStepsDownToTheMinimum)
{
    cWidgetSpinButton* spin = MakeSpin(-2, 5, 0);
    const cVector2 down = DownCentre(spin);
    Down(1, down.X, down.Y);
    StepFrames(40);
    Up(1, down.X, down.Y);
    EXPECT_THAT(recorder.Values(), ElementsAre(-1, -2));
    EXPECT_EQ(spin->GetPressedZone(), 0);
}

TEST_F(WidgetSpinButtonTest, SlidingToTheOtherButtonRestartsTheRepeatWithoutAStep)
{
    cWidgetSpinButton* spin = MakeSpin(0, 127, 50);
    const cVector2 up = UpCentre(spin), down = DownCentre(spin);
    Down(1, up.X, up.Y);
    Frame();
    EXPECT_THAT(recorder.Values(), ElementsAre(51));
    Move(1, down.X, down.Y);
    EXPECT_EQ(spin->GetPressedZone(), 2);
    const std::vector<int> steps = StepFrames(14);
    EXPECT_THAT(steps, ElementsAre(13)) << "no step at once: the repeat builds up again";
    EXPECT_THAT(recorder.Values(), ElementsAre(51, 50));
}

TEST_F(WidgetSpinButtonTest, VerticalDragsStepByTheRangeAndTheSensitivity)
{
    struct cCase
    {
        int32_t minimum, maximum, start;
        int32_t sensitivity;
        float pixels; // upwards, after the 11 that start the drag
        int32_t expected;
    };
    const cCase cases[] = {
        {0, 10, 5, 1, 40.0f, 7},       // 0.05 a pixel: the floor for small ranges
        {0, 10, 5, 1, -40.0f, 3},
        {0, 1000, 0, 1, 10.0f, 50},    // 5 a pixel
        {0, 1000, 0, 0, 10.0f, 35},
        {0, 1000, 0, 2, 10.0f, 65},
        {0, 10, 9, 1, 100.0f, 10},     // clamped
    };
    for (const cCase& c : cases)
    {
        manager->sensitivity = c.sensitivity;
        cWidgetSpinButton* spin = MakeSpin(c.minimum, c.maximum, c.start);
        recorder.calls.clear();
        const cVector2 box = BoxCentre(spin);
        Down(1, box.X, box.Y);
        Move(1, box.X, box.Y - 11);
        EXPECT_THAT(recorder.calls, IsEmpty()) << "the move that starts the drag steps nothing";
        Move(1, box.X, box.Y - 11 - c.pixels);
        Up(1, box.X, box.Y - 11 - c.pixels);
        EXPECT_EQ(spin->GetValue(), c.expected) << c.maximum << " " << c.pixels;
        EXPECT_THAT(recorder.Values(), ElementsAre(c.expected));
        root->RemoveChild(spin);
    }
}

TEST_F(WidgetSpinButtonTest, TheWidestRangesStepAndDragWithoutOverflow)
{
    constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
    constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();
    cWidgetSpinButton* spin = MakeSpin(kLowest, kHighest, kHighest - 1);
    const cVector2 up = UpCentre(spin), down = DownCentre(spin);
    Down(1, up.X, up.Y);
    Frame(400);
    Up(1, up.X, up.Y);
    EXPECT_THAT(recorder.Values(), ElementsAre(kHighest));

    spin->SetValue(kLowest + 5);
    Down(1, down.X, down.Y);
    Frame(400);
    Up(1, down.X, down.Y);
    EXPECT_EQ(spin->GetValue(), kLowest);

    // Half a percent of the range a pixel: about half of it in 100 pixels.
    const cVector2 box = BoxCentre(spin);
    for (int32_t drag = 0; drag < 2; ++drag)
    {
        Down(1, box.X, box.Y);
        Move(1, box.X, box.Y - 11);
        Move(1, box.X, 0);
        Up(1, box.X, 0);
        EXPECT_GT(spin->GetValue(), drag == 0 ? 0 : kHighest - 1) << drag;
    }
}

TEST_F(WidgetSpinButtonTest, DragsKeepTheFractionOfAStepForTheNextMove)
{
    cWidgetSpinButton* spin = MakeSpin(0, 10, 5);
    const cVector2 up = UpCentre(spin);
    Down(1, up.X, up.Y);
    Move(1, up.X, up.Y - 11); // from a button too
    for (int pixel = 1; pixel <= 60; pixel += 3)
        Move(1, up.X, up.Y - 11 - float(pixel));
    // 61 pixels at 0.05: three steps, at 10 (rounding 0.5 up), 30 and 50.
    EXPECT_THAT(recorder.Values(), ElementsAre(6, 7, 8));
    EXPECT_EQ(spin->GetPressedZone(), 1) << "the up button looks pressed while dragging up";
    Frame(20);
    EXPECT_EQ(spin->GetValue(), 8) << "no repeat while dragging";
    Up(1, up.X, up.Y - 71);
}

TEST_F(WidgetSpinButtonTest, APressOutsideTheButtonsDragsOnlyWithTheDragAnywhereStyle)
{
    for (uint32_t style : {0u, uint32_t(kSpinDragAnywhere)})
    {
        auto* spin = new cWidgetSpinButton(style);
        spin->upImage.SetSprites(&Sprite(343), &Sprite(kUpDrawn), nullptr);
        spin->downImage.SetSprites(&Sprite(339), &Sprite(kDownDrawn), nullptr);
        spin->valueBoxImage.SetSprites(&Sprite(341), &Sprite(kBoxDrawn), nullptr);
        spin->maximum = 100;
        spin->SetValue(50);
        spin->valueDelegate = recorder.Delegate();
        Place(spin, {100, 100, 250, 128});
        Frame();
        recorder.calls.clear();
        const cVector2 box = BoxCentre(spin);
        Down(1, box.X, box.Y);
        Move(1, box.X, box.Y - 11);
        Move(1, box.X, box.Y - 51);
        Up(1, box.X, box.Y - 51);
        EXPECT_EQ(recorder.calls.size(), style ? 1u : 0u) << style;
        root->RemoveChild(spin);
    }
}

TEST_F(WidgetSpinButtonTest, ArrangementsPlaceTheButtonsAroundTheBoxWithZonesThatNeverOverlap)
{
    struct cCase
    {
        uint32_t arrangement;
        cRect rect;
    };
    const cCase cases[] = {
        {kSpinRow, {100, 100, 250, 128}},
        {kSpinBoxAbove, {100, 100, 200, 170}},
        {kSpinColumn, {100, 100, 140, 200}},
    };
    for (const cCase& c : cases)
    {
        auto* spin = new cWidgetSpinButton(c.arrangement);
        spin->upImage.SetSprites(&Sprite(343), &Sprite(kUpDrawn), nullptr);
        spin->upImagePressed = spin->upImage;
        spin->downImage.SetSprites(&Sprite(339), &Sprite(kDownDrawn), nullptr);
        spin->downImagePressed = spin->downImage;
        spin->valueBoxImage.SetSprites(&Sprite(341), &Sprite(kBoxDrawn), nullptr);
        spin->gap = 4.0f;
        Place(spin, c.rect);
        Frame();
        const cRect up = spin->upImage.layoutRect, down = spin->downImage.layoutRect;
        const cRect box = spin->valueBoxImage.layoutRect;
        const cRect upZone = spin->GetUpZone(), downZone = spin->GetDownZone();
        switch (c.arrangement)
        {
        case kSpinRow:
            EXPECT_LE(down.xMax + 4.0f, box.xMin);
            EXPECT_LE(box.xMax + 4.0f, up.xMin);
            EXPECT_FLOAT_EQ(upZone.xMin, up.xMin - 10.0f);
            break;
        case kSpinBoxAbove:
            EXPECT_LE(box.yMax + 4.0f, down.yMin + 0.5f);
            EXPECT_LT(down.xMax, up.xMin);
            EXPECT_FLOAT_EQ(up.yMin, down.yMin);
            break;
        default:
            EXPECT_LE(up.yMax, box.yMin);
            EXPECT_LE(box.yMax, down.yMin);
            EXPECT_FLOAT_EQ(upZone.yMax, up.yMax) << "the facing edges stay";
            EXPECT_FLOAT_EQ(downZone.yMin, down.yMin);
            EXPECT_FLOAT_EQ(upZone.yMin, up.yMin - 10.0f);
            break;
        }
        EXPECT_TRUE(spin->GetTouchRect().Contains({upZone.xMin, upZone.yMin}));
        root->RemoveChild(spin);
    }
}

TEST_F(WidgetSpinButtonTest, DrawsTheValueTextAndCaptionOnlyWithAValueBoxAndDimsWhenDisabled)
{
    cWidgetSpinButton* spin = MakeSpin(0, 10, 3);
    spin->SetText("3");
    Frame();
    ASSERT_TRUE(FindText("3"));
    EXPECT_EQ(FindText("3")->colour, ControlKit::kValueText);
    ASSERT_TRUE(FindText("Octave"));
    EXPECT_LT(FindText("Octave")->y, 100.0f) << "the caption sits above";

    spin->SetEnabled(false);
    Frame();
    EXPECT_EQ(FindText("3")->colour, HalveColour(ControlKit::kValueText));
    EXPECT_EQ(QuadsOf(kUpDrawn)[0].colour, 0xff7f7f7fu);

    spin->valueBoxImage.SetSprites(nullptr, nullptr, nullptr);
    spin->SetEnabled(true);
    spin->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(QuadsOf(kUpDrawn).size(), 1u);
    EXPECT_EQ(QuadsOf(kDownDrawn).size(), 1u);
    EXPECT_TRUE(QuadsOf(kBoxDrawn).empty());
}

TEST_F(WidgetSpinButtonTest, CancelStopsTheRepeatSilently)
{
    cWidgetSpinButton* spin = MakeSpin(0, 127, 10);
    const cVector2 up = UpCentre(spin);
    Down(1, up.X, up.Y);
    Frame();
    root->HandleCancel(0, 0);
    Frame(30);
    Up(1, up.X, up.Y);
    EXPECT_THAT(recorder.Values(), ElementsAre(11));
    EXPECT_EQ(spin->GetPressedZone(), 0);
}

TEST_F(WidgetSpinButtonTest, SizePreferencesFollowTheArrangement)
{
    auto* spin = Place(ControlKit::SpinButton("Note"), {100, 100, 250, 128});
    const char* labels[] = {"C", "C#3", "Off"};
    spin->SetLabelWidth(labels, 3);
    EXPECT_FLOAT_EQ(spin->labelWidth, spin->valueTextStyle.font.GetTextWidth("C#3"));
    cVector2 minimum, preferred;
    spin->GetSizePreferences(&minimum, &preferred);
    const float button = Sprite(339).width, box = Sprite(341).width;
    EXPECT_FLOAT_EQ(minimum.X, 2 * button + box);
    EXPECT_FLOAT_EQ(preferred.X, 2 * button + box + spin->labelWidth);
    EXPECT_FLOAT_EQ(preferred.Y, std::fmax(Sprite(341).height, Sprite(339).height));
}
} // namespace
