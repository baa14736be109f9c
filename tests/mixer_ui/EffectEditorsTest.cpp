#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/WaveShaper.h"
#include "base/ProjectModified.h"
#include "mixer/Effect1BandFilter.h"
#include "mixer/Effect3BandEQ.h"
#include "mixer/EffectCompressor.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/ui/Effect1BandFilterUI.h"
#include "mixer/ui/Effect3BandEQUI.h"
#include "mixer/ui/EffectCompressorUI.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/EffectAnalyserUI.h"
#include "mixer/EffectAnalyser.h"
#include "platform/DisplayMetrics.h"
#include "mixer/ui/EffectChorusDelayUI.h"
#include "audio/ChorusDelay.h"
#include "mixer/ui/EffectReverbUI.h"
#include "mixer/EffectReverb.h"
#include "mixer/ui/EffectWaveShapeUI.h"
#include "mixer/EffectWaveShape.h"
#include "ui/WidgetSpinButton.h"
#include "ui/ControlFixture.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"

namespace
{
class cTestStatusBar : public cStatusBarHost
{
public:
    void SetTitleText(const char*) override {}
    void ShowStatusMessage(const char* text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// The eight units registered, the editors installed, and each editor made
// by its package on the screen, bound to an effect of that package.
class EffectEditors : public ControlFixture
{
protected:
    static void SetUpTestSuite()
    {
        ControlFixture::SetUpTestSuite();
        BuildShapeTables();
    }
    static void TearDownTestSuite() { FreeShapeTables(); }

    EffectEditors()
    {
        RegisterEffectPackages();
        RegisterHiddenEffectPackages();
        InstallEffectEditorFactory();
        SetStatusBarHost(&status);
        SetProjectModifiedFlag(&modified);
    }
    ~EffectEditors() override
    {
        for (cEffectUI* editor : editors)
        {
            root->RemoveChild(editor);
            editor->Release();
        }
        SetProjectModifiedFlag(nullptr);
        SetStatusBarHost(nullptr);
        SetEffectEditorFactory(nullptr);
        DeleteEffectPackages();
    }

    // The package's editor on the screen, bound to a new effect of it.
    template <class T>
    T* Open(const char* unit, bool bind = true)
    {
        cEffectPackage* package = gEffectRegistry->FindPackage(unit);
        auto* editor = static_cast<T*>(package->CreateEditor());
        // One under another, so that touches reach the editor meant.
        const float top = 10.0f + 90.0f * float(editors.size() % 5);
        editor->SetAnchors(kAnchorsAbsoluteRect, 10.0f, top, 600.0f, 83.0f);
        root->AddChild(editor);
        editors.push_back(editor);
        if (bind)
        {
            effects.emplace_back(package->CreateEffect());
            editor->SetEffect(effects.back().get(), 0);
        }
        Frame(2);
        return editor;
    }

    // A drag up from the control's centre.
    void Turn(cWidget* control)
    {
        const cRect& rect = control->GetRect();
        const float x = (rect.xMin + rect.xMax) * 0.5f, y = (rect.yMin + rect.yMax) * 0.5f;
        Down(1, x, y);
        for (int step = 1; step <= 8; ++step)
            Move(1, x, y - float(step) * 6.0f);
        Up(1, x, y - 48.0f);
        Frame();
    }
    void Tap(float x, float y)
    {
        Down(1, x, y);
        Up(1, x, y);
    }
    void Tap(cWidget* control)
    {
        const cRect& rect = control->GetRect();
        const float x = (rect.xMin + rect.xMax) * 0.5f, y = (rect.yMin + rect.yMax) * 0.5f;
        Down(1, x, y);
        Up(1, x, y);
        Frame();
    }

    cTestStatusBar status;
    std::atomic<bool> modified{false};
    std::vector<cEffectUI*> editors;
    std::vector<std::unique_ptr<cEffect>> effects;
};

// A knob of an editor at a value; the filter's cutoff goes through its own
// handler.
struct cText
{
    const char* unit;
    int32_t knob;
    float value;
    const char* text;
};

std::string TextOf(cEffectUI* editor, const cText& row, cTestStatusBar& status)
{
    status.messages.clear();
    if (auto* filter = dynamic_cast<cEffect1BandFilterUI*>(editor))
        filter->OnCutoffKnob(row.value, filter->GetCutoffKnob());
    else
    {
        auto* panel = static_cast<cEffectKnobPanel*>(editor);
        panel->OnKnobChanged(row.value, panel->GetKnob(row.knob));
    }
    return status.messages.empty() ? std::string() : status.messages.back();
}
} // namespace

TEST_F(EffectEditors, EachUnitHasItsEditor)
{
    const struct
    {
        const char* unit;
        const char* name;
    } built[] = {{"EQ-3B", "3BandEQUI"},
                 {"QDL-5", "CompressorUI"},
                 {"VELTRIX", "ChorusDelayUI"},
                 {"9TH HARBOR", "WaveShapeUI"},
                 {"Q-HALLS", "ReverbUI"},
                 {"FILTER-1B", "1BandFilterUI"},
                 {"ANALYSER", "AnalyserUI"},
                 {"TEST-RESAMPLER", "TestResamplerUI"}};
    for (const auto& unit : built)
    {
        cEffectUI* editor = gEffectRegistry->FindPackage(unit.unit)->CreateEditor();
        ASSERT_NE(editor, nullptr) << unit.unit;
        EXPECT_STREQ(editor->GetName(), unit.name);
        EXPECT_EQ(editor->GetPackage(), gEffectRegistry->FindPackage(unit.unit));
        cVector2 minimum, preferred;
        editor->GetSizePreferences(&minimum, &preferred);
        EXPECT_EQ(preferred.X, 432.0f);
        EXPECT_EQ(preferred.Y, 83.0f);
        editor->Release();
    }
}

// Every knob shows its value in the unit's own terms, bound or not.
TEST_F(EffectEditors, KnobTexts)
{
    const cText rows[] = {
        {"EQ-3B", 0, 0.5f, "Low cutoff freq. = 89Hz"},     {"EQ-3B", 2, 1.0f, "Mid centre freq. = 4.00kHz"},
        {"EQ-3B", 5, 0.5f, "High cutoff freq. = 2.45kHz"}, {"EQ-3B", 1, 1.0f, "Low shelf gain = +15.0dB"},
        {"EQ-3B", 3, 0.5f, "Mid width = 2.5 Octaves"},     {"EQ-3B", 4, 0.0f, "Mid gain = -15.0dB"},
        {"QDL-5", 1, 0.5f, "Ratio = 1.9:1"},               {"QDL-5", 1, 0.99f, "Ratio = INF:1"},
        {"QDL-5", 2, 0.0f, "Attack = 1ms"},                {"QDL-5", 2, 1.0f, "Attack = 100ms"},
        {"QDL-5", 3, 0.0f, "Release = 50ms"},              {"QDL-5", 0, 0.5f, "Threshold = -10.5dB"},
        {"QDL-5", 4, 0.5f, "Output gain = 12.0dB"},        {"FILTER-1B", 0, 0.0f, "Cutoff = 0.1kHz"},
        {"FILTER-1B", 0, 0.5f, "Cutoff = 1.4kHz"},         {"FILTER-1B", 0, 1.0f, "Cutoff = 16.2kHz"},
    };
    for (const bool bound : {true, false})
        for (const cText& row : rows)
        {
            SCOPED_TRACE(testing::Message() << row.text << (bound ? " bound" : " unbound"));
            cEffectUI* editor = row.unit == std::string("EQ-3B")   ? static_cast<cEffectUI*>(Open<cEffect3BandEQUI>(row.unit, bound))
                                : row.unit == std::string("QDL-5") ? static_cast<cEffectUI*>(Open<cEffectCompressorUI>(row.unit, bound))
                                                                   : static_cast<cEffectUI*>(Open<cEffect1BandFilterUI>(row.unit, bound));
            EXPECT_EQ(TextOf(editor, row, status), row.text);
        }
}

// A turned knob or a tapped switch posts its event with its tag and marks
// the project modified, even when the ring is full; unbound, nothing.
TEST_F(EffectEditors, ControlsPostToTheirEffect)
{
    auto* eq = Open<cEffect3BandEQUI>("EQ-3B");
    cAudioModuleBase* effect = eq->GetEffect();
    Turn(eq->GetKnob(1));
    effect->DrainEvents();
    EXPECT_TRUE(modified.exchange(false));
    EXPECT_FLOAT_EQ(effect->GetParamFloat(cEffect3BandEQ::kParamLowGain), eq->GetKnob(1)->GetValue());
    EXPECT_GT(eq->GetKnob(1)->GetValue(), 0.5f);
    Tap(eq->GetSwitch(0));
    effect->DrainEvents();
    EXPECT_TRUE(modified.exchange(false));
    EXPECT_EQ(effect->GetParamInt(cEffect3BandEQ::kParamEnable), 1);

    // A full ring drops the event but the project is still marked.
    for (uint32_t i = 0; i < cEffect::kEventCapacity; ++i)
        effect->PostEvent(MakeSetIntEvent(cEffect3BandEQ::kParamGainComp, 0));
    Tap(eq->GetSwitch(1));
    EXPECT_TRUE(modified.exchange(false));

    auto* loose = Open<cEffectCompressorUI>("QDL-5", false);
    Turn(loose->GetKnob(0));
    Tap(loose->GetSwitch(0));
    EXPECT_FALSE(modified.load()) << "an unbound editor changes nothing";

    auto* filter = Open<cEffect1BandFilterUI>("FILTER-1B");
    Tap(filter->GetTypeButton(3));
    filter->GetEffect()->DrainEvents();
    EXPECT_EQ(filter->GetEffect()->GetParamInt(cEffect1BandFilter::kParamType), 3);
    EXPECT_EQ(filter->GetTypeButton(3)->value, 1);
    EXPECT_EQ(filter->GetTypeButton(1)->value, 0);
}

// Bound to another unit, an editor shows that unit's values on the next
// frame; with an instance, its tags carry it.
TEST_F(EffectEditors, SetEffectRereadsTheControls)
{
    auto* eq = Open<cEffect3BandEQUI>("EQ-3B");
    std::unique_ptr<cEffect> other(gEffectRegistry->CreateEffect("EQ-3B"));
    other->PostEvent(MakeSetFloatEvent(cEffect3BandEQ::kParamMidGain, 0.9f));
    other->PostEvent(MakeSetIntEvent(cEffect3BandEQ::kParamEnable, 1));
    other->DrainEvents();
    eq->SetEffect(other.get(), 0);
    Frame();
    EXPECT_FLOAT_EQ(eq->GetKnob(4)->GetValue(), 0.9f);
    EXPECT_EQ(eq->GetSwitch(0)->value, 1);
    eq->SetEffect(other.get(), 14);
    Frame();
    EXPECT_EQ(eq->GetKnob(4)->GetTag(), (cEffect3BandEQ::kParamMidGain << 8) | 14);
    EXPECT_EQ(eq->MakeParamId(2), (2u << 8) | 14u);
    eq->SetEffect(effects.front().get(), 0);
    Frame();
}

// The compressor's bars start 26 px into the meter panel at its rows; while
// the unit is off the levels rest at 0.03 and the reduction is full.
TEST_F(EffectEditors, CompressorMeters)
{
    auto* compressor = Open<cEffectCompressorUI>("QDL-5");
    const cRect panel = compressor->GetMeterPanel();
    const float rows[] = {5.0f, 5.0f, 15.0f, 25.0f};
    for (int32_t bar = 0; bar < cEffectCompressorUI::kBarCount; ++bar)
    {
        EXPECT_FLOAT_EQ(compressor->GetBar(bar).x0, panel.xMin + 26.0f) << bar;
        EXPECT_FLOAT_EQ(compressor->GetBar(bar).y0, panel.yMin + rows[bar]) << bar;
    }
    Frame();
    EXPECT_FLOAT_EQ(compressor->GetBarLevel(cEffectCompressorUI::kBarInput), 0.03f);
    EXPECT_FLOAT_EQ(compressor->GetBarLevel(cEffectCompressorUI::kBarOutput), 0.03f);
    EXPECT_FLOAT_EQ(compressor->GetBarLevel(cEffectCompressorUI::kBarGainReduction), 1.0f);
    EXPECT_NEAR(compressor->GetBarLevel(cEffectCompressorUI::kBarThreshold), (-10.5f + 30.0f) / 39.0f, 1e-6f);
}

// "EQ Only" keeps only CONTOUR; "Lo-Fi" names the outer knobs for what they
// do there; a shape the list lacks shows the spinner at 1 with no text.
TEST_F(EffectEditors, WaveshaperShapes)
{
    auto* shaper = Open<cEffectWaveShapeUI>("9TH HARBOR");
    cWidgetSpinButton* spin = shaper->GetShapeSpin();
    shaper->OnShapeSpin(cWaveShapeParams::kShapeEQOnly, spin);
    Frame();
    EXPECT_FALSE(shaper->GetKnob(cEffectWaveShapeUI::kKnobDrive)->IsVisible());
    EXPECT_FALSE(shaper->GetKnob(cEffectWaveShapeUI::kKnobLevel)->IsVisible());
    EXPECT_TRUE(shaper->GetKnob(cEffectWaveShapeUI::kKnobContour)->IsVisible());
    EXPECT_STREQ(spin->GetText(), "EQ Only");
    shaper->OnShapeSpin(cWaveShapeParams::kShapeLoFi, spin);
    EXPECT_TRUE(shaper->GetKnob(cEffectWaveShapeUI::kKnobDrive)->IsVisible());
    EXPECT_STREQ(shaper->GetKnob(cEffectWaveShapeUI::kKnobDrive)->GetName(), "BITCRUSH");
    EXPECT_STREQ(shaper->GetKnob(cEffectWaveShapeUI::kKnobLevel)->GetName(), "DECIMATE");
    shaper->GetEffect()->DrainEvents();
    EXPECT_EQ(shaper->GetEffect()->GetParamInt(cWaveShapeParams::kFieldShape), cWaveShapeParams::kShapeLoFi);

    auto* shapeless = static_cast<cEffectWaveShape*>(shaper->GetEffect());
    shapeless->params.Shape = 0;
    shaper->SetEffect(shapeless, 0);
    Frame();
    EXPECT_EQ(spin->GetValue(), 1);
    EXPECT_STREQ(spin->GetText(), "");
    EXPECT_EQ(shapeless->params.Shape, 0);

    // On the synthesizer's page the drive is instance 14's.
    shaper->SetEffect(shapeless, 14);
    Frame();
    EXPECT_EQ(shaper->GetKnob(cEffectWaveShapeUI::kKnobDrive)->GetTag(), (2 << 8) | 14);
}

// While the reverb is off its window is nameless and a stepped preset is
// not sent; switching on reads the effect again, so the window names the
// preset that plays, not the one stepped to.
TEST_F(EffectEditors, ReverbOffAndOn)
{
    auto* reverb = Open<cEffectReverbUI>("Q-HALLS");
    cAudioModuleBase* effect = reverb->GetEffect();
    effect->PostEvent(MakeSetIntEvent(cEffectReverb::kParamEnable, 0));
    effect->PostEvent(MakeSetIntEvent(cEffectReverb::kParamPreset, 3));
    effect->DrainEvents();
    reverb->SetEffect(effect, 0);
    Frame();
    EXPECT_STREQ(reverb->GetShownPresetName(), "");
    modified = false;
    reverb->OnPresetChanged(7, reverb->GetPresetSelector());
    reverb->GetPresetSelector()->SetValue(7);
    effect->DrainEvents();
    EXPECT_EQ(effect->GetParamInt(cEffectReverb::kParamPreset), 3) << "not sent while off";
    EXPECT_FALSE(modified.load());

    Tap(reverb->GetSwitch());
    effect->DrainEvents();
    Frame();
    EXPECT_EQ(effect->GetParamInt(cEffectReverb::kParamEnable), 1);
    EXPECT_EQ(reverb->GetPresetSelector()->GetValue(), 3);
    EXPECT_STREQ(reverb->GetShownPresetName(), cEffectReverb::GetPresetName(3));
    reverb->OnPresetChanged(7, reverb->GetPresetSelector());
    effect->DrainEvents();
    EXPECT_EQ(effect->GetParamInt(cEffectReverb::kParamPreset), 7);
}

namespace
{
struct cValueTexts
{
    void OnText(const char* text, cWidgetKnob*) { last = text; }
    std::string last;
};
} // namespace

// The mode and Sync decide which controls show; with instance 14 the ids
// carry it; a double tap centres DRY/WET and posts it.
TEST_F(EffectEditors, ChorusDelayModes)
{
    using E = cEffectChorusDelayUI;
    auto* delay = Open<cEffectChorusDelayUI>("VELTRIX");
    const struct
    {
        int32_t type, sync;
        std::vector<int32_t> shown;
    } modes[] = {
        {cChorusDelayParams::kTypeChorus, 0, {E::kKnobRate, E::kKnobDelay, E::kKnobDepth, E::kKnobChorusFeedback}},
        {cChorusDelayParams::kTypeFlanger, 1, {E::kKnobRate, E::kKnobDelay, E::kKnobDepth, E::kKnobChorusFeedback}},
        {cChorusDelayParams::kTypeDelay, 0, {E::kKnobTime, E::kKnobDelayFeedback, E::kKnobDryWet}},
        {cChorusDelayParams::kTypeCrossDelay, 1, {E::kKnobBeat, E::kKnobDelayFeedback, E::kKnobDryWet}},
    };
    for (const auto& mode : modes)
    {
        SCOPED_TRACE(mode.type);
        delay->OnModeSpin(mode.type, delay->GetModeSpin());
        delay->GetEffect()->DrainEvents();
        Frame();
        if (delay->GetSyncButton()->IsVisible() && delay->GetSyncButton()->value != mode.sync)
            Tap(delay->GetSyncButton());
        delay->GetEffect()->DrainEvents();
        Frame();
        for (int32_t knob = 0; knob < E::kKnobCount; ++knob)
        {
            const bool shown = std::find(mode.shown.begin(), mode.shown.end(), knob) != mode.shown.end();
            EXPECT_EQ(delay->GetKnob(knob)->IsVisible(), shown) << knob;
        }
        const bool delayMode = mode.type >= cChorusDelayParams::kTypeDelay;
        EXPECT_EQ(delay->GetSyncButton()->IsVisible(), delayMode);
    }
    EXPECT_STREQ(delay->GetModeSpin()->GetText(), "X-Delay");

    cValueTexts texts;
    cWidgetKnob::SetValueTextDelegate(cDelegate(&texts, &cValueTexts::OnText));
    cWidgetKnob* dryWet = delay->GetKnob(E::kKnobDryWet);
    Turn(dryWet);
    delay->GetEffect()->DrainEvents();
    const cRect& rect = dryWet->GetRect();
    Tap((rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
    Tap((rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
    Frame();
    delay->GetEffect()->DrainEvents();
    EXPECT_FLOAT_EQ(dryWet->GetValue(), 0.5f);
    EXPECT_FLOAT_EQ(delay->GetEffect()->GetParamFloat(cChorusDelayParams::kFieldDAmount), 0.5f);
    EXPECT_EQ(texts.last, "DRY/WET = +0.00");
    cWidgetKnob::SetValueTextDelegate(cDelegate());

    delay->SetEffect(delay->GetEffect(), 14);
    Frame();
    EXPECT_EQ(delay->GetKnob(E::kKnobRate)->GetTag(), 0x30E);
    EXPECT_EQ(delay->GetModeSpin()->GetTag(), 14);
}

// A 100-pixel display has three cells: edges at 0, 33.3, 66.7 and 100,
// middles at 16.7, 50 and 83.3.
TEST_F(EffectEditors, SpectrumGrid)
{
    std::vector<float> major, minor;
    cEffectAnalyserSpectrum::GridLines(100.0f, 50.0f, major, minor);
    const float majors[] = {0.0f, 33.333f, 66.667f, 100.0f}, minors[] = {16.667f, 50.0f, 83.333f};
    ASSERT_EQ(major.size(), 4u);
    ASSERT_EQ(minor.size(), 3u);
    for (size_t i = 0; i < major.size(); ++i)
        EXPECT_NEAR(major[i], majors[i], 1e-3f);
    for (size_t i = 0; i < minor.size(); ++i)
        EXPECT_NEAR(minor[i], minors[i], 1e-3f);
}

// Zooms glide over 15 frames; a short drag changes nothing; a double tap
// returns to the full range; a straight drag keeps the flat axis's range.
TEST_F(EffectEditors, SpectrumZoom)
{
    auto* editor = Open<cEffectAnalyserUI>("ANALYSER");
    cEffectAnalyserSpectrum* spectrum = editor->GetSpectrum();
    const cRect rect = spectrum->GetRect();
    const auto drag = [&](cVector2 from, cVector2 to)
    {
        Down(1, from.X, from.Y);
        for (int step = 1; step <= 4; ++step)
            Move(1, from.X + (to.X - from.X) * float(step) / 4.0f, from.Y + (to.Y - from.Y) * float(step) / 4.0f);
        Up(1, to.X, to.Y);
    };
    const float shortDrag = 1.5f * GetDisplayMetrics().pixelsPerMillimetre;
    drag({rect.xMax - 60.0f, rect.yMax - 10.0f}, {rect.xMax - 60.0f + shortDrag, rect.yMax - 10.0f});
    Frame();
    EXPECT_FALSE(spectrum->IsGliding());
    EXPECT_FLOAT_EQ(spectrum->GetLowHz(), 10.0f);

    // A horizontal drag: the frequencies zoom, the levels keep their range.
    drag({rect.xMin + 10.0f, rect.yMin + 20.0f}, {rect.xMin + 110.0f, rect.yMin + 20.0f});
    Frame(15);
    EXPECT_FALSE(spectrum->IsGliding());
    EXPECT_GT(spectrum->GetLowHz(), 10.0f);
    EXPECT_LT(spectrum->GetHighHz(), 22000.0f);
    EXPECT_FLOAT_EQ(spectrum->GetLowDb(), -90.0f);
    EXPECT_FLOAT_EQ(spectrum->GetHighDb(), 6.0f);
    EXPECT_TRUE(std::isfinite(spectrum->XOf(1000.0f)));

    // Both corners clamped to one edge: nothing divides by zero.
    drag({rect.xMax + 5.0f, rect.yMin + 5.0f}, {rect.xMax + 9.0f, rect.yMax - 5.0f});
    Frame(15);
    EXPECT_GT(spectrum->GetHighHz(), spectrum->GetLowHz());
    EXPECT_GT(spectrum->GetHighDb(), spectrum->GetLowDb());

    const float x = (rect.xMin + rect.xMax) * 0.5f, y = (rect.yMin + rect.yMax) * 0.5f;
    Tap(x, y);
    Tap(x, y);
    Frame();
    EXPECT_TRUE(spectrum->IsGliding());
    Frame(15);
    EXPECT_FLOAT_EQ(spectrum->GetLowHz(), 10.0f);
    EXPECT_FLOAT_EQ(spectrum->GetHighHz(), 22000.0f);
}

// No curve while off; zoomed in, columns interpolate between bins, zoomed
// out they take the largest bin, and no column reads past the last.
TEST_F(EffectEditors, SpectrumCurve)
{
    auto* editor = Open<cEffectAnalyserUI>("ANALYSER");
    auto* analyser = static_cast<cEffectAnalyser*>(editor->GetEffect());
    cEffectAnalyserSpectrum* spectrum = editor->GetSpectrum();
    EXPECT_TRUE(spectrum->BuildCurve().empty());
    analyser->SetEnabled(true);
    const size_t columns = spectrum->BuildCurve().size();
    EXPECT_GE(columns, size_t((spectrum->GetRect().xMax - spectrum->GetRect().xMin) / 3.0f));
    for (const cVector2& point : spectrum->BuildCurve())
        EXPECT_TRUE(std::isfinite(point.Y));
}

// After a turn the status bar holds the editor's own text, not the knob's.
TEST_F(EffectEditors, TheEditorsTextWins)
{
    cValueTexts knobTexts;
    cWidgetKnob::SetValueTextDelegate(cDelegate(&knobTexts, &cValueTexts::OnText));
    auto* eq = Open<cEffect3BandEQUI>("EQ-3B");
    auto* filter = Open<cEffect1BandFilterUI>("FILTER-1B");
    for (cWidgetKnob* knob : {eq->GetKnob(0), filter->GetCutoffKnob()})
    {
        knobTexts.last.clear();
        status.messages.clear();
        Turn(knob);
        EXPECT_TRUE(knobTexts.last.empty()) << knobTexts.last;
        ASSERT_FALSE(status.messages.empty());
    }
    EXPECT_EQ(status.messages.back().rfind("Cutoff = ", 0), 0u);
    cWidgetKnob::SetValueTextDelegate(cDelegate());
}

namespace
{
// A module holding effects as instances, as the synthesizer's does: it
// keeps what it is sent.
class cInstanceModule : public cAudioModuleBase
{
public:
    cInstanceModule() : cAudioModuleBase(64) {}
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        received.push_back(event);
        return 0;
    }
    std::vector<cAudioEvent> received;
};
} // namespace

// An editor bound to another module with an instance posts to it with the
// instance in every id: the waveshaper's DRIVE as instance 14 is 0x20E.
TEST_F(EffectEditors, EditorsServeAModuleWithInstances)
{
    auto* shaper = Open<cEffectWaveShapeUI>("9TH HARBOR", false);
    cInstanceModule module;
    shaper->SetEffect(&module, 14);
    Frame();
    Turn(shaper->GetKnob(cEffectWaveShapeUI::kKnobDrive));
    Tap(shaper->GetPowerButton());
    module.DrainEvents();
    ASSERT_GE(module.received.size(), 2u);
    EXPECT_EQ(module.received.front().type, kAudioEventSetFloatParam);
    EXPECT_EQ(module.received.front().wordA, (2u << 8) | 14u);
    EXPECT_EQ(module.received.back().type, kAudioEventSetIntParam);
    EXPECT_EQ(module.received.back().wordA, 14u);
    EXPECT_TRUE(modified.load());
}
