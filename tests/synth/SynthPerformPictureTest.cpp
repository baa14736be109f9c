#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "audio/InstrumentPackageRegistry.h"
#include "audio/ScaleTable.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPanelMod.h"
#include "instruments/synth/ui/AnalogueSynthPanelMulti.h"
#include "instruments/synth/ui/AnalogueSynthPanelPerform.h"
#include "instruments/synth/ui/AnalogueSynthPanelPreset.h"
#include "instruments/synth/ui/AnalogueSynthPresetWrite.h"
#include "instruments/synth/ui/AnalogueSynthSequencerPresetPanel.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/PitchBendPanel.h"
#include "instruments/synth/ui/WidgetAccelerometer.h"
#include "instruments/synth/ui/WidgetBankPreset.h"
#include "instruments/synth/ui/WidgetKeyRange.h"
#include "instruments/synth/ui/WidgetXYPad.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
int Brightness(uint32_t colour) { return int(colour & 0xff) + int((colour >> 8) & 0xff) + int((colour >> 16) & 0xff); }
cVector2 Centre(const cRect& rect) { return {0.5f * (rect.xMin + rect.xMax), 0.5f * (rect.yMin + rect.yMax)}; }
} // namespace

// The Perform page and the preset screens as a user sees them, drawn by the
// real renderer with the generated content and saved as pictures.
class SynthPerformPicture : public OffscreenScreenFixture
{
protected:
    void Start(int width, int height, int32_t deviceClass)
    {
        StartScreen(width, height, deviceClass);
        scales = std::make_unique<cScaleTable>();
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        registry = std::make_unique<cInstrumentPackageRegistry>();
        package = new cAnalogueSynthPackage();
        registry->AddPackage(package);
        package->GetStore().GetSingle(5).SetName("Round Bass");
        editor = static_cast<cAnalogueSynthUI*>(package->GetEditor());
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, float(width), float(height));
        manager->GetRoot()->AddChild(editor);
        instrument = static_cast<cAnalogueSynthInstrument*>(package->CreateInstrument(0));
        instrument->SetName("Kest 1");
        instrument->Select();
        Settle();
    }
    void TearDown() override
    {
        if (package)
        {
            package->DestroyInstrument(instrument);
            registry.reset();
        }
        SetAnalogueSynthEditorFactory(nullptr);
        scales.reset();
        OffscreenScreenFixture::TearDown();
    }
    void Settle(int frames = 40)
    {
        for (int i = 0; i < frames; ++i)
            DrawFrame();
    }
    void Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("synthesizer screen saved as %s\n", saved.c_str());
    }
    void Click(const cRect& rect)
    {
        const cVector2 point = Centre(rect);
        input->TouchBegan(9, point.X, point.Y);
        input->TouchEnded(9, point.X, point.Y);
        DrawFrame();
    }
    void Post(const cAudioEvent& event)
    {
        instrument->GetSynth()->PostEvent(event);
        instrument->GetSynth()->DrainEvents();
    }
    cAnalogueSynthPanelPerform* Perform() const
    {
        return static_cast<cAnalogueSynthPanelPerform*>(editor->GetPageAt(1));
    }
    cAnalogueSynthPanelPreset* Preset() const
    {
        return static_cast<cAnalogueSynthPanelPreset*>(editor->GetPanel(cAnalogueSynthUI::kPanelPreset));
    }

    std::unique_ptr<cScaleTable> scales;
    std::unique_ptr<cInstrumentPackageRegistry> registry;
    cAnalogueSynthPackage* package = nullptr;
    cAnalogueSynthUI* editor = nullptr;
    cAnalogueSynthInstrument* instrument = nullptr;
};

// A bent wheel and a glowing pad under the finger, captions and markers.
TEST_F(SynthPerformPicture, ThePerformPageWhilePlaying)
{
    Start(1024, 768, kDeviceClassDesktop);
    Post(MakeSetIntEvent(MakeSynthParamId(kSynthParamPreset), 5));
    Settle(4);
    cPitchBendPanel* wheel = Perform()->GetPitchBend();
    const cRect wheelRect = wheel->GetWheelRect();
    const cVector2 grip = Centre(wheelRect);
    input->TouchBegan(1, grip.X, grip.Y);
    input->TouchMoved(1, grip.X, grip.Y - 0.3f * (wheelRect.yMax - wheelRect.yMin), false);
    cWidgetXYPad* pad = Perform()->GetModPanel()->GetPad(0);
    const cRect padRect = pad->GetPadRect();
    const float padX = padRect.xMin + 0.7f * (padRect.xMax - padRect.xMin);
    const float padY = padRect.yMin + 0.35f * (padRect.yMax - padRect.yMin);
    input->TouchBegan(2, padX, padY);
    Settle(6);
    Save("synth-perform");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    EXPECT_GT(wheel->GetValue(), 0.5f);
    const cVector2 thumb = Centre(pad->GetThumbRect());
    EXPECT_GT(Brightness(gl->PixelAt(pixels, int(thumb.X), int(thumb.Y))), 500) << "the glowing thumb";
    const cVector2 wheelThumb = Centre(wheel->GetThumbRect());
    EXPECT_LT(wheelThumb.Y, grip.Y) << "the thumb rides up with the bend";
    EXPECT_GT(Brightness(gl->PixelAt(pixels, int(wheelThumb.X), int(wheelThumb.Y))), 200);
    input->TouchEnded(1, grip.X, grip.Y);
    input->TouchEnded(2, padX, padY);

    editor->ShowPanel("Keys");
    Settle();
    Save("synth-perform-keys");
    EXPECT_STREQ(instrument->topPanel.CStr(), "Keys");
}

