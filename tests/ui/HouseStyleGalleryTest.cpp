#include <algorithm>
#include <cstdio>
#include <string>

#include "render/AtlasSprite.h"
#include "ui/HouseStyleSheet.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetEditLabel.h"

namespace
{
constexpr int32_t kKeyEscape = 257;

int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xff); }
int Red(uint32_t colour) { return Channel(colour, 0); }
int Blue(uint32_t colour) { return Channel(colour, 16); }

cVector2 Centre(const cRect& rect) { return {(rect.xMin + rect.xMax) / 2, (rect.yMin + rect.yMax) / 2}; }

// The house style as a user first meets it, through the real renderer with
// the generated content: the sheet of every factory's widget, the helpers
// and the meters, then each kind of dialogue opened, used and closed by
// taps and keys.
class HouseStyleGalleryTest : public OffscreenScreenFixture
{
protected:
    void Start(int32_t deviceClass)
    {
        StartScreen(1024, 768, deviceClass);
        SetupUIMetrics();
        sheet = std::make_unique<cHouseStyleSheet>(manager->GetRoot());
        DrawFrame();
    }
    void TearDown() override
    {
        sheet.reset();
        OffscreenScreenFixture::TearDown();
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
    }

    void TapAt(const cVector2& point)
    {
        input->TouchBegan(1, point.X, point.Y);
        input->TouchEnded(1, point.X, point.Y);
        // Long enough for a zoom or slide to settle and a fade to finish.
        Frames(20);
    }
    void TapOn(cWidget* widget) { TapAt(Centre(widget->GetRect())); }
    uint32_t Pixel(float x, float y) const { return gl->PixelAt(pixels, int(x), int(y)); }
    void Picture(const char* name)
    {
        pixels = gl->ReadPixels();
        std::printf("%s saved as %s\n", name, gl->SaveFrame(name).c_str());
    }
    int LayerCount() const { return manager->GetRoot()->GetLayerCount(); }

    std::unique_ptr<cHouseStyleSheet> sheet;
    std::vector<uint8_t> pixels;
};

// Every text the standard factories draw (button and tab labels, captions,
// label and spin-button values, list rows, toggles, knob captions) reads on
// the ground it is drawn on at 4.5:1 and is at least 9 px tall at the
// desktop class; none runs into another and no two controls overlap.
TEST_F(HouseStyleGalleryTest, EveryFactoryTextReadsOnItsGround)
{
    Start(kDeviceClassDesktop);
    EXPECT_EQ(ScreenFaults(), "");
}

TEST_F(HouseStyleGalleryTest, EveryFactoryWidgetHelperAndMeterOnOneSheet)
{
    Start(kDeviceClassDesktop);
    // Into the blink's lit phase, so the recording marker shows too.
    Frames(34);
    Picture("house-style-sheet");

    // The first meter is full: its top segment lit in the value blue; the
    // fifth's left channel clips and its LED glows red.
    const cMeterBar& full = sheet->meters[0].bars[0];
    uint32_t top = 0;
    for (int row = 0; row < 3; ++row)
        top = std::max(top, Pixel(full.x0 + (full.x1 - full.x0) / 2, full.y0 + float(row)) & 0x00ff0000u);
    top |= Pixel(full.x0 + (full.x1 - full.x0) / 2, full.y0) & 0x000000ffu;
    EXPECT_GT(Blue(top), Red(top) + 100) << std::hex << top;
    const cRect led = sheet->meters[4].ledRects[0];
    const uint32_t clip = Pixel(Centre(led).X, Centre(led).Y);
    EXPECT_GT(Red(clip), Blue(clip) + 100) << std::hex << clip;
    const cRect quiet = sheet->meters[7].ledRects[0];
    EXPECT_LT(Red(Pixel(Centre(quiet).X, Centre(quiet).Y)), 100) << "no clip, no light";

    // The recording marker glows red while the transport records.
    const uint32_t marker = Pixel(490, 450);
    EXPECT_GT(Red(marker), Blue(marker) + 100) << std::hex << marker;

    // The progress fill is lit blue up to 60 percent of the bar, not beyond.
    const float fillY = 440 + gTex8888AtlasTable[424].height / 2;
    EXPECT_GT(Blue(Pixel(20 + 0.5f * 220, fillY)), 150);
    EXPECT_LT(Blue(Pixel(20 + 0.8f * 220, fillY)), 100);
}

