#include "render/Renderer.h"

#include "base/FastMath.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

namespace
{
class RendererTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { InitFastMathTables(); }

    cRecordingRenderer renderer;
};

void ExpectClip(const cClipRect& actual, float x, float y, float width, float height)
{
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
    EXPECT_FLOAT_EQ(actual.width, width);
    EXPECT_FLOAT_EQ(actual.height, height);
}

cMatrix44 Translation(float x, float y)
{
    cMatrix44 m = {};
    m.Row0.X = m.Row1.Y = m.Row2.Z = m.Row3.W = 1.0f;
    m.Row3.X = x;
    m.Row3.Y = y;
    return m;
}
} // namespace

TEST_F(RendererTest, NestedClipsShrinkAndPopsRestoreTheEnclosingScissor)
{
    renderer.SetScreenSize(200, 200);
    renderer.Push2DProjection(-1, -1);
    const cRect bounds = {0, 0, 200, 200};

    ASSERT_TRUE(renderer.PushClipRect({0, 0, 100, 100}, bounds));
    ExpectClip(renderer.scissor, 0, 100, 100, 100);
    ASSERT_TRUE(renderer.PushClipRect({50, 50, 200, 200}, bounds));
    ExpectClip(renderer.scissor, 50, 100, 50, 50);

    renderer.PopClipRect();
    ExpectClip(renderer.scissor, 0, 100, 100, 100);
    EXPECT_TRUE(renderer.scissorEnabled);
    renderer.PopClipRect();
    EXPECT_FALSE(renderer.scissorEnabled);
}

TEST_F(RendererTest, ClipsMoveWithTheViewAndCollapseOutsideTheirBounds)
{
    renderer.SetScreenSize(200, 200);
    renderer.Push2DProjection(-1, -1);
    renderer.PushViewMatrix(Translation(10, 20));
    ASSERT_TRUE(renderer.PushClipRect({0, 0, 50, 50}, {0, 0, 200, 200}));
    ExpectClip(renderer.scissor, 10, 130, 50, 50);
    renderer.PopClipRect();
    renderer.PopViewMatrix();

    ASSERT_TRUE(renderer.PushClipRect({300, 300, 400, 400}, {0, 0, 200, 200}));
    EXPECT_FLOAT_EQ(renderer.scissor.width, 0.0f);
    EXPECT_FLOAT_EQ(renderer.scissor.height, 0.0f);
}

TEST_F(RendererTest, StacksRefusePushesBeyondSixAndAbsorbTheirPops)
{
    renderer.SetScreenSize(200, 200);
    renderer.Push2DProjection(-1, -1);
    const cRect bounds = {0, 0, 200, 200};
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(renderer.PushClipRect({float(i), 0, 200, 200}, bounds)) << i;
    EXPECT_FALSE(renderer.PushClipRect({100, 100, 150, 150}, bounds));
    EXPECT_EQ(renderer.clipStack.Count(), 6);
    ExpectClip(renderer.scissor, 5, 0, 195, 200);

    renderer.PopClipRect(); // the refused level
    EXPECT_EQ(renderer.clipStack.Count(), 6);
    renderer.PopClipRect();
    ExpectClip(renderer.scissor, 4, 0, 196, 200);
    for (int i = 0; i < 5; ++i)
        renderer.PopClipRect();
    EXPECT_FALSE(renderer.scissorEnabled);
    renderer.PopClipRect(); // one pop too many changes nothing
    EXPECT_EQ(renderer.clipStack.Count(), 0);

    // The model stack holds the reset's identity and the projection's, so four more fit.
    for (int i = 0; i < 4; ++i)
        renderer.PushModelMatrix(Translation(float(i), 0));
    renderer.calls.clear();
    renderer.PushModelMatrix(Translation(99, 0));
    EXPECT_EQ(renderer.modelStack.Count(), 6);
    EXPECT_TRUE(renderer.calls.empty());
    EXPECT_FLOAT_EQ(renderer.modelStack.Top().Row3.X, 3.0f);
    renderer.PopModelMatrix();
    EXPECT_TRUE(renderer.calls.empty());
    renderer.PopModelMatrix();
    EXPECT_FLOAT_EQ(renderer.modelStack.Top().Row3.X, 2.0f);
    EXPECT_EQ(renderer.calls.back(), "SetModelMatrix");
}

TEST_F(RendererTest, ScreenSizeAndOrientation)
{
    renderer.SetScreenSize(1024, 768);
    EXPECT_FLOAT_EQ(renderer.viewport[2], 1024.0f);
    EXPECT_FLOAT_EQ(renderer.viewport[3], 768.0f);
    renderer.calls.clear();
    renderer.SetScreenSize(1024, 768);
    EXPECT_TRUE(renderer.calls.empty()) << "the same size sets no viewport";

    renderer.SetOrientation(0, kOrientationQuarter, false);
    EXPECT_FLOAT_EQ(renderer.screen.orientedWidth, 768.0f);
    EXPECT_FLOAT_EQ(renderer.screen.orientedHeight, 1024.0f);
    EXPECT_FLOAT_EQ(renderer.screen.aspect, 1024.0f / 768.0f);
    renderer.Push2DProjection(-1, -1);
    EXPECT_FLOAT_EQ(renderer.projectionStack.Top().Row0.X, 2.0f / 768.0f);
    EXPECT_FLOAT_EQ(renderer.projectionStack.Top().Row1.Y, -2.0f / 1024.0f);
    renderer.PopProjectionMatrix();

    renderer.SetOrientation(0, kOrientationUpright, false);
    renderer.Push2DProjection(0, 0);
    EXPECT_FLOAT_EQ(renderer.projectionStack.Top().Row0.X, 2.0f / 1024.0f);
}

TEST_F(RendererTest, ResetLeavesKnownStates)
{
    EXPECT_EQ(renderer.cullMode, kCullNone);
    EXPECT_EQ(renderer.blendMode, kBlendOff);
    EXPECT_EQ(renderer.depthFunc, kDepthGreaterEqual);
    EXPECT_EQ(renderer.colour, 0xffffffffu);
    EXPECT_EQ(renderer.clearColour, 0xff000000u);
    EXPECT_FALSE(renderer.scissorEnabled);
    EXPECT_EQ(renderer.texture0, nullptr);
    EXPECT_EQ(renderer.sampling0, kSamplingLinear);
    EXPECT_EQ(renderer.screen.orientation, kOrientationUpright);
    EXPECT_EQ(renderer.modelStack.Count(), 1);
}