// The preset panel in the top band with the write dialogue open over the
// page.
TEST_F(SynthPerformPicture, TheWriteDialogueOverTheTopBand)
{
    Start(1024, 768, kDeviceClassDesktop);
    Post(MakeSetIntEvent(MakeSynthParamId(kSynthParamPreset), 5));
    Post(MakeSetFloatEvent(MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, 0, 0), 0.4f));
    Settle(4);
    Save("synth-preset-band");
    EXPECT_STREQ(Preset()->GetChooser()->GetPresetSpin()->GetText(), "A05.Round Bass");
    EXPECT_EQ(Preset()->GetButton(cAnalogueSynthPanelPreset::kWrite)->value, 1) << "the edit lights WRITE";
    EXPECT_EQ(ScreenFaults(), "") << "COMPARE, WRITE, BANK and PRESET read on the band";

    Click(Preset()->GetButton(cAnalogueSynthPanelPreset::kWrite)->GetRect());
    Settle(30);
    Save("synth-preset-write");
    EXPECT_TRUE(Preset()->GetWriteDialogue()->IsVisible());
    EXPECT_STREQ(Preset()->GetWriteDialogue()->GetName(), "Write 'A05. Round Bass'");
}

// A phone gives the preset panel a page of its own, with the logo.
TEST_F(SynthPerformPicture, ThePresetPageOnAPhone)
{
    Start(480, 320, kDeviceClassPhone);
    editor->ShowPanel("Preset");
    Settle();
    Save("synth-preset-page");
    EXPECT_FALSE(Preset()->IsWide());
}

// The part properties' preset panel, filled for bank B, slot 5.
TEST_F(SynthPerformPicture, ThePartPresetPanel)
{
    Start(1024, 768, kDeviceClassDesktop);
    manager->GetRoot()->RemoveChild(editor);
    package->GetStore().GetSingle(0x105).SetName("Warm Pad");
    auto* panel = static_cast<cAnalogueSynthSequencerPresetPanel*>(instrument->GetPresetWidget());
    panel->SetAnchors(kAnchorsAbsoluteRect, 200.0f, 200.0f, 500.0f, 260.0f);
    manager->GetRoot()->AddChild(panel);
    panel->SetValues(true, 0, 0x105);
    Settle();
    Save("synth-part-preset");
    EXPECT_STREQ(panel->GetChooser()->GetPresetSpin()->GetText(), "B05.Warm Pad");
    manager->GetRoot()->RemoveChild(panel);
    panel->Release();
}

// The widgets no page places: the multi editor on a layer, the key range
// learning, and the tilt toggle.
TEST_F(SynthPerformPicture, ASheetOfTheUnplacedWidgets)
{
    Start(1024, 768, kDeviceClassDesktop);
    manager->GetRoot()->RemoveChild(editor);
    std::vector<cWidget*> sheet;
    const auto place = [&](cWidget* widget, float x, float y, float width, float height) {
        widget->SetAnchors(kAnchorsAbsoluteRect, x, y, width, height);
        manager->GetRoot()->AddChild(widget);
        sheet.push_back(widget);
    };
    auto* layer = new cAnalogueSynthPanelMulti(editor);
    place(layer, 40.0f, 40.0f, 430.0f, 220.0f);
    auto* global = new cAnalogueSynthPanelMulti(editor);
    global->SelectTab(cAnalogueSynthPanelMulti::kGlobalTab);
    place(global, 520.0f, 40.0f, 430.0f, 220.0f);
    auto* range = new cWidgetKeyRange(SynthSprite(kSynthValueBox), SynthSprite(kSynthLamp), SynthSprite(kSynthLamp));
    range->SetName("KEY RANGE");
    place(range, 40.0f, 340.0f, 160.0f, 60.0f);
    auto* learning = new cWidgetKeyRange(SynthSprite(kSynthValueBox), SynthSprite(kSynthLamp), SynthSprite(kSynthLamp));
    learning->SetName("LEARNING");
    place(learning, 260.0f, 340.0f, 160.0f, 60.0f);
    auto* toggle = new cWidgetAccelerometer(SynthSprite(kSynthKnob));
    place(toggle, 500.0f, 340.0f, 64.0f, 44.0f);
    Settle(4);
    const cRect low = learning->GetLowBox();
    input->TouchBegan(3, Centre(low).X, Centre(low).Y);
    input->TouchEnded(3, Centre(low).X, Centre(low).Y);
    Settle(12);
    Save("synth-unplaced-widgets");
    EXPECT_EQ(learning->GetLearnMode(), cWidgetKeyRange::kLearnLow);
    EXPECT_FLOAT_EQ(toggle->GetBallCentre().X, 521.0f);
    for (cWidget* widget : sheet)
    {
        manager->GetRoot()->RemoveChild(widget);
        widget->Release();
    }
}
