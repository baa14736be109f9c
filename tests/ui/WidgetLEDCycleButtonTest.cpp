#include "support/ControlKit.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetLEDCycleButton.h"

namespace
{
using ::testing::ElementsAre;

constexpr int kLitLED = 127;
constexpr int kUnlitLED = 126;
constexpr uint32_t kLineColour = 0xff000000;

// A lamp button (its lit layout sprite is 24 x 24) in a 200 x 100 widget.
class WidgetLEDCycleButtonTest : public ControlFixture
{
protected:
    cWidgetLEDCycleButton* MakeButton(uint32_t flags, int32_t ledCount, const cRect& rect = {100, 100, 300, 200})
    {
        cWidgetLEDCycleButton* button = Place(ControlKit::LEDCycleButton(ledCount - 1, flags), rect);
        button->SetName("Wave");
        button->SetLEDCount(ledCount);
        const char* names[] = {"Saw", "Sqr", "Tri", "Sin"};
        for (int32_t i = 0; i < ledCount; ++i)
            button->SetLED(i, i, names[i % 4]);
        button->clickDelegate = recorder.Delegate();
        Frame();
        return button;
    }

    std::vector<cDrawnQuad> Lines() const
    {
        std::vector<cDrawnQuad> lines;
        for (const cDrawnQuad& quad : Quads())
            if (quad.colour == kLineColour)
                lines.push_back(quad);
        return lines;
    }

    static cVector2 CentreOf(const cRect& rect)
    {
        return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f};
    }
};

// Right of the body, running down: the body keeps to the top-left, the
// first LED sits 25 pixels right of its centre and the next 15 and 30 below.
TEST_F(WidgetLEDCycleButtonTest, LEDsRightOfTheBodyRunDownAJoinedTrack)
{
    cWidgetLEDCycleButton* button = MakeButton(kLEDSideRight | kLEDDownwards, 3);
    EXPECT_EQ((button->GetAnchorWord() >> 16) & 0xff, 0x11u) << "left- and top-aligned";
    const cRect& body = button->litBackground.layoutRect;
    EXPECT_FLOAT_EQ(body.xMin, 100.0f);
    EXPECT_FLOAT_EQ(body.yMin, 100.0f);
    const cVector2 centre = CentreOf(body);
    const std::vector<cWidgetLEDCycleButton::cLED>& leds = button->GetLEDs();
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_FLOAT_EQ(leds[size_t(i)].position.X, centre.X + 25.0f) << i;
        EXPECT_FLOAT_EQ(leds[size_t(i)].position.Y, centre.Y + 15.0f * float(i)) << i;
    }

    const std::vector<cDrawnQuad> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    const cRect track = lines[0].rect, connector = lines[1].rect;
    EXPECT_FLOAT_EQ(track.xMax - track.xMin, 2.0f) << "a vertical track";
    EXPECT_FLOAT_EQ(track.xMin, centre.X + 25.0f - 1.0f);
    EXPECT_FLOAT_EQ(track.yMin, centre.Y);
    EXPECT_FLOAT_EQ(track.yMax, centre.Y + 30.0f);
    EXPECT_FLOAT_EQ(connector.yMax - connector.yMin, 2.0f) << "a horizontal connector";
    EXPECT_FLOAT_EQ(connector.xMin, centre.X);
    EXPECT_FLOAT_EQ(connector.xMax, centre.X + 25.0f);

    const std::vector<cDrawnQuad> ledQuads = QuadsOf(kUnlitLED);
    ASSERT_EQ(ledQuads.size(), 3u);
    EXPECT_FLOAT_EQ(CentreOf(ledQuads[2].rect).Y, centre.Y + 30.0f);
    ASSERT_TRUE(FindText("Tri"));
}

TEST_F(WidgetLEDCycleButtonTest, NoLinesForNoneOrOneLED)
{
    for (int32_t count : {0, 1})
    {
        cWidgetLEDCycleButton* button = MakeButton(kLEDSideRight | kLEDDownwards | kLEDStretch, count);
        EXPECT_TRUE(Lines().empty()) << count;
        EXPECT_EQ(QuadsOf(kUnlitLED).size(), size_t(count));
        if (count == 1)
        {
            EXPECT_FLOAT_EQ(button->GetLEDs()[0].position.X, CentreOf(button->litBackground.layoutRect).X + 25.0f)
                << "one LED does not stretch";
        }
        root->RemoveChild(button);
    }
}

