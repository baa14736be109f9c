#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <limits>
#include <string>
#include <vector>

#include "SynthEditorFixture.h"
#include "audio/WaitUntil.h"
#include "base/JobQueue.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPage.h"
#include "instruments/synth/ui/AnalogueSynthPanelEffects.h"
#include "instruments/synth/ui/AnalogueSynthPanelModMatrix.h"
#include "instruments/synth/ui/AnalogueSynthPanelOsc.h"
#include "instruments/synth/ui/AnalogueSynthPanelSampler.h"
#include "instruments/synth/ui/AnalogueSynthPanelStrips.h"
#include "instruments/synth/ui/AnalogueSynthStripEnvelope.h"
#include "instruments/synth/ui/AnalogueSynthStripFilter.h"
#include "instruments/synth/ui/AnalogueSynthStripLFO.h"
#include "instruments/synth/ui/AnalogueSynthStripOsc.h"
#include "instruments/synth/ui/AnalogueSynthStripPolyphonyFX.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"
#include "instruments/synth/ui/WidgetLoopDirection.h"
#include "mixer/Effect.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/EffectUI.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "ui/LayoutItem.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t Single(int32_t group, int32_t index = 0, int32_t field = 0)
{
    return MakeSynthParamId(kSynthParamSingle, group, index, field);
}
const uint32_t kModeId = Single(kSingleGroupOsc, 2);
const uint32_t kSecondWaveId = Single(kSingleGroupOsc, 1);

// The browser and sampler of a test: it records what was asked.
class cRecordingHost : public cAnalogueSynthUIHost
{
public:
    bool ShowFileBrowser(const cSynthBrowserRequest& request, const cDelegate& completion) override
    {
        ++shown;
        title = request.title;
        root = request.rootFolder;
        path = request.path.CStr();
        flags = request.flags;
        this->completion = completion;
        return true;
    }
    const char* GetLastFolder() override { return lastFolder.c_str(); }
    void SetLastFolder(const char* folder) override { lastFolder = folder; }
    bool HasSampler() override { return sampler; }

    int shown = 0;
    std::string title, root, path, lastFolder;
    uint32_t flags = 0;
    bool sampler = false;
    cDelegate completion;
};

cVector2 Centre(const cRect& rect) { return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f}; }
} // namespace

// The sound pages on the real editor bound to a recording module, driven
// through the input manager; the effect units give their editors.
class SynthSoundPages : public SynthEditor
{
protected:
    void SetUp() override
    {
        InstallEffectEditorFactory();
        SynthEditor::SetUp();
        SetAnalogueSynthUIHost(&host);
    }
    void TearDown() override
    {
        SetAnalogueSynthUIHost(nullptr);
        SynthEditor::TearDown();
        SetEffectEditorFactory(nullptr);
    }
    void OpenAt(const char* panel)
    {
        Open(kScreenWidth, kScreenHeight);
        editor->ShowPanel(panel);
        Frame(2);
        Synth().Take();
    }
    template <class T> T* Panel(int32_t index) const { return static_cast<T*>(editor->GetPanel(index)); }
    // A module value as if a preset held it; the pages read it back.
    void Set(uint32_t id, int32_t value)
    {
        Synth().SetParamInt(id, value);
        Refresh();
    }
    void Refresh()
    {
        editor->ModifyFlags(kWidgetStateDirty, 0, true);
        Frame();
    }
    // A frame between press and release, as a finger takes.
    void Tap(const cRect& rect)
    {
        const cVector2 at = Centre(rect);
        Down(1, at.X, at.Y);
        Frame();
        Up(1, at.X, at.Y);
        Frame();
    }
    void Tap(cWidgetButton* button) { Tap(button->GetContentBounds()); }
    void TapUp(cWidgetSpinButton* spin) { Tap(spin->GetUpZone()); }
    void TapDown(cWidgetSpinButton* spin) { Tap(spin->GetDownZone()); }
    void DragUp(cWidgetKnob* knob, float pixels)
    {
        const cVector2 at = Centre(knob->GetRect());
        Down(1, at.X, at.Y);
        for (int step = 1; step <= 4; ++step)
            Move(1, at.X, at.Y - pixels * float(step) / 4.0f);
        Up(1, at.X, at.Y - pixels);
        Frame();
    }
    // The last event that reached the module since the last look; a drag
    // posts one per move, all alike but for the value.
    cAudioEvent TakeOne()
    {
        std::vector<cAudioEvent> events = Synth().Take();
        EXPECT_FALSE(events.empty());
        for (const cAudioEvent& event : events)
            EXPECT_TRUE(event.type == events.back().type && event.wordA == events.back().wordA);
        return events.empty() ? cAudioEvent() : events.back();
    }
    void ExpectInt(uint32_t id, int32_t value)
    {
        const cAudioEvent event = TakeOne();
        EXPECT_EQ(event.type, kAudioEventSetIntParam);
        EXPECT_EQ(event.wordA, id) << std::hex << event.wordA;
        EXPECT_EQ(event.GetIntValue(), value);
    }
    void FillRing()
    {
        cAudioEvent filler;
        filler.type = kAudioEventEmpty;
        while (Synth().PostEvent(filler))
        {
        }
    }