TEST_F(HouseStyleGalleryTest, EachDialogueOpensTakesInputAndCloses)
{
    Start(kDeviceClassDesktop);

    // A dialogue with a close button over the dimmed page; its edit label
    // takes typed characters, and Escape closes it.
    TapOn(sheet->openClosable);
    ASSERT_TRUE(sheet->closable->IsShown());
    TapOn(sheet->closableEdit);
    for (char c : std::string(" Two"))
    {
        input->OnChar(1, 0, c);
        input->OnChar(0, 0, c);
    }
    Frames(60);
    Picture("dialogue-close-button");
    EXPECT_STREQ(sheet->closableEdit->GetText(), "Song Two");
    const uint32_t dimmed = Pixel(1000, 300);
    EXPECT_LT(Red(dimmed), 0xd0 * 0.4) << "the page behind is dimmed " << std::hex << dimmed;
    input->OnKey(1, 1, kKeyEscape);
    input->OnKey(0, 1, kKeyEscape);
    Frames(20);
    EXPECT_EQ(sheet->closable->dismissals, std::vector<int32_t>{1});
    EXPECT_FALSE(sheet->closable->IsShown());

    // Anchored below and above their buttons, closed by a tap outside.
    TapOn(sheet->openBelow);
    ASSERT_TRUE(sheet->below->IsShown());
    Picture("dialogue-anchored-below");
    EXPECT_GE(sheet->below->GetRect().yMin, sheet->openBelow->GetRect().yMax);
    TapAt({1000, 700});
    EXPECT_FALSE(sheet->below->IsShown());
    TapOn(sheet->openAbove);
    ASSERT_TRUE(sheet->above->IsShown());
    Picture("dialogue-anchored-above");
    EXPECT_LE(sheet->above->GetRect().yMax, sheet->openAbove->GetRect().yMin);
    TapAt({20, 20});
    EXPECT_FALSE(sheet->above->IsShown());
    EXPECT_EQ(LayerCount(), 0);

    // The drop-down hangs from the top until its own button closes it.
    TapOn(sheet->openDropDown);
    EXPECT_TRUE(sheet->dropDown->IsOpen());
    Frames(10);
    Picture("drop-down");
    EXPECT_EQ(sheet->dropDown->GetRect().yMin, 0);
    TapOn(sheet->dropDownDone);
    EXPECT_FALSE(sheet->dropDown->IsOpen());

    // Alerts with two and with four buttons and icons.
    TapOn(sheet->openAlert);
    Picture("alert-two-buttons");
    TapOn(sheet->alert->GetButton(kAlertCancel));
    TapOn(sheet->openBigAlert);
    Picture("alert-four-buttons");
    TapOn(sheet->alert->GetButton(kAlertOK));
    EXPECT_EQ(sheet->alertResults, (std::vector<int32_t>{kAlertCancel, kAlertOK}));
    EXPECT_EQ(LayerCount(), 0);
    Frames(20);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
}

TEST_F(HouseStyleGalleryTest, TheAlertOnTheTabletClass)
{
    Start(kDeviceClassTablet);
    TapOn(sheet->openBigAlert);
    Picture("alert-tablet");
    const cRect& box = sheet->alert->GetRect();
    EXPECT_EQ(box.xMax - box.xMin, 610);
    EXPECT_EQ(box.yMin, 80);
    TapOn(sheet->alert->GetButton(kAlertNo));
    EXPECT_EQ(sheet->alertResults, std::vector<int32_t>{kAlertNo});
}
} // namespace
