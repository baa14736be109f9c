#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "audio/ScaleTable.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPanelModMatrix.h"
#include "instruments/synth/ui/AnalogueSynthPanelOsc.h"
#include "instruments/synth/ui/AnalogueSynthPanelSampler.h"
#include "ui/WidgetLabel.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "mixer/Effect.h"
#include "mixer/EffectUnits.h"
#include "mixer/ui/EffectEditors.h"
#include "ui/OffscreenScreenFixture.h"

// The sound pages as a new user sees them, drawn by the real renderer with
// the generated content and saved as pictures to look at.
class SynthSoundPagesPicture : public OffscreenScreenFixture
{
protected:
    void Start(int width, int height, int32_t deviceClass)
    {
        StartScreen(width, height, deviceClass);
        scales = std::make_unique<cScaleTable>();
        InstallEffectEditorFactory();
        RegisterEffectPackages();
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        package = std::make_unique<cAnalogueSynthPackage>();
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
            package.reset();
        }
        SetAnalogueSynthEditorFactory(nullptr);
        DeleteEffectPackages();
        SetEffectEditorFactory(nullptr);
        scales.reset();
        OffscreenScreenFixture::TearDown();
    }
    void Settle()
    {
        for (int i = 0; i < 30; ++i)
        {
            instrument->GetSynth()->DrainEvents();
            DrawFrame();
        }
    }
    // Sets a value as the module takes it, then lets the pages read it back.
    void Set(uint32_t id, int32_t value)
    {
        instrument->GetSynth()->SetParamInt(id, value);
        editor->ModifyFlags(kWidgetStateDirty, 0, true);
    }
    void Show(const char* panel)
    {
        editor->ShowPanel(panel);
        Settle();
    }
    void Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("sound page saved as %s\n", saved.c_str());
    }

    std::unique_ptr<cScaleTable> scales;
    std::unique_ptr<cAnalogueSynthPackage> package;
    cAnalogueSynthUI* editor = nullptr;
    cAnalogueSynthInstrument* instrument = nullptr;
};

// The 2 x 2 page, then the page with the patchbay beside the effects, the
// table scrolled with a row selected, an LFO at BEAT and an inverted envelope.
TEST_F(SynthSoundPagesPicture, BothPagesOnADesktop)
{
    Start(1024, 768, kDeviceClassDesktop);
    Set(MakeSynthParamId(kSynthParamSingle, kSingleGroupLFO1, 5), 2);
    Set(MakeSynthParamId(kSynthParamSingle, kSingleGroupAmpEnv, 5), 1);
    Show("Osc");
    Save("synth-sound-page-1024");
    EXPECT_TRUE(editor->GetPanel(cAnalogueSynthUI::kPanelAmp)->IsVisible());
    // The "FILTER" caption's box shows over the panel: no strip covers it.
    const cRect filter = editor->GetPanel(cAnalogueSynthUI::kPanelFilter)->GetRect();
    const uint32_t box = gl->PixelAt(gl->ReadPixels(), int(filter.xMin + 9.0f), int(filter.yMin + 5.0f));
    EXPECT_EQ(box & 0xffffffu, 0x000073u) << std::hex << box;
    instrument->patchbayRow = 8;
    instrument->patchbayPosition = 4.0f;
    editor->ModifyFlags(kWidgetStateDirty, 0, true);
    Show("Patchbay");
    Save("synth-patchbay-page-1024");
    EXPECT_TRUE(editor->GetPanel(cAnalogueSynthUI::kPanelEffects)->IsVisible());
}

// One panel per page on a phone: the oscillators in MIX and in SAMPLE mode.
TEST_F(SynthSoundPagesPicture, OnePanelPerPageOnAPhone)
{
    Start(480, 320, kDeviceClassPhone);
    const char* const panels[] = {"Osc", "Filter", "Amp", "LFO/Env", "Patchbay", "Effects"};
    for (const char* panel : panels)
    {
        Show(panel);
        std::string name = std::string("synth-480-") + panel;
        for (char& c : name)
            if (c == '/')
                c = '-';
        Save(name.c_str());
    }
    Set(MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, 2), 4);
    Show("Osc");
    Save("synth-480-Osc-sample");
}

// The sample's name is its bare file name, cut with ".." to the label.
TEST_F(SynthSoundPagesPicture, TheSampleLabelShowsTheBareFileName)
{
    Start(1024, 768, kDeviceClassDesktop);
    Set(MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, 2), 4);
    Show("Osc");
    auto* osc = static_cast<cAnalogueSynthPanelOsc*>(editor->GetPanel(cAnalogueSynthUI::kPanelOsc));
    cWidgetLabel* label = osc->GetSampler()->GetNameLabel();
    struct cCase
    {
        const char* path;
        const char* shown;
    };
    const cCase cases[] = {{"User/Samples/Drums/Kick 01.wav", "Kick 01"}, {"User\\Samples\\Snare.wav", "Snare"}};
    for (const cCase& c : cases)
    {
        instrument->GetSynth()->SetSamplePath(cGenStringFixed<260>(c.path));
        editor->ModifyFlags(kWidgetStateDirty, 0, true);
        Settle();
        EXPECT_STREQ(label->GetText(), c.shown);
    }
    const std::string longName = "User/Samples/A very long sample name that cannot fit beside the buttons.wav";
    instrument->GetSynth()->SetSamplePath(cGenStringFixed<260>(longName.c_str()));
    editor->ModifyFlags(kWidgetStateDirty, 0, true);
    Settle();
    const std::string shown = label->GetText();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 2), "..");
    EXPECT_LT(shown.size(), 60u);
    const cRect rect = label->GetRect();
    EXPECT_LE(label->textStyle.font.GetTextWidth(shown.c_str()), rect.xMax - rect.xMin - 25.0f);
    Save("synth-1024-sample-name");
    EXPECT_EQ(ScreenFaults(), "") << "the sample layer's captions read on the face plate";
}
