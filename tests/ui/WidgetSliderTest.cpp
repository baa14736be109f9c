#include "support/ControlKitValues.h"
#include "ui/ControlFixture.h"
#include "ui/ValueRecorder.h"
#include "ui/WidgetSlider.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kThumbSprite = 345;

class WidgetSliderTest : public ControlFixture
{
protected:
    static constexpr float kX = 312.0f;
    static constexpr float kMiddle = 180.0f;

    // The fader's rect is its track, 160 pixels high, from y 100 to 260.
    cWidgetSlider* MakeSlider(float value, const cRect& rect = {300, 100, 324, 260})
    {
        cWidgetSlider* slider = Place(ControlKit::Slider(), rect);
        slider->SetValue(value);
        slider->valueDelegate = values.Delegate();
        slider->touchDelegate = recorder.Delegate();
        Frame();
        return slider;
    }

    cFloatRecorder values;
};

TEST_F(WidgetSliderTest, ADragStartsOnlyAfterMoreThanFivePixels)
{
    cWidgetSlider* slider = MakeSlider(0.5f);
    Down(1, kX, kMiddle);
    Move(1, kX, kMiddle - 5);
    Move(1, kX, kMiddle - 4);
    EXPECT_THAT(values.values, IsEmpty()) << "within 5 pixels of the press";
    Move(1, kX, kMiddle - 6);
    EXPECT_THAT(values.values, IsEmpty()) << "the move that starts the drag moves nothing";
    Move(1, kX, kMiddle - 22); // 16 pixels of 160
    ASSERT_EQ(values.values.size(), 1u);
    EXPECT_FLOAT_EQ(values.values[0], 0.6f);
    Up(1, kX, kMiddle - 22);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.6f) << "a drag ends without a nudge";
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0));
}

TEST_F(WidgetSliderTest, ATapNudgesByExactlyTwoHundredthsTowardsItsSideAndAlwaysReports)
{
    struct cCase
    {
        float value;
        float y;
        float expected;
    };
    const cCase cases[] = {
        {0.5f, 150.0f, 0.52f}, {0.5f, 200.0f, 0.48f}, {1.0f, 101.0f, 1.0f}, {0.0f, 259.0f, 0.0f},
        {0.99f, 120.0f, 1.0f},
    };
    for (const cCase& c : cases)
    {
        cWidgetSlider* slider = MakeSlider(c.value);
        values.values.clear();
        Tap(1, kX, c.y);
        ASSERT_EQ(values.values.size(), 1u) << c.value << " " << c.y;
        EXPECT_EQ(values.values[0], c.expected) << c.value << " " << c.y;
        EXPECT_EQ(slider->GetValue(), c.expected);
        root->RemoveChild(slider);
    }
}

TEST_F(WidgetSliderTest, PastTheTopTheValueHoldsAndFallsOnlyOnceTheFingerPassesBackItsLastPlace)
{
    MakeSlider(0.9f);
    Down(1, kX, 200);
    Move(1, kX, 194); // the drag starts here
    Move(1, kX, 179); // 0.9 + 15 / 160: still below the top
    Move(1, kX, 150); // past the top
    Move(1, kX, 120);
    Move(1, kX, 170); // back down, but still above 179
    Move(1, kX, 187); // 8 pixels below it
    Up(1, kX, 187);
    ASSERT_EQ(values.values.size(), 5u);
    EXPECT_NEAR(values.values[0], 0.99375f, 1e-5f);
    EXPECT_EQ(values.values[1], 1.0f);
    EXPECT_EQ(values.values[2], 1.0f);
    EXPECT_EQ(values.values[3], 1.0f);
    EXPECT_NEAR(values.values[4], 0.95f, 1e-5f);
}

TEST_F(WidgetSliderTest, TheThumbFollowsTheValueOverItsTravel)
{
    cWidgetSlider* slider = MakeSlider(0.5f);
    const float travel = Sprite(344).height * 0.9f;
    for (float value : {0.0f, 0.5f, 1.0f})
    {
        slider->SetValue(value);
        Frame();
        ASSERT_EQ(QuadsOf(kThumbSprite).size(), 1u);
        const cRect thumb = QuadsOf(kThumbSprite)[0].rect;
        EXPECT_NEAR((thumb.yMin + thumb.yMax) * 0.5f, kMiddle + (0.5f - value) * travel, 1.0f) << value;
    }
    EXPECT_THAT(values.values, IsEmpty()) << "values from code report nothing";
}

TEST_F(WidgetSliderTest, TheGlowRisesWhileHeldAndFadesSlowlyAfter)
{
    cWidgetSlider* slider = MakeSlider(0.5f);
    std::vector<int32_t> levels;
    Down(1, kX, kMiddle);
    for (int frame = 0; frame < 4; ++frame)
    {
        Frame();
        levels.push_back(slider->GetGlowLevel());
    }
    Up(1, kX, kMiddle);
    for (int frame = 0; frame < 2; ++frame)
    {
        Frame();
        levels.push_back(slider->GetGlowLevel());
    }
    EXPECT_THAT(levels, ElementsAre(85, 170, 255, 255, 243, 231));
}

// A fader pushed below the screen's edge has a rect of no height; its track
// still reaches up into the screen.
TEST_F(WidgetSliderTest, ADragOnASliderWithoutHeightChangesNothingAndReportsNoNaN)
{
    cWidgetSlider* slider = MakeSlider(0.5f, {300, 490, 324, 650});
    ASSERT_EQ(slider->GetRect().yMax - slider->GetRect().yMin, 0.0f);
    ASSERT_TRUE(slider->GetTouchRect().Contains({kX, 470}));
    Down(1, kX, 470);
    Move(1, kX, 450);
    Move(1, kX, 400);
    Up(1, kX, 400);
    EXPECT_THAT(values.values, IsEmpty());
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0));
}

TEST_F(WidgetSliderTest, CancellingAHeldSliderReportsTheReleaseOnce)
{
    MakeSlider(0.5f);
    root->HandleCancel(0, 0);
    Down(1, kX, kMiddle);
    root->HandleCancel(0, 0);
    root->HandleCancel(0, 0);
    Up(1, kX, kMiddle);
    EXPECT_THAT(recorder.Values(), ElementsAre(1, 0));
    EXPECT_THAT(values.values, IsEmpty());
}
} // namespace
