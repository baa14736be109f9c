#include "PadEditorFixture.h"

#include <filesystem>

#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadPanelBank.h"
#include "instruments/pads/ui/TriggerPadPanelOutput.h"
#include "sequencer/Sequencer.h"
#include "ui/WidgetKnob.h"

namespace
{
// Keeps what the editor hands the song for recording, without a song.
class cRecordingSequencer : public cSequencer
{
public:
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        received.push_back(event);
        return 0;
    }
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(received);
        return taken;
    }
    std::vector<cAudioEvent> received;
};

using Output = cTriggerPadPanelOutput;

class PadOutput : public PadEditorFixture
{
protected:
    Output* OpenBus(int32_t bus)
    {
        Open();
        TapTab(cTriggerPadControlPanel::kPageOutput);
        Events();
        return static_cast<cTriggerPadPageOutput*>(Panel()->GetPage(cTriggerPadControlPanel::kPageOutput))
            ->GetOutputPanel(bus);
    }
    cRecordingSequencer sequencer;
};

// The bank panel of the home page, with a pad on every other pad.
class PadBank : public PadEditorFixture
{
protected:
    void SetUp() override
    {
        folder.Write("User/Projects/Song.prj/Song.xml", "<Song/>");
        // "Kit 1": a clap on pad 3 and a kick on pad 0.
        folder.Write("User/VRX Banks/Kit 1.vrx/Package.vrx",
                     "<Root FileVersion=\"1.0\"><Pad0 Nam=\"Kick.wav\"/><Pad3 Nam=\"Clap.wav\" Grp=\"2\"/></Root>");
        folder.Write("User/VRX Banks/Kit 1.vrx/Kick.wav", PadTest::LevelWav(500, 0.5f));
        folder.Write("User/VRX Banks/Kit 1.vrx/Clap.wav", PadTest::LevelWav(400, 0.5f));
        Open();
        LoadPad(5, "Hat");
        LoadPad(6, "Ride");
        Frame();
    }
    cTriggerPadPanelBank* Bank() const
    {
        return static_cast<cTriggerPadPageHome*>(Panel()->GetPage(cTriggerPadControlPanel::kPageHome))->GetBankPanel();
    }
    void Press(int32_t button) { TapButton(Bank()->GetButton(button)); }
    int32_t LoadedPads()
    {
        int32_t loaded = 0;
        for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
            loaded += Pads().GetSample(pad) != nullptr;
        return loaded;
    }
    void FinishJob() { Frame(4); }
    bool Said(const std::string& message) const
    {
        return std::find(host.messages.begin(), host.messages.end(), message) != host.messages.end();
    }
};
} // namespace

// Bus 2's knobs post module parameters 7, 8 and 9 to the engine and the
// song; holding one tells only the song; Q, the switch and the type write
// bus 2's settings.
TEST_F(PadOutput, ControlsAddressTheirBus)
{
    Output* panel = OpenBus(1);
    ASSERT_EQ(panel->GetBus(), 1);
    sequencer.Take();
    for (const auto& [knob, parameter] : {std::pair{Output::kKnobSend1, 7}, std::pair{Output::kKnobSend2, 8},
                                          std::pair{Output::kKnobCutoff, 9}})
    {
        SCOPED_TRACE(parameter);
        const cVector2 centre = Centre(panel->GetKnob(knob)->GetTouchRect());
        Down(1, centre.X, centre.Y);
        for (int step = 1; step <= 6; ++step)
            Move(1, centre.X, centre.Y - float(step) * 10.0f);
        Up(1, centre.X, centre.Y - 60.0f);
        Frame();
        const std::vector<cAudioEvent> toModule = Events();
        const std::vector<cAudioEvent> toSong = sequencer.Take();
        ASSERT_FALSE(toModule.empty());
        for (const cAudioEvent& event : toModule)
        {
            EXPECT_EQ(event.type, kAudioEventModuleParam);
            EXPECT_EQ(event.wordB, uint32_t(parameter));
            EXPECT_EQ(event.slot, 1);
        }
        EXPECT_FLOAT_EQ(Pads().GetParamValue(parameter), panel->GetKnob(knob)->GetValue());
        ASSERT_GE(toSong.size(), toModule.size() + 2);
        EXPECT_EQ(toSong.front().type, kAudioEventParamTouch);
        EXPECT_EQ(toSong.front().wordA, uint32_t(parameter));
        EXPECT_EQ(toSong.front().wordB, 1u);
        EXPECT_EQ(toSong.back().type, kAudioEventParamTouch);
        EXPECT_EQ(toSong.back().wordB, 0u);
        size_t values = 0;
        for (const cAudioEvent& event : toSong)
            values += event.type == kAudioEventModuleParam && event.wordB == uint32_t(parameter);
        EXPECT_EQ(values, toModule.size()) << "the song hears every value the engine does";
    }

    const struct
    {
        const char* name;
        cWidget* control;
        uint8_t type;
        uint32_t id;
    } settings[] = {
        {"Q", panel->GetKnob(Output::kKnobQ), kAudioEventSetFloatParam, 0x5010102},
        {"FILTER", panel->GetFilterSwitch(), kAudioEventSetIntParam, 0x2010102},
        {"type", panel->GetFilterType(), kAudioEventSetIntParam, 0x3010102},
    };
    for (const auto& setting : settings)
    {
        SCOPED_TRACE(setting.name);
        const cVector2 centre = Centre(setting.control->GetRect());
        if (setting.type == kAudioEventSetFloatParam)
        {
            Down(1, centre.X, centre.Y);
            for (int step = 1; step <= 6; ++step)
                Move(1, centre.X, centre.Y - float(step) * 10.0f);
            Up(1, centre.X, centre.Y - 60.0f);
        }
        else
        {
            TapAt(centre);
        }
        Frame();
        const std::vector<cAudioEvent> events = Events();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().type, setting.type);
        EXPECT_EQ(events.back().wordA, setting.id);
        EXPECT_TRUE(sequencer.Take().empty()) << "bus settings are not recorded";
    }
}