TEST_F(WidgetLEDCycleButtonTest, ClicksCycleTheValueAndTheLaterOfEqualValuesIsLit)
{
    cWidgetLEDCycleButton* button = MakeButton(kLEDSideRight | kLEDDownwards, 3);
    button->SetLED(2, 1, "Sqr");
    const cVector2 body = CentreOf(button->litBackground.layoutRect);
    Tap(1, body.X, body.Y);
    Frame();
    EXPECT_THAT(recorder.Values(), ElementsAre(1));
    EXPECT_EQ(button->GetLitLED(), 2);
    ASSERT_EQ(QuadsOf(kLitLED).size(), 1u);
    EXPECT_FLOAT_EQ(CentreOf(QuadsOf(kLitLED)[0].rect).Y, body.Y + 30.0f);

    button->value = 7;
    Frame();
    EXPECT_EQ(button->GetLitLED(), -1);
    EXPECT_TRUE(QuadsOf(kLitLED).empty()) << "a value no LED shows lights none";
}

TEST_F(WidgetLEDCycleButtonTest, KeepsTheOwnersAlignmentWithTheFlag)
{
    for (uint32_t keep : {0u, uint32_t(kLEDKeepAlignment)})
    {
        cWidgetLEDCycleButton* button = Place(ControlKit::LEDCycleButton(2, kLEDSideRight | kLEDDownwards | keep),
                                              {100, 100, 300, 200});
        button->SetContentAlignment(0x22);
        Frame();
        const uint32_t alignment = (button->GetAnchorWord() >> 16) & 0xff;
        EXPECT_EQ(alignment, keep ? 0x22u : 0x11u) << keep;
        EXPECT_FLOAT_EQ(button->litBackground.layoutRect.xMax, keep ? 300.0f : 124.0f) << keep;
        root->RemoveChild(button);
    }
}

TEST_F(WidgetLEDCycleButtonTest, StretchedLEDsReachTheWidgetsEdge)
{
    // Rightwards from the right of the body: the last LED stops half an LED
    // short of the right edge.
    cWidgetLEDCycleButton* button = MakeButton(kLEDSideRight | kLEDRightwards | kLEDStretch, 4);
    const float half = Sprite(kUnlitLED).height * 0.5f;
    EXPECT_FLOAT_EQ(button->GetLEDs()[3].position.X, 300.0f - half);
    EXPECT_FLOAT_EQ(button->GetTrackLine().yMax - button->GetTrackLine().yMin, 2.0f) << "a horizontal track";

    // Centred on the first place, in a column beside the body.
    cWidgetLEDCycleButton* centred = MakeButton(kLEDSideLeft | kLEDCentred, 3, {400, 100, 600, 200});
    const float middle = CentreOf(centred->litBackground.layoutRect).Y;
    EXPECT_FLOAT_EQ(centred->GetLEDs()[1].position.Y, middle);
    EXPECT_FLOAT_EQ(centred->GetLEDs()[0].position.Y, middle - 15.0f);
    EXPECT_FLOAT_EQ(centred->litBackground.layoutRect.xMax, 600.0f) << "LEDs on the left: the body keeps right";
}

TEST_F(WidgetLEDCycleButtonTest, SettingAnLEDOutsideTheArrayChangesNothing)
{
    cWidgetLEDCycleButton* button = MakeButton(kLEDSideRight | kLEDDownwards, 2);
    for (int32_t index : {-1, 2, 1000})
        button->SetLED(index, 9, "Bad");
    ASSERT_EQ(button->GetLEDs().size(), 2u);
    EXPECT_EQ(button->GetLEDs()[1].value, 1);
    EXPECT_STREQ(button->GetLEDs()[1].text.CStr(), "Sqr");
    button->SetLEDCount(-3);
    EXPECT_TRUE(button->GetLEDs().empty());
    button->SetLED(0, 1, "Saw");
    Frame();
    EXPECT_TRUE(QuadsOf(kUnlitLED).empty());
}
} // namespace