    cRecordingHost host;
};

TEST_F(SynthSoundPages, EnvelopeStripsTagTheirGroupAndPostAmountAndInvert)
{
    struct cCase
    {
        const char* panel;
        int32_t index;
        bool upper;
        int32_t group;
    };
    const cCase cases[] = {{"Filter", cAnalogueSynthUI::kPanelFilter, false, kSingleGroupFilterEnv},
                           {"Amp", cAnalogueSynthUI::kPanelAmp, true, kSingleGroupAmpEnv},
                           {"LFO/Env", cAnalogueSynthUI::kPanelAux, false, kSingleGroupAuxEnv}};
    Open(kScreenWidth, kScreenHeight);
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.panel);
        editor->ShowPanel(c.panel);
        Frame(2);
        auto* panel = Panel<cAnalogueSynthPanelTwoStrips>(c.index);
        auto* strip = static_cast<cAnalogueSynthStripEnvelope*>(c.upper ? panel->GetUpper() : panel->GetLower());
        Synth().Take();
        cWidgetKnob* knob = strip->GetKnob(4);
        DragUp(knob, knob->GetValue() < 0.5f ? 40.0f : -40.0f);
        const cAudioEvent amount = TakeOne();
        EXPECT_EQ(amount.type, kAudioEventSetFloatParam);
        EXPECT_EQ(amount.wordA, Single(c.group, 4));
        Tap(strip->GetInvert());
        ExpectInt(Single(c.group, 5), 1);
    }
    EXPECT_EQ(Single(kSingleGroupAmpEnv, 4), 0x00040402u);
    EXPECT_EQ(Single(kSingleGroupAmpEnv, 5), 0x00050402u);
}

TEST_F(SynthSoundPages, TheFilterStripNamesItsTypeAndPostsTheSlope)
{
    OpenAt("Filter");
    auto* strip = static_cast<cAnalogueSynthStripFilter*>(Panel<cAnalogueSynthPanelTwoStrips>(2)->GetUpper());
    const char* const names[] = {"OFF", "LP", "BP", "HP"};
    for (int32_t type = 0; type < 4; ++type)
    {
        Set(Single(kSingleGroupFilter, 0), type);
        EXPECT_STREQ(strip->GetType()->GetText(), names[type]);
    }
    Set(Single(kSingleGroupFilter, 0), 1);
    Synth().Take();
    TapUp(strip->GetType());
    ExpectInt(0x0202u, 2);
    EXPECT_STREQ(strip->GetType()->GetText(), "BP");
    Set(Single(kSingleGroupFilter, 1), 0);
    Synth().Take();
    Tap(strip->GetSlope());
    ExpectInt(Single(kSingleGroupFilter, 1), 1);
    Tap(strip->GetSlope());
    ExpectInt(Single(kSingleGroupFilter, 1), 0);
}

