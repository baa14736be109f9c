#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PerformFixture.h"
#include "audio/InstrumentPackageRegistry.h"
#include "base/UTF8.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPanelPreset.h"
#include "instruments/synth/ui/AnalogueSynthPresetWrite.h"
#include "instruments/synth/ui/AnalogueSynthSequencerPresetPanel.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"
#include "instruments/synth/ui/WidgetBankPreset.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "ui/KeyboardRequest.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetPanelScroller.h"
#include "ui/WidgetSpinButton.h"

namespace
{
const uint32_t kPresetId = MakeSynthParamId(kSynthParamPreset);
const uint32_t kWriteId = MakeSynthParamId(kSynthParamWritePreset);
const uint32_t kCompareId = MakeSynthParamId(kSynthParamCompare);
const uint32_t kCutoffId = MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, 0, 0);

// The main screen's keyboard as the test plays it: it keeps the request and
// answers when told.
class cPromptHost : public cAnalogueSynthUIHost
{
public:
    bool PromptName(const cKeyboardRequest& request, const cDelegate& completion) override
    {
        this->request = request;
        this->completion = completion;
        ++prompts;
        return true;
    }
    void Answer(int32_t result, const char* text) const { completion.Invoke(result, text); }
    cWidgetAlert* GetAlert() override { return alert; }

    cKeyboardRequest request;
    cDelegate completion;
    int prompts = 0;
    cWidgetAlert* alert = nullptr;
};

std::vector<int32_t> IntsFor(const std::vector<cAudioEvent>& events, uint32_t id)
{
    std::vector<int32_t> values;
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventSetIntParam && event.wordA == id)
            values.push_back(event.GetIntValue());
    return values;
}
} // namespace

// The editor with a project to mark and a keyboard to answer.
class SynthPresets : public SynthPerform
{
protected:
    void SetUp() override
    {
        SynthPerform::SetUp();
        // Choosers find the store through the registry, as in the program.
        synthPackage = package.get();
        registry = std::make_unique<cInstrumentPackageRegistry>();
        registry->AddPackage(package.release());
        projects = std::make_unique<cProjectList>();
        projects->NewProject();
        SetAnalogueSynthUIHost(&keyboard);
        Store().GetSingle(5).SetName("Bass");
    }
    void TearDown() override
    {
        SetAnalogueSynthUIHost(nullptr);
        editor->SetInstrument(nullptr);
        instrument.reset();
        registry.reset();
        SynthPerform::TearDown();
        projects.reset();
    }

    cAnalogueSynthPresetStore& Store() const { return synthPackage->GetStore(); }
    cProject* Project() const { return projects->GetCurrentProject(); }
    cAnalogueSynthPanelPreset* Panel() const
    {
        return static_cast<cAnalogueSynthPanelPreset*>(editor->GetPanel(cAnalogueSynthUI::kPanelPreset));
    }
    cAnalogueSynthPresetWrite* Dialogue() const { return Panel()->GetWriteDialogue(); }
    // Holds the spin's up arrow for one frame.
    void StepUp(cWidgetSpinButton* spin)
    {
        const cRect& rect = spin->GetRect();
        const float x = rect.xMax - 6.0f, y = 0.5f * (rect.yMin + rect.yMax);
        Down(3, x, y);
        Frame();
        Up(3, x, y);
        Frame();
    }
    void SelectPreset(int32_t id)
    {
        Synth().PostEvent(MakeSetIntEvent(kPresetId, id));
        Drain();
        Frame(2);
    }
    void Edit()
    {
        Synth().PostEvent(MakeSetFloatEvent(kCutoffId, 0.3f));
        Synth().Take();
    }
    void OpenWrite()
    {
        ClickCentre(Panel()->GetButton(cAnalogueSynthPanelPreset::kWrite));
        Frame();
        ASSERT_TRUE(Dialogue()->IsVisible());
    }

    std::unique_ptr<cProjectList> projects;
    std::unique_ptr<cInstrumentPackageRegistry> registry;
    cAnalogueSynthPackage* synthPackage = nullptr;
    cPromptHost keyboard;
};

