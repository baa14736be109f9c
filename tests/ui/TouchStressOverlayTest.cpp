#include <gtest/gtest.h>

#include <climits>

#include "ui/DialogueFixture.h"
#include "ui/TouchStressOverlay.h"

namespace
{
class TouchStressOverlayTest : public DialogueFixture
{
protected:
    TouchStressOverlayTest()
    {
        // Beneath the overlay, a page that captures every touch it is offered.
        page = AddProbe(root, "page", {0, 0, 640, 480}, true, true);
        overlay = Place(new cTouchStressOverlay(), {0, 0, 640, 480});
    }
    ~TouchStressOverlayTest() override { cTouchStressOverlay::SetLastTouchId(0); }

    static cTouch TouchAt(float y, int32_t taps)
    {
        cTouch touch;
        touch.id = 9;
        touch.position = {100, y};
        touch.tapCount = taps;
        return touch;
    }

    cProbeWidget* page = nullptr;
    cTouchStressOverlay* overlay = nullptr;
};

TEST_F(TouchStressOverlayTest, OnlyAFourFoldTapLowOnTheScreenSwitchesIt)
{
    struct cCase
    {
        int32_t type;
        float y;
        int32_t taps;
        bool switches;
    } cases[] = {
        {kTouchDown, 291, 4, true}, {kTouchDown, 290, 4, false}, {kTouchDown, 400, 3, false},
        {kTouchMove, 400, 4, false}, {kTouchUp, 400, 5, false},   {kTouchDown, 470, 5, true},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.type << " at " << c.y << " x" << c.taps);
        overlay->desiredFingers = 0;
        cTouch touch = TouchAt(c.y, c.taps);
        EXPECT_EQ(overlay->HandleTouch(c.type, &touch, nullptr), c.switches);
        EXPECT_EQ(overlay->desiredFingers, c.switches ? 6 : 0);
    }

    // Four quick taps through the input manager: the fourth switches it on,
    // the first three reach the page.
    overlay->desiredFingers = 0;
    for (int i = 0; i < 4; ++i)
        Tap(1, 300, 400);
    EXPECT_EQ(overlay->desiredFingers, 6);
    EXPECT_EQ(page->touches.size(), 7u) << "all but the switching down";
    Tap(1, 300, 400);
    EXPECT_EQ(overlay->desiredFingers, 0) << "a fifth quick tap switches it off again";
}

TEST_F(TouchStressOverlayTest, OneFingerStartsPerFrameUpToFiveAndSwitchingOffLetsThemFinish)
{
    overlay->desiredFingers = cTouchStressOverlay::kOn;
    int32_t lastId = cTouchStressOverlay::GetLastTouchId();
    int most = 0;
    for (int frame = 0; frame < 300; ++frame)
    {
        Frame();
        const int32_t id = cTouchStressOverlay::GetLastTouchId();
        EXPECT_LE(id - lastId, 1) << "frame " << frame;
        lastId = id;
        most = std::max(most, int(overlay->RunningFingers()));
        EXPECT_LE(overlay->RunningFingers(), 5);
    }
    EXPECT_EQ(most, 5);
    EXPECT_EQ(page->touches.front().type, kTouchDown);

    overlay->desiredFingers = 0;
    const int32_t idWhenOff = cTouchStressOverlay::GetLastTouchId();
    Frame(25);
    EXPECT_EQ(overlay->RunningFingers(), 0);
    EXPECT_EQ(cTouchStressOverlay::GetLastTouchId(), idWhenOff);
    EXPECT_EQ(manager->GetCaptureCount(), 0) << "every finger ended with its up";
    EXPECT_EQ(page->touches.back().type, kTouchUp);
    for (const cProbeWidget::cTouchRecord& touch : page->touches)
    {
        EXPECT_GE(touch.x, 40);
        EXPECT_GE(touch.y, 80);
        EXPECT_LT(touch.x, 641);
        EXPECT_LT(touch.y, 481);
    }
}

TEST_F(TouchStressOverlayTest, ATapFingerSendsADownNineMovesAndAnUpOnePixelAway)
{
    root->RemoveChild(overlay);
    cTouchStressOverlay::cFinger finger;
    do
    {
        page->touches.clear();
        finger.Start();
        Frame();
        while (finger.Step())
            Frame();
        Frame();
    } while (finger.speed != 0.1f);

    ASSERT_EQ(page->touches.size(), 11u);
    EXPECT_EQ(page->touches[0].type, kTouchDown);
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(page->touches[i].type, kTouchMove) << i;
    const cProbeWidget::cTouchRecord& down = page->touches.front();
    const cProbeWidget::cTouchRecord& up = page->touches.back();
    EXPECT_EQ(up.type, kTouchUp);
    EXPECT_FLOAT_EQ(up.x, down.x + 1);
    EXPECT_FLOAT_EQ(up.y, down.y + 1);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
}

TEST_F(TouchStressOverlayTest, TouchIdsCountUpAndWrapToOne)
{
    root->RemoveChild(overlay);
    cTouchStressOverlay::cFinger finger;
    cTouchStressOverlay::SetLastTouchId(0);
    finger.Start();
    EXPECT_EQ(finger.touch.id, 1);
    finger.Start();
    EXPECT_EQ(finger.touch.id, 2);
    cTouchStressOverlay::SetLastTouchId(INT_MAX - 1);
    finger.Start();
    EXPECT_EQ(finger.touch.id, INT_MAX);
    finger.Start();
    EXPECT_EQ(finger.touch.id, 1);
    Frame();
}

// A finger's up that closes the layer holding the overlay arrives after the
// draw, not while the tree is being walked.
TEST_F(TouchStressOverlayTest, FingerEventsReachTheTreeAfterItsDraw)
{
    overlay->desiredFingers = cTouchStressOverlay::kOn;
    ProbeLog().clear();
    Frame();
    ASSERT_GE(page->touches.size(), 1u);
    const std::vector<std::string>& log = ProbeLog();
    const auto draw = std::find(log.begin(), log.end(), "draw page");
    const auto touch = std::find(log.begin(), log.end(), "touch page");
    ASSERT_NE(draw, log.end());
    ASSERT_NE(touch, log.end());
    EXPECT_LT(draw - log.begin(), touch - log.begin());
    EXPECT_EQ(manager->GetPostedTouchCount(), 0);
}
} // namespace