TEST_F(SynthSoundPages, AnLFOStripFollowsItsSelectorAndTheBeatSync)
{
    OpenAt("LFO/Env");
    auto* strip = static_cast<cAnalogueSynthStripLFO*>(Panel<cAnalogueSynthPanelTwoStrips>(4)->GetUpper());
    EXPECT_EQ(strip->GetAmount()->GetTag(), int32_t(Single(kSingleGroupLFO1, 3)));
    Synth().SetParamInt(Single(kSingleGroupLFO1 + 2, 0), 4);
    Tap(strip->GetSelector());
    Tap(strip->GetSelector());
    Frame();
    EXPECT_EQ(instrument->lfoIndex, 2);
    EXPECT_STREQ(strip->GetTitle(), "LFO 3: Amp Env Amount");
    for (cWidget* control : {static_cast<cWidget*>(strip->GetShape()), static_cast<cWidget*>(strip->GetFreeRate()),
                             static_cast<cWidget*>(strip->GetAmount()), static_cast<cWidget*>(strip->GetSync())})
        EXPECT_EQ(SynthParamGroup(uint32_t(control->GetTag())), kSingleGroupLFO1 + 2) << control->GetName();
    EXPECT_STREQ(strip->GetShape()->GetText(), "Triangle");

    // SYNC steps off, KEY, BEAT: only BEAT shows the beat-rate list.
    Synth().Take();
    Tap(strip->GetSync());
    ExpectInt(Single(kSingleGroupLFO1 + 2, 5), 1);
    EXPECT_TRUE(strip->GetFreeRate()->IsVisible());
    Tap(strip->GetSync());
    ExpectInt(Single(kSingleGroupLFO1 + 2, 5), 2);
    EXPECT_TRUE(strip->GetBeatRate()->IsVisible());
    EXPECT_FALSE(strip->GetFreeRate()->IsVisible());
    EXPECT_EQ(strip->GetBeatRate()->GetKind(), kKnobValueList);
}

TEST_F(SynthSoundPages, OscillatorStripsNameTheirWavesWithinTheirRanges)
{
    OpenAt("Osc");
    auto* panel = Panel<cAnalogueSynthPanelOsc>(cAnalogueSynthUI::kPanelOsc);
    struct cCase
    {
        int32_t oscillator, lowest, value;
        const char* text;
    };
    const cCase cases[] = {{0, 1, 13, "Noise"}, {1, 0, 13, "Noise"}, {1, 0, 0, "OFF"}, {0, 1, 3, "Saw"}};
    for (const cCase& c : cases)
    {
        cWidgetSpinButton* wave = panel->GetStrip(c.oscillator)->GetWaveform();
        EXPECT_EQ(wave->minimum, c.lowest);
        EXPECT_EQ(wave->maximum, 37);
        Set(Single(kSingleGroupOsc, c.oscillator), c.value);
        EXPECT_STREQ(wave->GetText(), c.text);
    }
    Set(Single(kSingleGroupOsc, 1), 0);
    Synth().Take();
    TapUp(panel->GetStrip(1)->GetWaveform());
    ExpectInt(Single(kSingleGroupOsc, 1), 1);
    TapUp(panel->GetStrip(0)->GetTranspose());
    ExpectInt(Single(kSingleGroupOsc, 0, 1), 1);

    Set(kModeId, 3);
    Frame();
    EXPECT_FALSE(panel->GetStrip(1)->GetWaveform()->IsVisible()) << "SYNC takes the second oscillator";
    EXPECT_TRUE(panel->GetStrip(0)->GetWaveform()->IsVisible());
    Set(kModeId, 0);
    Frame();
    EXPECT_TRUE(panel->GetStrip(1)->GetWaveform()->IsVisible());
}

TEST_F(SynthSoundPages, ThePolyphonyStripShowsGlideOnlyForOneGlidingVoice)
{
    OpenAt("Amp");
    auto* strip = static_cast<cAnalogueSynthStripPolyphonyFX*>(Panel<cAnalogueSynthPanelTwoStrips>(3)->GetLower());
    struct cCase
    {
        int32_t polyphony;
        const char* text;
        bool glide;
    };
    const cCase cases[] = {{0, "1 - Glide", true}, {1, "1 - Mono", false}, {5, "5", false}};
    for (const cCase& c : cases)
    {
        Set(0x0F02u, c.polyphony);
        EXPECT_STREQ(strip->GetPolyphony()->GetText(), c.text);
        EXPECT_EQ(strip->GetGlide()->IsVisible(), c.glide) << c.text;
    }
    Set(0x1102u, 30);
    EXPECT_STREQ(strip->GetBendRange()->GetText(), "30");
    EXPECT_EQ(strip->GetBendRange()->GetValue(), 24);
    Synth().Take();
    TapUp(strip->GetPolyphony());
    ExpectInt(0x0F02u, 6);
    EXPECT_EQ(strip->GetSend(0)->GetTag(), 0x0B02);
}

