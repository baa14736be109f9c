#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "SynthEditorFixture.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPage.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "instruments/synth/ui/AnalogueSynthPanelCheek.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr int32_t kKeyUp = 283;
constexpr int32_t kKeyDown = 284;
constexpr int32_t kKeyLeft = 285;
constexpr int32_t kKeyRight = 286;
const uint32_t kOctaveId = MakeSynthParamId(kSynthParamOctave);
const char* const kPanelNames[cAnalogueSynthUI::kPanelCount] = {"Preset",  "Osc",      "Filter", "Amp",
                                                               "LFO/Env", "Patchbay", "Effects"};

// A panel with one knob, refreshed from the module as real panels are.
class cKnobPanel : public cAnalogueSynthPanel
{
public:
    cKnobPanel(cAnalogueSynthUI* owner, uint32_t id) : cAnalogueSynthPanel(owner, 0)
    {
        knob = new cWidgetKnob(0);
        knob->SetTag(int32_t(id));
        knob->valueDelegate.Bind(static_cast<cAnalogueSynthPanel*>(this), &cAnalogueSynthPanel::OnFloatChanged);
        AddChild(knob);
        knob->Release();
    }
    void OnStateChange() override
    {
        WaitForModule();
        knob->SetValue(ReadParamFloat(uint32_t(knob->GetTag())));
    }

    cWidgetKnob* knob;
};

// Stand-ins for the later panels: plain panels under the table's names.
void RegisterTestPanels(cAnalogueSynthUI* editor)
{
    for (int32_t index = 0; index < cAnalogueSynthUI::kPanelCount; ++index)
    {
        auto* panel = new cAnalogueSynthPanel(editor, 0);
        editor->RegisterPanel(index, kPanelNames[index], panel);
        panel->Release();
    }
}

std::vector<std::string> ChildNames(const cWidget* page)
{
    std::vector<std::string> names;
    for (const cWidget* child = page->GetFirstChild(); child; child = child->GetNext())
        if (child->IsVisible())
            names.push_back(child->GetName());
    return names;
}

const char* TargetName(const cAnalogueSynthUI* editor)
{
    const auto* page = static_cast<cAnalogueSynthPage*>(editor->GetScroller()->GetTargetPanel());
    return page ? page->GetCurrentPanelName() : "(none)";
}

int32_t PageIndexOf(const cAnalogueSynthUI* editor, const cWidget* page)
{
    for (int32_t index = 0; index < cAnalogueSynthUI::kPageCount; ++index)
        if (editor->GetPageAt(index) == page)
            return index;
    return -1;
}
} // namespace

TEST(SynthEditorPage, APlainPageIsOneStepNamedByItsFirstPanel)
{
    auto* page = new cAnalogueSynthPage(nullptr);
    EXPECT_FALSE(page->ShowPanel("Osc"));
    EXPECT_STREQ(page->GetCurrentPanelName(), "");
    for (const char* name : {"Osc", "Filter"})
    {
        auto* panel = new cWidget();
        panel->SetName(name);
        page->AddChild(panel);
        panel->Release();
    }
    EXPECT_TRUE(page->ShowPanel("filter"));
    EXPECT_FALSE(page->ShowPanel("Amp"));
    EXPECT_STREQ(page->GetCurrentPanelName(), "Osc");
    EXPECT_TRUE(page->IsAtFirstPanel());
    EXPECT_TRUE(page->IsAtLastPanel());
    page->Release();
}