// A cutoff moved elsewhere (a controller, the song) shows on the next
// frame, but not under the user's finger.
TEST_F(PadOutput, KnobsFollowValuesMovedElsewhere)
{
    Output* panel = OpenBus(1);
    cWidgetKnob* cutoff = panel->GetKnob(Output::kKnobCutoff);
    Pads().PostEvent(PadTest::ModuleParam(9, 0.25f));
    Events();
    Frame();
    EXPECT_FLOAT_EQ(cutoff->GetValue(), 0.25f);

    const cVector2 centre = Centre(cutoff->GetTouchRect());
    Down(1, centre.X, centre.Y);
    Frame();
    Pads().PostEvent(PadTest::ModuleParam(9, 0.75f));
    Events();
    Frame();
    EXPECT_FLOAT_EQ(cutoff->GetValue(), 0.25f) << "held";
    Up(1, centre.X, centre.Y);
    Pads().PostEvent(PadTest::ModuleParam(9, 0.5f));
    Events();
    Frame();
    EXPECT_FLOAT_EQ(cutoff->GetValue(), 0.5f);
}

// CLEAR asks; "Cancel" keeps every pad, "OK" empties all sixteen.
TEST_F(PadBank, ClearAsksFirst)
{
    Press(cTriggerPadPanelBank::kButtonClear);
    Frame(20);
    EXPECT_STREQ(host.alert->GetName(), "Clear Bank");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "This will unload all samples from the bank.");
    EXPECT_STREQ(host.alert->secondLine.CStr(), "Are you sure?");
    Answer(kAlertCancel);
    EXPECT_EQ(LoadedPads(), 2);
    EXPECT_FALSE(Said("New Bank Created"));

    Press(cTriggerPadPanelBank::kButtonClear);
    Answer(kAlertOK);
    EXPECT_EQ(LoadedPads(), 0);
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
        EXPECT_TRUE(Pads().GetActiveSet().pads[pad].samplePath.IsEmpty()) << pad;
    EXPECT_EQ(host.messages.back(), "New Bank Created");
    EXPECT_STREQ(Grid()->GetTile(5).GetDisplayName(), "<EMPTY>");
}