TEST_F(SynthSoundPages, TheSampleLayerEditsItsFieldsAndCyclesTheDirection)
{
    OpenAt("Osc");
    Set(kModeId, 4);
    cAnalogueSynthPanelSampler* sampler = Panel<cAnalogueSynthPanelOsc>(1)->GetSampler();
    ASSERT_TRUE(sampler->IsVisible());
    EXPECT_EQ(sampler->GetTranspose()->minimum, -24);
    EXPECT_EQ(sampler->GetTranspose()->maximum, 24);
    EXPECT_EQ(sampler->GetPitch()->minimum, -50);
    EXPECT_EQ(sampler->GetPitch()->maximum, 50);
    Set(Single(kSingleGroupSample, 5), 0);
    EXPECT_STREQ(sampler->GetNoteSlice()->GetText(), "OFF");
    Set(Single(kSingleGroupSample, 5), 64);
    EXPECT_STREQ(sampler->GetNoteSlice()->GetText(), "64");
    Set(Single(kSingleGroupSample, 1), 49);
    Synth().Take();
    TapUp(sampler->GetPitch());
    ExpectInt(Single(kSingleGroupSample, 1), 50);
    TapUp(sampler->GetPitch());
    EXPECT_TRUE(Synth().Take().empty()) << "PITCH stops at 50";
    EXPECT_EQ(sampler->GetPitch()->GetValue(), 50);

    Set(Single(kSingleGroupSample, 3), 0);
    Synth().Take();
    cWidgetLoopDirection* direction = sampler->GetDirection();
    for (int32_t expected : {1, 2, 3, 0})
    {
        Tap(direction);
        ExpectInt(Single(kSingleGroupSample, 3), expected);
        EXPECT_EQ(direction->value, expected);
    }
    // Each value's icon sits in the frame beside the lamp, at its marker.
    const cRect frame = direction->iconFrame.drawRect;
    EXPECT_LT(frame.xMax, Centre(direction->GetContentBounds()).X);
    for (const cWidgetLoopDirection::cIcon& icon : direction->icons)
    {
        const cVector2 at = Centre(icon.image.drawRect);
        EXPECT_TRUE(frame.Contains(at)) << at.X << ", " << at.Y;
        EXPECT_GT(icon.image.drawRect.xMax - icon.image.drawRect.xMin, 0.0f);
    }
}

TEST_F(SynthSoundPages, DriveOnTheEffectsPanelEditsTheSynthesizerAndMarksTheProject)
{
    cProjectList projects;
    cProject* project = projects.NewProject();
    project->SetModified(false);
    OpenAt("Effects");
    auto* panel = Panel<cAnalogueSynthPanelEffects>(cAnalogueSynthUI::kPanelEffects);
    ASSERT_TRUE(panel->IsVisible());
    cEffectUI* drive = panel->GetDriveEditor();
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->GetEffect(), &Synth());
    cWidgetKnob* knob = nullptr;
    for (cWidget* child = drive->GetFirstChild(); child; child = child->GetNext())
        if (std::string(child->GetName()) == "DRIVE")
            knob = static_cast<cWidgetKnob*>(child);
    ASSERT_NE(knob, nullptr);
    DragUp(knob, 40.0f);
    const cAudioEvent event = TakeOne();
    EXPECT_EQ(event.type, kAudioEventSetFloatParam);
    EXPECT_EQ(event.wordA, 0x020Eu);
    EXPECT_TRUE(project->IsModified());
}

TEST_F(SynthSoundPages, WithoutEditorsTheEffectsPanelTakesNoCell)
{
    SetEffectEditorFactory(nullptr);
    OpenAt("Effects");
    auto* panel = Panel<cAnalogueSynthPanelEffects>(cAnalogueSynthUI::kPanelEffects);
    EXPECT_FALSE(panel->IsVisible());
    EXPECT_EQ(panel->GetDriveEditor(), nullptr);
    EXPECT_STREQ(editor->GetPageAt(3)->GetCurrentPanelName(), "Patchbay");
    EXPECT_EQ(panel->GetParent(), nullptr) << "no page holds it";
}

