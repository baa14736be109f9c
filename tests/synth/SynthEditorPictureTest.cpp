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
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/WidgetADSR.h"
#include "instruments/synth/ui/WidgetBankPreset.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetSpinButton.h"

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
    // With no panels yet the one page has nowhere to step: the page cheek
    // greys its arrows, while the keyboard cheek's are lit.
    const cRect back = editor->GetPageCheek()->GetUpArrowRect();
    const cRect forward = editor->GetKeyboardCheek()->GetUpArrowRect();
    const uint32_t grey =
        gl->PixelAt(pixels, int(0.5f * (back.xMin + back.xMax)), int(back.yMin + 0.7f * (back.yMax - back.yMin)));
    const uint32_t lit = gl->PixelAt(pixels, int(0.5f * (forward.xMin + forward.xMax)),
                                     int(forward.yMin + 0.7f * (forward.yMax - forward.yMin)));
    EXPECT_LT(Brightness(grey) + 60, Brightness(lit)) << std::hex << grey << " against " << lit;
    input->TouchEnded(1, c4, y);
    input->TouchEnded(2, c4 + 2.0f * width, y);

    // One frame into an octave's glide: the keys slide, without labels.
    editor->OnKeyboardCheekStep(1);
    DrawFrame();
    EXPECT_NE(editor->GetPianoKeys()->GetGlide(), 0.0f);
    Save("synth-editor-glide");
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

// A sheet of the skin: the factories' controls, three envelope graphs and
// the preset chooser in both layouts.
TEST_F(SynthEditorPicture, ASheetOfTheSkinsWidgets)
{
    Start(1024, 768, kDeviceClassDesktop);
    cWidget* root = manager->GetRoot();
    root->RemoveChild(editor);
    std::vector<cWidget*> sheet;
    const auto place = [&](cWidget* widget, float x, float y, float width, float height) {
        widget->SetAnchors(kAnchorsAbsoluteRect, x, y, width, height);
        root->AddChild(widget);
        sheet.push_back(widget);
    };
    const int32_t styles[3] = {0, 3, 2};
    for (int32_t i = 0; i < 3; ++i)
    {
        cWidgetButton* button = CreateSynthButton(kButtonCycle, styles[i]);
        button->SetName(i == 0 ? "PUSH" : "LAMP");
        button->value = i == 2 ? 1 : 0;
        place(button, 40.0f + 120.0f * float(i), 40.0f, 100.0f, 40.0f);
    }
    cWidgetLEDCycleButton* led = CreateSynthLEDButton(3, 0);
    led->SetName("WAVE");
    led->value = 2;
    place(led, 420.0f, 40.0f, 140.0f, 60.0f);
    cWidgetKnob* knob = CreateSynthKnob();
    knob->SetParameter({"CUTOFF", kKnobContinuous, 0, 0, nullptr, 0, 0});
    knob->SetValue(0.7f);
    place(knob, 600.0f, 30.0f, 80.0f, 90.0f);
    cWidgetSpinButton* spin = CreateSynthSpin(16);
    spin->SetName("OCTAVE");
    spin->SetText("+1");
    place(spin, 720.0f, 40.0f, 120.0f, 50.0f);
    cWidgetLabel* label = CreateSynthValueLabel();
    label->SetName("SAMPLE");
    label->SetText("Ramp.wav");
    place(label, 860.0f, 40.0f, 140.0f, 40.0f);
    const float shapes[3][6] = {{1.0f, 0.1f, 0.3f, 0.6f, 0.4f, 0.0f},
                                {1.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f},
                                {0.8f, 0.5f, 0.5f, 1.0f, 0.5f, 1.0f}};
    std::vector<cWidgetADSR*> graphs;
    for (int32_t i = 0; i < 3; ++i)
    {
        auto* graph = new cWidgetADSR();
        graph->SetEnvelope(shapes[i][0], shapes[i][1], shapes[i][2], shapes[i][3], shapes[i][4], shapes[i][5] != 0.0f);
        place(graph, 40.0f + 320.0f * float(i), 160.0f, 300.0f, 160.0f);
        graphs.push_back(graph);
    }
    auto* column = new cWidgetBankPreset();
    column->SetPresetId(0x0005);
    place(column, 40.0f, 380.0f, 200.0f, 200.0f);
    auto* row = new cWidgetBankPreset();
    row->SetSideBySide(true);
    row->SetPresetId(0x0103);
    place(row, 300.0f, 400.0f, 500.0f, 60.0f);
    Settle();
    Save("synth-widgets");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cRect graph = graphs[0]->GetGraphRect();
    const cVector2 peak = graphs[0]->GetPoints()[1];
    EXPECT_GT(Channel(gl->PixelAt(pixels, int(peak.X), int(peak.Y) + 1), 16), 120) << "the cyan curve at its peak";
    EXPECT_GT(row->GetPresetSpin()->GetRect().xMin, row->GetBankSpin()->GetRect().xMax) << "side by side";
    EXPECT_GT(column->GetPresetSpin()->GetRect().yMin, column->GetBankSpin()->GetRect().yMax - 1.0f) << "stacked";
    EXPECT_LT(graph.xMin, graph.xMax);
    for (cWidget* widget : sheet)
    {
        root->RemoveChild(widget);
        widget->Release();
    }
}
