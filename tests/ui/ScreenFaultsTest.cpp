#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

// The screen checks the picture tests rely on, tried on screens made to hold
// the faults they must find: a text that does not read on its ground, one too
// small, texts run into each other, and controls laid over each other.
namespace
{
// Paints grounds and texts, in order, inside the frame's draw pass.
class cPainter : public cWidget
{
public:
    bool Draw(cDrawList& list) override
    {
        for (const auto& step : steps)
            step(list);
        return false;
    }
    std::vector<std::function<void(cDrawList&)>> steps;
};

class ScreenFaultsTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override
    {
        StartScreen(320, 200, kDeviceClassDesktop);
        painter = new cPainter();
        painter->SetAnchors(kAnchorsFillParent, 0, 0, 0, 0);
        manager->GetRoot()->AddChild(painter);
        painter->Release();
    }
    void Ground(const cRect& rect, uint32_t colour)
    {
        painter->steps.push_back([=](cDrawList& list) { list.FillRect(rect, colour); });
    }
    void Text(float x, float y, uint32_t colour, const char* text, float size = 9.0f)
    {
        painter->steps.push_back([=](cDrawList& list) {
            cFontHandle font;
            font.Select(size);
            list.GetTextBatch().DrawText(x, y, list.depth, font, colour, text);
            list.FlushAll();
        });
    }
    const cLegibilityProbe::cText* Read(const char* text)
    {
        probe.Capture(320, 200, [this] { DrawFrame(); }, [this] { return gl->ReadPixels(); });
        for (const cLegibilityProbe::cText& seen : probe.Texts())
            if (seen.text == text)
                return &seen;
        return nullptr;
    }

    cPainter* painter = nullptr;
    cLegibilityProbe probe;
};

// Colours are written 0xAABBGGRR, as the renderer takes them.
TEST_F(ScreenFaultsTest, ContrastIsMeasuredAgainstTheGroundUnderTheText)
{
    const struct
    {
        uint32_t ground, text;
        double contrast;
        bool fault;
    } cases[] = {
        {0xff2c2c2c, 0xff000073, 1.15, true},  // dark red captions on the dark panel
        {0xffc8c8c8, 0xff000073, 6.6, false},  // on the light face plate
        {0xffcd9800, 0xffdcdcdc, 2.4, true},   // light label on a bright blue
        {0xff202020, 0xffdcdcdc, 12.0, false}, // the same on the dark grey
    };
    for (const auto& c : cases)
    {
        painter->steps.clear();
        Ground({0, 0, 320, 200}, c.ground);
        Text(40, 40, c.text, "CUTOFF");
        const cLegibilityProbe::cText* seen = Read("CUTOFF");
        ASSERT_NE(seen, nullptr);
        EXPECT_NEAR(seen->contrast, c.contrast, c.contrast * 0.1) << std::hex << c.text << " on " << c.ground;
        EXPECT_EQ(probe.Faults(4.5, 9.0f).empty(), !c.fault) << probe.Faults(4.5, 9.0f);
    }
}

TEST_F(ScreenFaultsTest, ATextDrawnOverOrDimmedOnPurposeIsNotHeldToTheContrast)
{
    Ground({0, 0, 320, 200}, 0xff2c2c2c);
    Text(40, 40, 0xff000073, "UNDER");
    Ground({30, 30, 140, 70}, 0xff2c2c2c);
    Text(40, 120, 0x5affff4a, "Soft");
    const cLegibilityProbe::cText* under = Read("UNDER");
    ASSERT_NE(under, nullptr);
    EXPECT_TRUE(under->hidden);
    EXPECT_EQ(probe.Faults(4.5, 9.0f), "");
}

TEST_F(ScreenFaultsTest, ATextBelowTheSmallestSizeIsReported)
{
    // The phone's metrics set no smallest size: the font's 6 px is chosen.
    SetDisplayMetricsForClass(kDeviceClassPhone);
    SetupUIMetrics();
    Ground({0, 0, 320, 200}, 0xff202020);
    Text(40, 40, 0xffdcdcdc, "TINY", 6.0f);
    ASSERT_NE(Read("TINY"), nullptr);
    const std::string faults = probe.Faults(4.5, 9.0f);
    EXPECT_NE(faults.find("\"TINY\""), std::string::npos) << faults;
    EXPECT_NE(faults.find("6 px"), std::string::npos) << faults;
}

TEST_F(ScreenFaultsTest, TextsRunIntoEachOtherAreReportedAndNeighboursAreNot)
{
    Ground({0, 0, 320, 200}, 0xff202020);
    Text(40, 40, 0xffdcdcdc, "XY1");
    Text(52, 40, 0xffdcdcdc, "XY2");
    Text(40, 100, 0xffdcdcdc, "LEFT");
    Text(100, 100, 0xffdcdcdc, "RIGHT");
    ASSERT_NE(Read("XY1"), nullptr);
    const std::string crossed = probe.OverlappingTexts();
    EXPECT_NE(crossed.find("\"XY1\""), std::string::npos) << crossed;
    EXPECT_EQ(crossed.find("LEFT"), std::string::npos) << crossed;
}

TEST_F(ScreenFaultsTest, SiblingControlsLaidOverEachOtherAreReported)
{
    auto place = [this](cWidget* parent, const char* name, float x, float y, float w, float h) {
        cWidgetButton* button = CreateButton(name, kButtonPush, 0);
        button->SetAnchors(kAnchorsAbsoluteRect, x, y, w, h);
        parent->AddChild(button);
        button->Release();
        return button;
    };
    place(painter, "POWER", 10, 10, 80, 40);
    place(painter, "SPIN", 80, 12, 100, 36);   // over POWER's right end
    place(painter, "NEXT", 180, 12, 60, 36);   // shares SPIN's edge
    place(painter, "HIDDEN", 10, 10, 80, 40)->SetVisible(false);
    MarkControlsUndrawn(manager->GetRoot());
    DrawFrame();
    const std::string overlaps = FindOverlappingControls(manager->GetRoot());
    EXPECT_NE(overlaps.find("/POWER ["), std::string::npos) << overlaps;
    EXPECT_NE(overlaps.find("/SPIN ["), std::string::npos) << overlaps;
    EXPECT_EQ(overlaps.find("NEXT"), std::string::npos) << overlaps;
    EXPECT_EQ(overlaps.find("HIDDEN"), std::string::npos) << overlaps;
}
} // namespace
