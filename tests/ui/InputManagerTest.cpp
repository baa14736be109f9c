#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/FastMath.h"
#include "platform/DisplayMetrics.h"
#include "render/Renderer.h"
#include "ui/InputManager.h"

namespace
{
class cRecordingHandler : public cInputEventHandler
{
public:
    explicit cRecordingHandler(bool takesEvents = true) : mTakesEvents(takesEvents) {}

    bool HandleTouchEvent(int32_t type, cTouch* touch) override
    {
        touchEvents.push_back({type, touch->id, touch->position.X, touch->position.Y});
        return mTakesEvents;
    }
    bool HandleKeyEvent(const cKeyEvent* event) override
    {
        keyEvents.push_back(*event);
        return mTakesEvents;
    }

    struct cTouchEvent
    {
        int32_t type;
        int32_t id;
        float x, y;
    };
    std::vector<cTouchEvent> touchEvents;
    std::vector<cKeyEvent> keyEvents;

private:
    bool mTakesEvents;
};

class InputManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        manager = std::make_unique<cInputManager>();
        ASSERT_TRUE(manager->Init());
        handler = std::make_unique<cRecordingHandler>();
    }
    void TearDown() override
    {
        handler.reset();
        manager.reset();
        ResetDisplayMetrics();
    }

    int32_t Tap(float x, float y, double time)
    {
        cTouchTracker& tracker = manager->GetTouchTracker();
        cTouch* touch = tracker.BeginTouchAt(1, x, y, time);
        const int32_t taps = touch->tapCount;
        manager->EndTouch(touch);
        return taps;
    }

    std::unique_ptr<cInputManager> manager;
    std::unique_ptr<cRecordingHandler> handler;
};

TEST_F(InputManagerTest, CountsTapsOfASpotWithinThreeTenthsOfASecondOfTheLast)
{
    EXPECT_EQ(Tap(100, 100, 10.0), 1);
    EXPECT_EQ(Tap(100, 100, 10.2), 2);
    EXPECT_EQ(Tap(101, 99, 10.45), 3); // 0.25 s after the second tap
    // 50 pixels at 96 dpi are 13.2 mm: another spot.
    EXPECT_EQ(Tap(150, 100, 10.5), 1);
    // 0.35 s after the previous tap of that spot.
    EXPECT_EQ(Tap(150, 100, 10.85), 1);
    // 40 pixels (10.6 mm) away is still the same spot.
    EXPECT_EQ(Tap(190, 100, 11.0), 2);
}

TEST_F(InputManagerTest, RefusesANinthTouchAndFreesEndedOnes)
{
    cTouchTracker& tracker = manager->GetTouchTracker();
    cTouch* touches[8];
    for (int i = 0; i < 8; ++i)
        touches[i] = tracker.BeginTouchAt(i, 0, 0, 0.0);
    EXPECT_EQ(tracker.BeginTouchAt(8, 0, 0, 0.0), nullptr);
    manager->EndTouch(touches[3]);
    EXPECT_EQ(tracker.BeginTouchAt(8, 0, 0, 0.0), touches[3]);
    EXPECT_EQ(tracker.FindTouch(8), touches[3]);
}

TEST_F(InputManagerTest, TouchesMoveWithDeltasAndEndFreed)
{
    EXPECT_TRUE(manager->TouchBegan(1, 10, 20));
    manager->TouchMoved(1, 15, 18, false);
    cTouch* touch = manager->GetTouchTracker().FindTouch(1);
    ASSERT_NE(touch, nullptr);
    EXPECT_FLOAT_EQ(touch->delta.X, 5);
    EXPECT_FLOAT_EQ(touch->delta.Y, -2);
    EXPECT_FLOAT_EQ(touch->startPosition.X, 10);
    manager->TouchEnded(1, 16, 18);
    EXPECT_EQ(manager->GetTouchTracker().FindTouch(1), nullptr);
    manager->TouchMoved(1, 0, 0, false); // no such touch: nothing

    ASSERT_EQ(handler->touchEvents.size(), 3u);
    EXPECT_EQ(handler->touchEvents[0].type, kTouchDown);
    EXPECT_EQ(handler->touchEvents[1].type, kTouchMove);
    EXPECT_EQ(handler->touchEvents[2].type, kTouchUp);
    EXPECT_FLOAT_EQ(handler->touchEvents[2].x, 16);
}

