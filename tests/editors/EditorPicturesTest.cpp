#include <gtest/gtest.h>

#include <cstdio>

#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "editors/RollButton.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
cVector2 Centre(const cRect& r) { return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f}; }

// The editors' dialogues and toolbar drawn through the real renderer with
// the generated content, as a user meets them.
class EditorPicturesTest : public OffscreenScreenFixture
{
protected:
    void TearDown() override
    {
        if (dialogue)
        {
            dialogue->Hide();
            dialogue->Release();
        }
        OffscreenScreenFixture::TearDown();
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
    }

    void Open(int32_t style, const char* title, const cQuantizeSettings& settings)
    {
        StartScreen(1024, 768);
        SetupUIMetrics();
        cWidgetButton* button = CreateButton("QUANTIZE", kButtonCycle, 0);
        button->SetAnchors(kAnchorsAbsoluteRect, 700, 0, 96, 32);
        manager->GetRoot()->AddChild(button);
        button->Release();
        dialogue = new cQuantizeDialogue(style);
        dialogue->SetName(title);
        dialogue->SetAnchor(button, kAttachBelow);
        dialogue->GetSettingsUI()->SetSettings(settings);
        dialogue->Show();
        for (int i = 0; i < 30; ++i)
            DrawFrame();
    }

    cQuantizeDialogue* dialogue = nullptr;
};
} // namespace

TEST_F(EditorPicturesTest, RecordQuantize)
{
    Open(cQuantizeSettingsUI::kShowOff, "Record Quantize", {1, 4, 2, 0.0f});
    std::printf("saved as %s\n", gl->SaveFrame("record-quantize").c_str());
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cQuantizeSettingsUI* ui = dialogue->GetSettingsUI();
    const cVector2 eighth = Centre(ui->GetIntervalSelector()->items[4].normalImage.layoutRect);
    const cVector2 half = Centre(ui->GetIntervalSelector()->items[2].normalImage.layoutRect);
    EXPECT_NE(gl->PixelAt(pixels, int(eighth.X) - 8, int(eighth.Y)), gl->PixelAt(pixels, int(half.X) - 8, int(half.Y)))
        << "the chosen interval is lit";
}

TEST_F(EditorPicturesTest, PianoRollQuantize)
{
    Open(cQuantizeSettingsUI::kQuantizeButton | cQuantizeSettingsUI::kTypeSpin, "Quantize", {2, 5, 0, 0.5f});
    std::printf("saved as %s\n", gl->SaveFrame("piano-roll-quantize").c_str());
}

// The piano roll's bottom bar as its toolbar buttons make it: nine columns,
// neighbours sharing a pixel, "Draw" lit.
TEST_F(EditorPicturesTest, RollToolbar)
{
    StartScreen(1024, 768);
    SetupUIMetrics();
    const char* names[] = {"Tools", "History", "Zoom", "Select", "Draw", "Delete", "Copy", "Qtz", "Done"};
    const float width = 1024.0f / 9.0f;
    cWidgetButton* draw = nullptr;
    for (int i = 0; i < 9; ++i)
    {
        cWidgetButton* button =
            CreateRollButton(names[i], kButtonCycle, i, cDelegate(), kRollButtonSkin, kRollButtonSkinLit);
        button->SetAnchors(kAnchorsAbsoluteRect, float(int(i * width)), 700.0f, float(int(width)) + 1.0f, 44.0f);
        manager->GetRoot()->AddChild(button);
        button->Release();
        if (i == 4)
            draw = button;
    }
    draw->value = 1;
    for (int i = 0; i < 3; ++i)
        DrawFrame();
    std::printf("saved as %s\n", gl->SaveFrame("roll-toolbar").c_str());
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cRect& lit = draw->GetRect();
    const uint32_t litPixel = gl->PixelAt(pixels, int(lit.xMin) + 6, int(lit.yMin) + 30);
    const uint32_t plainPixel = gl->PixelAt(pixels, int(lit.xMin + width) + 6, int(lit.yMin) + 30);
    EXPECT_GT((litPixel >> 16) & 0xff, (plainPixel >> 16) & 0xff) << "the lit face is bluer";
}