// IMPORT browses "User/VRX Banks" for packages, then asks whether to copy
// the samples: "No" plays them from the package, "OK" from copies in the
// project; "Cancel" loads nothing.
TEST_F(PadBank, ImportAsksWhereTheSamplesLive)
{
    const struct
    {
        int32_t answer;
        const char* clapPath;
    } cases[] = {{kAlertCancel, nullptr},
                 {kAlertNo, "User/VRX Banks/Kit 1.vrx/Clap.wav"},
                 {kAlertOK, "User/Projects/Song.prj/Clap.wav"}};
    for (const auto& step : cases)
    {
        SCOPED_TRACE(step.answer);
        Press(cTriggerPadPanelBank::kButtonImport);
        ASSERT_FALSE(host.requests.empty());
        const cTriggerPadBrowserRequest& request = host.requests.back();
        EXPECT_STREQ(request.title, "Import Bank");
        EXPECT_STREQ(request.rootFolder, "User/VRX Banks");
        EXPECT_STREQ(request.actionLabel, "Import");
        ASSERT_EQ(request.packageTypeCount, 1);
        EXPECT_STREQ(request.packageTypes[0].extension, "vrx");
        EXPECT_EQ(request.flags, 1u);
        host.AnswerBrowser(1, "User/VRX Banks/Kit 1.vrx");
        Frame(20);
        EXPECT_STREQ(host.alert->GetName(), "Import Bank 'Kit 1'");
        EXPECT_STREQ(host.alert->firstLine.CStr(), "Do you wish to copy the samples into the project folder?");
        Answer(step.answer);
        FinishJob();
        if (!step.clapPath)
        {
            EXPECT_EQ(LoadedPads(), 2);
            EXPECT_STREQ(Pads().GetActiveSet().pads[5].name.CStr(), "Hat");
            continue;
        }
        EXPECT_EQ(host.messages.back(), "Imported Bank From 'Kit 1'");
        EXPECT_EQ(LoadedPads(), 2);
        EXPECT_EQ(Pads().GetSample(5), nullptr);
        EXPECT_STREQ(Pads().GetActiveSet().pads[3].samplePath.CStr(), step.clapPath);
        EXPECT_NE(Pads().GetSample(3), nullptr);
        EXPECT_STREQ(Grid()->GetTile(3).GetDisplayName(), "Clap");
        EXPECT_EQ(Bank()->GetPending(), -1);
    }
}

// A package that does not load leaves the pads sounding as they were and
// says so once, without claiming a new bank.
TEST_F(PadBank, AFailedImportKeepsTheBank)
{
    folder.Write("User/VRX Banks/Broken.vrx/Package.vrx", "<Root FileVersion=\"1.0\"><Pad0 Nam=");
    Press(cTriggerPadPanelBank::kButtonImport);
    host.AnswerBrowser(1, "User/VRX Banks/Broken.vrx");
    Answer(kAlertNo);
    FinishJob();
    Frame(20);
    ASSERT_TRUE(root->HasLayer(host.alert));
    EXPECT_STREQ(host.alert->GetName(), "Bank Import Failed");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "Couldn't import bank file 'Broken'");
    EXPECT_FALSE(Said("New Bank Created"));
    EXPECT_EQ(LoadedPads(), 2);
    EXPECT_STREQ(Pads().GetActiveSet().pads[6].name.CStr(), "Ride");
    EXPECT_STREQ(Grid()->GetTile(6).GetDisplayName(), "Ride");
}

// EXPORT saves the bank as a package and offers its path next time.
TEST_F(PadBank, ExportOffersTheLastPath)
{
    Press(cTriggerPadPanelBank::kButtonExport);
    ASSERT_FALSE(host.requests.empty());
    EXPECT_STREQ(host.requests.back().title, "Export Bank");
    EXPECT_STREQ(host.requests.back().extension, "vrx");
    EXPECT_EQ(host.requests.back().flags, 2u);
    host.AnswerBrowser(1, "User/VRX Banks/Mine.vrx");
    FinishJob();
    EXPECT_EQ(host.messages.back(), "Exported Bank To 'Mine'");
    EXPECT_TRUE(folder.Exists("User/VRX Banks/Mine.vrx/Package.vrx"));
    EXPECT_TRUE(folder.Exists("User/VRX Banks/Mine.vrx/Hat.wav"));
    int status = -1;
    RunCommand("xmllint --noout '" + folder.Doc("User/VRX Banks/Mine.vrx/Package.vrx") + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << "the package is well-formed XML";

    Press(cTriggerPadPanelBank::kButtonExport);
    EXPECT_STREQ(host.requests.back().path.CStr(), "User/VRX Banks/Mine.vrx");
    host.AnswerBrowser(0, "");
    FinishJob();
    EXPECT_EQ(Bank()->GetPending(), -1);

    // With no project open the bank buttons that browse do nothing.
    host.projectFolder = nullptr;
    const size_t requests = host.requests.size();
    Press(cTriggerPadPanelBank::kButtonImport);
    EXPECT_EQ(host.requests.size(), requests);
}
