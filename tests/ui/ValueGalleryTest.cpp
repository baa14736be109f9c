#include <cstdio>
#include <string>

#include "ui/ControlHelpers.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/ValueGallery.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSlider.h"
#include "ui/WidgetSpinButton.h"

namespace
{
int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xff); }
int Brightness(uint32_t colour) { return Channel(colour, 0) + Channel(colour, 8) + Channel(colour, 16); }

// The value controls as a user first sees them, drawn by the real renderer
// with the generated content: a fader, a knob and a spin button held down,
// two combo menus open.
class ValueGalleryTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override { StartScreen(1024, 768); }
};

TEST_F(ValueGalleryTest, EveryControlInItsStatesWithTheGlowAThumbAndOpenMenus)
{
    cValueGallery gallery(manager->GetRoot());
    DrawFrame();
    const cRect thumb = gallery.heldSlider->thumbImage.layoutRect;
    const cVector2 thumbCentre = RectCentre(thumb);
    input->TouchBegan(1, thumbCentre.X, thumbCentre.Y);
    const cVector2 knob = RectCentre(gallery.heldKnob->knobImage.layoutRect);
    input->TouchBegan(2, knob.X, knob.Y);
    const cVector2 up = RectCentre(gallery.heldSpin->GetUpZone());
    input->TouchBegan(3, up.X, up.Y);
    for (int frame = 0; frame < 4; ++frame)
        DrawFrame();

    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const std::string saved = gl->SaveFrame("value-controls");
    std::printf("value controls saved as %s\n", saved.c_str());
    auto pixel = [&](float x, float y) { return gl->PixelAt(pixels, int(x), int(y)); };

    // The held fader glows warm beside its cap; the same place beside an
    // idle fader's cap shows the dark desk.
    const int glowX = int(thumb.xMax) + 3;
    const uint32_t glow = pixel(float(glowX), thumbCentre.Y);
    const cRect idleThumb = gallery.sliders[1]->thumbImage.layoutRect;
    const uint32_t idle = pixel(idleThumb.xMax + 3, RectCentre(idleThumb).Y);
    EXPECT_GT(Channel(glow, 0), Channel(idle, 0) + 60) << std::hex << glow << " beside " << idle;
    EXPECT_GT(Channel(glow, 0), Channel(glow, 16) + 40) << "warm: more red than blue " << std::hex << glow;

    // The held knob's red glow shows around its body.
    const cRect body = gallery.heldKnob->knobImage.layoutRect;
    const uint32_t halo = pixel(body.xMin - 3, RectCentre(body).Y);
    EXPECT_GT(Channel(halo, 0), Channel(halo, 8) + 40) << "red " << std::hex << halo;

    // A scroll-bar thumb is light on its dark track.
    cWidgetScrollBar* bar = gallery.bars[0];
    const cRect barThumb = bar->GetThumbRect();
    const float barY = RectCentre(barThumb).Y;
    const uint32_t onThumb = pixel(barThumb.xMin + (barThumb.xMax - barThumb.xMin) * 0.25f, barY);
    const uint32_t onTrack = pixel(barThumb.xMax + 20, barY);
    EXPECT_GT(Brightness(onThumb), 3 * 180) << std::hex << onThumb;
    EXPECT_LT(Brightness(onTrack), 3 * 80) << std::hex << onTrack;

    // The open menus cover the page with their items' skins.
    const uint32_t page = pixel(10, 760);
    for (cWidgetComboBox* combo : {gallery.openDown, gallery.openUp})
    {
        ASSERT_TRUE(combo->IsMenuOpen());
        const cRect menu = combo->GetMenuRect();
        EXPECT_GT(menu.yMax - menu.yMin, 100.0f);
        const uint32_t item = pixel(menu.xMin + 6, menu.yMin + 20);
        EXPECT_GT(std::abs(Brightness(item) - Brightness(page)), 150) << std::hex << item << " on " << page;
    }

    EXPECT_EQ(gallery.heldSpin->GetPressedZone(), 1);
    EXPECT_GT(gallery.heldSpin->GetValue(), 3) << "the held spin button stepped";
    EXPECT_EQ(gallery.nonFiniteReports, 0);
    for (int id = 1; id <= 3; ++id)
        input->TouchEnded(id, 0, 0);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
}
} // namespace