TEST_F(SynthPresets, TheChooserPostsThePresetAndMarksTheProjectModified)
{
    OpenPerform();
    Project()->SetModified(false);
    StepUp(Panel()->GetChooser()->GetPresetSpin());
    EXPECT_EQ(IntsFor(Synth().Take(), kPresetId), (std::vector<int32_t>{1}));
    EXPECT_EQ(Synth().GetParamInt(kPresetId), 1);
    EXPECT_TRUE(Project()->IsModified());
    Frame();
    EXPECT_EQ(Panel()->GetChooser()->GetPresetId(), 1);
}

TEST_F(SynthPresets, CompareAndWriteFollowTheModuleFrameByFrame)
{
    OpenPerform();
    cWidgetButton* compare = Panel()->GetButton(cAnalogueSynthPanelPreset::kCompare);
    cWidgetButton* write = Panel()->GetButton(cAnalogueSynthPanelPreset::kWrite);
    ClickCentre(compare);
    EXPECT_EQ(IntsFor(Synth().Take(), kCompareId), (std::vector<int32_t>{0}));
    Frame();
    EXPECT_EQ(Synth().GetParamInt(kCompareId), 0) << "nothing to compare while unmodified";
    EXPECT_EQ(compare->value, 0);
    EXPECT_EQ(write->value, 0);

    Edit();
    Frame();
    EXPECT_EQ(write->value, 1) << "lit on the first frame after the edit";
    ClickCentre(compare);
    Synth().Take();
    Frame();
    EXPECT_EQ(compare->value, 1);
    ClickCentre(compare);
    Synth().Take();
    Frame();
    EXPECT_EQ(compare->value, 0);

    Synth().WritePreset(0);
    Frame();
    EXPECT_EQ(write->value, 0) << "dark on the first frame after the flag is cleared";
}

TEST_F(SynthPresets, ThePanelStandsInTheTopBandOrOnAPageOfItsOwn)
{
    OpenPerform();
    cAnalogueSynthPanelPreset* panel = Panel();
    EXPECT_TRUE(panel->IsWide());
    EXPECT_EQ(panel->GetParent(), static_cast<cWidget*>(editor->GetTopBand()));
    EXPECT_TRUE(panel->GetChooser()->IsSideBySide());
    const cRect bank = panel->GetChooser()->GetBankSpin()->GetRect();
    const cRect preset = panel->GetChooser()->GetPresetSpin()->GetRect();
    EXPECT_FLOAT_EQ(bank.yMin, preset.yMin) << "one row";
    EXPECT_LT(bank.xMax, preset.xMin);
    EXPECT_LE(preset.xMax, panel->GetRect().xMax);
    EXPECT_FALSE(panel->GetButton(cAnalogueSynthPanelPreset::kSingle)->IsVisible());
    EXPECT_FALSE(panel->GetButton(cAnalogueSynthPanelPreset::kMulti)->IsVisible());

    editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 480.0f, 300.0f);
    Frame(3);
    EXPECT_FALSE(panel->IsWide());
    EXPECT_EQ(panel->GetParent(), static_cast<cWidget*>(editor->GetPageAt(0)));
    EXPECT_FALSE(panel->GetChooser()->IsSideBySide());
    editor->ShowPanel("preset");
    Frame();
    EXPECT_EQ(editor->GetScroller()->GetCurrentPanel(), static_cast<cWidget*>(editor->GetPageAt(0)));
    EXPECT_GT(panel->GetLogoRect().xMax, panel->GetLogoRect().xMin) << "the full page shows the logo";
}

TEST_F(SynthPresets, WriteOpensTheDialogueCentredAndBlocksThePanel)
{
    OpenPerform();
    OpenWrite();
    const cRect& dialogue = Dialogue()->GetRect();
    EXPECT_FLOAT_EQ(dialogue.xMax - dialogue.xMin, 400.0f);
    EXPECT_FLOAT_EQ(dialogue.yMax - dialogue.yMin, 160.0f);
    const cRect& area = editor->GetScroller()->GetRect();
    EXPECT_NEAR(0.5f * (dialogue.xMin + dialogue.xMax), 0.5f * (area.xMin + area.xMax), 1.0f);
    EXPECT_NEAR(0.5f * (dialogue.yMin + dialogue.yMax), 0.5f * (area.yMin + area.yMax), 1.0f);
    EXPECT_STREQ(editor->GetScroller()->GetName(), "TopPanelCtr");
    Drain();

    StepUp(Panel()->GetChooser()->GetPresetSpin());
    ClickCentre(Panel()->GetButton(cAnalogueSynthPanelPreset::kCompare));
    EXPECT_TRUE(Synth().Take().empty()) << "the chooser and the buttons are blocked";
    EXPECT_EQ(Panel()->GetChooser()->GetPresetId(), 0);

    editor->ModifyFlags(kWidgetStateDirty, 0, true);
    Frame();
    EXPECT_FALSE(Dialogue()->IsVisible()) << "a refresh closes it";
    EXPECT_TRUE(IntsFor(Synth().Take(), kWriteId).empty()) << "unwritten";
}

