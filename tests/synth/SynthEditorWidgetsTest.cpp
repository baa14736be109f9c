#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SynthEditorFixture.h"
#include "audio/InstrumentPackageRegistry.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/WidgetADSR.h"
#include "instruments/synth/ui/WidgetBankPreset.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
// Records the chooser's reports.
struct cPresetLog
{
    void OnChanged(int32_t id, cWidget*) { ids.push_back(id); }
    std::vector<int32_t> ids;
};

} // namespace

TEST(SynthEditorLabelBox, CaptionsSitOnWholePixels)
{
    const cLabelBoxPlace place = cAnalogueSynthUI::PlaceLabelBox(10.2f, 20.4f, 200.3f, 30.0f, 9.0f);
    EXPECT_EQ(place.x, 14.0f);
    EXPECT_EQ(place.y, 20.0f);
    EXPECT_EQ(place.lineStart, 24.0f);
    EXPECT_EQ(place.lineEnd, 196.0f);
    EXPECT_EQ(place.boxRight, 54.0f);
    EXPECT_EQ(place.boxBottom, 32.0f);
    EXPECT_EQ(place.textX, 19.0f);
    EXPECT_EQ(place.textY, 21.0f);
}

TEST_F(SynthEditor, EnvelopeGraphsDrawTheirShapeOnePixelAboveItsLevels)
{
    auto* graph = new cWidgetADSR();
    graph->SetAnchors(kAnchorsAbsoluteRect, 100.0f, 100.0f, 300.0f, 120.0f);
    widgets->GetRoot()->AddChild(graph);
    struct cCase
    {
        const char* what;
        float amount, attack, decay, sustain, release;
        bool invert;
        int32_t points;
    };
    const cCase cases[] = {
        {"all 0: a flat line", 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, false, 2},
        {"no attack: straight up", 1.0f, 0.0f, 0.5f, 0.5f, 0.5f, false, 5},
        {"inverted at full sustain", 1.0f, 0.5f, 0.5f, 1.0f, 0.5f, true, 5},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        graph->SetEnvelope(c.amount, c.attack, c.decay, c.sustain, c.release, c.invert);
        Frame();
        const cRect area = graph->GetGraphRect();
        const cVector2* points = graph->GetPoints();
        ASSERT_EQ(graph->GetPointCount(), c.points);
        EXPECT_FLOAT_EQ(points[0].X, area.xMin);
        EXPECT_FLOAT_EQ(points[c.points - 1].X, area.xMax);
        if (c.points == 2)
        {
            EXPECT_FLOAT_EQ(points[0].Y, area.yMax - 1.0f);
            EXPECT_FLOAT_EQ(points[1].Y, area.yMax - 1.0f);
        }
        else if (!c.invert)
        {
            EXPECT_FLOAT_EQ(points[1].X, points[0].X) << "rises vertically";
            EXPECT_FLOAT_EQ(points[1].Y, area.yMin - 1.0f);
        }
        else
        {
            EXPECT_FLOAT_EQ(points[0].Y, area.yMin - 1.0f) << "starts at the amount";
            EXPECT_FLOAT_EQ(points[2].Y, area.yMax - 1.0f) << "sustains on the bottom edge";
            EXPECT_FLOAT_EQ(points[3].Y, area.yMax - 1.0f);
            EXPECT_FLOAT_EQ(points[4].Y, area.yMin - 1.0f);
        }
    }
    widgets->GetRoot()->RemoveChild(graph);
    graph->Release();
}

