#include <gtest/gtest.h>

#include "FakeInputTarget.h"
#include "platform/MouseTouchTranslator.h"

namespace
{
using cCall = cFakeInputTarget::cCall;
using tMouse = cMouseTouchTranslator;

void ExpectTouch(const cCall& call, const char* what, int id, float x, float y)
{
    EXPECT_EQ(call.what, what);
    EXPECT_EQ(call.id, id);
    EXPECT_FLOAT_EQ(call.x, x);
    EXPECT_FLOAT_EQ(call.y, y);
}

TEST(MouseTouchTranslatorTest, RightDragMirrorsTheSecondFingerAboutThePressPoint)
{
    cFakeInputTarget target;
    tMouse::OnButtonDown(target, tMouse::kRight, false, 100, 100);
    tMouse::OnMove(target, 130, 90);
    tMouse::OnButtonUp(target, tMouse::kRight, 130, 90);

    ASSERT_EQ(target.calls.size(), 6u);
    ExpectTouch(target.calls[0], "began", 1, 100, 100);
    ExpectTouch(target.calls[1], "began", 2, 100, 100);
    ExpectTouch(target.calls[2], "moved", 1, 130, 90);
    ExpectTouch(target.calls[3], "moved", 2, 70, 110);
    ExpectTouch(target.calls[4], "ended", 1, 130, 90);
    ExpectTouch(target.calls[5], "ended", 2, 70, 110);
    EXPECT_EQ(target.state.gesture, 0);
    EXPECT_EQ(target.state.buttons, 0u);
}

TEST(MouseTouchTranslatorTest, LeftButtonIsOneFingerAndADragCancelsTheMultiTap)
{
    cFakeInputTarget target;
    tMouse::OnMove(target, 5, 5); // no touch yet: nothing
    tMouse::OnButtonDown(target, tMouse::kLeft, false, 10, 20);
    tMouse::OnMove(target, 15, 25);
    tMouse::OnButtonUp(target, tMouse::kLeft, 16, 26);

    ASSERT_EQ(target.calls.size(), 3u);
    ExpectTouch(target.calls[0], "began", 1, 10, 20);
    ExpectTouch(target.calls[1], "moved", 1, 15, 25);
    EXPECT_EQ(target.calls[1].code, 1);
    ExpectTouch(target.calls[2], "ended", 1, 16, 26);
    EXPECT_EQ(target.state.gesture, 0);
}

TEST(MouseTouchTranslatorTest, LeftPressDuringTheGestureEndsItWithoutANewTouch)
{
    cFakeInputTarget target;
    tMouse::OnButtonDown(target, tMouse::kRight, false, 100, 100);
    tMouse::OnButtonDown(target, tMouse::kLeft, false, 110, 100);
    ASSERT_EQ(target.calls.size(), 4u);
    ExpectTouch(target.calls[2], "ended", 1, 110, 100);
    ExpectTouch(target.calls[3], "ended", 2, 90, 100);
    EXPECT_EQ(target.state.gesture, 0);

    // Neither the left release nor the right one starts or ends anything now.
    tMouse::OnButtonUp(target, tMouse::kLeft, 110, 100);
    tMouse::OnButtonUp(target, tMouse::kRight, 110, 100);
    EXPECT_EQ(target.calls.size(), 4u);
}

TEST(MouseTouchTranslatorTest, IgnoresTheOtherButtonAndDoubleClicksWhereTheyStartNothing)
{
    cFakeInputTarget target;
    // A right double-click's second click starts no gesture.
    tMouse::OnButtonDown(target, tMouse::kRight, true, 50, 50);
    EXPECT_TRUE(target.calls.empty());
    tMouse::OnButtonUp(target, tMouse::kRight, 50, 50);

    // While one finger is down the right button does nothing.
    tMouse::OnButtonDown(target, tMouse::kLeft, false, 10, 10);
    tMouse::OnButtonDown(target, tMouse::kRight, false, 20, 20);
    tMouse::OnButtonUp(target, tMouse::kRight, 20, 20);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.state.gesture, 1);
    tMouse::OnButtonUp(target, tMouse::kLeft, 20, 20);

    // A left double-click in a gesture does nothing; from rest it is a press.
    target.calls.clear();
    tMouse::OnButtonDown(target, tMouse::kRight, false, 0, 0);
    tMouse::OnButtonDown(target, tMouse::kLeft, true, 0, 0);
    EXPECT_EQ(target.calls.size(), 2u);
    EXPECT_EQ(target.state.gesture, 2);
    tMouse::OnButtonUp(target, tMouse::kRight, 0, 0);
    tMouse::OnButtonUp(target, tMouse::kLeft, 0, 0);
    target.calls.clear();
    tMouse::OnButtonDown(target, tMouse::kLeft, true, 3, 4);
    ASSERT_EQ(target.calls.size(), 1u);
    ExpectTouch(target.calls[0], "began", 1, 3, 4);
}
} // namespace