TEST_F(SynthSoundPages, TheOscPanelArrangesItselfByMode)
{
    OpenAt("Osc");
    auto* panel = Panel<cAnalogueSynthPanelOsc>(cAnalogueSynthUI::kPanelOsc);
    struct cCase
    {
        int32_t mode, secondWave;
        bool strips, mix, detune;
    };
    const cCase cases[] = {{0, 3, true, true, true},    {0, 0, true, false, false}, {1, 0, true, false, false},
                           {2, 0, true, false, false},  {3, 0, true, true, false},  {3, 3, true, true, false},
                           {4, 3, false, false, false}, {0, 3, true, true, true}};
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " wave " << c.secondWave);
        Synth().SetParamInt(kSecondWaveId, c.secondWave);
        Set(kModeId, c.mode);
        Frame();
        EXPECT_EQ(panel->GetStrip(0)->IsVisible(), c.strips);
        EXPECT_EQ(panel->GetStrip(1)->IsVisible(), c.strips);
        EXPECT_EQ(panel->GetSampler()->IsVisible(), !c.strips);
        EXPECT_EQ(panel->GetMix()->IsVisible(), c.mix);
        EXPECT_EQ(panel->GetDetune()->IsVisible(), c.detune);
    }

    // A refresh that finds the mode shown leaves the arrangement alone.
    panel->GetStrip(0)->SetVisible(false);
    Refresh();
    EXPECT_FALSE(panel->GetStrip(0)->IsVisible());
    panel->GetStrip(0)->SetVisible(true);

    // A full ring drops the change, but the panel rearranged at once; the
    // next refresh puts back the module's mode.
    FillRing();
    panel->GetModeButton()->value = 4;
    panel->OnModeChanged(4, panel->GetModeButton());
    EXPECT_TRUE(panel->GetSampler()->IsVisible());
    Synth().Take();
    Refresh();
    EXPECT_EQ(panel->GetModeButton()->value, 0);
    EXPECT_EQ(panel->GetShownMode(), 0);
    EXPECT_FALSE(panel->GetSampler()->IsVisible());
}

TEST_F(SynthSoundPages, TitlesTellWhereTheLFOAndAuxEnvelopeAreRouted)
{
    OpenAt("LFO/Env");
    auto* aux = Panel<cAnalogueSynthPanelAux1>(cAnalogueSynthUI::kPanelAux);
    auto* lfo = static_cast<cAnalogueSynthStripLFO*>(aux->GetUpper());
    EXPECT_STREQ(lfo->GetTitle(), "LFO 1: Osc A+B Pitch");
    EXPECT_STREQ(aux->GetTitle(), "AUX ENVELOPE: Osc A+B Pitch");

    Synth().SetParamInt(Single(kSingleGroupMod, 1, 0), 0);
    instrument->lfoIndex = 1;
    Refresh();
    EXPECT_STREQ(lfo->GetTitle(), "LFO 2: Unused");

    Synth().SetParamInt(Single(kSingleGroupMod, 4, 0), cModMatrix::kDestFilter);
    Synth().SetParamInt(Single(kSingleGroupMod, 4, 1), 0);
    Refresh();
    EXPECT_STREQ(aux->GetTitle(), "AUX ENVELOPE: Filter Cutoff");
    Synth().SetParamInt(Single(kSingleGroupMod, 4, 0), 0);
    Refresh();
    EXPECT_STREQ(aux->GetTitle(), "AUX ENVELOPE: Unused");

    // In multi mode with layer 0 off there is no matrix to name.
    instrument->lfoIndex = 0;
    Synth().SetParamInt(MakeSynthParamId(kSynthParamMode), cAnalogueSynth::kModeMulti);
    Synth().SetParamInt(MakeSynthParamId(kSynthParamMulti, kMultiGroupIndex, 0), cAnalogueSynthMulti::kLayerOff);
    lfo->OnStateChange();
    aux->OnStateChange();
    EXPECT_STREQ(lfo->GetTitle(), "LFO 1");
    EXPECT_STREQ(aux->GetTitle(), "AUX ENVELOPE: Unused") << "the last title stays";
}