TEST_F(SynthEditor, ThePresetChooserNamesTheBankAndPresetAndReportsOneId)
{
    // The chooser finds the store through the package registry, which owns
    // the package from here on.
    package->GetStore().GetSingle(0x0705).SetName("Bass");
    auto registry = std::make_unique<cInstrumentPackageRegistry>();
    registry->AddPackage(package.release());
    auto* chooser = new cWidgetBankPreset();
    cPresetLog log;
    chooser->changedDelegate.Bind(&log, &cPresetLog::OnChanged);
    chooser->SetAnchors(kAnchorsAbsoluteRect, 100.0f, 100.0f, 200.0f, 300.0f);
    widgets->GetRoot()->AddChild(chooser);
    chooser->SetPresetId(0x0705);
    Frame(2);
    EXPECT_STREQ(chooser->GetBankSpin()->GetText(), "Project");
    EXPECT_STREQ(chooser->GetPresetSpin()->GetText(), "P05.Bass");
    EXPECT_STREQ(chooser->GetPresetName(), "Bass");

    // The bank spin turned from 0 to 1, as a user's step reports it.
    chooser->SetPresetId(0x0005);
    Frame();
    cWidgetSpinButton* bank = chooser->GetBankSpin();
    bank->SetValue(1);
    bank->valueDelegate.Invoke(1, static_cast<cWidget*>(bank));
    EXPECT_EQ(log.ids, (std::vector<int32_t>{0x0105}));
    Frame();
    EXPECT_STREQ(chooser->GetBankSpin()->GetText(), "Global B");

    chooser->SetSideBySide(true);
    EXPECT_TRUE(chooser->IsSideBySide());
    Frame();
    EXPECT_GT(chooser->GetPresetSpin()->GetRect().xMin, chooser->GetBankSpin()->GetRect().xMax);
    chooser->SetDestinationLabels();
    EXPECT_STREQ(chooser->GetBankSpin()->GetName(), "DESTINATION BANK");
    widgets->GetRoot()->RemoveChild(chooser);
    chooser->Release();
    editor->SetInstrument(nullptr);
    instrument.reset();
    registry.reset();
}

TEST_F(SynthEditor, FactoriesDressControlsInTheSynthesizersSkin)
{
    struct cButtonCase
    {
        int32_t style;
        int32_t off, offDrawn, lit, litDrawn;
        uint32_t labelColour;
    };
    for (const cButtonCase& c : {cButtonCase{0, 97, 96, 99, 98, SynthColour::kGrey},
                                 cButtonCase{3, 105, 104, 102, 101, SynthColour::kDarkRed},
                                 cButtonCase{2, 105, 104, 103, 100, SynthColour::kDarkRed}})
    {
        cWidgetButton* button = CreateSynthButton(kButtonCycle, c.style);
        EXPECT_EQ(button->background.sprite, SynthSprite(c.off)) << c.style;
        EXPECT_EQ(button->background.drawSprite, SynthSprite(c.offDrawn)) << c.style;
        EXPECT_EQ(button->litBackground.sprite, SynthSprite(c.lit)) << c.style;
        EXPECT_EQ(button->litBackground.drawSprite, SynthSprite(c.litDrawn)) << c.style;
        EXPECT_EQ(button->labelStyle.colour, c.labelColour) << c.style;
        EXPECT_EQ(button->GetMode(), kButtonCycle);
        button->Release();
    }

    cWidgetLEDCycleButton* led = CreateSynthLEDButton(2, 0);
    EXPECT_EQ(led->maximum, 2);
    EXPECT_EQ(led->litBackground.sprite, SynthSprite(kSynthLampLitB));
    EXPECT_EQ(led->ledImage.sprite, SynthSprite(kSynthLEDUnlit));
    EXPECT_EQ(led->litLEDImage.sprite, SynthSprite(kSynthLEDLit));
    led->Release();
    led = CreateSynthLEDButton(1, 0x40000);
    EXPECT_EQ(led->litBackground.sprite, SynthSprite(kSynthLampLitA));
    led->Release();

    cWidgetKnob* knob = CreateSynthKnob();
    EXPECT_EQ(knob->knobImage.sprite, SynthSprite(kSynthKnob));
    EXPECT_EQ(knob->pointerSprite, SynthSprite(kSynthKnobPointer));
    EXPECT_EQ(knob->pointerStyle, kKnobPointerDot);
    EXPECT_FLOAT_EQ(knob->pointerRadius, 0.55f);
    EXPECT_EQ(knob->captionStyle.colour, SynthColour::kDarkRed);
    knob->Release();

    cWidgetSpinButton* spin = CreateSynthSpin(17);
    EXPECT_EQ(spin->upImage.sprite, SynthSprite(kSynthSpinUp));
    EXPECT_EQ(spin->valueBoxImage.sprite, SynthSprite(kSynthValueBox));
    EXPECT_EQ(spin->valueTextStyle.colour, SynthColour::kCyan);
    spin->Release();
    spin = CreateSynthModMatrixSpin();
    EXPECT_EQ(spin->valueBoxImage.sprite, nullptr) << "the matrix's spins have no value box";
    spin->Release();
}