TEST_F(SynthEditor, PanelsPostChangesAndShowTheModuleOnRefresh)
{
    const uint32_t cutoff = MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, 0, 0);
    auto* panel = new cKnobPanel(editor, cutoff);
    editor->RegisterPanel(cAnalogueSynthUI::kPanelFilter, "Filter", panel);
    Open(480.0f, 300.0f);
    editor->ShowPanel("Filter");
    Frame();

    panel->OnFloatChanged(0.25f, panel->knob);
    panel->OnIntChanged(3, panel->knob);
    std::vector<cAudioEvent> events = Synth().Take();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, kAudioEventSetFloatParam);
    EXPECT_EQ(events[0].wordA, cutoff);
    EXPECT_EQ(events[0].wordB, std::bit_cast<uint32_t>(0.25f));
    EXPECT_EQ(events[1].type, kAudioEventSetIntParam);
    EXPECT_EQ(events[1].GetIntValue(), 3);

    // A full ring drops the change; the knob keeps it until the next refresh.
    const float stored = Synth().GetParamFloat(cutoff);
    cAudioEvent filler;
    filler.type = kAudioEventEmpty;
    while (Synth().PostEvent(filler))
    {
    }
    panel->knob->SetValue(0.9f);
    panel->OnFloatChanged(0.9f, panel->knob);
    events = Synth().Take();
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const cAudioEvent& e) { return e.type == kAudioEventSetFloatParam; }),
              0);
    panel->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    EXPECT_FLOAT_EQ(panel->knob->GetValue(), stored);

    // A value beyond the knob's travel shows at its end stop.
    Synth().overriddenId = cutoff;
    Synth().overriddenValue = 1.5f;
    panel->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    EXPECT_FLOAT_EQ(panel->knob->GetValue(), 1.0f);
    panel->Release();
}

TEST_F(SynthEditor, PagesAreFilledByTheEditorsSize)
{
    RegisterTestPanels(editor);
    struct cCase
    {
        float width, height;
        bool presetOnTop;
        std::vector<std::vector<std::string>> pages; // pages 2 onwards that are shown
    };
    const cCase cases[] = {
        // Scrollers of 920 x 355, 400 x 175 and 920 x 296.
        {1000.0f, 700.0f, true, {{"Osc", "Filter", "Amp", "LFO/Env"}, {"Patchbay", "Effects"}}},
        {480.0f, 300.0f, false, {{"Osc"}, {"Filter"}, {"Amp"}, {"LFO/Env"}, {"Patchbay"}, {"Effects"}}},
        {1000.0f, 600.0f, true, {{"Osc", "Filter"}, {"Amp", "LFO/Env"}, {"Patchbay", "Effects"}}},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        editor->SetInstrument(nullptr);
        Open(c.width, c.height);
        cAnalogueSynthPanel* preset = editor->GetPanel(cAnalogueSynthUI::kPanelPreset);
        EXPECT_EQ(preset->GetParent(), c.presetOnTop ? static_cast<cWidget*>(editor->GetTopBand())
                                                     : static_cast<cWidget*>(editor->GetPageAt(0)));
        EXPECT_EQ(editor->GetPageAt(0)->IsVisible(), !c.presetOnTop);
        std::vector<std::vector<std::string>> shown;
        for (int32_t index = 2; index < cAnalogueSynthUI::kPageCount; ++index)
            if (editor->GetPageAt(index)->IsVisible())
                shown.push_back(ChildNames(editor->GetPageAt(index)));
        EXPECT_EQ(shown, c.pages);
    }
    // A 2 x 2 page lays its panels out by halves.
    editor->SetInstrument(nullptr);
    Open(1000.0f, 700.0f);
    const cAnalogueSynthPanel* amp = editor->GetPanel(cAnalogueSynthUI::kPanelAmp);
    EXPECT_FLOAT_EQ(amp->GetAnchorValue(0), 0.0f);
    EXPECT_FLOAT_EQ(amp->GetAnchorValue(1), 0.5f);
    EXPECT_FLOAT_EQ(amp->GetAnchorValue(2), 0.5f);
    EXPECT_FLOAT_EQ(amp->GetAnchorValue(3), 0.5f);
}

TEST_F(SynthEditor, MultiModeHidesTheSinglePanelsWhichTakeNoCell)
{
    RegisterTestPanels(editor);
    Open(480.0f, 300.0f);
    Synth().PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamMode), 1));
    Synth().Take();
    Frame(3);
    for (int32_t index = cAnalogueSynthUI::kPanelOsc; index <= cAnalogueSynthUI::kPanelPatchbay; ++index)
        EXPECT_FALSE(editor->GetPanel(index)->IsVisible()) << kPanelNames[index];
    std::vector<std::vector<std::string>> shown;
    for (int32_t index = 2; index < cAnalogueSynthUI::kPageCount; ++index)
        if (editor->GetPageAt(index)->IsVisible())
            shown.push_back(ChildNames(editor->GetPageAt(index)));
    EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{{"Effects"}}));
}