TEST_F(InputManagerTest, FiltersKeyAutoRepeatAndStrayReleases)
{
    manager->OnKey(0, 0x1E, 'A'); // release without a press
    manager->OnKey(1, 0x1E, 'A');
    manager->OnKey(1, 0x1E, 'A'); // held: auto-repeat
    manager->OnKey(1, 0x1E, 'A');
    manager->OnKey(0, 0x1E, 'A');
    manager->OnKey(1, 0x1D, -1);  // no key code
    manager->OnKey(1, 0x00, 326); // outside the table
    ASSERT_EQ(handler->keyEvents.size(), 2u);
    EXPECT_EQ(handler->keyEvents[0].action, 1);
    EXPECT_EQ(handler->keyEvents[0].keyCode, 'A');
    EXPECT_EQ(handler->keyEvents[0].character, -1);
    EXPECT_EQ(handler->keyEvents[0].scanCode, 0x1E);
    EXPECT_EQ(handler->keyEvents[1].action, 0);
}

TEST_F(InputManagerTest, FiltersCharacterAutoRepeatAndControlCharacters)
{
    manager->OnChar(1, 0x1E, 'a');
    manager->OnChar(1, 0x1E, 'a'); // repeat
    manager->OnChar(0, 0x1E, 'a');
    manager->OnChar(1, 0x1E, 'a'); // a new press after the release
    const int32_t dropped[] = {8, 13, 27, 31, 127, 128, 159};
    for (int32_t character : dropped)
        manager->OnChar(1, 0, character);
    manager->OnChar(1, 0, 160);
    manager->OnChar(1, 0, 0x444);

    ASSERT_EQ(handler->keyEvents.size(), 5u);
    EXPECT_EQ(handler->keyEvents[0].character, 'a');
    EXPECT_EQ(handler->keyEvents[0].keyCode, -1);
    EXPECT_EQ(handler->keyEvents[1].action, 0);
    EXPECT_EQ(handler->keyEvents[2].action, 1);
    EXPECT_EQ(handler->keyEvents[3].character, 160);
    EXPECT_EQ(handler->keyEvents[4].character, 0x444);
}

TEST_F(InputManagerTest, ReleaseAllKeysReleasesInAscendingCodeOrder)
{
    manager->OnKey(1, 0x2A, 287); // left Shift first
    manager->OnKey(1, 0x1E, 'A');
    handler->keyEvents.clear();

    manager->ReleaseAllKeys();
    ASSERT_EQ(handler->keyEvents.size(), 2u);
    EXPECT_EQ(handler->keyEvents[0].keyCode, 'A');
    EXPECT_EQ(handler->keyEvents[0].action, 0);
    EXPECT_EQ(handler->keyEvents[0].scanCode, 0x1E);
    EXPECT_EQ(handler->keyEvents[1].keyCode, 287);
    EXPECT_EQ(handler->keyEvents[1].scanCode, 0x2A);
    EXPECT_EQ(manager->keyState['A'], 0);

    // Nothing is down any more: a second call and a late release send nothing.
    manager->ReleaseAllKeys();
    manager->OnKey(0, 0x1E, 'A');
    EXPECT_EQ(handler->keyEvents.size(), 2u);
}

