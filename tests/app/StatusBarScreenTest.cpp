#include <gtest/gtest.h>

#include <string>

#include "MainScreenFixture.h"

namespace
{
class StatusBarScreenTest : public MainScreenFixture
{
public:
    intptr_t OnHold(cWidgetStatusBarScreen*) { return ++holds; }

protected:
    StatusBarScreenTest()
    {
        screen = bar->GetScreen();
        // The bar's own hold opens the manual; this test counts holds instead.
        screen->holdDelegate = cDelegate(this, &StatusBarScreenTest::OnHold);
    }
    cVector2 TextPart() const { return {screen->GetRect().xMin + 40.0f, Middle()}; }
    cVector2 PositionPart() const { return {screen->GetPositionTextLeft() + 10.0f, Middle()}; }
    float Middle() const { return (screen->GetRect().yMin + screen->GetRect().yMax) * 0.5f; }
    void HoldFor(int frames, const cVector2& point)
    {
        Press(point);
        Frame(frames);
        Up(1, point.X, point.Y);
        Frame();
    }

    cWidgetStatusBarScreen* screen = nullptr;
    int holds = 0;
};

TEST_F(StatusBarScreenTest, PositionsReadAsBarAndBeatOrTimeAndCountInsBackwards)
{
    const struct
    {
        int32_t state;
        int32_t ticks;
        const char* text;
    } cases[] = {
        {cTransport::kStopped, 0, "001:01"},
        {cTransport::kStopped, 1024, "002:01"},
        {cTransport::kStopped, 1280, "002:02"},
        {cTransport::kRecordCountIn, -1024, "-01:01"},
        {cTransport::kRecordCountIn, -1, "-01:04"},
        {cTransport::kPlayCountIn, -256, "-01:04"},
    };
    for (const auto& c : cases)
    {
        gTransport.state = c.state;
        (c.ticks < 0 ? gTransport.clock : gTransport.position) = c.ticks;
        Frame();
        EXPECT_STREQ(screen->GetPositionText(), c.text) << c.ticks;
    }
    gTransport.state = cTransport::kStopped;
    gTransport.clock = 0;
}

TEST_F(StatusBarScreenTest, ATapOnThePositionSwitchesToTimeAndOneOnTheTextDoesNot)
{
    gTransport.position = 1024;
    Frame();
    TapAt(TextPart());
    EXPECT_FALSE(screen->ShowsTime());
    EXPECT_STREQ(screen->GetPositionText(), "002:01");
    // Rebuilt at the tap, before the next frame.
    Press(PositionPart());
    EXPECT_TRUE(screen->ShowsTime());
    EXPECT_STREQ(screen->GetPositionText(), "00:02s");
    Up(1, PositionPart().X, PositionPart().Y);
    TapAt(PositionPart());
    EXPECT_STREQ(screen->GetPositionText(), "002:01");
    gTransport.position = 0;
}

TEST_F(StatusBarScreenTest, AHoldRunsItsDelegateOnceAfterASecond)
{
    HoldFor(59, TextPart());
    EXPECT_EQ(holds, 0);
    HoldFor(60, TextPart());
    EXPECT_EQ(holds, 1);
    HoldFor(300, TextPart());
    EXPECT_EQ(holds, 2);
}

TEST_F(StatusBarScreenTest, TextsAreKeptTo254CharactersWithoutSplittingOne)
{
    const std::string long300(300, 'x');
    screen->SetText(long300.c_str(), 0xff112233u);
    EXPECT_EQ(std::string(screen->GetText()), std::string(254, 'x'));
    EXPECT_EQ(screen->GetTextColour(), 0xff112233u);
    // A two-byte character across the limit is dropped whole.
    const std::string accents = std::string(253, 'a') + "\xc3\xa9" + "b";
    screen->SetText(accents.c_str(), 0xffffffffu);
    EXPECT_EQ(std::string(screen->GetText()), std::string(253, 'a'));
}

TEST_F(StatusBarScreenTest, TheLoopBarFillsToThePositionsShareOfTheLoop)
{
    const cRect bar = screen->GetLoopBarRect();
    const struct
    {
        int32_t loopOn, start, end, position;
        float fraction; // negative: ground only
    } cases[] = {
        {1, 0, 4096, 1024, 0.25f},
        {1, 1024, 2048, 4096, 1.0f},
        {1, 2048, 2048, 2048, -1.0f},
        {0, 0, 4096, 1024, -1.0f},
    };
    for (const auto& c : cases)
    {
        gTransport.loopOn = c.loopOn;
        gTransport.loopStart = c.start;
        gTransport.loopEnd = c.end;
        gTransport.position = c.position;
        Frame();
        int fills = 0;
        for (const cDrawnQuad& quad : Quads())
            if (quad.rect.yMin == bar.yMin && quad.rect.yMax == bar.yMax && quad.rect.xMin == bar.xMin)
            {
                ++fills;
                if (fills == 2)
                {
                    EXPECT_NEAR(quad.rect.xMax - quad.rect.xMin, (bar.xMax - bar.xMin) * c.fraction, 0.01f);
                }
            }
        EXPECT_EQ(fills, c.fraction < 0.0f ? 1 : 2) << c.start << ".." << c.end;
    }
    gTransport.position = 0;
}
} // namespace