TEST_F(SynthEditor, StepsAndJumpsGoThroughThePagesAndGreyTheArrows)
{
    RegisterTestPanels(editor);
    Open(480.0f, 300.0f);
    cAnalogueSynthPanelCheek* cheek = editor->GetPageCheek();
    struct cStep
    {
        const char* what;
        int32_t page;
        bool backEnabled, forwardEnabled;
    };
    const auto expect = [&](const cStep& step) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(PageIndexOf(editor, editor->GetScroller()->GetTargetPanel()), step.page);
        EXPECT_EQ(cheek->IsArrowEnabled(cAnalogueSynthPanelCheek::kUp), step.backEnabled);
        EXPECT_EQ(cheek->IsArrowEnabled(cAnalogueSynthPanelCheek::kDown), step.forwardEnabled);
        EXPECT_STREQ(instrument->topPanel.CStr(), TargetName(editor));
    };
    expect({"opened", 0, false, true});
    editor->StepPage(0);
    expect({"forward", 1, true, true});
    EXPECT_STREQ(instrument->topPanel.CStr(), "Mod");
    // The Perform page steps through its own two panels first.
    Arrow(1, kKeyDown);
    Arrow(0, kKeyDown);
    expect({"Down to the Perform keyboard", 1, true, true});
    EXPECT_STREQ(instrument->topPanel.CStr(), "Keys");
    Arrow(1, kKeyDown);
    Arrow(0, kKeyDown);
    expect({"Down", 2, true, true});
    EXPECT_STREQ(instrument->topPanel.CStr(), "Osc");
    editor->JumpPage(0);
    expect({"jump to the last", 7, true, false});
    EXPECT_STREQ(instrument->topPanel.CStr(), "Effects");
    Arrow(1, kKeyUp);
    expect({"Up", 6, true, true});
    editor->JumpPage(1);
    expect({"jump to the first", 0, false, true});
    EXPECT_TRUE(Synth().Take().empty()) << "paging posts nothing";

    // The remembered panel comes back with the instrument.
    instrument->topPanel.AssignCStr("amp");
    editor->SetInstrument(nullptr);
    Open(480.0f, 300.0f);
    EXPECT_EQ(PageIndexOf(editor, editor->GetScroller()->GetTargetPanel()), 4);
}

TEST_F(SynthEditor, TheTitleNamesTheInstrumentAndItsPresetAndMarksEdits)
{
    Open(480.0f, 300.0f);
    EXPECT_STREQ(editor->GetTitle(), "Kest 1 : A00.<EMPTY>");
    EXPECT_EQ(statusBar.title, "Kest 1 : A00.<EMPTY>");
    Synth().PostEvent(MakeSetFloatEvent(MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, 0, 0), 0.3f));
    Synth().Take();
    Frame();
    EXPECT_EQ(statusBar.title, "Kest 1 : A00.<EMPTY>*");
}

TEST_F(SynthEditor, TheKeyboardFollowsTheOctaveAndTheKeyWidthSetting)
{
    SetInt(Synth(), kOctaveId, 1);
    Synth().Take();
    Open(1024.0f, 768.0f);
    EXPECT_FLOAT_EQ(editor->GetPianoKeys()->GetPosition(), 4.0f);

    const float pixelsPerMillimetre = GetDisplayMetrics().pixelsPerMillimetre;
    struct cRow
    {
        int32_t setting;
        float millimetres;
    };
    for (const cRow& row : {cRow{0, 11.454f}, cRow{1, 12.982f}, cRow{2, 14.979f}, cRow{3, 19.473f}})
    {
        gSettings.keyWidth = row.setting;
        editor->ApplyKeyWidth();
        EXPECT_NEAR(editor->GetPianoKeys()->GetKeyWidth(), row.millimetres * pixelsPerMillimetre, 0.01f)
            << row.setting;
    }
    gSettings.keyWidth = 1;
    editor->ApplyKeyWidth();
    EXPECT_NEAR(editor->GetPianoKeys()->GetKeyWidth(), 49.07f, 0.01f);
    // Fewer than the table's least number of keys would fit: they narrow.
    editor->SetInstrument(nullptr);
    Open(412.0f, 768.0f);
    EXPECT_NEAR(editor->GetPianoKeys()->GetKeyWidth(), 40.0f, 0.01f);
}