TEST_F(SynthPresets, TheDialogueNamesTheCurrentPresetAndWritesItUnderANewName)
{
    SelectPreset(5);
    OpenPerform();
    Edit();
    OpenWrite();
    EXPECT_STREQ(Dialogue()->GetName(), "Write 'A05. Bass'");
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kRename));
    ASSERT_EQ(keyboard.prompts, 1);
    EXPECT_STREQ(keyboard.request.title.CStr(), "Rename Preset 'Bass'");
    EXPECT_STREQ(keyboard.request.text.CStr(), "Bass");
    EXPECT_EQ(keyboard.request.maxLength, 20);

    keyboard.Answer(0, "Dismissed");
    EXPECT_STREQ(Dialogue()->GetName(), "Write 'A05. Bass'") << "a dismissed keyboard changes nothing";
    const char* twenty = "Deep Analogue Bass 2";
    ASSERT_EQ(std::string(twenty).size(), 20u);
    keyboard.Answer(2, twenty);
    EXPECT_STREQ(Dialogue()->GetName(), "Write 'A05. Deep Analogue Bass 2'");
    Project()->SetModified(false);
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
    EXPECT_EQ(IntsFor(Synth().Take(), kWriteId), (std::vector<int32_t>{5}));
    EXPECT_FALSE(Dialogue()->IsVisible());
    EXPECT_TRUE(Project()->IsModified());
    EXPECT_STREQ(Store().GetSingle(5).Name, twenty) << "the whole name";
    EXPECT_EQ(Synth().GetParamInt(MakeSynthParamId(kSynthParamModified)), 0);
}

TEST_F(SynthPresets, WritingToAnotherPlaceKeepsTheTitleAndMovesThePreset)
{
    SelectPreset(5);
    OpenPerform();
    Edit();
    OpenWrite();
    StepUp(Dialogue()->GetChooser()->GetBankSpin());
    StepUp(Dialogue()->GetChooser()->GetPresetSpin());
    EXPECT_EQ(Dialogue()->GetChooser()->GetPresetId(), 0x106);
    EXPECT_TRUE(Synth().Take().empty()) << "choosing the destination posts nothing";
    EXPECT_STREQ(Dialogue()->GetName(), "Write 'A05. Bass'");
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
    EXPECT_EQ(IntsFor(Synth().Take(), kWriteId), (std::vector<int32_t>{0x106}));
    EXPECT_STREQ(Store().GetSingle(0x106).Name, "Bass");
    EXPECT_EQ(Synth().GetParamInt(kPresetId), 0x106);
    EXPECT_FLOAT_EQ(Store().GetSingle(0x106).Filter.Cutoff, Synth().GetEditSingle().Filter.Cutoff);
}

TEST_F(SynthPresets, TheCloseButtonWritesAndPostsNothing)
{
    OpenPerform();
    Edit();
    OpenWrite();
    Drain();
    ClickCentre(Dialogue()->GetCloseButton());
    EXPECT_FALSE(Dialogue()->IsVisible());
    EXPECT_TRUE(Synth().Take().empty());
    EXPECT_EQ(Synth().GetParamInt(MakeSynthParamId(kSynthParamModified)), 1);
}

TEST_F(SynthPresets, AWriteIntoAFullRingKeepsTheDialogueOpenUntilItGetsThrough)
{
    OpenPerform();
    Edit();
    OpenWrite();
    cAudioEvent filler;
    while (Synth().PostEvent(filler))
    {
    }
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
    EXPECT_TRUE(Dialogue()->IsVisible()) << "nothing was written, so nothing is closed";
    ASSERT_FALSE(statusBar.messages.empty());
    EXPECT_NE(statusBar.messages.back().find("press WRITE again"), std::string::npos);
    EXPECT_TRUE(IntsFor(Synth().Take(), kWriteId).empty());

    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
    EXPECT_EQ(IntsFor(Synth().Take(), kWriteId), (std::vector<int32_t>{0}));
    EXPECT_FALSE(Dialogue()->IsVisible());
}