TEST_F(SynthSoundPages, TheEnvelopeGraphIsRebuiltOnlyWhenItChanged)
{
    OpenAt("Amp");
    auto* strip = static_cast<cAnalogueSynthStripEnvelope*>(Panel<cAnalogueSynthPanelTwoStrips>(3)->GetUpper());
    const int32_t settled = strip->GetDisplayUpdates();
    Frame(10);
    EXPECT_EQ(strip->GetDisplayUpdates(), settled);
    DragUp(strip->GetKnob(0), 30.0f);
    Frame(3);
    EXPECT_EQ(strip->GetDisplayUpdates(), settled + 1) << "a knob";
    Synth().Take();
    strip->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame(3);
    EXPECT_EQ(strip->GetDisplayUpdates(), settled + 2) << "a refresh";
    strip->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame(3);
    EXPECT_EQ(strip->GetDisplayUpdates(), settled + 3) << "a layout";
}

// The patchbay on its own at a given height, bound to the editor's module.
class SynthPatchbay : public SynthSoundPages
{
protected:
    cAnalogueSynthPanelModMatrix* Table(float listHeight)
    {
        Open(kScreenWidth, kScreenHeight);
        auto* panel = new cAnalogueSynthPanelModMatrix(editor);
        const float height = listHeight + 32.0f + 50.0f;
        panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 600.0f, height);
        widgets->GetRoot()->AddChild(panel);
        panel->Release();
        Frame(2);
        Synth().Take();
        return panel;
    }
    void TapRow(cAnalogueSynthPanelModMatrix* panel, int32_t row)
    {
        Tap(panel->GetScroller().GetRowRect(row));
        Synth().Take();
    }
};

TEST_F(SynthPatchbay, RowsFitTheTableHeight)
{
    struct cCase
    {
        float listHeight, visibleRows, rowHeight, highest;
    };
    for (const cCase& c : {cCase{100.0f, 5.0f, 20.0f, 6.0f}, cCase{400.0f, 12.5f, 32.0f, 0.0f}})
    {
        cAnalogueSynthPanelModMatrix* panel = Table(c.listHeight);
        EXPECT_FLOAT_EQ(panel->GetScroller().visibleRows, c.visibleRows);
        EXPECT_FLOAT_EQ(panel->GetScroller().GetRowHeight(), c.rowHeight);
        EXPECT_FLOAT_EQ(panel->GetScroller().GetMaximumPosition(), c.highest);
        instrument->patchbayPosition = 9.0f;
        panel->ModifyFlags(kWidgetStateDirty, 0, false);
        Frame();
        EXPECT_FLOAT_EQ(panel->GetScroller().GetPosition(), c.highest);
        widgets->GetRoot()->RemoveChild(panel);
    }
}

TEST_F(SynthPatchbay, SpinsEditTheSelectedRow)
{
    cAnalogueSynthPanelModMatrix* panel = Table(400.0f);
    TapRow(panel, cModMatrix::kSourceKnob);
    EXPECT_EQ(panel->GetSelectedRow(), 10);
    EXPECT_EQ(instrument->patchbayRow, 10);
    EXPECT_EQ(panel->GetDestination()->maximum, 15);
    TapUp(panel->GetParameter());
    ExpectInt((10u << 16) | 0x01000A02u, 1);
    TapDown(panel->GetAmount());
    ExpectInt((10u << 16) | 0x02000A02u, 99);
    TapDown(panel->GetDestination());
    ExpectInt((10u << 16) | 0x0A02u, 14);

    Synth().SetParamInt(Single(kSingleGroupMod, 5, 0), 15);
    TapRow(panel, cModMatrix::kSourceVelocity);
    EXPECT_EQ(panel->GetDestination()->maximum, 11);
    EXPECT_EQ(panel->GetDestination()->GetValue(), 11);

    // LFO 1 sends to "A+B Pitch" (4) of Osc; Filter has two parameters, so
    // the module resets it to 0 and the spin follows once applied.
    TapRow(panel, 0);
    EXPECT_EQ(panel->GetParameter()->GetValue(), 4);
    TapUp(panel->GetDestination());
    EXPECT_EQ(TakeOne().wordA, 0x0A02u);
    Synth().Take();
    panel->RefreshSpins();
    EXPECT_EQ(panel->GetParameter()->GetValue(), 0);
    EXPECT_EQ(panel->GetParameter()->maximum, 1);
    TapUp(panel->GetAmount());
    EXPECT_EQ(TakeOne().wordA, 0x02000A02u);
}

