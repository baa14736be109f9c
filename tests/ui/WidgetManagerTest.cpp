#include "ui/WidgetFixture.h"

namespace
{
using WidgetManagerTest = WidgetFixture;

TEST_F(WidgetManagerTest, StartsWithAnEmptyRootOverTheScreenAndStopsOnce)
{
    EXPECT_EQ(cWidgetManager::GetInstance(), manager.get());
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetName(), "ROOT");
    EXPECT_EQ(root->GetAnchorWord() & 0xffff, kAnchorsFillParent);
    EXPECT_FLOAT_EQ(manager->GetScreenRect().xMax, kScreenWidth);
    EXPECT_FLOAT_EQ(manager->GetScreenRect().yMax, kScreenHeight);
    EXPECT_FALSE(manager->Init(&renderer));
    EXPECT_FLOAT_EQ(root->GetRect().xMax, kScreenWidth);

    EXPECT_TRUE(manager->Shutdown());
    EXPECT_FALSE(manager->Shutdown());
    EXPECT_EQ(manager->GetRoot(), nullptr);
    manager->Draw();
    EXPECT_TRUE(manager->Init(&renderer)) << "a stopped manager starts again";
}

TEST_F(WidgetManagerTest, RegistersWithTheInputManagerForItsLifetime)
{
    EXPECT_EQ(input->GetHandlers().GetLast(), manager.get());
    manager.reset();
    EXPECT_TRUE(input->GetHandlers().IsEmpty());
    EXPECT_EQ(cWidgetManager::GetInstance(), nullptr);
}

// The up of a captured touch reaches its captor with the capture already
// gone; the next down of that id travels the tree again.
TEST_F(WidgetManagerTest, ACapturedTouchGoesToItsCaptorUntilItsUp)
{
    cProbeWidget* backdrop = AddProbe(root, "backdrop", {0, 0, 640, 480});
    cProbeWidget* knob = AddProbe(root, "knob", {100, 100, 150, 150}, true, true);
    Frame();
    Down(4, 120, 120);
    Move(4, 500, 400);
    Up(4, 510, 410);
    ASSERT_EQ(knob->touches.size(), 3u);
    EXPECT_FALSE(knob->touches[0].asCaptor);
    EXPECT_TRUE(knob->touches[1].asCaptor);
    EXPECT_FLOAT_EQ(knob->touches[1].x, 500);
    EXPECT_TRUE(knob->touches[2].asCaptor);
    EXPECT_EQ(knob->touches[2].captures, 0) << "the entry is gone when the up arrives";
    EXPECT_TRUE(backdrop->touches.empty());

    Down(4, 300, 300);
    EXPECT_EQ(backdrop->touches.size(), 1u);
    EXPECT_EQ(knob->touches.size(), 3u);
}

TEST_F(WidgetManagerTest, TheOlderOfTwoCapturesWinsAndANinthIsIgnored)
{
    cProbeWidget* first = AddProbe(root, "first", {0, 0, 10, 10});
    cProbeWidget* second = AddProbe(root, "second", {0, 0, 10, 10});
    manager->CaptureTouch(first, 7);
    second->CaptureTouch(7);
    input->GetTouchTracker().BeginTouchAt(7, 50, 50, 0.0);
    Move(7, 60, 60);
    Up(7, 60, 60);
    ASSERT_EQ(first->touches.size(), 2u);
    EXPECT_EQ(first->touches[1].type, kTouchUp);
    EXPECT_TRUE(second->touches.empty());
    EXPECT_EQ(manager->GetCaptureCount(), 1) << "only the older entry is removed";

    for (int id = 10; id < 20; ++id)
        second->CaptureTouch(id);
    EXPECT_EQ(manager->GetCaptureCount(), cWidgetManager::kMaxCaptures);
    EXPECT_TRUE(manager->ReleaseCapture(second));
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    EXPECT_FALSE(manager->ReleaseCapture(second));
}

TEST_F(WidgetManagerTest, RefusesTouchEventsOfUnknownTypes)
{
    AddProbe(root, "backdrop", {0, 0, 640, 480});
    cTouch* touch = input->GetTouchTracker().BeginTouchAt(1, 10, 10, 0.0);
    EXPECT_FALSE(manager->HandleTouchEvent(3, touch));
    EXPECT_FALSE(manager->HandleTouchEvent(-1, touch));
    EXPECT_TRUE(manager->HandleTouchEvent(kTouchDown, touch));
}

// With the timer and the period as 32-bit floats, 0.35 s is first exceeded
// after 21 frames; the alpha moves by 25 a frame.
TEST_F(WidgetManagerTest, TheBlinkFlipsEvery21FramesAndFadesBy25AFrame)
{
    std::vector<int32_t> alphas;
    std::vector<int> flips;
    bool phase = manager->GetBlinkPhase();
    for (int frame = 1; frame <= 63; ++frame)
    {
        Frame();
        alphas.push_back(manager->GetBlinkAlpha());
        if (manager->GetBlinkPhase() != phase)
        {
            flips.push_back(frame);
            phase = manager->GetBlinkPhase();
        }
    }
    EXPECT_EQ(flips, (std::vector<int>{21, 42, 63}));
    EXPECT_EQ(alphas[19], 0);
    EXPECT_EQ(alphas[20], 25);
    EXPECT_EQ(alphas[29], 250);
    EXPECT_EQ(alphas[30], 255) << "11 frames into the on phase";
    EXPECT_EQ(alphas[40], 255);
    EXPECT_EQ(alphas[41], 230);
    EXPECT_EQ(alphas[51], 0) << "11 frames into the off phase";
    EXPECT_EQ(gBlinkAlpha, manager->GetBlinkAlpha()) << "the one blink of the program";
}

TEST_F(WidgetManagerTest, ScreenRectChangesInvalidateTheTreeButTheRectInForceDoesNot)
{
    cProbeWidget* child = AddProbe(root, "child", {0, 0, 10, 10});
    cProbeWidget* grandchild = AddProbe(child, "grandchild", {0, 0, 5, 5});
    Frame();
    ASSERT_EQ(grandchild->GetFlags() & kWidgetAllDirty, 0u);

    manager->SetScreenRect({0, 0, kScreenWidth, kScreenHeight + 0.0000001f});
    EXPECT_EQ(grandchild->GetFlags() & kWidgetAllDirty, 0u);
    EXPECT_EQ(root->GetFlags() & kWidgetAllDirty, 0u);

    manager->SetScreenRect({0, 0, 800, 600});
    EXPECT_TRUE(root->HasFlags(kWidgetRectAndLayoutDirty));
    EXPECT_TRUE(grandchild->HasFlags(kWidgetRectAndLayoutDirty));
    Frame();
    EXPECT_FLOAT_EQ(root->GetRect().xMax, 800);
    EXPECT_FLOAT_EQ(root->GetRect().yMax, 600);
}

TEST_F(WidgetManagerTest, SensitivityScalesFollowTheUsersChoice)
{
    EXPECT_EQ(manager->knobControl, 0);
    EXPECT_EQ(manager->sensitivity, 1);
    const float expected[3] = {0.7f, 1.0f, 1.3f};
    for (int index = 0; index < 3; ++index)
    {
        manager->sensitivity = index;
        EXPECT_FLOAT_EQ(manager->GetSensitivityScale(), expected[index]);
    }
}

} // namespace