// The user's WRITE into a global bank reaches the bank's file as soon as the
// module has stored the preset, so it outlives a program that dies before
// the next project save. The project bank goes with the project's saves.
TEST_F(SynthPresets, AWriteIntoAGlobalBankIsSavedToItsFileOnceTheModuleHasStoredIt)
{
    OpenPerform();
    struct sCase
    {
        int32_t bankSteps;
        const char* file; // in "Doc", or null for none
    } const cases[] = {{1, "Instruments/Kest/GlobalB.bnk"}, {6, "Instruments/Kest/GlobalG.bnk"}, {7, nullptr}};
    for (const sCase& c : cases)
    {
        SCOPED_TRACE(c.bankSteps);
        std::filesystem::remove_all(folder->Doc("Instruments"));
        SelectPreset(5);
        Edit();
        OpenWrite();
        for (int step = 0; step < c.bankSteps; ++step)
            StepUp(Dialogue()->GetChooser()->GetBankSpin());
        ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kRename));
        keyboard.Answer(2, "Kill Test");
        ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
        Frame();
        EXPECT_FALSE(std::filesystem::exists(folder->Doc("Instruments"))) << "nothing before the module stored it";

        Synth().Take();
        Frame();
        const int32_t id = c.bankSteps << 8 | 5;
        EXPECT_EQ(Synth().GetParamInt(kPresetId), id);
        if (!c.file)
        {
            EXPECT_FALSE(std::filesystem::exists(folder->Doc("Instruments")));
            EXPECT_TRUE(Store().IsBankModified(c.bankSteps)) << "saved with the project";
            continue;
        }
        auto bank = std::make_unique<cAnalogueSynthBank>();
        cGenStringFixed<256> error;
        ASSERT_TRUE(ReadBankFile(*gFileSystemRegistry->FindFileSystem("Doc"), cGenString(c.file), nullptr, *bank, error)) << error.CStr();
        EXPECT_STREQ(bank->singles[5].Name, "Kill Test");
        EXPECT_FLOAT_EQ(bank->singles[5].Filter.Cutoff, Store().GetSingle(id).Filter.Cutoff);
        EXPECT_FALSE(Store().IsBankModified(c.bankSteps));
    }
}

TEST_F(SynthPresets, ABankFileThatCannotBeWrittenIsReportedAndLeftForTheProjectSave)
{
    keyboard.alert = new cWidgetAlert();
    // A file where the bank's folder belongs.
    std::filesystem::create_directories(folder->Doc("Instruments"));
    std::ofstream(folder->Doc("Instruments/Kest")) << "in the way";
    OpenPerform();
    Edit();
    OpenWrite();
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
    Synth().Take();
    Frame();
    EXPECT_TRUE(widgets->GetRoot()->HasLayer(keyboard.alert));
    EXPECT_STREQ(keyboard.alert->GetName(), "Preset Not Saved");
    EXPECT_STREQ(keyboard.alert->firstLine.CStr(), "Couldn't write 'Instruments/Kest/GlobalA.bnk'.");
    EXPECT_TRUE(Store().IsBankModified(0)) << "the next project save tries again";
    keyboard.alert->Hide();
    Frame();
    EXPECT_FALSE(widgets->GetRoot()->HasLayer(keyboard.alert)) << "told once, not every frame";
    keyboard.alert->Release();
    keyboard.alert = nullptr;
}

TEST_F(SynthPresets, ALongNameIsCutOnACharacterBoundary)
{
    OpenPerform();
    Edit();
    OpenWrite();
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kRename));
    // Twenty characters in 30 bytes: byte 23 falls inside the tenth "é".
    const char* name = "Pad éééééééééé Lead!";
    keyboard.Answer(2, name);
    ClickCentre(Dialogue()->GetButton(cAnalogueSynthPresetWrite::kWrite));
    Synth().Take();
    const char* stored = Store().GetSingle(0).Name;
    EXPECT_TRUE(IsValidUTF8(stored)) << stored;
    EXPECT_STREQ(stored, "Pad ééééééééé") << "the characters that fit whole";
}

// --- The part preset panel ---