TEST_F(SynthPatchbay, EachInstrumentKeepsItsRowAndPosition)
{
    cAnalogueSynthPanelModMatrix* panel = Table(100.0f);
    cEditorTestInstrument other(package.get());
    other.patchbayRow = 7;
    other.patchbayPosition = 3.5f;
    instrument->patchbayRow = 2;
    instrument->patchbayPosition = 1.0f;
    struct cCase
    {
        cEditorTestInstrument* bound;
        int32_t row;
        float position;
    };
    for (const cCase& c : {cCase{&other, 7, 3.5f}, cCase{instrument.get(), 2, 1.0f}})
    {
        editor->SetInstrument(c.bound);
        panel->ModifyFlags(kWidgetStateDirty, 0, false);
        Frame();
        EXPECT_EQ(panel->GetSelectedRow(), c.row);
        EXPECT_FLOAT_EQ(panel->GetScroller().GetPosition(), c.position);
    }
    editor->SetInstrument(instrument.get());
}

// Damaged input: a stored position that is not a number, a stored row
// outside the matrix and a destination no table holds.
TEST_F(SynthPatchbay, DamagedValuesAreCheckedOnTheWayIn)
{
    cAnalogueSynthPanelModMatrix* panel = Table(100.0f);
    struct cCase
    {
        int32_t row;
        float position;
        int32_t expectedRow;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const cCase& c : {cCase{99, nan, 10}, cCase{-5, inf, 0}, cCase{INT32_MIN, -inf, 0}})
    {
        instrument->patchbayRow = c.row;
        instrument->patchbayPosition = c.position;
        panel->ModifyFlags(kWidgetStateDirty, 0, false);
        Frame();
        EXPECT_EQ(panel->GetSelectedRow(), c.expectedRow);
        EXPECT_EQ(panel->GetScroller().GetPosition(), 0.0f);
        EXPECT_TRUE(std::isfinite(panel->GetScroller().GetPosition()));
    }
    Synth().SetParamInt(Single(kSingleGroupMod, 0, 0), 40);
    instrument->patchbayRow = 0;
    panel->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    EXPECT_EQ(panel->GetParameter()->minimum, 0);
    EXPECT_EQ(panel->GetParameter()->maximum, 0);
    EXPECT_STREQ(cModMatrix::GetDestName(40), "");
    EXPECT_STREQ(cModMatrix::GetParName(40, 0), "");
}

// The effects panel on its own at a height: captions and rules by the gaps.
TEST_F(SynthSoundPages, EffectsCaptionsAndRulesFollowTheGapHeights)
{
    Open(kScreenWidth, kScreenHeight);
    auto* panel = new cAnalogueSynthPanelEffects(editor);
    ASSERT_TRUE(panel->FindEditors());
    widgets->GetRoot()->AddChild(panel);
    panel->Release();
    struct cCase
    {
        float height;
        float middleStretch;
        int32_t captions;
        bool rules;
    };
    const float fit = 2.0f * cEffectUI::kPreferredHeight;
    const cCase cases[] = {{fit + 200.0f, 1.0f, 2, true}, {fit + 120.0f, 0.05f, 1, true}, {fit, 1.0f, 0, false}};
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.height);
        panel->GetGap(1)->stretch.Y = c.middleStretch;
        panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 440.0f, c.height);
        Frame(2);
        EXPECT_EQ(panel->GetCaptionsDrawn(), c.captions);
        EXPECT_EQ(panel->GetRulesDrawn() > 0, c.rules);
    }
}

class SynthSampleLayer : public SynthSoundPages
{
protected:
    cAnalogueSynthPanelSampler* OpenSampler()
    {
        OpenAt("Osc");
        Set(kModeId, 4);
        Frame();
        return Panel<cAnalogueSynthPanelOsc>(cAnalogueSynthUI::kPanelOsc)->GetSampler();
    }
    void LoadPath(const char* path)
    {
        Synth().SetSamplePath(cGenStringFixed<260>(path));
        Refresh();
    }
};