TEST_F(InputManagerTest, OffersEventsToHandlersInOrderUntilOneTakesThem)
{
    handler.reset();
    auto declining = std::make_unique<cRecordingHandler>(false);
    auto taking = std::make_unique<cRecordingHandler>(true);
    auto last = std::make_unique<cRecordingHandler>(true);
    manager->OnKey(1, 0x1E, 'A');
    EXPECT_EQ(declining->keyEvents.size(), 1u);
    EXPECT_EQ(taking->keyEvents.size(), 1u);
    EXPECT_TRUE(last->keyEvents.empty());

    taking.reset(); // a deleted handler leaves the list
    manager->OnKey(0, 0x1E, 'A');
    EXPECT_EQ(last->keyEvents.size(), 1u);
    EXPECT_EQ(manager->GetHandlers().GetCount(), 2u);
}

TEST_F(InputManagerTest, InitialisesOnce)
{
    EXPECT_FALSE(manager->Init());
    EXPECT_EQ(gInputManager, manager.get());
    manager.reset();
    EXPECT_EQ(gInputManager, nullptr);
    EXPECT_EQ(GetInputTarget(), nullptr);
}

// A renderer that only keeps the screen state.
class cScreenOnlyRenderer : public cRenderer
{
public:
    cDeviceTexture* CreateDeviceTexture(const cPVRImage&) override { return nullptr; }
    void Clear(uint32_t) override {}
    void Present() override {}
    void SetViewport(uint32_t, uint32_t, uint32_t, uint32_t) override {}
    void DrawArrays(ePrimitive, const cVertexFormat&, const void*, uint32_t) override {}
    void DrawIndexed(ePrimitive, const cVertexFormat&, const void*, uint32_t, const uint16_t*, uint32_t) override {}
    void SetClearDepth(float) override {}
    void SetClearColour(uint32_t) override {}
    void SetCullMode(eCullMode) override {}
    void SetDepthFunc(eDepthFunc) override {}
    void SetColour(uint32_t) override {}
    void SetBlendMode(eBlendMode) override {}
    void SetProjectionMatrix(const cMatrix44&) override {}
    void SetModelMatrix(const cMatrix44&) override {}
    void SetViewMatrix(const cMatrix44&) override {}
    void SetScissor(const cClipRect&) override {}
    void DisableScissor() override {}
    void BindTexture(int, cTexture*, eSampling) override {}
    void SetTextureSampling(int, eSampling) override {}
};

class InputManagerScreenTest : public InputManagerTest
{
protected:
    void SetUp() override
    {
        InputManagerTest::SetUp();
        InitFastMathTables();
        gRenderer = &renderer;
        renderer.SetScreenSize(320, 480);
        renderer.SetOrientation(0, kOrientationUpright, true);
    }
    void TearDown() override
    {
        gRenderer = nullptr;
        InputManagerTest::TearDown();
    }

    cVector2 PositionOfTouchAt(float x, float y)
    {
        cTouch touch;
        touch.SetPosition(x, y, true);
        return touch.position;
    }

    cScreenOnlyRenderer renderer;
};

TEST_F(InputManagerScreenTest, MapsTouchesToTheLogicalOrientation)
{
    struct cCase
    {
        eOrientation orientation;
        float x, y;
        float expectedX, expectedY;
    };
    const cCase cases[] = {
        {kOrientationUpright, 10, 20, 10, 20},
        {kOrientationUpright, -10, 1000, 0, 479}, // clamped to the display first
        {kOrientationQuarter, 0, 0, 479, 0},
        {kOrientationHalf, 0, 0, 319, 479},
        {kOrientationMinusQuarter, 0, 0, 0, 319},
        {kOrientationFree, 10, 20, 0, 0},
    };
    for (const cCase& c : cases)
    {
        renderer.SetOrientation(0, c.orientation, true);
        const cVector2 position = PositionOfTouchAt(c.x, c.y);
        EXPECT_FLOAT_EQ(position.X, c.expectedX) << "orientation " << c.orientation;
        EXPECT_FLOAT_EQ(position.Y, c.expectedY) << "orientation " << c.orientation;
    }
}
} // namespace
