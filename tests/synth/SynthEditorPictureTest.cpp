#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "audio/ScaleTable.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/ui/AnalogueSynthPanelCheek.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetMusicalScale.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"
#include "ui/OffscreenScreenFixture.h"

namespace
{
int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xff); }
int Brightness(uint32_t colour) { return Channel(colour, 0) + Channel(colour, 8) + Channel(colour, 16); }
} // namespace

// The editor as a user sees it, drawn by the real renderer with the
// generated content and saved as a picture to look at.
class SynthEditorPicture : public OffscreenScreenFixture
{
protected:
    void Start(int width, int height, int32_t deviceClass)
    {
        StartScreen(width, height, deviceClass);
        scales = std::make_unique<cScaleTable>();
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        package = std::make_unique<cAnalogueSynthPackage>();
        editor = static_cast<cAnalogueSynthUI*>(package->GetEditor());
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, float(width), float(height));
        manager->GetRoot()->AddChild(editor);
        instrument = package->CreateInstrument(0);
        instrument->SetName("Kest 1");
        instrument->Select();
        Settle();
    }
    void TearDown() override
    {
        if (package)
        {
            package->DestroyInstrument(instrument);
            package.reset();
        }
        SetAnalogueSynthEditorFactory(nullptr);
        scales.reset();
        OffscreenScreenFixture::TearDown();
    }
    void Settle()
    {
        for (int i = 0; i < 40; ++i)
            DrawFrame();
    }
    std::string Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("synthesizer editor saved as %s\n", saved.c_str());
        return saved;
    }

    std::unique_ptr<cScaleTable> scales;
    std::unique_ptr<cAnalogueSynthPackage> package;
    cAnalogueSynthUI* editor = nullptr;
    cInstrument* instrument = nullptr;
};

// Two fingers on C4 and E4 light their keys; the cheeks frame the pages.
TEST_F(SynthEditorPicture, TheEditorOnADesktopWithKeysHeld)
{
    Start(1024, 768, kDeviceClassDesktop);
    cWidgetPianoKeys* keys = editor->GetPianoKeys();
    const cRect rect = keys->GetRect();
    const float width = keys->GetKeyWidth();
    const float y = rect.yMin + 0.85f * (rect.yMax - rect.yMin);
    const float position = keys->GetPosition();
    const float c4 = rect.xMin + ((5.0f - position) * 7.0f + 0.5f) * width;
    input->TouchBegan(1, c4, y);
    input->TouchBegan(2, c4 + 2.0f * width, y);
    Settle();
    Save("synth-editor-1024");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const uint32_t held = gl->PixelAt(pixels, int(c4), int(y));
    const uint32_t free = gl->PixelAt(pixels, int(c4 + width), int(y));
    EXPECT_GT(std::abs(Brightness(held) - Brightness(free)), 30) << std::hex << held << " beside " << free;
    EXPECT_GT(Brightness(free), 450) << "white keys are white";
    const cRect cheek = editor->GetKeyboardCheek()->GetUpArrowRect();
    EXPECT_GT(Brightness(gl->PixelAt(pixels, int(0.5f * (cheek.xMin + cheek.xMax)),
                                     int(0.5f * (cheek.yMin + cheek.yMax)))),
              60)
        << "the cheek's arrow shows";
    input->TouchEnded(1, c4, y);
    input->TouchEnded(2, c4 + 2.0f * width, y);
}

// A phone's editor with the scale chooser open, "Off" highlighted.
TEST_F(SynthEditorPicture, TheScaleChooserOnAPhone)
{
    Start(480, 320, kDeviceClassPhone);
    editor->GetKeyboardPanel()->ShowScaleChooser(true);
    Settle();
    Save("synth-editor-480-scales");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cRect chooser = editor->GetKeyboardPanel()->GetScaleChooser()->GetRect();
    const int x = int(chooser.xMin + 100.0f);
    const uint32_t first = gl->PixelAt(pixels, x, int(chooser.yMin + 20.0f));
    const uint32_t second = gl->PixelAt(pixels, x, int(chooser.yMin + 60.0f));
    EXPECT_NE(first, second) << "the current scale's row is highlighted";
    EXPECT_LE(editor->GetPianoKeys()->GetRect().xMax, chooser.xMin);
}