namespace
{
// What the part properties hear from the panel.
struct cPartListener
{
    void OnOn(bool on, cSequencerPresetPanel*) { ons.push_back(on); }
    void OnPreset(int32_t id, cSequencerPresetPanel*) { presets.push_back(id); }

    std::vector<bool> ons;
    std::vector<int32_t> presets;
};
} // namespace

class SynthPartPresets : public SynthPresets
{
protected:
    void SetUp() override
    {
        SynthPresets::SetUp();
        cWidget* widget = instrument->GetPresetWidget();
        panel = dynamic_cast<cAnalogueSynthSequencerPresetPanel*>(widget);
        ASSERT_NE(panel, nullptr);
        panel->SetAnchors(kAnchorsAbsoluteRect, 100.0f, 100.0f, 400.0f, 200.0f);
        widgets->GetRoot()->AddChild(panel);
        // Filled as the part properties fill it for the part word 0x01000105:
        // a preset is sent, single kind, bank B slot 5.
        const uint32_t word = 0x01000105u;
        panel->SetValues(word > 0xffffffu, int32_t((word >> 16) & 0xff), int32_t(word & 0xffff));
        Store().GetSingle(0x105).SetName("Warm Pad");
        Frame(2);
        Project()->SetModified(false);
    }
    void TearDown() override
    {
        widgets->GetRoot()->RemoveChild(panel);
        panel->onDelegate.Clear();
        panel->presetDelegate.Clear();
        panel->Release();
        SynthPresets::TearDown();
    }

    cAnalogueSynthSequencerPresetPanel* panel = nullptr;
};

TEST_F(SynthPartPresets, EverySynthesizerLendsTheOneSharedPanel)
{
    cWidget* again = instrument->GetPresetWidget();
    EXPECT_EQ(again, static_cast<cWidget*>(panel));
    again->Release();
}

TEST_F(SynthPartPresets, APartsPresetShowsEnabledWithItsBankSlotAndName)
{
    EXPECT_EQ(panel->GetEnableButton()->value, 1);
    EXPECT_TRUE(panel->GetChooser()->IsEnabled());
    EXPECT_EQ(panel->GetChooser()->kind, 0) << "single";
    EXPECT_EQ(panel->GetChooser()->GetPresetId(), 0x105);
    EXPECT_STREQ(panel->GetChooser()->GetPresetSpin()->GetText(), "B05.Warm Pad");
    EXPECT_STREQ(panel->GetChooser()->GetBankSpin()->GetText(), "Global B");

    cPartListener listener;
    panel->presetDelegate.Bind(&listener, &cPartListener::OnPreset);
    StepUp(panel->GetChooser()->GetPresetSpin());
    EXPECT_EQ(listener.presets, (std::vector<int32_t>{0x106}));
    EXPECT_EQ(panel->GetPreset(), 0x106);
    EXPECT_TRUE(Project()->IsModified());
    EXPECT_TRUE(Synth().Take().empty()) << "the panel never talks to the module";
}

TEST_F(SynthPartPresets, EnableTogglesTellsTheCallerAndMarksTheProject)
{
    cPartListener listener;
    panel->onDelegate.Bind(&listener, &cPartListener::OnOn);
    ClickCentre(panel->GetEnableButton());
    EXPECT_EQ(listener.ons, (std::vector<bool>{false}));
    EXPECT_FALSE(panel->IsOn());
    EXPECT_TRUE(Project()->IsModified());
    EXPECT_EQ(panel->GetEnableButton()->value, 0);
    EXPECT_FALSE(panel->GetChooser()->IsEnabled());
    EXPECT_EQ(panel->GetChooser()->GetPresetId(), 0x105) << "it still shows the id it was given";

    // While off the chooser cannot change.
    cPartListener presets;
    panel->presetDelegate.Bind(&presets, &cPartListener::OnPreset);
    StepUp(panel->GetChooser()->GetPresetSpin());
    EXPECT_TRUE(presets.presets.empty());
    EXPECT_EQ(panel->GetChooser()->GetPresetId(), 0x105);

    // A caller with no delegates still gets the toggle and the mark.
    panel->onDelegate.Clear();
    Project()->SetModified(false);
    ClickCentre(panel->GetEnableButton());
    EXPECT_TRUE(panel->IsOn());
    EXPECT_TRUE(Project()->IsModified());
    EXPECT_TRUE(panel->GetChooser()->IsEnabled());
    EXPECT_EQ(listener.ons.size(), 1u);
}