TEST_F(SynthSampleLayer, LoadStartsAtThePanelsPathElseTheLastFolder)
{
    cProjectList projects;
    projects.NewProject();
    cAnalogueSynthPanelSampler* sampler = OpenSampler();
    host.lastFolder = "User/Samples/Drums/";
    Tap(sampler->GetButton(cAnalogueSynthPanelSampler::kLoad));
    ASSERT_EQ(host.shown, 1);
    EXPECT_EQ(host.title, "Load Sample");
    EXPECT_EQ(host.root, "User");
    EXPECT_EQ(host.path, "User/Samples/Drums/");
    EXPECT_EQ(host.flags, 25u);
    EXPECT_EQ(sampler->GetPending(), cAnalogueSynthPanelSampler::kLoad);

    host.completion.Invoke(1, "User/Samples/Bass/Low.wav");
    Frame();
    EXPECT_EQ(host.lastFolder, "User/Samples/Bass/Low.wav") << "the host keeps the folder of the path";
    EXPECT_STREQ(Synth().GetCurrentSamplePath().CStr(), "User/Samples/Bass/Low.wav");
    EXPECT_STREQ(sampler->GetSamplePath(), "User/Samples/Bass/Low.wav");
    EXPECT_EQ(sampler->GetPending(), cAnalogueSynthPanelSampler::kNone);

    Tap(sampler->GetButton(cAnalogueSynthPanelSampler::kLoad));
    EXPECT_EQ(host.path, "User/Samples/Bass/Low.wav");
    // A refresh while the browser is open makes its OK do nothing.
    Refresh();
    host.completion.Invoke(1, "User/Samples/Other.wav");
    Frame();
    EXPECT_STREQ(Synth().GetCurrentSamplePath().CStr(), "User/Samples/Bass/Low.wav");
}

TEST_F(SynthSampleLayer, LoadDoesNothingWithoutAProjectAndRecAndEditNeedASampler)
{
    cAnalogueSynthPanelSampler* sampler = OpenSampler();
    Tap(sampler->GetButton(cAnalogueSynthPanelSampler::kLoad));
    EXPECT_EQ(host.shown, 0);
    EXPECT_FALSE(sampler->GetButton(cAnalogueSynthPanelSampler::kRecord)->IsEnabled());
    EXPECT_FALSE(sampler->GetButton(cAnalogueSynthPanelSampler::kEdit)->IsEnabled());
    host.sampler = true;
    Frame();
    EXPECT_TRUE(sampler->GetButton(cAnalogueSynthPanelSampler::kRecord)->IsEnabled());
    EXPECT_FALSE(sampler->GetButton(cAnalogueSynthPanelSampler::kEdit)->IsEnabled()) << "no sample";
}

// A click while a sample loads is kept, not waited for: the frames go on,
// the buttons show disabled, and the click is carried out once loading ends.
TEST_F(SynthSampleLayer, AClickDuringALoadWaitsForItWithoutBlocking)
{
    cProjectList projects;
    projects.NewProject();
    cAnalogueSynthPanelSampler* sampler = OpenSampler();
    folder->Write("User/Samples/Tone.wav", SimpleWav(cWavFormat(), Samples16(std::vector<int16_t>(400, 1000))));
    JobQueue::cJobQueue queue;
    std::atomic<bool> release{false};
    struct cHold : JobQueue::cJob
    {
        explicit cHold(std::atomic<bool>& flag) : release(flag) {}
        void Run(JobQueue::cJobQueue*) override
        {
            while (!release.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::atomic<bool>& release;
    } hold(release);
    ASSERT_TRUE(queue.AddJob(&hold));
    Synth().SetSamplePath(cGenStringFixed<260>("User/Samples/Tone.wav"));
    Synth().GetSampleManager().Poll();
    ASSERT_TRUE(sampler->IsSampleLoading());

    cWidgetButton* load = sampler->GetButton(cAnalogueSynthPanelSampler::kLoad);
    sampler->OnButtonClicked(0, load);
    Frame(3);
    EXPECT_EQ(host.shown, 0);
    EXPECT_EQ(sampler->GetDeferred(), cAnalogueSynthPanelSampler::kLoad);
    EXPECT_FALSE(load->IsEnabled());

    release = true;
    ASSERT_TRUE(WaitUntil([&] { return !Synth().GetSampleManager().Poll(); }, std::chrono::seconds(10)));
    Frame();
    EXPECT_EQ(host.shown, 1) << "carried out on the first idle frame";
    EXPECT_EQ(sampler->GetDeferred(), cAnalogueSynthPanelSampler::kNone);
    EXPECT_TRUE(load->IsEnabled());
    host.sampler = true;
    Refresh();
    EXPECT_TRUE(sampler->GetButton(cAnalogueSynthPanelSampler::kEdit)->IsEnabled()) << "a sample is held";
    queue.WaitUntilIdle();
}
