#include <gtest/gtest.h>

#include "MainScreenFixture.h"
#include "app/WidgetIntroHelp.h"

namespace
{
class IntroHelpTest : public MainScreenFixture
{
public:
    intptr_t OnClosed(cWidgetIntroHelp* closed)
    {
        EXPECT_EQ(closed, help);
        return ++closes;
    }

protected:
    ~IntroHelpTest() override
    {
        if (help)
        {
            help->Close();
            help->Release();
        }
    }
    void ShowHelp()
    {
        help = new cWidgetIntroHelp(bar->GetScreen());
        help->SetName("Quilwright Help");
        help->Show(cDelegate(this, &IntroHelpTest::OnClosed));
        Frame(30);
    }

    cWidgetIntroHelp* help = nullptr;
    int closes = 0;
};

// Below the bar and on both sides of the screen everything is shaded; the
// screen itself, wherever the bar's width puts it, is not.
TEST_F(IntroHelpTest, EverythingButTheScreenIsShadedAtAnyWidth)
{
    for (float width : {1024.0f, 560.0f})
    {
        SCOPED_TRACE(width);
        if (help)
        {
            help->Close();
            help->Release();
            help = nullptr;
        }
        Build(kDeviceClassDesktop, width, 768.0f);
        ShowHelp();
        ASSERT_TRUE(help->IsShown());
        const cRect r = help->GetRect();
        EXPECT_FLOAT_EQ(r.xMax - r.xMin, cWidgetIntroHelp::kWidth);
        EXPECT_FLOAT_EQ(r.yMax - r.yMin, cWidgetIntroHelp::kHeight);
        const cRect s = bar->GetScreen()->GetRect();
        const cRect b = bar->GetRect();
        EXPECT_GE(r.yMin, s.yMax - 1.0f) << "below the screen it points at";

        int shades = 0;
        for (const cDrawnQuad& quad : Quads())
        {
            if (quad.colour != cWidgetIntroHelp::kShadeColour)
                continue;
            ++shades;
            const bool overlapsScreen = quad.rect.xMin < s.xMax && quad.rect.xMax > s.xMin &&
                                        quad.rect.yMin < s.yMax && quad.rect.yMax > s.yMin;
            EXPECT_FALSE(overlapsScreen);
        }
        EXPECT_EQ(shades, 3);
        const cRect* shade = help->GetShades();
        EXPECT_FLOAT_EQ(shade[0].yMin, b.yMax);
        EXPECT_FLOAT_EQ(shade[0].yMax, 768.0f);
        EXPECT_FLOAT_EQ(shade[1].xMax, s.xMin - 1.0f);
        EXPECT_FLOAT_EQ(shade[2].xMin, s.xMax + 1.0f);
        EXPECT_TRUE(FindText(cWidgetIntroHelp::kFirstLine).has_value());
        EXPECT_TRUE(FindText(cWidgetIntroHelp::kSecondLine).has_value());
    }
}

TEST_F(IntroHelpTest, ClosingRunsTheDelegateOnce)
{
    ShowHelp();
    TapAt(Centre(help->GetCloseButton()->GetRect()));
    Frame(5);
    EXPECT_FALSE(help->IsShown());
    EXPECT_EQ(closes, 1);
    TapAt(Centre(help->GetCloseButton()->GetRect()));
    Frame(5);
    EXPECT_EQ(closes, 1);
}
} // namespace
