#include <gtest/gtest.h>

#include <cmath>

#include "ui/DialogueFixture.h"
#include "ui/LevelMeter.h"

namespace
{
// A strip of the test's own: 10 x 100 pixels over texture 0..1 both ways.
constexpr cAtlasSprite kStrip = {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 10.0f, 100.0f, 10.0f, 100.0f, 5.0f, 50.0f};

class LevelMeterTest : public DialogueFixture
{
protected:
    LevelMeterTest() { canvas = Place(new cCanvasWidget(), {0, 0, 640, 480}); }

    // The quads one frame of the bar draws at that level.
    std::vector<cDrawnQuad> DrawBar(cMeterBar& bar, float level)
    {
        canvas->paint = [&](cDrawList& list) { bar.Draw(list, kLit, kUnlit, level); };
        Frame();
        return Quads();
    }

    static constexpr uint32_t kLit = 0xff00ff00, kUnlit = 0xff000080;
    cCanvasWidget* canvas = nullptr;
};

TEST_F(LevelMeterTest, DecibelsComeFromTheFloatsExponentAndMantissa)
{
    EXPECT_FLOAT_EQ(FastGainToDecibels(1.0f), 0.0f);
    EXPECT_NEAR(FastGainToDecibels(0.5f), -6.0206f, 1e-4f);
    EXPECT_NEAR(FastGainToDecibels(0.75f), -3.0103f, 1e-4f);
    EXPECT_NEAR(FastGainToDecibels(2.0f), 6.0206f, 1e-4f);
    EXPECT_EQ(FastGainToDecibels(3.1622763e-5f), -90.0f);
    EXPECT_EQ(FastGainToDecibels(0.0f), -90.0f);
    EXPECT_EQ(FastGainToDecibels(-1.0f), -90.0f);

    cLevelMeter meter;
    EXPECT_NEAR(meter.LevelOfGain(0.5f), 0.7684f, 1e-4f);
    EXPECT_NEAR(meter.LevelOfGain(1.0f), 1.0f, 1e-6f);
}

TEST_F(LevelMeterTest, GainsLightWholeSegments)
{
    cMeterBar bar;
    bar.Init(&kStrip, 2, kMeterVertical);
    bar.SetPlace(100, 50, 40);
    ASSERT_EQ(bar.segmentCount, 20);
    cLevelMeter meter;
    struct cCase
    {
        float gain;
        int litSegments;
    } cases[] = {
        {1.0f, 20}, {0.5f, 15}, {4.0f, 20}, {3.1622763e-5f, 0}, {0.04f, 0}, {0.0f, 0}, {NAN, 0},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.gain);
        const std::vector<cDrawnQuad> quads = DrawBar(bar, meter.LevelOfGain(c.gain));
        ASSERT_FALSE(quads.empty());
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_FLOAT_EQ(quads[0].rect.yMax, 90);
        EXPECT_FLOAT_EQ(quads[0].rect.yMax - quads[0].rect.yMin, c.litSegments * 2.0f);
    }
    // A level that is not a number lights nothing.
    const std::vector<cDrawnQuad> quads = DrawBar(bar, NAN);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].rect.yMin, quads[0].rect.yMax);
}

TEST_F(LevelMeterTest, ABarIsCutToTheStripAndToWholeSegments)
{
    struct cCase
    {
        float requested;
        int segments;
        float length;
    } cases[] = {{121, 50, 100}, {61, 30, 60}, {100, 50, 100}, {1, 0, 0}};
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.requested);
        cMeterBar bar;
        bar.Init(&kStrip, 2, kMeterVertical);
        bar.SetPlace(0, 0, c.requested);
        EXPECT_EQ(bar.segmentCount, c.segments);
        EXPECT_EQ(bar.length, c.length);
        EXPECT_FLOAT_EQ(bar.textureEnd[1], c.length / 100.0f);
    }
    // A bar without a whole segment draws nothing, whatever its flags.
    cMeterBar stub;
    stub.Init(&kStrip, 2, kMeterVertical | kMeterBackground | kMeterPeakHold);
    stub.SetPlace(0, 0, 1);
    EXPECT_TRUE(DrawBar(stub, 0.7f).empty());
}

