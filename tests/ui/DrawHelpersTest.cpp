#include <gtest/gtest.h>

#include <cmath>

#include "render/Image.h"
#include "ui/DialogueFixture.h"
#include "ui/DrawHelpers.h"

namespace
{
class cFixedRecordingState : public cRecordingStateSource
{
public:
    int32_t GetTransportState() const override { return state; }
    bool GetRecordOption() const override { return option; }
    int32_t state = 0;
    bool option = false;
};

class DrawHelpersTest : public DialogueFixture
{
protected:
    DrawHelpersTest() { canvas = Place(new cCanvasWidget(), {0, 0, 640, 480}); }
    ~DrawHelpersTest() override { SetRecordingStateSource(nullptr); }

    void Paint(std::function<void(cDrawList&)> paint)
    {
        canvas->paint = std::move(paint);
        Frame();
    }

    cCanvasWidget* canvas = nullptr;
};

TEST_F(DrawHelpersTest, AProgressFillRunsFromStartToEndCutToTheBar)
{
    struct cCase
    {
        float start, end, x0, x1;
    } cases[] = {
        {0.0f, 0.5f, 12, 62},   {0.25f, 1.0f, 37, 112}, {0.8f, 0.5f, 62, 62},
        {-0.5f, 1.7f, 12, 112}, {0.5f, -1.0f, 12, 12},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.start);
        Paint([&](cDrawList& list)
              { DrawProgressBar(list, "", 10, 20, 104, c.start, c.end, true, &Sprite(424), &Sprite(425)); });
        const std::vector<cDrawnQuad> fills = QuadsOf(425);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_FLOAT_EQ(fills[0].rect.xMin, c.x0);
        EXPECT_FLOAT_EQ(fills[0].rect.xMax, c.x1);
        EXPECT_FLOAT_EQ(fills[0].rect.yMin, 20 + (Sprite(424).height - Sprite(425).height) / 2);
    }
    Paint([&](cDrawList& list) { DrawProgressBar(list, "Saving", 10, 40, 104, 0, 1, false, &Sprite(424), &Sprite(425)); });
    EXPECT_TRUE(QuadsInside(424).empty()) << "no bar without show bar";
    ASSERT_TRUE(FindText("Saving"));
    EXPECT_EQ(FindText("Saving")->colour, 0xff1e1e1eu);
}

TEST_F(DrawHelpersTest, AnLEDLightsOverItsUnlitLensByBrightness)
{
    const uint32_t red = 0x000000ff;
    Paint([&](cDrawList& list) { DrawLED(list, 0, 100, 100, 0.005f, red); });
    EXPECT_EQ(QuadsOf(413).size(), 1u);
    EXPECT_EQ(QuadsOf(413)[0].colour, 0xff0000ffu);
    EXPECT_TRUE(QuadsOf(419).empty());

    Paint([&](cDrawList& list) { DrawLED(list, 0, 100, 100, 2.0f, red); });
    ASSERT_EQ(QuadsOf(419).size(), 1u);
    EXPECT_EQ(QuadsOf(419)[0].colour, 0xff0000ffu);
    const cDrawnQuad lit = QuadsOf(419)[0];
    EXPECT_FLOAT_EQ(lit.rect.xMax - lit.rect.xMin, Sprite(419).width);
    EXPECT_NEAR((lit.rect.xMin + lit.rect.xMax) / 2, 100, 0.5f);

    Paint([&](cDrawList& list) { DrawLED(list, 4, 50, 50, 0.5f, red); });
    ASSERT_EQ(QuadsOf(422).size(), 1u);
    EXPECT_EQ(QuadsOf(422)[0].colour >> 24, 127u);
    EXPECT_EQ(QuadsOf(416).size(), 1u);

    Paint([&](cDrawList& list) { DrawLED(list, 6, 50, 50, 1.0f, red); });
    EXPECT_TRUE(Quads().empty()) << "an unknown type draws nothing";
}

