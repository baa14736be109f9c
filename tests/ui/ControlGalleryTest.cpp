#include <cstdio>
#include <string>
#include <vector>

#include "support/ControlGallery.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetTabView.h"

namespace
{
int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xff); }
int Red(uint32_t colour) { return Channel(colour, 0); }
int Blue(uint32_t colour) { return Channel(colour, 16); }

// The gallery of controls drawn by the real renderer from the generated
// atlas and font, with a finger held on one button, as a user sees it.
class ControlGalleryTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override { StartScreen(1024, 768); }

    uint32_t Pixel(float x, float y) const { return gl->PixelAt(pixels, int(x), int(y)); }

    // A point on a button's face clear of its label: 15 % in from the left,
    // a third of the way down.
    uint32_t FaceOf(cWidgetButton* button) const
    {
        const cRect& body = button->GetContentBounds();
        return Pixel(body.xMin + (body.xMax - body.xMin) * 0.15f, body.yMin + (body.yMax - body.yMin) * 0.35f);
    }

    std::vector<uint8_t> pixels;
};

TEST_F(ControlGalleryTest, EveryControlInEveryStateToldApartAtAGlance)
{
    const cControlGallery g = BuildControlGallery(manager->GetRoot());
    DrawFrame();
    const cRect& held = g.heldButton->GetRect();
    ASSERT_TRUE(input->TouchBegan(1, (held.xMin + held.xMax) * 0.5f, (held.yMin + held.yMax) * 0.5f));
    const cRect& command = g.commands->GetGridRect();
    ASSERT_TRUE(input->TouchBegan(2, command.xMin + 10, command.yMin + 10));
    DrawFrame();
    pixels = gl->ReadPixels();
    const std::string saved = gl->SaveFrame("controls-gallery");
    std::printf("controls gallery saved as %s\n", saved.c_str());

    // Lit faces are the house blue, unlit ones grey, disabled ones the grey halved.
    const uint32_t normal = FaceOf(g.normalButton), lit = FaceOf(g.litButton);
    const uint32_t pressed = FaceOf(g.heldButton), disabled = FaceOf(g.disabledButton);
    EXPECT_NEAR(Red(normal), Blue(normal), 8) << std::hex << normal;
    EXPECT_GT(Blue(lit), Red(lit) + 100) << std::hex << lit;
    EXPECT_GT(Blue(pressed), Red(pressed) + 100) << "held down, it lights " << std::hex << pressed;
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(Channel(disabled, shift), Channel(normal, shift) / 2, 2) << std::hex << disabled;

    // A selected item and a toggled one are lit, an unselected one is not.
    const cRect& single = g.singleSelect->items[1].litImage.layoutRect;
    const uint32_t selected = Pixel(single.xMin + 6, single.yMin + 10);
    const cRect& other = g.singleSelect->items[2].normalImage.layoutRect;
    const uint32_t unselected = Pixel(other.xMin + 6, other.yMin + 10);
    EXPECT_GT(Blue(selected), Red(selected) + 100) << std::hex << selected;
    EXPECT_NEAR(Red(unselected), Blue(unselected), 8) << std::hex << unselected;
    const cRect& toggled = g.toggles->items[3].litImage.layoutRect;
    const uint32_t toggledFace = Pixel(toggled.xMin + 6, toggled.yMin + 10);
    EXPECT_GT(Blue(toggledFace), Red(toggledFace) + 100) << std::hex << toggledFace;

    // The disabled label keeps its box; only its text greys.
    const cRect& box = g.label->GetTextRect();
    const cRect& greyBox = g.disabledLabel->GetTextRect();
    EXPECT_EQ(Pixel(box.xMax - 2, box.yMin + 2), Pixel(greyBox.xMax - 2, greyBox.yMin + 2));

    // Both tab views light their selected tab.
    for (cWidgetTabView* view : {g.tabRow, g.tabColumn})
    {
        const cRect& tab = view->GetTab(1)->GetRect();
        const uint32_t face = Pixel((tab.xMin + tab.xMax) * 0.5f, tab.yMin + 5);
        EXPECT_GT(Blue(face), Red(face) + 100) << std::hex << face;
    }
}
} // namespace