TEST_F(LevelMeterTest, APeakHoldsASecondAndThenFallsToTheLevel)
{
    cMeterBar bar;
    bar.Init(&kStrip, 2, kMeterVertical | kMeterPeakHold);
    bar.SetPlace(100, 0, 100);
    DrawBar(bar, 0.8f);
    for (int frame = 1; frame <= 58; ++frame)
    {
        const std::vector<cDrawnQuad> quads = DrawBar(bar, 0.3f);
        ASSERT_EQ(quads.size(), 2u) << "frame " << frame;
        // One segment just below the 0.8 line.
        EXPECT_FLOAT_EQ(quads[1].rect.yMin, 20);
        EXPECT_FLOAT_EQ(quads[1].rect.yMax, 22);
    }
    DrawBar(bar, 0.3f);
    DrawBar(bar, 0.3f);
    EXPECT_EQ(DrawBar(bar, 0.3f).size(), 1u) << "the peak has fallen to the level";
    EXPECT_FLOAT_EQ(bar.peak, 0.3f);
}

TEST_F(LevelMeterTest, FlagsChooseTheLitPart)
{
    struct cCase
    {
        const char* name;
        uint32_t flags;
        float level;
        cRect lit;
    } cases[] = {
        {"vertical", kMeterVertical, 0.25f, {0, 75, 10, 100}},
        {"inverted vertical", kMeterVertical | kMeterInverted | kMeterPeakHold, 0.25f, {0, 0, 10, 75}},
        {"horizontal", 0, 0.5f, {0, 0, 5, 100}},
        {"inverted horizontal", kMeterInverted, 0.5f, {5, 0, 10, 100}},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        cMeterBar bar;
        bar.Init(&kStrip, 1, c.flags);
        bar.SetPlace(0, 0, 100);
        bar.peak = 0.9f;
        bar.peakTime = 0.5f;
        const std::vector<cDrawnQuad> quads = DrawBar(bar, c.level);
        ASSERT_EQ(quads.size(), 1u) << "inverted bars show no peak";
        EXPECT_FLOAT_EQ(quads[0].rect.xMin, c.lit.xMin);
        EXPECT_FLOAT_EQ(quads[0].rect.yMin, c.lit.yMin);
        EXPECT_FLOAT_EQ(quads[0].rect.xMax, c.lit.xMax);
        EXPECT_FLOAT_EQ(quads[0].rect.yMax, c.lit.yMax);
        EXPECT_EQ(quads[0].colour, kLit);
    }
}

TEST_F(LevelMeterTest, TheStereoMeterPlacesItsBarsAndRefusesAnEmptyRange)
{
    cLevelMeter meter;
    meter.SetRect({10, 20, 41, 120});
    EXPECT_FLOAT_EQ(meter.bars[0].x0, 10);
    EXPECT_FLOAT_EQ(meter.bars[1].x0, 25.5f);
    EXPECT_FLOAT_EQ(meter.bars[0].y0, 20);
    EXPECT_LE(meter.bars[0].length, 100);

    EXPECT_FALSE(meter.SetRange(0.0f, 0.0f));
    EXPECT_FALSE(meter.SetRange(-10.0f, -20.0f));
    EXPECT_FLOAT_EQ(meter.scale, 1.0f / 26.0f);
    EXPECT_FLOAT_EQ(meter.floor, -26.0f);
    EXPECT_TRUE(meter.SetRange(-48.0f, 6.0f));
    EXPECT_FLOAT_EQ(meter.floor, -48.0f);
    EXPECT_NEAR(meter.LevelOfGain(1.0f), 48.0f / 54.0f, 1e-5f);
}

TEST_F(LevelMeterTest, ClipLEDsShowOnlyWithTheirFlag)
{
    cLevelMeter meter;
    meter.SetBackground(&Sprite(426), 2, 3);
    meter.SetClipLEDs(&Sprite(427), &Sprite(428), &Sprite(429), &Sprite(430), 0);
    meter.SetRect({100, 100, 124, 300});
    canvas->paint = [&](cDrawList& list) { meter.Draw(2.0f, 0.1f, list, true, false, 255); };
    Frame();
    EXPECT_TRUE(QuadsOf(430).empty());
    EXPECT_FALSE(QuadsInside(426).empty());

    meter.flags |= kMeterClipLEDs;
    Frame();
    ASSERT_EQ(QuadsOf(427).size(), 1u);
    ASSERT_EQ(QuadsOf(430).size(), 1u) << "only the left clips";
    const cRect housing = QuadsOf(427)[0].rect;
    EXPECT_FLOAT_EQ(housing.yMax, 100);
    EXPECT_FLOAT_EQ(housing.xMin, 100);
    const cRect led = QuadsOf(430)[0].rect;
    const float centre = Sprite(428).centreX - Sprite(427).x0 + housing.xMin;
    EXPECT_NEAR((led.xMin + led.xMax) / 2, centre, 0.5f);
    // The left bar is full in the value colour, the right one dark.
    bool litInValueColour = false;
    for (const cDrawnQuad& quad : Quads())
        litInValueColour = litInValueColour || quad.colour == 0xffe5b000u;
    EXPECT_TRUE(litInValueColour);
}
} // namespace