TEST_F(DrawHelpersTest, TheRecordingMarkerBlinksOnlyWhileRecording)
{
    cFixedRecordingState transport;
    struct cCase
    {
        bool installed;
        int32_t state;
        bool option;
        int32_t blink;
        int expectedSprite; // 0: nothing drawn
    } cases[] = {
        {false, 3, true, 200, 0}, {true, 3, true, 200, 308}, {true, 3, false, 200, 312},
        {true, 3, false, 0, 0},   {true, 1, true, 200, 0},   {true, 4, false, 255, 0},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.state << " " << c.option << " " << c.blink);
        transport.state = c.state;
        transport.option = c.option;
        SetRecordingStateSource(c.installed ? &transport : nullptr);
        Paint([&](cDrawList& list)
              {
                  gBlinkAlpha = c.blink;
                  DrawRecordBlinkMarker(list, 200, 30);
              });
        const size_t drawn = QuadsOf(308).size() + QuadsOf(312).size();
        if (c.expectedSprite == 0)
        {
            EXPECT_EQ(drawn, 0u);
            continue;
        }
        ASSERT_EQ(QuadsOf(c.expectedSprite).size(), 1u);
        EXPECT_EQ(QuadsOf(c.expectedSprite)[0].colour, (uint32_t(c.blink) << 24) | 0x00ffffffu);
    }
}

TEST_F(DrawHelpersTest, TheSpinnerTurnsEightRadiansASecondAndWraps)
{
    float angle = 0.0f;
    EXPECT_NEAR(AdvanceSpinnerAngle(angle), 0.1333f, 0.0001f);
    for (int frame = 2; frame < 48; ++frame)
        AdvanceSpinnerAngle(angle);
    EXPECT_GT(angle, 6.2f) << "47 frames have not yet wrapped";
    AdvanceSpinnerAngle(angle);
    EXPECT_NEAR(angle, 48 * 8.0f / 60.0f - 6.2831853f, 0.001f) << "the 48th wraps";

    for (float a = -10.0f; a < 10.0f; a += 0.05f)
    {
        float s, c;
        FastSinCos(a, &s, &c);
        EXPECT_NEAR(s, std::sin(a), 0.002f) << a;
        EXPECT_NEAR(c, std::cos(a), 0.002f) << a;
    }

    // A quarter turn draws the sprite's corners a quarter round its centre.
    Paint([&](cDrawList& list) { DrawBusySpinner(list, 100, 100, 1.5707963f); });
    ASSERT_EQ(QuadsOf(287).size(), 1u);
    const cDrawnQuad spun = QuadsOf(287)[0];
    EXPECT_NEAR(spun.rect.xMax - spun.rect.xMin, Sprite(287).height, 0.05f);
    EXPECT_NEAR((spun.rect.xMin + spun.rect.xMax) / 2, 100, 0.6f);
}

TEST_F(DrawHelpersTest, ALinkLineJoinsTheCentresOfTwoWidgets)
{
    cProbeWidget* a = AddProbe(root, "a", {100, 100, 140, 121});
    cProbeWidget* b = AddProbe(root, "b", {300, 100, 340, 121});
    Paint([&](cDrawList& list) { DrawLinkLine(list, a, b); });
    ASSERT_EQ(QuadsOf(68).size(), 1u);
    const cRect bar = QuadsOf(68)[0].rect;
    EXPECT_EQ(bar.xMin, 120);
    EXPECT_EQ(bar.xMax, 320);
    EXPECT_EQ(bar.yMin, std::trunc(110.5f - Sprite(68).height / 2));
    EXPECT_EQ(bar.yMax - bar.yMin, Sprite(68).height);

    Paint([&](cDrawList& list) { DrawTitledFrame({50, 300, 250, 400}, list, "Bands"); });
    EXPECT_FALSE(QuadsInside(350).empty());
    ASSERT_TRUE(FindText("Bands"));
    EXPECT_EQ(FindText("Bands")->x, 53);
}
} // namespace