TEST_F(SynthEditor, LeftAndRightMoveTheKeyboardAndPostItsOctave)
{
    Open(1024.0f, 768.0f);
    editor->SetKeyboardPosition(0.0f, 0.0f);
    editor->PostKeyboardOctave();
    Synth().Take();
    ASSERT_TRUE(editor->GetPianoKeys()->IsAtBottom());
    EXPECT_FALSE(editor->GetKeyboardCheek()->IsArrowEnabled(cAnalogueSynthPanelCheek::kDown));
    Arrow(1, kKeyLeft);
    Arrow(0, kKeyLeft);
    EXPECT_TRUE(Synth().Take().empty());

    Arrow(1, kKeyRight);
    Arrow(0, kKeyRight);
    const std::vector<cAudioEvent> events = Synth().Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, kAudioEventSetIntParam);
    EXPECT_EQ(events[0].wordA, kOctaveId);
    EXPECT_EQ(events[0].GetIntValue(), 0);
    EXPECT_FLOAT_EQ(editor->GetPianoKeys()->GetPosition(), 3.0f);
    EXPECT_LT(editor->GetPianoKeys()->GetGlide(), 0.0f) << "it glides in from the right";
    EXPECT_EQ(Synth().GetParamInt(kOctaveId), 0);
}

TEST_F(SynthEditor, APerformKeyboardKeepsItsOffsetAfterADrag)
{
    auto* perform = new cAnalogueSynthPage(editor);
    auto* keyboard = new cAnalogueSynthPanelKeyboard(editor, cAnalogueSynthPanelKeyboard::kClipToPages);
    perform->AddChild(keyboard);
    editor->RegisterPerformPage(perform, keyboard);
    keyboard->Release();
    perform->Release();
    Open(1024.0f, 768.0f);
    // The Perform page stands second among the pages.
    const cWidget* child = editor->GetScroller()->GetFirstChild();
    for (int32_t index = 0; index < cAnalogueSynthUI::kPageCount; ++index, child = child->GetNext())
        EXPECT_EQ(child, editor->GetPageAt(index)) << index;
    EXPECT_EQ(editor->GetPageAt(1), perform);
    editor->SetKeyboardScroll(true);
    cWidgetPianoKeys* keys = editor->GetPianoKeys();
    editor->SetKeyboardPosition(4.0f, 0.0f);
    EXPECT_FLOAT_EQ(editor->GetPerformPianoKeys()->GetPosition(), 5.0f);

    // Drag the bottom keyboard two white keys to the left.
    const cRect rect = keys->GetRect();
    const float y = rect.yMax - 10.0f;
    // The drag starts once the finger has moved 2 mm and counts from there.
    Down(1, 500.0f, y);
    Move(1, 490.0f, y);
    Move(1, 490.0f - keys->GetKeyWidth(), y);
    Move(1, 490.0f - 2.0f * keys->GetKeyWidth(), y);
    Up(1, 490.0f - 2.0f * keys->GetKeyWidth(), y);
    EXPECT_NEAR(keys->GetPosition(), 4.0f + 2.0f / 7.0f, 1e-4f);
    EXPECT_NEAR(editor->GetKeyboardOffset(), 1.0f - 2.0f / 7.0f, 1e-4f);
    editor->OnKeyboardCheekStep(1);
    EXPECT_NEAR(editor->GetPerformPianoKeys()->GetPosition() - keys->GetPosition(), 1.0f - 2.0f / 7.0f, 1e-4f);
}
