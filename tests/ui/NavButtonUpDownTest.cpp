#include <gtest/gtest.h>

#include <vector>

#include "ui/NavButtonSprites.h"
#include "ui/WidgetNavButtonUpDown.h"
#include "ui/ControlFixture.h"

namespace
{
// The button 40 x 80 at (100, 100): the up arrow sits on y 100, the down
// arrow's bottom on y 180, and the regions meet at y 140.
class NavButtonUpDownTest : public ControlFixture
{
public:
    intptr_t OnRepeat(bool up, cWidgetNavButtonUpDown*)
    {
        repeats.push_back({frame, up});
        return 0;
    }
    intptr_t OnSwipe(bool up, cWidgetNavButtonUpDown*)
    {
        swipes.push_back({frame, up});
        return 0;
    }

protected:
    struct cStep
    {
        int frame;
        bool up;
    };

    NavButtonUpDownTest()
    {
        button = Place(new cWidgetNavButtonUpDown(), {100.0f, 100.0f, 140.0f, 180.0f});
        button->repeatDelegate = cDelegate(this, &NavButtonUpDownTest::OnRepeat);
        button->swipeDelegate = cDelegate(this, &NavButtonUpDownTest::OnSwipe);
        Frames(1);
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            ++frame;
            Frame();
        }
    }

    std::vector<int> RepeatFrames(int since) const
    {
        std::vector<int> frames;
        for (const cStep& step : repeats)
            frames.push_back(step.frame - since);
        return frames;
    }

    cWidgetNavButtonUpDown* button = nullptr;
    int frame = 0;
    std::vector<cStep> repeats;
    std::vector<cStep> swipes;
};

TEST_F(NavButtonUpDownTest, AHeldArrowStepsAtOnceThenAfter22FramesThenEveryThreeOrFourTicks)
{
    const int pressed = frame;
    Down(1, 120.0f, 100.0f);
    Frames(160);
    const std::vector<int> frames = RepeatFrames(pressed);
    ASSERT_GE(frames.size(), 8u);
    EXPECT_EQ(frames[0], 1);
    EXPECT_EQ(frames[1], 23);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_LT(frames[i - 1], frames[i]);
    // At the rate cap a step comes every 3 or 4 ticks of two frames.
    for (size_t i = frames.size() - 6; i < frames.size(); ++i)
    {
        const int gap = frames[i] - frames[i - 1];
        EXPECT_TRUE(gap == 6 || gap == 8) << gap;
    }
    for (const cStep& step : repeats)
        EXPECT_TRUE(step.up);

    const size_t held = repeats.size();
    Up(1, 120.0f, 100.0f);
    Frames(60);
    EXPECT_EQ(repeats.size(), held);
    EXPECT_TRUE(swipes.empty());
}

TEST_F(NavButtonUpDownTest, SlidingOntoTheOtherArrowRestartsItsRepeatWithoutAStep)
{
    Down(1, 120.0f, 125.0f);
    Frames(1);
    ASSERT_EQ(repeats.size(), 1u);
    const int slid = frame;
    Move(1, 120.0f, 145.0f);
    EXPECT_EQ(button->GetHeldPart(), cWidgetNavButtonUpDown::kPartDown);
    Frames(60);
    ASSERT_GE(repeats.size(), 2u);
    EXPECT_FALSE(repeats[1].up);
    // The accumulator starts from nothing, so the first down step waits.
    EXPECT_GT(repeats[1].frame - slid, 10);
    EXPECT_TRUE(swipes.empty());
}

TEST_F(NavButtonUpDownTest, ADragStepsOncePerTwentyFiveUnitsAndStopsTheRepeat)
{
    const struct
    {
        float direction;
        bool up;
    } drags[] = {{2.0f, false}, {-2.0f, true}};
    for (const auto& drag : drags)
    {
        SCOPED_TRACE(drag.up ? "up" : "down");
        repeats.clear();
        swipes.clear();
        const float start = drag.up ? 180.0f : 100.0f;
        Down(1, 120.0f, start);
        Frames(1);
        for (int step = 1; step <= 40; ++step)
            Move(1, 120.0f, start + drag.direction * float(step));
        Frames(60);
        ASSERT_EQ(swipes.size(), 3u);
        for (const cStep& swipe : swipes)
            EXPECT_EQ(swipe.up, drag.up);
        // Only the press's own step on the first frame.
        EXPECT_EQ(repeats.size(), 1u);
        Up(1, 120.0f, start + drag.direction * 40.0f);
        Frames(1);
    }
}

TEST_F(NavButtonUpDownTest, PressesAreTakenOnlyNearTheArrows)
{
    const struct
    {
        cVector2 point;
        int32_t part;
    } cases[] = {
        {{120.0f, 100.0f}, cWidgetNavButtonUpDown::kPartUp},   {{120.0f, 86.0f}, cWidgetNavButtonUpDown::kPartUp},
        {{120.0f, 140.0f}, cWidgetNavButtonUpDown::kPartUp},   {{120.0f, 141.0f}, cWidgetNavButtonUpDown::kPartDown},
        {{120.0f, 194.0f}, cWidgetNavButtonUpDown::kPartDown}, {{120.0f, 70.0f}, cWidgetNavButtonUpDown::kPartNone},
        {{120.0f, 200.0f}, cWidgetNavButtonUpDown::kPartNone}, {{95.0f, 120.0f}, cWidgetNavButtonUpDown::kPartNone},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.point.X << ", " << c.point.Y);
        EXPECT_EQ(button->HitPart(c.point), c.part);
        repeats.clear();
        Down(1, c.point.X, c.point.Y);
        Frames(3);
        EXPECT_EQ(repeats.size(), c.part == cWidgetNavButtonUpDown::kPartNone ? 0u : 1u);
        Up(1, c.point.X, c.point.Y);
        Frames(1);
    }

    // Hidden, the button takes nothing.
    repeats.clear();
    button->SetVisible(false);
    Down(1, 120.0f, 100.0f);
    Frames(3);
    Up(1, 120.0f, 100.0f);
    EXPECT_TRUE(repeats.empty());
}

TEST_F(NavButtonUpDownTest, ActivatingFadesInOnceAndTheArrowsShowTheirState)
{
    Frames(20);
    EXPECT_EQ(button->GetFade(), 255);
    button->SetActive(false);
    Frames(2);
    EXPECT_EQ(button->GetFade(), 255 - 2 * 16);
    button->SetActive(true);
    EXPECT_EQ(button->GetFade(), 0);
    Frames(1);
    button->SetActive(true);
    Frames(1);
    EXPECT_EQ(button->GetFade(), 32);

    Frames(20);
    button->downEnabled = false;
    Down(1, 120.0f, 100.0f);
    Frames(1);
    const std::vector<cDrawnQuad> up = QuadsOf(NavButtonSprite::kUpArrow);
    const std::vector<cDrawnQuad> down = QuadsOf(NavButtonSprite::kDownArrow);
    ASSERT_EQ(up.size(), 1u);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(up[0].colour, 0xff7f7f7fu); // white, pressed
    EXPECT_EQ(down[0].colour, 0xff808080u);
    EXPECT_FLOAT_EQ(up[0].rect.yMin + up[0].rect.yMax, 200.0f);
    EXPECT_FLOAT_EQ(down[0].rect.yMax, 180.0f);
    EXPECT_EQ(QuadsOf(NavButtonSprite::kBackground).size(), 1u);
}
} // namespace
